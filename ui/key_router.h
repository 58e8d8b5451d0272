#pragma once
// The application's keyboard shortcuts see every key of the job-setup window
// before the control that has the focus does.
#include <windows.h>

namespace orvox::ui {

class KeyRouter {
public:
    virtual ~KeyRouter() = default;
    // A key-down or key-up message; true when the key is consumed and must go no further.
    virtual bool routeKey(UINT msg, WPARAM key, LPARAM flags) = 0;
    // A key meant for a window outside the job-setup window that the router
    // must see all the same: while a print run shows its message boxes and
    // dialogs (top-level windows of their own), Escape still stops the run.
    virtual bool wantsKeyFromOutside(UINT /*msg*/, WPARAM /*key*/) const { return false; }
};

} // namespace orvox::ui
