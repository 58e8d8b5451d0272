/* Orvox.h: the public interface of Orvox.dll for host programs.
 *
 * Call order: Orvo_InitMain (optionally Orvo_InitStatus), Orvo_CreateMain
 * (optionally Orvo_CreateStatus), Orvo_ShowMain / Orvo_ShowStatus, then any of
 * the other functions, and Orvo_Exit last. After a successful Orvo_Exit the
 * sequence may start again. Every function returns one of the result codes below.
 * All functions must be called on the thread that owns the host's windows.
 */
#ifndef ORVOX_H
#define ORVOX_H

#include <windows.h>

#ifdef __cplusplus
extern "C" {
#endif

#ifdef ORVOX_BUILDING_DLL
#define ORVOX_API __declspec(dllexport)
#else
#define ORVOX_API __declspec(dllimport)
#endif

/* Offered every message box before the library shows it. *show is 1 on entry;
 * set it to 0 to answer in the library's place with the return value (IDOK, IDYES...). */
typedef int (*OrvoMessageHook)(const char* text, unsigned int type, int* show);
/* Told the document title, the application caption and whether the document is modified. */
typedef void (*OrvoSetTitleHook)(const char* title, const char* caption, int modified);

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

ORVOX_API int Orvo_InitMain(OrvoMessageHook messageHook, OrvoSetTitleHook setTitleHook);
ORVOX_API int Orvo_InitStatus(void);
ORVOX_API int Orvo_CreateMain(HWND parent, int showSplash, const char* hostVersion);
ORVOX_API int Orvo_CreateStatus(HWND parent);
ORVOX_API int Orvo_GetWindowMain(HWND* window);
ORVOX_API int Orvo_GetWindowStatus(HWND* window);
ORVOX_API int Orvo_ShowMain(int showCommand, int x, int y);
ORVOX_API int Orvo_ShowStatus(int showCommand, int x, int y);
ORVOX_API int Orvo_Print(void);
ORVOX_API int Orvo_OpenSettings(const char* path);
ORVOX_API int Orvo_SaveSettings(const char* path);
ORVOX_API int Orvo_OpenXMLSettings(const char* xml, int* errorLine);
ORVOX_API int Orvo_NewSettings(void);
ORVOX_API int Orvo_GetSizeOfPaperCatalog(int* size);
ORVOX_API int Orvo_GetPaperCatalog(char* buffer);
ORVOX_API int Orvo_ShowTab(unsigned int tabId, int show);
ORVOX_API int Orvo_ShowGuiElement(int tabId, int controlId, int show);
ORVOX_API int Orvo_GetSizeOfVersion(int* size);
ORVOX_API int Orvo_GetVersion(char* buffer);
ORVOX_API int Orvo_SendMessage(unsigned int message, unsigned int wParam, long lParam);
ORVOX_API int Orvo_Exit(int force);

#ifdef __cplusplus
}
#endif

#endif /* ORVOX_H */
