#pragma once
// Window procedures of the library run from the host's message loop, outside
// any exported call, so the resource module is not current there. Every entry
// point of a window procedure makes it current for the length of the message.
#include <windows.h>

#include "platform/win32/win32_platform.h"

namespace orvox::ui {

void setHandlerResources(HINSTANCE module);
HINSTANCE handlerResources();

class HandlerResourceScope {
public:
    HandlerResourceScope() : scope_(handlerResources() ? handlerResources() : platform::currentResourceHandle()) {}

private:
    platform::ResourceScope scope_;
};

} // namespace orvox::ui
