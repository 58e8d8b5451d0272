#pragma once
// Resource identifiers of the Custom options and Colour mapping pages.

// Custom options page.
#define IDC_EDIT_CUSTOM_COMMANDS   1016
#define IDC_SELECT_SCRIPT_FILE     1055
#define IDC_EDIT_SCRIPT_FILE       1056
#define IDC_CLEAR_SCRIPT_FILE      1057
#define IDC_CHECK_VALIDATE_FILE    1058
#define IDC_STATIC_SCRIPT_PREVIEW  1089
#define IDC_STATIC_SCRIPT_GROUP    1091
#define IDC_CHECK_REMOVE_CTRL_D    1120
#define IDC_CUSTOM_HELP            2637

#define IDS_SCRIPT_NO_FILE         208
#define IDS_SCRIPT_NOTHING_READ    209
#define IDS_SCRIPT_SELECT_TITLE    413
#define IDS_SCRIPT_PATH_TOO_LONG   4130  // followed by the chosen path

// Colour mapping page: one combo per document colour, in the page's order.
#define IDC_COMBO_COLOUR_RED       1000
#define IDC_COLOUR_RESET           1001
#define IDC_COMBO_COLOUR_GREEN     1002
#define IDC_COMBO_COLOUR_BLUE      1003
#define IDC_COMBO_COLOUR_CYAN      1004
#define IDC_COMBO_COLOUR_MAGENTA   1005
#define IDC_COMBO_COLOUR_BLACK     1007
#define IDC_COMBO_COLOUR_BITMAPS   1008
#define IDC_COMBO_COLOUR_YELLOW    1010
#define IDC_COLOUR_HELP            1121

// The six printer colours, item texts of every colour combo.
#define IDS_PRINTER_COLOUR_BLACK   3
#define IDS_PRINTER_COLOUR_HIGH1   4
#define IDS_PRINTER_COLOUR_HIGH2   5
#define IDS_PRINTER_COLOUR_HIGH3   6
#define IDS_PRINTER_COLOUR_HIGH4   7
#define IDS_PRINTER_COLOUR_PROCESS 8
// The item every combo takes on reset, as a decimal index.
#define IDS_INDEX_COLOUR_RESET     57631
