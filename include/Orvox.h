/* Orvox.h: the public interface of Orvox.dll for host programs (C and C++).
 *
 * Binding: every function has C linkage, the __cdecl calling convention and an
 * undecorated name, in the 64-bit and in the 32-bit DLL alike. Link with the
 * import library of your toolchain (Orvox.lib for the MSVC linker,
 * libOrvox.dll.a for MinGW) or load the DLL with LoadLibrary/GetProcAddress.
 * The resource module orvoxRes.dll and the installation data files must lie in
 * the folder of the host program's executable. A 32-bit host takes the 32-bit
 * DLLs, a 64-bit host the 64-bit ones; Windows refuses to load the other kind.
 *
 * Call order:
 *   1. Orvo_InitMain (the two hooks); optionally Orvo_InitStatus.
 *   2. Orvo_CreateMain with the host window that contains the job-setup window;
 *      optionally Orvo_CreateStatus with the window that contains the status window.
 *   3. Orvo_ShowMain / Orvo_ShowStatus to place and show them; Orvo_GetWindowMain /
 *      Orvo_GetWindowStatus to obtain their handles (pass a pointer to a NULL HWND).
 *   4. Any of the settings, catalog, tab, version, print and message functions.
 *   5. Orvo_Exit last. After a successful Orvo_Exit the sequence may start again.
 * Any function other than Orvo_InitMain called before it returns ORVO_NOT_INITIALISED
 * (Orvo_InitStatus: ORVO_INIT_MAIN_FIRST).
 *
 * Buffer protocol of the two text getters (version, paper catalog): call the size
 * function first; it writes the length of the text plus one for the terminating
 * zero. Allocate at least that many bytes and pass the buffer to the getter, which
 * copies the text with its zero. The text is rebuilt on every call, so the document
 * must not change between the two calls.
 *
 * Several jobs in one start of the library: Orvo_NewSettings resets the job
 * settings but leaves the list of files to print alone (an operator's files stay
 * when the settings are reset), and Orvo_OpenXMLSettings adds the files it names
 * to the list. To print job after job without Orvo_Exit, begin each job with
 * Orvo_NewSettings and an XML text whose FILES_TO_PRINT starts with
 * <REPLACE_FILES>ON</REPLACE_FILES>: the list is emptied, then that element's
 * FILE entries (if any) are listed. REPLACE_FILES may only be the first child of
 * FILES_TO_PRINT (elsewhere ORVO_XML_ILLEGAL_ORDER); a library older than this
 * header refuses it with ORVO_XML_UNKNOWN_TAG and changes nothing, so a host
 * can fall back to a start per job. The printer selected by one job stays
 * selected for the next: name the printer in every job (PRINTER).
 *
 * Every function returns one of the result codes below and never lets an exception
 * reach the host. All functions must be called on the thread that owns the host's
 * windows; printing and TIFF conversion run inside the call and block that thread.
 */
#ifndef ORVOX_H
#define ORVOX_H

#include <windows.h>

