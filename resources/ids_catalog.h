#pragma once
// Resource identifiers of the paper catalog and of the messages of
// the catalog editor that refer to it. Values are fixed.

// Section and key names of the catalog file.
#define IDS_CATALOG_COUNT_KEY          513
#define IDS_CATALOG_PAPER_SECTION      514
#define IDS_CATALOG_BODY_PAPER_KEY     515
#define IDS_CATALOG_COLOR_SECTION      521
#define IDS_CATALOG_MEDIA_TYPE_SECTION 522
#define IDS_CATALOG_WEIGHT_SECTION     523
#define IDS_CATALOG_SIZE_SECTION       524

// What a placeholder value in the file stands for, per vocabulary list.
#define IDS_CATALOG_DEFAULT_SIZE       57649
#define IDS_CATALOG_DEFAULT_COLOR      57650
#define IDS_CATALOG_DEFAULT_WEIGHT     57651
#define IDS_CATALOG_DEFAULT_MEDIA_TYPE 57652
// A file value that begins like this marker stands for "no value".
#define IDS_CATALOG_PLACEHOLDER_MARKER 57653
#define IDS_CATALOG_EMPTY_ENTRY        366
#define IDS_CATALOG_DEFAULT_PAPER_NAME 370

// The two texts of the one-sided flag: list 4 holds 362 (flag 0) then 361 (flag 1).
#define IDS_CATALOG_FLAG_ONE_SIDED     361
#define IDS_CATALOG_FLAG_TWO_SIDED     362

// Messages.
#define IDS_CATALOG_WRITE_FAILED       93     // followed by the file name (94) and 32
#define IDS_CATALOG_WRITE_FAILED_TAIL  32
#define IDS_CATALOG_DUPLICATE_NAMES    112
#define IDS_CATALOG_EMPTY_NAME         195
#define IDS_CATALOG_SAVE_QUESTION      200
#define IDS_CATALOG_NO_SELECTION       106
#define IDS_CATALOG_DELETE_FAILED      107
#define IDS_CATALOG_PAPER_IN_USE       116
#define IDS_CATALOG_DELETE_QUESTION    117
#define IDS_CATALOG_BODY_SLOT_DELETE   380
