// Resource and control ids of the settings module. A text's id is the id
// of its string or control (common/language.h).
#pragma once
#include "../../common/textids.h"

#define IDS_WRITE_FAILED 1
// A refused edit: each names its field and the values it takes.
#define IDS_BAD_AUTOCLEAN_INTERVAL 2
#define IDS_BAD_AUTOCLEAN_PERCENT 3
#define IDS_BAD_CRITICAL_LOAD 4
#define IDS_BAD_CRITICAL_CLEAN 5
#define IDS_BAD_CPU_LIMIT 6
#define IDS_BAD_INFO_REFRESH 7

#define IDC_STATIC -1
// Labels and group boxes, named by their texts.
#define IDT_GENERAL 500
#define IDT_INTERVAL 501
#define IDT_CLEAN_PERCENT 502
#define IDT_CRITICAL_LOAD 503
#define IDT_CPU_LIMIT 504
#define IDT_INFO_GROUP 505
#define IDT_INFO_REFRESH 506
#define IDT_ICON_GROUP 507

#define IDC_CANCEL 100
#define IDC_OK 101
#define IDC_LOG 200
#define IDC_AUTOSTART 201
#define IDC_AUTOCLEAN_INTERVAL 300
#define IDC_INFO_REFRESH 301
#define IDC_AUTOCLEAN_PERCENT 302
#define IDC_CRITICAL_LOAD 303
#define IDC_CRITICAL_CLEAN 304
#define IDC_CPU_LIMIT 305
// One button for each TrayIconMode, in its order.
#define IDC_ICON_STATIC 400
#define IDC_ICON_CPU_COLOUR 401
#define IDC_ICON_CPU_TEXT 402
#define IDC_ICON_MEMORY_COLOUR 403
#define IDC_ICON_MEMORY_TEXT 404
#define IDC_ICON_FIRST IDC_ICON_STATIC // IDC_ICON_FIRST + TrayIconMode
#define IDC_ICON_LAST IDC_ICON_MEMORY_TEXT
