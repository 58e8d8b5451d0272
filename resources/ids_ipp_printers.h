#pragma once
// Resource identifiers of the IPP printers: their section of the configuration
// file, their rows on the Printers page and what the print run says when it
// sends to one.

// Configuration file.
#define IDS_IPP_PRINTERS_SECTION      3350
#define IDS_IPP_PRINTERS_REJECTED     3351   // followed by one IDS_IPP_PRINTER_BAD_LINE per entry
#define IDS_IPP_PRINTER_BAD_LINE      3352   // %s line number, %s its text, %s why
#define IDS_IPP_PRINTER_NOT_AN_ENTRY  3353
#define IDS_IPP_PRINTER_NO_NAME       3354
#define IDS_IPP_PRINTER_SAME_NAME     3355
#define IDS_IPP_PRINTER_BAD_ADDRESS   3356   // %s why the address cannot be used

// Printers page.
#define IDS_IPP_PRINTER_ROW_FORMAT    3360   // %s the printer's name, %s its address

// Print run.
#define IDS_IPP_QUERY_FAILED          3370   // %s the printer's name, %s the error
#define IDS_IPP_SENT                  3372   // %s the file or the batch's names, %s the job id, %s the printer
#define IDS_IPP_SENT_IGNORED          3373   // as IDS_IPP_SENT, then %s what the printer ignored
#define IDS_IPP_SEND_FAILED           3374   // %s the file or the batch's names, %s the printer's name, %s the error
#define IDS_IPP_UNKNOWN_PRINTER       3375   // %s the printer's name
