// Resource ids of the test application: its dialogs, their controls and the host menu.
#pragma once

#define IDD_TEST_MAIN 2619
#define IDD_PARAMETER_EDITOR 2620
#define IDD_GUI_ELEMENTS 130
#define IDR_HOST_MENU 128
#define IDR_HOST_ACCELERATORS 129

// Main dialog
#define IDC_PAGE_FIRST 1000 // 1000..1006: Enabled Pages check boxes, in tab order
#define IDC_XML_APPLY 1007
#define IDC_XML_TEXT 1008
#define IDC_XML_LOAD 1009
#define IDC_XML_SAVE 1010
#define IDC_SETTINGS_NEW 1011
#define IDC_SETTINGS_OPEN 1012
#define IDC_SETTINGS_SAVE 1013
#define IDC_SETTINGS_PATH 1014
#define IDC_PRINT 1015
#define IDC_VERSION 1016
#define IDC_PAPER_CATALOG 1017
#define IDC_SETTINGS_BROWSE 1018
#define IDC_LOAD 1019
#define IDC_CREATE_MAIN 1020
#define IDC_CREATE_STATUS 1021
#define IDC_SHOW_MAIN 1022
#define IDC_SHOW_STATUS 1023
#define IDC_ORVO_EXIT 1024
#define IDC_GET_WINDOW_MAIN 1025
#define IDC_GET_WINDOW_STATUS 1026
#define IDC_INIT_MAIN 1027
#define IDC_INIT_STATUS 1028
#define IDC_FREE 1029
#define IDC_HIDE_MAIN 1030
#define IDC_HIDE_STATUS 1031
#define IDC_STATE_LIBRARY 1032
#define IDC_STATE_MAIN 1033
#define IDC_STATE_STATUS 1034
#define IDC_LIBRARY_FRAME 1035
#define IDC_XML_CLEAR 1036
#define IDC_OUTPUT 1037
#define IDC_SHOW_GUI 1045
#define IDC_QUICK_START 1046
#define IDC_QUICK_FREE 1047
#define IDC_EXIT 1048

// Parameter editor: four rows of label and edit
#define IDC_PARAM_LABEL_FIRST 1101
#define IDC_PARAM_EDIT_FIRST 1111

// GUI element dialog
#define IDC_GUI_SHOW 1050
#define IDC_GUI_HIDE 1051
#define IDC_GUI_TAB 1054
#define IDC_GUI_LABEL 1056
#define IDC_GUI_ID 1057

// Host menu commands; the library serves all but Close and Exit
#define IDM_CATALOG_OPEN 0x8004
#define IDM_CHANGE_PASSWORD 0x8005
#define IDM_FILE_CLOSE 0x8006
#define IDM_HELP_TOPICS 0x8008
#define IDM_REFRESH 0x800A
#define IDM_FILE_NEW 0xE100
#define IDM_FILE_OPEN 0xE101
#define IDM_FILE_SAVE 0xE103
#define IDM_FILE_SAVE_AS 0xE104
#define IDM_EDIT_CLEAR 0xE120
#define IDM_EDIT_COPY 0xE122
#define IDM_EDIT_CUT 0xE123
#define IDM_EDIT_PASTE 0xE125
#define IDM_EDIT_UNDO 0xE12B
#define IDM_APP_ABOUT 0xE140
#define IDM_APP_EXIT 0xE141
