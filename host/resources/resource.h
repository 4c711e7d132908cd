// Resource ids of the host program.
#pragma once

// String table.
#define IDS_ABOUT_DIALOG_FAILED 1
#define IDS_MEMORY_DIALOG_FAILED 2
#define IDS_INFO_DIALOG_FAILED 3
#define IDS_INIT_FAILED 4
#define IDS_PHASE_FILLING 5
#define IDS_PHASE_RELEASING 6
#define IDS_PHASE_DONE 7
#define IDS_WEB_FAILED 9
#define IDS_HELP_FAILED 10
#define IDS_MAIN_DIALOG_FAILED 11
#define IDS_ALREADY_RUNNING 12
#define IDS_THREAD_FAILED 14
#define IDS_ASK_EXIT 15
#define IDS_MODULE_INIT_FAILED 16
#define IDS_MODULE_EXECUTE_FAILED 17
#define IDS_MAKER_ADDRESS 18
#define IDS_NEWVERSION_ADDRESS 19
#define IDS_LOG_REQUEST 20
#define IDS_LOG_MB 21

// The phase texts follow one another: phase n is string n + 4.
#define IDS_PHASE_BASE 4
