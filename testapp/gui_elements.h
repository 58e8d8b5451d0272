#pragma once
// The "Enable/Disable GUI Controls" dialog: picks a control of a tab page by
// name and asks the library to show or hide it.
#include <windows.h>

#include <functional>

namespace orvox::test {

// Called with the tab id, the control id and 1 (show) or 0 (hide).
using ShowGuiElementAction = std::function<void(int, int, int)>;

// Creates the modeless dialog, owned by owner; null if it cannot be created.
HWND createGuiElementDialog(HINSTANCE instance, HWND owner, ShowGuiElementAction action);

} // namespace orvox::test
