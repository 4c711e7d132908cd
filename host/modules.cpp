#include "modules.h"

TPluginModule* Modules[kModuleSlots];
int ModuleCount;

// The plug-in manager is not built yet: no module is looked for, so the
// table stays empty and there is nothing to open or unload.
void LoadModules() {}
bool InitModule(TPluginModule*) { return false; }
bool ExecuteModule(TPluginModule*) { return false; }
void ModuleClosed(int) {}
void UnloadModules() {}
