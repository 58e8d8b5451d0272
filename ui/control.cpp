#include "ui/control.h"

#include <commctrl.h>

#include "ui/handler_resources.h"

namespace orvox::ui {
namespace {

constexpr const char* kWrapperProperty = "OrvoxControl";
constexpr UINT_PTR kSubclassId = 0x4F56;

} // namespace

Control::~Control() { detach(); }

bool Control::attach(HWND dialog, int id)
{
    HWND window = GetDlgItem(dialog, id);
    return window && attachWindow(window, true);
}

bool Control::attachWindow(HWND window, bool subclass)
{
    detach();
    if (!window || !SetPropA(window, kWrapperProperty, this)) return false;
    hwnd_ = window;
    if (subclass) {
        underlying_ = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(window, GWLP_WNDPROC));
        subclassed_ = SetWindowSubclass(window, subclassProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this));
        if (!subclassed_) {
            detach();
            return false;
        }
    }
    return true;
}

void Control::detach()
{
    if (!hwnd_) return;
    if (subclassed_) RemoveWindowSubclass(hwnd_, subclassProc, kSubclassId);
    if (GetPropA(hwnd_, kWrapperProperty) == this) RemovePropA(hwnd_, kWrapperProperty);
    hwnd_ = nullptr;
    subclassed_ = false;
    underlying_ = nullptr;
}

LRESULT Control::sendPastWrapper(UINT msg, WPARAM wp, LPARAM lp) const
{
    if (!hwnd_) return 0;
    if (!subclassed_ || !underlying_) return SendMessageA(hwnd_, msg, wp, lp);
    return CallWindowProcA(underlying_, hwnd_, msg, wp, lp);
}

bool Control::onReflect(UINT, WPARAM, LPARAM, LRESULT&) { return false; }

Control* Control::fromWindow(HWND window)
{
    return window ? static_cast<Control*>(GetPropA(window, kWrapperProperty)) : nullptr;
}

bool Control::reflect(HWND parent, UINT msg, WPARAM wp, LPARAM lp, LRESULT& result)
{
    HWND source = nullptr;
    switch (msg) {
    case WM_COMMAND:
        source = reinterpret_cast<HWND>(lp);  // zero for menus and accelerators
        break;
    case WM_NOTIFY:
        source = reinterpret_cast<const NMHDR*>(lp)->hwndFrom;
        break;
    case WM_DRAWITEM: {
        // owner-draw messages: lparam is a struct pointer, not an HWND
        const auto* draw = reinterpret_cast<const DRAWITEMSTRUCT*>(lp);
        if (draw->CtlType != ODT_MENU) source = draw->hwndItem;
        break;
    }
    case WM_MEASUREITEM: {
        const auto* measure = reinterpret_cast<const MEASUREITEMSTRUCT*>(lp);
        if (measure->CtlType != ODT_MENU) source = GetDlgItem(parent, static_cast<int>(measure->CtlID));
        break;
    }
    default:
        return false;
    }
    Control* control = fromWindow(source);
    return control && control->onReflect(msg, wp, lp, result);
}

LRESULT Control::defaultProc(UINT msg, WPARAM wp, LPARAM lp) { return DefSubclassProc(hwnd_, msg, wp, lp); }

LRESULT CALLBACK Control::subclassProc(HWND window, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR data)
{
    auto* self = reinterpret_cast<Control*>(data);
    if (msg == WM_NCDESTROY) {
        self->detach();
        return DefSubclassProc(window, msg, wp, lp);
    }
    try {
        HandlerResourceScope resources;
        return self->onMessage(msg, wp, lp);
    } catch (...) {
        // No exception may unwind through the system's message dispatch.
        return DefSubclassProc(window, msg, wp, lp);
    }
}

} // namespace orvox::ui
