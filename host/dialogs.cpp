#include "dialogs.h"

// The host dialogs are not built yet: no dialog opens and CurrentDialog
// stays 0, so a cleaning run reports into no window and a one-shot start
// ends at once.
void ShowMainDialog() {}
void ShowInfoDialog() {}
void ShowMemoryDialog() {}
void ShowAboutDialog() {}
