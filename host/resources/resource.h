// Resource ids of the host program. A text's id is the id of its string,
// menu command or control (common/language.h).
#pragma once
#include "../../common/textids.h"

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
#define IDS_TRAY_TIP 22
#define IDS_CLEAN_FREED 23
#define IDS_CLEAN_FIGURES 24
#define IDS_CLEAN_BUSY 25

// The phase texts follow one another: phase n is string n + 4.
#define IDS_PHASE_BASE 4

// Tray menu commands; ids 0..9 are the module slots.
#define IDM_ABOUT 200
#define IDM_EXIT 201
#define IDM_INFO 203
#define IDM_CLEAN25 204
#define IDM_CLEAN50 205
#define IDM_CLEAN75 206
#define IDM_NEWVERSION 207
// The "Modules" submenu, named by its own text.
#define IDM_MODULES 208

// Dialog controls. Labels and group boxes that code never reaches have the
// id of their text, shared by all that say the same.
#define IDT_PHYSICAL 700
#define IDT_TOTAL 701
#define IDT_FREE 702
#define IDT_USED 703
#define IDT_PERCENT 704
#define IDT_PAGE_FILE 705
#define IDT_VIRTUAL 706
#define IDT_CPU 707
#define IDT_STATUS 708
#define IDT_STATUS_LABEL 709
#define IDT_SETTINGS 710
#define IDT_OPTIONS 711
#define IDT_UNITS 712
#define IDT_UNITS_INFO 713
#define IDT_UNITS_MB 714
#define IDT_AMOUNT 715
#define IDT_PROGRESS 716
#define IDT_VERSION 717
#define IDT_OPTIMISER 718
#define IDT_SLOGAN 719
// The main dialog's IDC_OK cleans: its layout names this text (common/language.h).
#define IDT_CLEAN 720
#define IDC_STATIC -1
#define IDC_UNIT_BYTES 100
#define IDC_UNIT_KB 101
#define IDC_UNIT_MB 102
#define IDC_MONITORING 103
#define IDC_ON_TOP 104
#define IDC_AMOUNT 105
#define IDC_CLEAN_PROGRESS 300
#define IDC_CPU_PROGRESS 301
#define IDC_OK 600
#define IDC_WEB 601
#define IDC_HELPFILE 602
#define IDC_EXIT 603
#define IDC_HIDE 604
// The figures, in the order the update flags name them.
#define IDC_PHYS_TOTAL 1001
#define IDC_PHYS_FREE 1002
#define IDC_PHYS_USED 1003
#define IDC_PHYS_PERCENT 1004
#define IDC_PAGE_TOTAL 1005
#define IDC_PAGE_FREE 1006
#define IDC_PAGE_USED 1007
#define IDC_VIRT_TOTAL 1008
#define IDC_VIRT_FREE 1009
#define IDC_VIRT_USED 1010
#define IDC_STATUS 1011
#define IDC_CPU_TEXT 1012
