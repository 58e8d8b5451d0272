/* A minimal host of Orvox.dll in C: it links against the import library, creates
 * the job-setup window inside a hidden window of its own, prints the library's
 * version string and paper catalog on standard output, and ends the library.
 * Run it from the folder that holds Orvox.dll, orvoxRes.dll and the installation
 * data files. Exit status 0 when every call succeeded, else the failing result code. */
#include <stdio.h>
#include <stdlib.h>
#include <windows.h>
#include "Orvox.h"

/* Answers every question of the library with OK/Yes and shows no box, so the
 * sample runs unattended; the text goes to standard error. */
static int ORVOX_CALL answerSilently(const char* text, unsigned int type, int* show)
{
    fprintf(stderr, "message (type %u): %s\n", type, text ? text : "");
    *show = 0;
    return (type & MB_TYPEMASK) == MB_OK ? IDOK : IDYES;
}

/* Runs one of the two-step text getters: size first, then the text. */
static char* getText(int (ORVOX_CALL* sizeOf)(int*), int (ORVOX_CALL* get)(char*), int* result)
{
    int size = 0;
    char* text;
    *result = sizeOf(&size);
    if (*result != ORVO_OK) return NULL;
    text = (char*)malloc((size_t)size);
    if (!text) {
        *result = ORVO_MEMORY_ERROR;
        return NULL;
    }
    *result = get(text);
    if (*result != ORVO_OK) {
        free(text);
        return NULL;
    }
    return text;
}

int main(void)
{
    HWND parent;
    char* text;
    int result;

    parent = CreateWindowExA(0, "STATIC", "Orvox sample host", WS_OVERLAPPEDWINDOW, 0, 0, 800, 600,
                             NULL, NULL, GetModuleHandleA(NULL), NULL);
    if (!parent) {
        fprintf(stderr, "could not create the host window\n");
        return 1;
    }
    result = Orvo_InitMain(answerSilently, NULL);
    if (result == ORVO_OK) result = Orvo_CreateMain(parent, 0, "sample host 1.0");
    if (result != ORVO_OK) {
        fprintf(stderr, "Orvo_InitMain/Orvo_CreateMain: %d\n", result);
        Orvo_Exit(1);
        DestroyWindow(parent);
        return result;
    }

    text = getText(Orvo_GetSizeOfVersion, Orvo_GetVersion, &result);
    if (text) {
        printf("version: %s\n", text);
        free(text);
        text = getText(Orvo_GetSizeOfPaperCatalog, Orvo_GetPaperCatalog, &result);
    }
    if (text) {
        printf("paper catalog:\n%s\n", text);
        free(text);
    } else {
        fprintf(stderr, "text getter: %d\n", result);
    }

    if (Orvo_Exit(1) != ORVO_OK && result == ORVO_OK) result = 1;
    DestroyWindow(parent);
    return result;
}
