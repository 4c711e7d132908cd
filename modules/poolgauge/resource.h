// Control and string ids of the system resources dialog, shared by its
// template and its code.
// A text's id is the id of its string or control (common/language.h).
#pragma once
#include "../../common/textids.h"

#define IDC_STATIC -1
#define IDC_EXIT 100
#define IDC_REFRESH 101
// One text and one bar for each pool, in the order GDI, SYSTEM, USER.
#define IDC_GDI_TEXT 200
#define IDC_SYSTEM_TEXT 201
#define IDC_USER_TEXT 202
#define IDC_GDI_BAR 300
#define IDC_SYSTEM_BAR 301
#define IDC_USER_BAR 302

#define IDS_USER_LOAD_FAILED 1
#define IDS_FUNCTION_MISSING 2
