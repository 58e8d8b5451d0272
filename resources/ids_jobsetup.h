#pragma once
// Resource identifiers of the two job-setup pages: their controls, item
// captions, messages, and the strings whose text is the combo index of an item
// that a rule picks out.
// The controls the job header builder reads back are in ids_print.h.

// --- Job Setup 1: controls ---------------------------------------------------
#define IDC_EDIT_NUMBER_COPIES               2612
#define IDC_COMBO_PRINTING_MODE              1152
#define IDC_CHECK_COLLATE                    1092
#define IDC_RADIO_PRINT_RANGE                1059
#define IDC_RADIO_PRINT_RANGE_FROM           1060
#define IDC_EDIT_FROM                        1084
#define IDC_EDIT_TO                          1085
#define IDC_CHECK_FINISH_CHAPTERS_SEPARATELY 1093
#define IDC_COMBO_BODY_PAPER                 1008
#define IDC_LINK_PAPER_SUBSTITUTIONS         1122
#define IDC_COMBO_EXIT_MODE                  1017
#define IDC_COMBO_STAPLE_MODE                1019
#define IDC_CHECK_TRIM_EDGES                 1095
#define IDC_COMBO_FRONT_COVER_PAPER          1025
#define IDC_CHECK_PRINT_PROOF_SET            1097
#define IDC_EDIT_PROOF_WAIT_TIME             1064
#define IDC_COMBO_PROOF_SET_ACTION           1063
// Labels and frames that follow their controls.
#define IDC_STATIC_COPIES                    2630
#define IDC_STATIC_PRINTING_MODE             2632
#define IDC_STATIC_CHAPTER_PAGES             1144
#define IDC_STATIC_TO                        1086
#define IDC_STATIC_PRINT_RANGE               2624
#define IDC_STATIC_BODY_PAPER                2634
#define IDC_STATIC_GENERAL_GROUPBOX          2625
#define IDC_STATIC_FINSHING_SETUP_GROUPBOX   2626
#define IDC_STATIC_EXIT                      1151
#define IDC_STATIC_STACK_MODE                1142
#define IDC_STATIC_STAPLE_MODE               1143
#define IDC_STATIC_FOLD_MODE                 1045
#define IDC_STATIC_COVERS_GROUPBOX           2621
#define IDC_STATIC_FRONT_COVER               1046
#define IDC_STATIC_FRONT_COVER_PAPER         1047
#define IDC_STATIC_BACK_COVER                1124
#define IDC_STATIC_BACK_COVER_PAPER          1125
#define IDC_STATIC_PROOF_MODE                1079
#define IDC_STATIC_WAIT_TIME                 1080
#define IDC_STATIC_MINUTES                   1081
#define IDC_STATIC_PROOF_ACTION              2644

// --- Job Setup 2: controls ---------------------------------------------------
#define IDC_COMBO_MISMATCH_HANDLING          1011
#define IDC_CHECK_FREEFORM_COLOR             1094
#define IDC_CHECK_HEADER_PAGE                1095
#define IDC_CHECK_SET_SEPARATORS             1096
#define IDC_COMBO_STATUS_MODE                1005
#define IDC_COMBO_STATUS_PAPER               1118
#define IDC_EDIT_MAX_SIGNATURE               1015
#define IDC_STATIC_SIGNATURE_SHEETS          1035
#define IDC_EDIT_OPERATOR_MESSAGE            1040
#define IDC_EDIT_DELIVER_TO                  1041
#define IDC_EDIT_CHARGE_NUMBER               1074
#define IDC_EDIT_EMAIL                       1075
#define IDC_CHECK_REMOVE_FILES               1092
#define IDC_STATIC_PRINTER_SETUP_GROUPBOX    2614
#define IDC_STATIC_MISMATCH_HANDLING         2633
#define IDC_STATIC_HEADER_PAPER              1140
#define IDC_STATIC_SEPAR_PAPER               1141
#define IDC_STATIC_STATUS_MODE               1149
#define IDC_STATIC_STATUS_PAGE_PAPER         1150
#define IDC_STATIC_MAX_SIGNATURE             1042
#define IDC_STATIC_OPERATOR_MESSAGE          2627
#define IDC_STATIC_DELIVER_TO                2628
#define IDC_STATIC_CHARGE_NUMBER             2629
#define IDC_STATIC_EMAIL                     2631

