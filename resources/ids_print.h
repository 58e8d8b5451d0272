#pragma once
// Resource identifiers of the print output: the texts the job header builder
// uses beside the command templates. The templates themselves are addressed by
// block base + template number (templates_model0.rc, templates_model1.rc).

// Media texts of catalog papers in the header's media entries.
#define IDS_MEDIA_INTERLEAVE_TYPE     10     // media type of the interleave sheets
#define IDS_INTERLEAVE_PAPER_NAME     24
#define IDS_MEDIA_ANY_COLOR           127    // a colour that the header leaves open: "()"
#define IDS_MEDIA_ANY_WEIGHT          134    // a weight that the header writes as 0
#define IDS_MEDIA_ANY_TYPE            368    // a media type that the header leaves open: "()"

#define IDS_SCRIPT_FILE_OPEN_FAILED   1162
#define IDS_CLIENT_SYSTEM_LABEL       1167   // printer model 0: put before the machine string
#define IDS_MODEL0_PROOF_SET          1168   // printer model 0: the proof-set segment, written as it stands
#define IDS_PAGE_LIST_CONTINUATION    1169   // put before the rest of a page-list line cut at 255 characters

// The registry key of the machine string: root + (NT or other) + tail, value name.
#define IDS_MACHINE_KEY_ROOT          61228
#define IDS_MACHINE_VALUE_NAME        61229
#define IDS_MACHINE_KEY_TAIL          61230
#define IDS_MACHINE_KEY_NT            61231
#define IDS_MACHINE_KEY_OTHER         61232

// Controls of the job-setup pages whose enabled state carries what the
// selected printer offers; the header builder reads them back.
#define IDC_COMBO_FRONT_COVER         1024
#define IDC_COMBO_BACK_COVER          1123
#define IDC_COMBO_BACK_COVER_PAPER    1119
#define IDC_COMBO_STACK_MODE          1018
#define IDC_COMBO_FOLD_MODE           1020
#define IDC_EDIT_CHAPTER_PAGES_LIST   1062
#define IDC_COMBO_HEADER_PAPER        1013
#define IDC_COMBO_SEPAR_PAPER         1014
