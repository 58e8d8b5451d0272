#pragma once
// Resource identifiers of the print output: the PDF syntax of TIFF batches, the
// markers of a header that a print file already carries, and the messages of
// the TIFF conversion and the spooler output.

// PDF templates, in the order a batch is written.
#define IDS_PDF_FILE_HEADER        468
#define IDS_PDF_CATALOG            469
#define IDS_PDF_PAGE               463
#define IDS_PDF_PAGE_CONTENT       470
#define IDS_PDF_IMAGE_DICTIONARY   464
#define IDS_PDF_IMAGE_STREAM_START 465
#define IDS_PDF_IMAGE_STREAM_END   466
#define IDS_PDF_IMAGE_LENGTH       467
#define IDS_PDF_PAGE_TREE          471
#define IDS_PDF_TRAILER            472

// Header markers.
#define IDS_HEADER_MARKER_START    376
#define IDS_HEADER_MARKER_END      216
#define IDS_HEADER_MARKER_TAIL1    215
#define IDS_HEADER_MARKER_TAIL2    422

// Messages.
#define IDS_OUT_OF_MEMORY          70
#define IDS_JOB_FILE_FAILED        110
#define IDS_TIFF_UNREADABLE        113
#define IDS_TIFF_NOT_CONVERTED     115
#define IDS_TIFF_DISK_FULL         1040
#define IDS_TIFF_TILED             1050
#define IDS_TIFF_RESOLUTION        1051
#define IDS_TIFF_NOT_BILEVEL       1052
#define IDS_PRINT_START_FAILED     57638
