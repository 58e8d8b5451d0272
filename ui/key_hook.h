#pragma once
// The host owns the message loop, so the library cannot look at keys before
// they are dispatched the usual way. A message hook of the user-interface
// thread hands every key meant for a window inside the job-setup window to the
// application's shortcuts first.
#include <windows.h>

#include "ui/key_router.h"

namespace orvox::ui {

class KeyHook {
public:
    KeyHook() = default;
    ~KeyHook() { remove(); }
    KeyHook(const KeyHook&) = delete;
    KeyHook& operator=(const KeyHook&) = delete;

    // Keys for `root` and its descendants go to `router`, except for windows
    // marked as routing their own keys (the tab control, the pages); keys for
    // other windows of the thread only when the router asks for them.
    bool install(HWND root, KeyRouter& router);
    void remove();
    static void markRoutesOwnKeys(HWND window);

private:
    static LRESULT CALLBACK hookProc(int code, WPARAM wp, LPARAM lp);
    HHOOK hook_ = nullptr;
    HWND root_ = nullptr;
    KeyRouter* router_ = nullptr;
};

} // namespace orvox::ui
