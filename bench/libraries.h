// A folder of ordinary libraries for the start-up benchmarks: the system's
// own, as a user gets who unpacks the program beside another program's
// files.
#pragma once
#include <string>

// Links (or, where links fail, copies) the first `count` libraries of the
// system folder into `folder`; returns how many are there.
int PlaceSystemLibraries(const std::string& folder, int count);
// Deletes `dir` (ending in a backslash) with everything below it.
void RemoveTree(const std::string& dir);
