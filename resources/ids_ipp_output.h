#pragma once
// Resource identifiers of the IPP output: the question about settings an IPP
// printer cannot carry out, the operator's words for each setting, and the
// messages of a job the printer did not take.

// The question and the failures.
#define IDS_IPP_QUESTION              3300   // %s the printer, %s the settings, one a line
#define IDS_IPP_QUESTION_ITEM         3301   // %s one setting
#define IDS_IPP_NOT_REACHED           3302   // %s the printer, %s the reason
#define IDS_IPP_NOT_TAKEN             3303   // %s the printer, %s the status name or error

// The settings in the operator's words.
#define IDS_IPP_WORDS_COPIES          3305   // %s the count
#define IDS_IPP_WORDS_COLLATED        3306
#define IDS_IPP_WORDS_UNCOLLATED      3307
#define IDS_IPP_WORDS_ONE_SIDED       3308
#define IDS_IPP_WORDS_TWO_SIDED_LONG  3309
#define IDS_IPP_WORDS_TWO_SIDED_SHORT 3310
#define IDS_IPP_WORDS_STAPLE_TOP      3311
#define IDS_IPP_WORDS_STAPLE_BOTTOM   3312
#define IDS_IPP_WORDS_STAPLE_DUAL     3313
#define IDS_IPP_WORDS_STAPLE_TRIPLE   3314
#define IDS_IPP_WORDS_SADDLE_STITCH   3315
#define IDS_IPP_WORDS_FOLD_Z          3316
#define IDS_IPP_WORDS_FOLD_HALF       3317
#define IDS_IPP_WORDS_TRIM            3318
#define IDS_IPP_WORDS_BOOKLET         3319
#define IDS_IPP_WORDS_OFFSET          3320
#define IDS_IPP_WORDS_OUTPUT_BIN      3321   // %s the exit
#define IDS_IPP_WORDS_PAPER           3322   // %s the paper
#define IDS_IPP_WORDS_FRONT_COVER     3323   // %s the paper
#define IDS_IPP_WORDS_BACK_COVER      3324   // %s the paper
#define IDS_IPP_WORDS_INSERT          3325   // %s the paper, %s the page
#define IDS_IPP_WORDS_SEPARATORS      3326   // %s the paper
#define IDS_IPP_WORDS_PAGE_EXCEPTION  3327   // %s the pages, %s the paper
#define IDS_IPP_WORDS_PAGE_RANGE      3328   // %s first, %s last
#define IDS_IPP_WORDS_PROOF           3329
#define IDS_IPP_WORDS_OPERATOR        3330
#define IDS_IPP_WORDS_DELIVER_TO      3331   // %s the recipient
#define IDS_IPP_WORDS_ACCOUNT         3332   // %s the charge number
#define IDS_IPP_WORDS_EMAIL           3333   // %s the address
#define IDS_IPP_WORDS_CHAPTERS        3334
#define IDS_IPP_WORDS_INTERLEAVES     3335
#define IDS_IPP_WORDS_STATUS_PAGE     3336
#define IDS_IPP_WORDS_HEADER_PAGE     3337
#define IDS_IPP_WORDS_COLOUR_MAP      3338
#define IDS_IPP_WORDS_CUSTOM          3339
#define IDS_IPP_WORDS_SAVE_AS         3340
#define IDS_IPP_WORDS_FINISH_CHAPTERS 3341
#define IDS_IPP_WORDS_WEIGHT          3342   // %s grams per square metre
#define IDS_IPP_WORDS_LAST_PAGE       3343
#define IDS_IPP_WORDS_FROM_PAGE       3344   // %s the first page of an open range
