// The 21 exported functions: call-order checks, result codes, the switch to the
// resource module and the catch-all boundary of every call.
#include <windows.h>

#include <cstring>
#include <memory>

#include "Orvox.h"
#include "interface/application.h"
#include "interface/fault_guard.h"
#include "interface/library.h"
#include "interface/main_window.h"
#include "interface/status_window.h"
#include "platform/win32/win32_platform.h"
#include "settings/xml_import.h"

using namespace orvox;

namespace {

// Runs an export's body with the resource module current; the previous
// resource handle is put back on every path, faults included.
template <class Body>
int exported(Body&& body, int onFailure = kExceptionResult)
{
    const HINSTANCE previous = platform::currentResourceHandle();
    platform::setCurrentResourceHandle(library().resources);
    const int result = guardedCall(body, onFailure);
    platform::setCurrentResourceHandle(previous);
    return result;
}

Application* app() { return library().application.get(); }
StatusWindow* status() { return library().status.get(); }

HWND mainWindow()
{
    Application* a = app();
    return a ? a->mainWindowHandle() : nullptr;
}

bool isRoutableCommand(unsigned id)
{
    switch (id) {
    case 0x8004: case 0x8005: case 0x8008: case 0x800A:
    case 0xE100: case 0xE101: case 0xE103: case 0xE104:   // new, open, save, save as
    case 0xE120: case 0xE122: case 0xE123: case 0xE125:   // clear, copy, cut, paste
    case 0xE12B: case 0xE140:                             // undo, about
        return true;
    default:
        return false;
    }
}

} // namespace

