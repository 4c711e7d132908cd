// The top of the program: start-up, the dispatch of the start modes (read
// by logic/startup), the second start (handover) and the message loop.
#pragma once

// The whole life of the program; returns its exit code: 0, or 1 when the
// running copy refused a command handed over to it.
int RunHost(const char* commandLine);
