#pragma once
// Resource identifiers of the job settings document and the settings file.

// The two signatures a settings file may start with; both texts have the same length.
#define IDS_SETTINGS_SIGNATURE_ALTERNATIVE  1087
#define IDS_SETTINGS_SIGNATURE              1088

// Messages of reading and writing settings files.
#define IDS_NOT_A_SETTINGS_FILE             1163   // followed by the application title and 103
#define IDS_NOT_A_SETTINGS_FILE_TAIL        103
#define IDS_OLD_SETTINGS_FILE_CONVERTED     57627
#define IDS_SETTINGS_FILE_COPIES_TAKEN_OVER 57688
#define IDS_UNKNOWN_PRINTER_MODEL           61226
#define IDS_PAPERS_REPLACED                 409    // followed by the replacement paper's name and 408
#define IDS_PAPERS_REPLACED_TAIL            408
#define IDS_CATALOG_FILE_MISSING            425    // followed by the catalog file name
#define IDS_DOCUMENT_INIT_FAILED            187    // followed by the catalog file name and 181
#define IDS_DOCUMENT_INIT_FAILED_TAIL       181
#define IDS_SETTINGS_FILE_READ_ONLY         450    // followed by a line feed and the file name
#define IDS_SETTINGS_FILE_WRITE_FAILED      452    // followed by the path and 453
#define IDS_SETTINGS_FILE_WRITE_FAILED_TAIL 453

// The settings-file dialogs.
#define IDS_OPEN_READ_ONLY_QUESTION         451    // followed by a line feed and the path
#define IDS_OPEN_DIALOG_FAILED              445
#define IDS_INVALID_FILE_NAME               441    // followed by the name and 61235
#define IDS_INVALID_FILE_NAME_TAIL          61235
#define IDS_SAVE_DIALOG_FAILED              442
