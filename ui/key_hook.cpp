#include "ui/key_hook.h"

#include "ui/handler_resources.h"

namespace orvox::ui {
namespace {
// One job-setup window per process, so one hook.
KeyHook* gActive = nullptr;
constexpr const char* kRoutesOwnKeys = "OrvoxRoutesKeys";
} // namespace

void KeyHook::markRoutesOwnKeys(HWND window)
{
    if (window) SetPropA(window, kRoutesOwnKeys, reinterpret_cast<HANDLE>(1));
}

bool KeyHook::install(HWND root, KeyRouter& router)
{
    remove();
    if (gActive) return false;
    hook_ = SetWindowsHookExA(WH_GETMESSAGE, hookProc, nullptr, GetCurrentThreadId());
    if (!hook_) return false;
    root_ = root;
    router_ = &router;
    gActive = this;
    return true;
}

void KeyHook::remove()
{
    if (!hook_) return;
    UnhookWindowsHookEx(hook_);
    hook_ = nullptr;
    if (gActive == this) gActive = nullptr;
}

LRESULT CALLBACK KeyHook::hookProc(int code, WPARAM wp, LPARAM lp)
{
    KeyHook* self = gActive;
    HHOOK next = self ? self->hook_ : nullptr;
    if (code == HC_ACTION && wp == PM_REMOVE && self) {
        auto* msg = reinterpret_cast<MSG*>(lp);
        const bool isKey = msg->message == WM_KEYDOWN || msg->message == WM_KEYUP;
        const bool inside = isKey && msg->hwnd && (msg->hwnd == self->root_ || IsChild(self->root_, msg->hwnd));
        const bool routed = inside ? !GetPropA(msg->hwnd, kRoutesOwnKeys)
                                   : isKey && self->router_->wantsKeyFromOutside(msg->message, msg->wParam);
        if (routed) {
            try {
                HandlerResourceScope resources;
                if (self->router_->routeKey(msg->message, msg->wParam, msg->lParam)) msg->message = WM_NULL;
            } catch (...) {
                // The host's message loop must never see a library fault.
            }
        }
    }
    return CallNextHookEx(next, code, wp, lp);
}

} // namespace orvox::ui
