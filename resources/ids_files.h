#pragma once
// Resource identifiers of the Printers and Files pages and their folder browser.

// Printers page (IDD_TAB_PRINTER_SELECT).
#define IDC_PRINTER_LIST           1038
#define IDC_ADD_NETWORK_PRINTER    1098
#define IDC_NETWORK_PRINTER_TEXT   2640
#define IDC_SERVER_TEXT            2609
#define IDC_SERVER_FRAME           2605
#define IDC_CHECK_PRINT            1068
#define IDC_CHECK_SAVE_AS          1070
#define IDC_EDIT_SAVE_AS           1072
#define IDC_CHECK_SPECIFIC_PRINTER 1071
#define IDC_EDIT_SPECIFIC_PRINTER  1073
#define IDC_STATIC_PRINTER_MODEL   2610
#define IDC_COMBO_PRINTER_MODEL    1065
#define IDC_PRINTERS_HELP          2639

// Files page (IDD_TAB_FILE_SELECT).
#define IDC_FOLDER_TREE            2641
#define IDC_FILE_LIST              2642
#define IDC_EDIT_FILE_NAME         1156
#define IDC_COMBO_FILE_TYPE        1093
#define IDC_FILES_TO_PRINT         1000
#define IDC_STATIC_FILES_TO_PRINT  2612
#define IDC_COMBO_PRINTER_LANGUAGE 1066
#define IDC_COMBO_MODIFY_FILE      1083
#define IDC_SELECT_FILE            1001
#define IDC_SELECT_ALL_FILES       1002
#define IDC_REMOVE_FILES           1003
#define IDC_FILES_HELP             2636

// Printer list: the system profile's sections and keys, and the row text.
#define IDS_DEVICES_SECTION        23
#define IDS_WINDOWS_SECTION        34
#define IDS_DEFAULT_PRINTER_KEY    92
#define IDS_NO_PRINTERS            96
#define IDS_PRINTER_ROW_FORMAT     97     // device name, port
#define IDS_MODEL_SWITCH_QUESTION  393    // followed by the model's caption
#define IDS_MODEL_SWITCH_QUESTION_END 396
#define IDS_ADD_PRINTER_UNAVAILABLE 440
#define IDS_IMPORTED_PRINTER_UNKNOWN 61262 // %1: the device name the job settings gave

// File-type filter items; the TIFF item is IDS_TIFF_FILE_TYPE.
#define IDS_FILE_TYPE_POSTSCRIPT   135
#define IDS_FILE_TYPE_PCL          137
#define IDS_FILE_TYPE_PRN          136
#define IDS_FILE_TYPE_PDF          149
#define IDS_FILE_TYPE_ALL          138

// Printer-language items, in combo order.
#define IDS_LANGUAGE_POSTSCRIPT    147
#define IDS_LANGUAGE_PCL           139
#define IDS_LANGUAGE_PDF           148
#define IDS_LANGUAGE_TIFF          61221

// Modify-print-file items, in combo order.
#define IDS_MODIFY_FILE_YES        140
#define IDS_MODIFY_FILE_CUS        141
#define IDS_MODIFY_FILE_NO         142

#define IDS_FILE_NOT_OPENED        410    // a line break and the path follow
#define IDS_FILES_TO_PRINT_LABEL   61223

// Configuration file: the folder browser's section and keys.
#define IDS_CONFIG_BROWSER_SECTION 516
#define IDS_CONFIG_LAST_FOLDER_KEY 517
#define IDS_CONFIG_TYPE_FILTER_KEY 520
