#pragma once
// Binds the 21 exports of Orvox.dll by name at run time, as a host does.
#include <windows.h>

#include <type_traits>

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
        forEachExport([&](auto& fn, const char* name) {
            fn = reinterpret_cast<std::remove_reference_t<decltype(fn)>>(
                reinterpret_cast<void*>(GetProcAddress(module_, name)));
            all = all && fn;
        });
        return all ? 0 : 27;
    }

    void unload()
    {
        if (module_) FreeLibrary(module_);
        module_ = nullptr;
        // Nothing may call into a freed library: every export reads as not bound.
        forEachExport([](auto& fn, const char*) { fn = nullptr; });
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
    template <class Visit> void forEachExport(Visit visit)
    {
        visit(InitMain, "Orvo_InitMain");
        visit(InitStatus, "Orvo_InitStatus");
        visit(CreateMain, "Orvo_CreateMain");
        visit(CreateStatus, "Orvo_CreateStatus");
        visit(GetWindowMain, "Orvo_GetWindowMain");
        visit(GetWindowStatus, "Orvo_GetWindowStatus");
        visit(ShowMain, "Orvo_ShowMain");
        visit(ShowStatus, "Orvo_ShowStatus");
        visit(Print, "Orvo_Print");
        visit(OpenSettings, "Orvo_OpenSettings");
        visit(SaveSettings, "Orvo_SaveSettings");
        visit(OpenXMLSettings, "Orvo_OpenXMLSettings");
        visit(NewSettings, "Orvo_NewSettings");
        visit(GetSizeOfPaperCatalog, "Orvo_GetSizeOfPaperCatalog");
        visit(GetPaperCatalog, "Orvo_GetPaperCatalog");
        visit(ShowTab, "Orvo_ShowTab");
        visit(ShowGuiElement, "Orvo_ShowGuiElement");
        visit(GetSizeOfVersion, "Orvo_GetSizeOfVersion");
        visit(GetVersion, "Orvo_GetVersion");
        visit(SendMessage, "Orvo_SendMessage");
        visit(Exit, "Orvo_Exit");
    }

    HMODULE module_ = nullptr;
};

} // namespace orvox::test
