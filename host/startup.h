// The top of the program: start-up, the dispatch of the start modes (read
// by logic/startup) and the message loop. Included by the entry point alone.
#pragma once

// The whole life of the program; returns its exit code (always 0).
int RunHost(const char* commandLine);
