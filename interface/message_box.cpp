#include "interface/message_box.h"

#include "interface/application.h"
#include "interface/library.h"
#include "platform/win32/win32_platform.h"
#include "resource.h"

namespace orvox {

int MessageBoxRoutine::show(const std::string& text, unsigned type)
{
    LibraryState& lib = library();
    if (lib.messageHook) {
        int showIt = 1;
        const int answer = lib.messageHook(text.c_str(), type, &showIt);
        if (showIt == 0) return answer;
    }
    HWND owner = nullptr;
    std::string caption;
    if (lib.application) {
        owner = lib.application->mainWindowHandle();
        caption = lib.application->branding().appTitle();
    } else {
        platform::ResourceScope scope(lib.resources);
        caption = platform::Win32Strings().load(IDS_APP_TITLE);
    }
    return MessageBoxA(owner, text.c_str(), caption.c_str(), type);
}

MessageBoxRoutine& messageBox()
{
    static MessageBoxRoutine routine;
    return routine;
}

} // namespace orvox
