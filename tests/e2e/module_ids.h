// The modules' ids the keyboard cases press, from the modules' own headers
// (which share IDC_OK and IDC_EXIT with the host's).
#pragma once
extern const int kSetupOk, kSetupIconFirst, kSetupIconLast, kSetupEditFirst, kTaskrollExit;
