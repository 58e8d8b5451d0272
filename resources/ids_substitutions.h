#pragma once
// Resource identifiers of the paper substitutions page: its controls and texts.

// Controls of IDD_TAB_PAPER_EXCEPTIONS.
#define IDC_SUBST_ADD                 1006
#define IDC_SUBST_DELETE              1007
#define IDC_SUBST_LIST                1009
#define IDC_SUBST_PAGE_LIST           1031
#define IDC_SUBST_BODY_PAPER          1033
#define IDC_SUBST_PAPER               1036
#define IDC_SUBST_ATTR_SIZE           1048
#define IDC_SUBST_ATTR_COLOR          1049
#define IDC_SUBST_ATTR_WEIGHT         1050
#define IDC_SUBST_ATTR_TYPE           1051
#define IDC_SUBST_ATTR_ONE_SIDED      1052
#define IDC_SUBST_HELP                1097
#define IDC_SUBST_MOVE_UP             1126
#define IDC_SUBST_MOVE_DOWN           1127
#define IDC_SUBST_MODIFY              1137

// Texts. The kind texts are consecutive: kind k uses IDS_SUBST_KIND_FIRST + k.
#define IDS_SUBST_KIND_FIRST          166
#define IDS_SUBST_KIND_1              167
#define IDS_SUBST_KIND_2              168
#define IDS_SUBST_KIND_3              169
#define IDS_SUBST_KIND_4              170
#define IDS_SUBST_KIND_5              171
#define IDS_SUBST_KIND_6              172
#define IDS_SUBST_KIND_7              173
#define IDS_SUBST_KIND_8              174
#define IDS_SUBST_KIND_9              175
#define IDS_SUBST_KIND_10             176
#define IDS_SUBST_KIND_11             177
#define IDS_SUBST_KIND_LAST           178
#define IDS_SUBST_PAPER_UNREADABLE    179
#define IDS_SUBST_NOT_STORED          188
#define IDS_SUBST_BAD_PAGE_LIST       406    // followed by the page list in double quotes
#define IDS_SUBST_ONE_SIDED_FLAG      418    // the catalog's one-sided text ...
#define IDS_SUBST_ONE_SIDED_SHOWN     419    // ... and how the page shows it
#define IDS_SUBST_STAY_QUESTION       1155
