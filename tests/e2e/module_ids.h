// The modules' control ids that the keyboard cases press, taken from the
// modules' own resource headers in a file of their own: those headers share
// names (IDC_OK, IDC_EXIT) with the host's.
#pragma once

extern const int kSetupOk;
extern const int kSetupIconFirst;
extern const int kSetupIconLast;
extern const int kSetupEditFirst;
extern const int kTaskrollExit;
