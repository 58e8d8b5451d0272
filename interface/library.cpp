#include "interface/library.h"

#include "interface/application.h"
#include "interface/fault_guard.h"
#include "interface/status_window.h"
#include "platform/win32/win32_platform.h"
#include "ui/handler_resources.h"

namespace orvox {

namespace {
constexpr const char* kResourceModuleName = "orvoxRes.dll";
}

LibraryState& library()
{
    static LibraryState state;
    return state;
}

bool startLibrary(HINSTANCE self)
{
    LibraryState& lib = library();
    lib.self = self;
    lib.installationFolder = platform::Win32FileSystem().hostProgramFolder();
    const std::string path = lib.installationFolder + kResourceModuleName;
    lib.resources = LoadLibraryA(path.c_str());
    if (!lib.resources) {
        // No host hook exists yet and the texts would come from the missing
        // module, so this one message is built in.
        const std::string text = "Required file Missing: " + path;
        MessageBoxA(nullptr, text.c_str(), nullptr, MB_OK | MB_ICONSTOP);
        return false;
    }
    ui::setHandlerResources(lib.resources);
    installFaultHandler(self);
    return true;
}

void endLibrary()
{
    LibraryState& lib = library();
    // A host that unloads without Orvo_Exit leaves windows that belong to it;
    // the objects are released without touching them.
    lib.status.release();
    lib.application.release();
    removeFaultHandler();
    ui::setHandlerResources(nullptr);
    if (lib.resources) FreeLibrary(lib.resources);
    lib.resources = nullptr;
}

} // namespace orvox

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved)
{
    switch (reason) {
    case DLL_PROCESS_ATTACH:
        DisableThreadLibraryCalls(instance);
        return orvox::startLibrary(instance) ? TRUE : FALSE;
    case DLL_PROCESS_DETACH:
        // At process exit (reserved != null) other modules may already be gone.
        if (!reserved) orvox::endLibrary();
        return TRUE;
    default:
        return TRUE;
    }
}
