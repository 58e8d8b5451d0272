#pragma once
// Resource identifiers of the print run: the checks before a run, the progress
// texts and the questions asked while the files go out. The job-file and
// printer-open messages are shared with the spooler output (ids_output.h).

// Checks before a run.
#define IDS_RUN_TOO_MANY_COLOURS      11
#define IDS_RUN_NO_COLOUR_PAGE        86
#define IDS_RUN_NO_PRINTER_SELECTED   186
#define IDS_RUN_BAD_SUBSTITUTION      193    // %d the substitution's number, %s its page list
#define IDS_RUN_BAD_PAGE_RANGE        197
#define IDS_RUN_BAD_PROOF_WAIT        198
#define IDS_RUN_NO_PRINTERS           206
#define IDS_RUN_PAPER_PROBLEM         213
#define IDS_RUN_ONE_FILE_ONLY         375    // followed by the server name, then 1164
#define IDS_RUN_ONE_FILE_ONLY_TAIL    1164
#define IDS_RUN_VALIDATE_FILE         423
#define IDS_RUN_VALIDATE_CANCELLED    2619

// Running the files.
#define IDS_RUN_FILE_FILTER           69
#define IDS_RUN_SENT                  90     // %s the file or the batch's names
#define IDS_RUN_NOT_SENT              91     // %s the file or the batch's names
#define IDS_RUN_TIFF_LANGUAGE         160
#define IDS_RUN_NO_FILES              372
#define IDS_RUN_PRINTING              384
#define IDS_RUN_SENDING               390
#define IDS_RUN_LOCATE_FILE           431    // %s the missing path
#define IDS_RUN_TIFF_EXTENSION        461
#define IDS_RUN_TIFF_EXTENSION_LONG   462
