// What the benchmarks read of another process through Wine's Z: drive:
// Wine 8 reads another process's times as 0, so they come from Linux.
#pragma once
#include <string>

// A Unix path as Wine shows it (Z:\...); other paths unchanged.
std::string WindowsPath(const char* path);
// The start of a small file; empty when it cannot be read.
std::string ReadText(const std::string& path);
// The Linux process whose command line names `program` (a path unique to
// the run); 0 when none.
long UnixProcess(const std::string& program);
// Nanoseconds on a processor, all threads of `pid`
// (Z:\proc\<pid>\task\*\schedstat).
unsigned long long ProcessorNs(long pid);
// Its private memory, RssAnon of Z:\proc\<pid>\status; -1 when unknown.
long RssAnonKB(long pid);
