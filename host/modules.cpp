#include "modules.h"

// The plug-in manager is not built yet: no module is looked for, so there is
// none to unload.
void LoadModules() {}
void UnloadModules() {}
