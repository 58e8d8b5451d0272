#pragma once
// Resource identifiers of the library frame: exported interface, main window,
// branding and configuration files. Values are fixed; names follow the texts' roles.

// Dialog templates and controls of the frame.
#define IDD_MAIN_WINDOW            2618
#define IDC_MAIN_TAB               57616
#define IDD_STATUS_BAR             159
#define IDC_STATUS_TEXT            1054
#define IDC_STATUS_PRINT           1034
// The print button's faces: up, pressed, greyed.
#define IDB_STATUS_PRINT_UP        1034
#define IDB_STATUS_PRINT_DOWN      1035
#define IDB_STATUS_PRINT_DISABLED  1036

// Strings.
#define IDS_VERSION_SUFFIX         185    // part of the version string
#define IDS_UNTITLED               207    // title of a document without a file
#define IDS_EXIT_WHILE_PRINTING    411
#define IDS_SAVE_CHANGES_QUESTION  412
#define IDS_APP_TITLE              57344
#define IDS_IDLE_STATUS            57345
#define IDS_VERSION_TEXT           180
#define IDS_COPYRIGHT              1166
#define IDS_SETTINGS_FILE_FILTER   449
#define IDS_SETTINGS_EXTENSION     447
#define IDS_PRINTER_MODEL0_NAME    120
#define IDS_SERVER_NAME            1165
#define IDS_CATALOG_FILE_NAME      94
#define IDS_CONFIG_FILE_NAME       114
#define IDS_CONFIG_ADMIN_SECTION   1157
#define IDS_CONFIG_PASSWORD_KEY    1159
#define IDS_CONFIG_ADMIN_FLAG_KEY  1160
#define IDS_CONFIG_SPLASH_SECTION  35
#define IDS_CONFIG_SPLASH_KEY      36
#define IDS_TIFF_FILE_TYPE         157
#define IDS_ALL_FILES_FILTER       161
