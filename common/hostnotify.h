// Messages between the host's hidden window and the plug-in modules.
#pragma once

#define WM_TRAYICON 0x8001   // WM_APP + 1: the tray icon's callback
#define WM_HOSTNOTIFY 0x8002 // WM_APP + 2: posted by a module

// wParam codes of WM_HOSTNOTIFY.
#define HOSTNOTIFY_MODULE_CLOSED 1    // lParam: the module's slot index
#define HOSTNOTIFY_SETTINGS_CHANGED 2 // lParam: 0