extern "C" {

int Orvo_InitMain(OrvoMessageHook messageHook, OrvoSetTitleHook setTitleHook)
{
    return exported([&] {
        LibraryState& lib = library();
        lib.messageHook = messageHook;
        lib.setTitleHook = setTitleHook;
        if (lib.application) return 6;
        // Any failure while the object is built, in its own allocation or in a
        // member's, leaves no object and tells the host so.
        return guardedCall([&] {
            lib.application = std::make_unique<Application>();
            return 0;
        }, 12);
    });
}

int Orvo_InitStatus(void)
{
    if (!app()) return 7;
    return exported([&] {
        LibraryState& lib = library();
        if (lib.status) return 6;
        return guardedCall([&] {
            lib.status = std::make_unique<StatusWindow>();
            return 0;
        }, 12);
    });
}

int Orvo_CreateMain(HWND parent, int showSplash, const char* hostVersion)
{
    return exported([&] {
        Application* a = app();
        if (!a) return 5;
        if (a->mainWindowHandle()) return 9;
        const int created = guardedCall([&] { return a->createMainWindow(parent, showSplash != 0); }, 3);
        if (created == 3) {
            // A fault left the window half built: nothing of it may stay behind.
            guardedCall([&] {
                a->discardMainWindow();
                return 0;
            });
        }
        if (created != 0) return created;
        HWND hwnd = a->mainWindowHandle();
        RECT client{};
        GetClientRect(hwnd, &client);
        SetWindowPos(hwnd, nullptr, 0, 0, client.right + 3, client.bottom - 14, 0);
        a->setHostVersion(hostVersion);
        return 0;
    });
}

int Orvo_CreateStatus(HWND parent)
{
    return exported([&] {
        StatusWindow* s = status();
        if (!app() || !s) return 5;
        if (s->handle()) return 9;
        return s->create(parent) ? 0 : 10;
    });
}

int Orvo_GetWindowMain(HWND* window)
{
    return exported([&] {
        if (!app()) return 5;
        if (!window || *window) return 4;
        *window = mainWindow();
        return *window ? 0 : 18;
    });
}

int Orvo_GetWindowStatus(HWND* window)
{
    return exported([&] {
        if (!status() || !app()) return 5;
        if (!window || *window) return 4;
        *window = status()->handle();
        return 0;
    });
}

int Orvo_ShowMain(int showCommand, int x, int y)
{
    return exported([&] {
        if (!app()) return 5;
        HWND hwnd = mainWindow();
        if (!hwnd) return 8;
        ShowWindow(hwnd, showCommand);
        SetWindowPos(hwnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        return 0;
    });
}

int Orvo_ShowStatus(int showCommand, int x, int y)
{
    return exported([&] {
        StatusWindow* s = status();
        if (!s) return 5;
        HWND hwnd = s->handle();
        if (!hwnd) return 8;
        ShowWindow(hwnd, showCommand);
        // After the main window in the Z order when both share a parent.
        HWND main = mainWindow();
        UINT flags = SWP_NOACTIVATE;
        if (!main || GetParent(main) != GetParent(hwnd)) flags |= SWP_NOZORDER;
        const SIZE size = s->templateSize();
        return SetWindowPos(hwnd, main, x, y, size.cx, size.cy, flags) ? 0 : 2;
    });
}

int Orvo_Print(void)
{
    const int result = exported([&] {
        if (!app()) return 5;
        if (!mainWindow()) return 2;
        return app()->runPrintRequest();
    });
    if (result == kExceptionResult) library().printing = false;
    return result;
}

int Orvo_OpenSettings(const char* path)
{
    return exported([&] {
        if (!app()) return 5;
        if (!app()->documents().document()) return 1;
        if (!path) return 4;
        return app()->documents().openSettings(path);
    });
}

int Orvo_SaveSettings(const char* path)
{
    return exported([&] {
        if (!app()) return 5;
        if (!app()->documents().document()) return 1;
        if (!path) return 4;
        return app()->documents().saveSettings(path);
    });
}

int Orvo_OpenXMLSettings(const char* xml, int* errorLine)
{
    return exported([&] {
        // The line is written on every path, so a host never reads a stale one.
        if (errorLine) *errorLine = 0;
        if (!app()) return 5;
        // A null line pointer would crash the host's own call; refuse it.
        if (!errorLine) return 4;
        if (!mainWindow()) return 2;
        JobDocument* doc = app()->documents().document();
        if (!doc) return 1;
        int line = 0;
        const int result = importXmlSettings(*doc, xml, line, app()->documents().xmlTargets());
        *errorLine = result == 0 ? 0 : line;
        if (result != 0) return result;
        // The import may have shown messages; the window must still be there.
        return app() && mainWindow() ? 0 : 1;
    });
}

int Orvo_NewSettings(void)
{
    return exported([&] {
        if (!app()) return 5;
        return app()->documents().newSettings();
    });
}

int Orvo_GetSizeOfPaperCatalog(int* size)
{
    return exported([&] {
        if (!app()) return 5;
        if (!size) return 4;
        std::string text;
        if (!app()->documents().catalogText(text)) return 1;
        *size = static_cast<int>(text.size()) + 1;
        return 0;
    });
}

int Orvo_GetPaperCatalog(char* buffer)
{
    return exported([&] {
        if (!app()) return 5;
        if (!buffer) return 4;
        std::string text;
        if (!app()->documents().catalogText(text)) return 1;
        std::memcpy(buffer, text.c_str(), text.size() + 1);
        return 0;
    });
}

int Orvo_ShowTab(unsigned int tabId, int show)
{
    return exported([&] {
        if (!app()) return 5;
        if (!mainWindow()) return 2;
        ui::TabHost& tabs = app()->mainWindow()->tabs();
        const int id = static_cast<int>(tabId);
        return show ? tabs.showTab(id) : tabs.hideTab(id);
    });
}

int Orvo_ShowGuiElement(int tabId, int controlId, int show)
{
    return exported([&] {
        if (!app()) return 5;
        if (!mainWindow()) return 2;
        return app()->mainWindow()->tabs().showControl(tabId, controlId, show != 0);
    });
}

int Orvo_GetSizeOfVersion(int* size)
{
    return exported([&] {
        if (!app()) return 5;
        if (!size) return 4;
        *size = static_cast<int>(app()->versionString().size()) + 1;
        return 0;
    });
}

int Orvo_GetVersion(char* buffer)
{
    return exported([&] {
        if (!app()) return 5;
        if (!buffer) return 4;
        const std::string text = app()->versionString();
        std::memcpy(buffer, text.c_str(), text.size() + 1);
        return 0;
    });
}

int Orvo_SendMessage(unsigned int message, unsigned int wParam, long lParam)
{
    // No catch-all here: the host's own message loop sees what happens in its menus.
    switch (message) {
    case WM_COMMAND: {
        HWND hwnd = mainWindow();
        if (!hwnd) return 1;
        if (isRoutableCommand(wParam)) PostMessageA(hwnd, WM_COMMAND, wParam, 0);
        return 0;
    }
    case WM_INITMENU:
    case WM_INITMENUPOPUP:
    case WM_MENUSELECT: {
        HWND hwnd = mainWindow();
        if (!hwnd) return 1;
        SendMessageA(hwnd, message, wParam, lParam);
        return 0;
    }
    default:
        return 0;
    }
}

int Orvo_Exit(int force)
{
    // The resource handle is not switched: teardown touches only what the library holds.
    return guardedCall([&] {
        LibraryState& lib = library();
        if (!lib.application) return 5;
        // The questions and messages of leaving need the resource module's texts.
        int refused;
        {
            platform::ResourceScope scope(lib.resources);
            refused = lib.application->prepareExit(force != 0);
        }
        if (refused != 0) return refused;
        const int teardown = guardedCall([&] {
            lib.application->teardown();
            lib.application.reset();
            lib.status.reset();
            return 0;
        }, 12);
        if (teardown != 0) {
            // Whatever the teardown left is abandoned, so the host can start again.
            lib.application.release();
            lib.status.release();
        }
        return teardown;
    });
}

} // extern "C"
