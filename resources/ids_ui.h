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

// Controls shared by the page templates.
#define IDC_PAGE_HELP              2638

// Dialogs of the main window.
#define IDD_PASSWORD               118
#define IDC_PASSWORD_EDIT          1200
#define IDD_CHANGE_PASSWORD        3702
#define IDC_NEW_PASSWORD_EDIT      1201
#define IDC_CONFIRM_PASSWORD_EDIT  1202
#define IDD_SPLASH                 361
#define IDD_ABOUT                  100
#define IDC_ABOUT_VERSION          1203
#define IDC_ABOUT_COPYRIGHT        1204

// Menu commands the host routes to the main window.
#define ID_ADMIN_SWITCH            0x8003
#define ID_PAPER_CATALOG_EDITOR    0x8004
#define ID_CHANGE_PASSWORD         0x8005
#define ID_ASK_EXIT                0x8006
#define ID_HELP_CONTENTS           0x8008
#define ID_REFRESH_FOLDERS         0x800A
#define ID_FILE_NEW                0xE100
#define ID_FILE_OPEN               0xE101
#define ID_FILE_SAVE               0xE103
#define ID_FILE_SAVE_AS            0xE104
#define ID_EDIT_CLEAR              0xE120
#define ID_EDIT_COPY               0xE122
#define ID_EDIT_CUT                0xE123
#define ID_EDIT_PASTE              0xE125
#define ID_EDIT_UNDO               0xE12B
#define ID_APP_ABOUT               0xE140
#define ID_APP_EXIT                0xE141
// A menu item's prompt is the string whose id is the item's command id.

// Main window texts.
#define IDS_REQUIRED_FILE_MISSING  448    // followed by the file name
#define IDS_REQUIRED_FILE_END      387
#define IDS_HELP_FILE_NAME         1161
#define IDS_SYSTEM_TOO_OLD         59143
#define IDS_SYSTEM_NT351           59142
#define IDS_EXIT_QUESTION          378
#define IDS_WRONG_PASSWORD         164
#define IDS_PASSWORDS_DIFFER       3701
#define IDS_CONFIG_WRITE_FAILED    3703   // followed by the configuration file's path
#define IDS_CONFIG_WRITE_FAILED_TAIL 3704
