// The host's dialogs; at most one is open at a time (CurrentDialog).
#pragma once

void ShowMainDialog();
void ShowInfoDialog();
void ShowMemoryDialog();
void ShowAboutDialog();
