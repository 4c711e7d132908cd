// Control and string ids of the process list dialog, shared by its
// template and its code.
// A text's id is the id of its string or control (common/language.h).
#pragma once
#include "../../common/textids.h"

#define IDC_STATIC -1
// Labels, named by their texts.
#define IDT_PROCESS 600
#define IDT_PARENT 601
#define IDT_THREADS 602
#define IDT_PRIORITY 603
#define IDT_HEAPS 604

#define IDC_EXIT 502
#define IDC_REFRESH 500
#define IDC_END_PROCESS 501
#define IDC_PROCESSES 300
#define IDC_MODULES 301
#define IDC_THREADS 204
#define IDC_PROCESS_GROUP 200
#define IDC_INFO_GROUP 201
#define IDC_MODULE_GROUP 202
#define IDC_THREAD_GROUP 203
#define IDC_PROCESS_ID 400
#define IDC_PRIORITY_NAME 401
#define IDC_THREAD_COUNT 402
#define IDC_PARENT_ID 403
#define IDC_PRIORITY 404
#define IDC_HEAP_COUNT 405

#define IDS_COLUMN_NAME 1
#define IDS_COLUMN_USAGE 2
#define IDS_COLUMN_SIZE 3
#define IDS_FIXED_USAGE 5
#define IDS_ASK_END 6

// The priority class names: PriorityNameId finds a value by its own entry
// (100 + priority) or by its range, so no other ids may lie between 104
// and 124.
#define IDS_PRIORITY_IDLE 104
#define IDS_PRIORITY_BELOW_NORMAL 106
#define IDS_PRIORITY_NORMAL 108
#define IDS_PRIORITY_ABOVE_NORMAL 110
#define IDS_PRIORITY_HIGH 113
#define IDS_PRIORITY_REALTIME 124
