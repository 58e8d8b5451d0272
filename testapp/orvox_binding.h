#pragma once
// Binds the 21 exports of Orvox.dll by name at run time, as a host does.
#include <windows.h>

#include "Orvox.h"

namespace orvox::test {

class OrvoxBinding {
public:
    using InitMainFn = int (*)(OrvoMessageHook, OrvoSetTitleHook);
    using VoidFn = int (*)();
    using CreateMainFn = int (*)(HWND, int, const char*);
    using HwndFn = int (*)(HWND);
    using HwndOutFn = int (*)(HWND*);
    using ShowFn = int (*)(int, int, int);
    using PathFn = int (*)(const char*);
    using XmlFn = int (*)(const char*, int*);
    using IntOutFn = int (*)(int*);
    using BufferFn = int (*)(char*);
    using ShowTabFn = int (*)(unsigned, int);
    using ShowGuiFn = int (*)(int, int, int);
    using SendMessageFn = int (*)(unsigned, unsigned, long);
    using ExitFn = int (*)(int);

    ~OrvoxBinding() { unload(); }

    // 0, 26 when the library does not load, 27 when an export is missing.
    int load(const char* path)
    {
        module_ = LoadLibraryA(path);
        if (!module_) return 26;
        bool all = true;
        auto bind = [&](auto& fn, const char* name) {
            fn = reinterpret_cast<std::remove_reference_t<decltype(fn)>>(
                reinterpret_cast<void*>(GetProcAddress(module_, name)));
            all = all && fn;
        };
        bind(InitMain, "Orvo_InitMain");
        bind(InitStatus, "Orvo_InitStatus");
        bind(CreateMain, "Orvo_CreateMain");
        bind(CreateStatus, "Orvo_CreateStatus");
        bind(GetWindowMain, "Orvo_GetWindowMain");
        bind(GetWindowStatus, "Orvo_GetWindowStatus");
        bind(ShowMain, "Orvo_ShowMain");
        bind(ShowStatus, "Orvo_ShowStatus");
        bind(Print, "Orvo_Print");
        bind(OpenSettings, "Orvo_OpenSettings");
        bind(SaveSettings, "Orvo_SaveSettings");
        bind(OpenXMLSettings, "Orvo_OpenXMLSettings");
        bind(NewSettings, "Orvo_NewSettings");
        bind(GetSizeOfPaperCatalog, "Orvo_GetSizeOfPaperCatalog");
        bind(GetPaperCatalog, "Orvo_GetPaperCatalog");
        bind(ShowTab, "Orvo_ShowTab");
        bind(ShowGuiElement, "Orvo_ShowGuiElement");
        bind(GetSizeOfVersion, "Orvo_GetSizeOfVersion");
        bind(GetVersion, "Orvo_GetVersion");
        bind(SendMessage, "Orvo_SendMessage");
        bind(Exit, "Orvo_Exit");
        return all ? 0 : 27;
    }

    void unload()
    {
        if (module_) FreeLibrary(module_);
        module_ = nullptr;
    }

    HMODULE module() const { return module_; }

    InitMainFn InitMain = nullptr;
    VoidFn InitStatus = nullptr;
    CreateMainFn CreateMain = nullptr;
    HwndFn CreateStatus = nullptr;
    HwndOutFn GetWindowMain = nullptr;
    HwndOutFn GetWindowStatus = nullptr;
    ShowFn ShowMain = nullptr;
    ShowFn ShowStatus = nullptr;
    VoidFn Print = nullptr;
    PathFn OpenSettings = nullptr;
    PathFn SaveSettings = nullptr;
    XmlFn OpenXMLSettings = nullptr;
    VoidFn NewSettings = nullptr;
    IntOutFn GetSizeOfPaperCatalog = nullptr;
    BufferFn GetPaperCatalog = nullptr;
    ShowTabFn ShowTab = nullptr;
    ShowGuiFn ShowGuiElement = nullptr;
    IntOutFn GetSizeOfVersion = nullptr;
    BufferFn GetVersion = nullptr;
    SendMessageFn SendMessage = nullptr;
    ExitFn Exit = nullptr;

private:
    HMODULE module_ = nullptr;
};

} // namespace orvox::test
