// The plug-in modules found beside the program.
#pragma once

void LoadModules();
void UnloadModules();
