// Symbolic links made on the Unix side, for the directory-loop and
// failing-write cases: Wine's CreateSymbolicLink makes none, but Wine
// starts a Unix program given by its Unix path.
#pragma once

// `link` (a Windows path) made to point at `target` (a Windows path, or a
// Unix one starting with "/"). True once the link is seen to exist.
bool MakeUnixLink(const char* target, const char* link);
// Removes the link itself, never what it points at. True once it is gone.
bool RemoveUnixLink(const char* link);
