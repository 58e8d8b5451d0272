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
};

} // namespace orvox::ui
