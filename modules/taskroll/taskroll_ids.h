// Control and string ids of the process list dialog, shared by its
// template and its code.
#pragma once

#define IDC_EXIT 502
#define IDC_REFRESH 500
#define IDC_END_PROCESS 501
#define IDC_PROCESSES 300
#define IDC_MODULES 301
#define IDC_THREADS 204
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
