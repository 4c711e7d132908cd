// The search of a folder's tree for module libraries: depth first, every
// folder entered once however many links lead to it.
#pragma once

// Receives each library file found; false when it wants no more, which
// ends the walk.
typedef bool (*TTakeLibrary)(const char* path);

// Walks `root` and every folder below it, handing each file whose name ends
// with ".dll" to `take`. Silent on every failure; paths that do not fit
// MAX_PATH are passed over.
void WalkLibraries(const char* root, TTakeLibrary take);