#ifdef __cplusplus
extern "C" {
#endif

#ifndef ORVOX_CALL
#define ORVOX_CALL __cdecl
#endif

#ifdef ORVOX_BUILDING_DLL
#define ORVOX_API __declspec(dllexport)
#else
#define ORVOX_API __declspec(dllimport)
#endif

/* Offered every message box before the library shows it. *show is 1 on entry;
 * set it to 0 to answer in the library's place with the return value (IDOK, IDYES...). */
typedef int (ORVOX_CALL *OrvoMessageHook)(const char* text, unsigned int type, int* show);
/* Told the document title, the application caption and whether the document is modified. */
typedef void (ORVOX_CALL *OrvoSetTitleHook)(const char* title, const char* caption, int modified);

enum OrvoResult {
    ORVO_OK = 0,
    ORVO_GENERAL_ERROR = 1,
    ORVO_EXCEPTION = 2,
    ORVO_CREATE_EXCEPTION = 3,
    ORVO_INVALID_PARAMETER = 4,
    ORVO_NOT_INITIALISED = 5,
    ORVO_INIT_TWICE = 6,
    ORVO_INIT_MAIN_FIRST = 7,
    ORVO_NOT_CREATED = 8,
    ORVO_CREATE_TWICE = 9,
    ORVO_CREATE_FAILED = 10,
    ORVO_DIALOG_INIT_FAILED = 11,
    ORVO_MEMORY_ERROR = 12,
    ORVO_INI_FILE_ERROR = 13,
    ORVO_DOCUMENT_INIT_FAILED = 14,
    ORVO_BAD_PAPER_NAMES = 15,
    ORVO_SAVE_FAILED = 16,
    ORVO_CANNOT_OPEN_FILE = 17,
    ORVO_NO_WINDOW = 18,
    ORVO_INVALID_PRINTER = 19,
    ORVO_INVALID_DATA = 20,
    ORVO_EDITING_EXCEPTIONS = 21,
    ORVO_PRINTING = 22,
    ORVO_CANCELLED = 23,
    ORVO_NOT_SETTINGS_FILE = 24,
    ORVO_UNSUPPORTED_VERSION = 25,
    ORVO_DLL_LOAD_FAILED = 26,        /* host side only */
    ORVO_DLL_FUNCTION_MISSING = 27,   /* host side only */
    ORVO_NO_FILE_TO_PRINT = 28,
    ORVO_PRINTER_OPEN_FAILED = 29,
    ORVO_JOB_FILE_FAILED = 30,
    ORVO_SEND_FAILED = 31,
    ORVO_TIFF_READ_FAILED = 32,
    ORVO_TIFF_G4_FAILED = 33,
    ORVO_TIFF_NOT_BILEVEL = 34,
    ORVO_TIFF_RESOLUTION = 35,
    ORVO_TIFF_TILED = 36,
    ORVO_DISK_SPACE = 37,
    ORVO_XML_READ = 38,
    ORVO_XML_SYNTAX = 39,
    ORVO_XML_UNKNOWN_TAG = 40,
    ORVO_XML_ILLEGAL_VALUE = 41,
    ORVO_XML_ILLEGAL_ORDER = 42,
    ORVO_XML_OTHER = 43
};

/* Tab ids accepted by Orvo_ShowTab and Orvo_ShowGuiElement. */
#define ORVO_TAB_PRINTERS      433
#define ORVO_TAB_FILES         434
#define ORVO_TAB_JOB_SETUP_1   435
#define ORVO_TAB_JOB_SETUP_2   519
#define ORVO_TAB_CUSTOM        436
#define ORVO_TAB_SUBSTITUTIONS 437
#define ORVO_TAB_COLOUR        438

ORVOX_API int ORVOX_CALL Orvo_InitMain(OrvoMessageHook messageHook, OrvoSetTitleHook setTitleHook);
ORVOX_API int ORVOX_CALL Orvo_InitStatus(void);
ORVOX_API int ORVOX_CALL Orvo_CreateMain(HWND parent, int showSplash, const char* hostVersion);
ORVOX_API int ORVOX_CALL Orvo_CreateStatus(HWND parent);
ORVOX_API int ORVOX_CALL Orvo_GetWindowMain(HWND* window);
ORVOX_API int ORVOX_CALL Orvo_GetWindowStatus(HWND* window);
ORVOX_API int ORVOX_CALL Orvo_ShowMain(int showCommand, int x, int y);
ORVOX_API int ORVOX_CALL Orvo_ShowStatus(int showCommand, int x, int y);
ORVOX_API int ORVOX_CALL Orvo_Print(void);
ORVOX_API int ORVOX_CALL Orvo_OpenSettings(const char* path);
ORVOX_API int ORVOX_CALL Orvo_SaveSettings(const char* path);
ORVOX_API int ORVOX_CALL Orvo_OpenXMLSettings(const char* xml, int* errorLine);
ORVOX_API int ORVOX_CALL Orvo_NewSettings(void);
ORVOX_API int ORVOX_CALL Orvo_GetSizeOfPaperCatalog(int* size);
ORVOX_API int ORVOX_CALL Orvo_GetPaperCatalog(char* buffer);
ORVOX_API int ORVOX_CALL Orvo_ShowTab(unsigned int tabId, int show);
ORVOX_API int ORVOX_CALL Orvo_ShowGuiElement(int tabId, int controlId, int show);
ORVOX_API int ORVOX_CALL Orvo_GetSizeOfVersion(int* size);
ORVOX_API int ORVOX_CALL Orvo_GetVersion(char* buffer);
ORVOX_API int ORVOX_CALL Orvo_SendMessage(unsigned int message, unsigned int wParam, long lParam);
ORVOX_API int ORVOX_CALL Orvo_Exit(int force);

#ifdef __cplusplus
}
#endif

#endif /* ORVOX_H */
