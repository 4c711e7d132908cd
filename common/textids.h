// Text ids every binary reserves (common/language.h): the resource
// compiler reads this file too.
#pragma once

// Each language's text table: RCDATA IDR_TEXTS under its LANGUAGE.
#define IDR_TEXTS 1

// The caption of a module's one dialog, after the layout's ("Brindlecap - ");
// the host's dialogs have none and keep the layout's.
#define IDT_CAPTION 900
// A module's name (GetName, the host's menu) and description.
#define IDS_MODULE_NAME 901
#define IDS_MODULE_DESCRIPTION 902