// --- Item captions -------------------------------------------------------------
#define IDS_PrintingMode_OneSided            28
#define IDS_PrintingMode_TwoSidedLong        29
#define IDS_PrintingMode_TwoSidedShort       30
#define IDS_PrintingMode_InterleavesBlank    351
#define IDS_PrintingMode_InterleavesPrinted  352
#define IDS_PrintingMode_Pamphlets           353
#define IDS_Exit_BookletMaker                143
#define IDS_Exit_Finisher                    45
#define IDS_Exit_PostProcessor               355
#define IDS_Exit_SideExit                    357
#define IDS_Exit_Stacker                     354
#define IDS_Exit_Stapler                     46
#define IDS_Exit_TopExit                     356
#define IDS_Stack_Offset                     48
#define IDS_Stack_NoOffset                   47
#define IDS_Stapler_None                     458
#define IDS_Stapler_Top                      50
#define IDS_Stapler_Bottom                   51
#define IDS_Stapler_Both                     52
#define IDS_Stapler_ThreeLeft                53
#define IDS_Stapler_SaddleStitch             54
#define IDS_Fold_None                        456
#define IDS_Fold_ZFold                       55
#define IDS_Fold_SaddleFold                  56
#define IDS_Cover_None                       457
#define IDS_Cover_PrintSide1                 57
#define IDS_Cover_PrintSide2                 58
#define IDS_Cover_PrintBothSides             74
#define IDS_Cover_PrePrintedBlank            71
#define IDS_BackCover_None                   460
#define IDS_ProofSet_Continue                183
#define IDS_ProofSet_Cancel                  184
#define IDS_Mismatch_AutoSub                 38
#define IDS_Mismatch_NotifySub               39
#define IDS_Mismatch_NotifyWait              40
#define IDS_Mismatch_CancelJob               363
#define IDS_Status_None                      454
#define IDS_Status_OnlyOnError               44
#define IDS_Status_Always                    205
#define IDS_Status_SinglePage                194

// --- Labels the pages set ------------------------------------------------------
#define IDS_PAPER_SUBSTITUTIONS_LINK         371
#define IDS_FRONT_COVER_LABEL                75
#define IDS_PAMPHLET_COVER_LABEL             385
#define IDS_SIGNATURE_SHEETS_BEFORE          202
#define IDS_SIGNATURE_SHEETS_AFTER           203
#define IDS_SIGNATURE_ONE_SHEET_AFTER        3727   // in place of 203 for a single sheet
#define IDS_PLAIN_PAPER                      374   // a paper name and a media type

// --- Combo indices of items the rules pick out (the text is the index) -----------
#define IDS_INDEX_NO_COVER                   67
#define IDS_INDEX_PAMPHLET_COVER_A           72
#define IDS_INDEX_PAMPHLET_COVER_B           76
#define IDS_INDEX_SADDLE_STITCH              286
#define IDS_INDEX_NO_STAPLING                288
#define IDS_INDEX_NO_FOLD                    57645
#define IDS_INDEX_SADDLE_FOLD                57647

// --- Messages ---------------------------------------------------------------------
#define IDS_NOT_A_POSITIVE_NUMBER            25
#define IDS_TOO_MANY_COPIES                  26
#define IDS_DIGITS_ONLY                      27
#define IDS_BODY_PAPER_LOCKED                210
#define IDS_PAMPHLETS_ONE_SIDED_BODY         377
#define IDS_MAX_COPIES_TEXT                  388
#define IDS_MAX_COPIES_MODEL0_TEXT           391
#define IDS_WAIT_TIME_TOO_LONG               416
#define IDS_COLLATE_REQUIRED                 57608
#define IDS_TOO_MANY_COPIES_MODEL0           57689
#define IDS_CHECK_PAMPHLET_CHAPTERS          57610
#define IDS_CHECK_STAPLER_SIZE               57611
#define IDS_CHECK_STAPLER_MIXED_SIZES        57612
#define IDS_CHECK_BOOKLET_ONE_SIZE           57614
#define IDS_CHECK_BOOKLET_PLAIN              57615
#define IDS_CHECK_BOOKLET_COVER_SIZE         57620
#define IDS_CHECK_BOOKLET_SEPARATORS         57621
#define IDS_CHECK_STAPLING_SEPARATORS        57622
#define IDS_CHECK_DUPLEX_ONE_SIDED           57623
#define IDS_CHECK_FRONT_COVER_ONE_SIDED      57624
#define IDS_CHECK_BACK_COVER_ONE_SIDED       57625
#define IDS_CHECK_PAMPHLET_COVER_SIZE        57626
#define IDS_CHECK_COVERS_FRONT_BOTH          57628
#define IDS_CHECK_COVERS_BACK_BOTH           57629
#define IDS_CHECK_BOOKLET_ONE_SIDED          61227

// --- Paper attribute panel beside a dropped paper list ----------------------
#define IDD_PAPER_ATTRIBUTES                 3720
#define IDC_PAPER_ATTRIBUTE_NAME             3721
#define IDC_PAPER_ATTRIBUTE_SIZE             3722
#define IDC_PAPER_ATTRIBUTE_COLOUR           3723
#define IDC_PAPER_ATTRIBUTE_WEIGHT           3724
#define IDC_PAPER_ATTRIBUTE_TYPE             3725
