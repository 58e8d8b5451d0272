#pragma once
// Resource identifiers of the user interface: the tab host and its pages, the
// restriction lists, the main window's commands and dialogs, custom controls.

// Page templates, in tab order.
#define IDD_TAB_PRINTER_SELECT     113
#define IDD_TAB_FILE_SELECT        211
#define IDD_TAB_JOB_SETUP          2617
#define IDD_TAB_JOB_SETUP2         2611
#define IDD_TAB_CUSTOM_OPTIONS     160
#define IDD_TAB_PAPER_EXCEPTIONS   103
#define IDD_TAB_COLOR_MAPPING      105

// Tab captions; their ids are the tab ids the exports and the pages use.
#define IDS_TAB_PRINTERS           433
#define IDS_TAB_FILES              434
#define IDS_TAB_JOB_SETUP1         435
#define IDS_TAB_JOB_SETUP2         519
#define IDS_TAB_CUSTOM_OPTIONS     436
#define IDS_TAB_PAPER_SUBSTITUTIONS 437
#define IDS_TAB_COLOR_MAPPING      438

// Restriction lists.
#define IDS_RESTRICTION_FILE_NAME  389
#define IDS_PRINTER_MODEL1_NAME    1029
#define IDS_RESTRICTIONS_UNREADABLE 61224  // followed by the file name
#define IDS_RESTRICTIONS_UNREADABLE_END 61225
