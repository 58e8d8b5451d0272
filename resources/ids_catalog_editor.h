#pragma once
// Resource identifiers of the paper catalog editor and of its name-list editor.

// The catalog editor.
#define IDD_PAPER_CATALOG_EDITOR       104
#define IDC_CATALOG_PAPER_LIST         1017
#define IDC_CATALOG_NAME               1018
#define IDC_CATALOG_SIZE               1019
#define IDC_CATALOG_COLOR              1020
#define IDC_CATALOG_WEIGHT             1021
#define IDC_CATALOG_TYPE               1022
#define IDC_CATALOG_ADD                1023
#define IDC_CATALOG_DELETE             1024
#define IDC_CATALOG_MODIFY             1027
#define IDC_CATALOG_EDIT_COLORS        1110
#define IDC_CATALOG_EDIT_WEIGHTS       1111
#define IDC_CATALOG_EDIT_TYPES         1112
#define IDC_CATALOG_MOVE_UP            1126
#define IDC_CATALOG_MOVE_DOWN          1127
#define IDC_CATALOG_WRITE              1128
#define IDC_CATALOG_ONE_SIDED          1134
#define IDC_CATALOG_OK                 1100

// Messages of the catalog editor.
#define IDS_CATALOG_NAME_TAKEN         104
#define IDS_CATALOG_NAME_EMPTY         383
#define IDS_CATALOG_APPLY_TO_EXISTING  394
#define IDS_CATALOG_RENAME_USED        424
#define IDS_CATALOG_EDIT_PENDING       1153

// The name-list editor.
#define IDD_NAME_LIST_EDITOR           3800
#define IDC_NAME_LIST                  3801
#define IDC_NAME_LIST_TEXT             3802
#define IDC_NAME_LIST_ADD              3803
#define IDC_NAME_LIST_RENAME           3804
#define IDC_NAME_LIST_DELETE           3805
#define IDC_NAME_LIST_UP               3806
#define IDC_NAME_LIST_DOWN             3807
// Titles by mode: weights 0, colours 1, media types 2.
#define IDS_NAME_LIST_TITLE_WEIGHTS    3810
#define IDS_NAME_LIST_TITLE_COLORS     3811
#define IDS_NAME_LIST_TITLE_TYPES      3812
#define IDS_NAME_LIST_NO_SELECTION     3815
#define IDS_NAME_LIST_EMPTY            3816
#define IDS_NAME_LIST_COMMA            3817
#define IDS_NAME_LIST_DUPLICATE        3818
#define IDS_NAME_LIST_NO_NUMBER        3819
#define IDS_NAME_LIST_LAST_ENTRY       3820
