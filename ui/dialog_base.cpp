#include "ui/dialog_base.h"

#include "ui/control.h"
#include "ui/handler_resources.h"
#include "ui/win32_handles.h"

namespace orvox::ui {
namespace {

// The dialog being created on this thread: the messages that arrive before
// WM_INITDIALOG (WM_SETFONT, WM_MEASUREITEM) have no other way to their object.
thread_local DialogBase* tCreating = nullptr;

class CreatingScope {
public:
    explicit CreatingScope(DialogBase* dialog) : previous_(tCreating) { tCreating = dialog; }
    ~CreatingScope() { tCreating = previous_; }
    CreatingScope(const CreatingScope&) = delete;
    CreatingScope& operator=(const CreatingScope&) = delete;

private:
    DialogBase* previous_;
};

} // namespace

int fontTextHeight(HWND window)
{
    WindowDc dc(window);
    if (!dc.get()) return 0;
    SavedDc saved(dc.get());
    if (auto font = reinterpret_cast<HFONT>(SendMessageA(window, WM_GETFONT, 0, 0))) SelectObject(dc.get(), font);
    TEXTMETRICA metrics{};
    GetTextMetricsA(dc.get(), &metrics);
    return metrics.tmHeight;
}

DialogBase::~DialogBase() { destroy(); }

void DialogBase::destroy()
{
    if (!hwnd_) return;
    HWND window = hwnd_;
    SetWindowLongPtrA(window, DWLP_USER, 0);
    hwnd_ = nullptr;
    if (modal_) EndDialog(window, IDCANCEL);
    else DestroyWindow(window);
}

HWND DialogBase::createModeless(HINSTANCE resources, int templateId, HWND parent)
{
    destroy();
    modal_ = false;
    CreatingScope scope(this);
    HWND window = CreateDialogParamA(resources, MAKEINTRESOURCEA(templateId), parent, thunk,
                                     reinterpret_cast<LPARAM>(this));
    if (!window) hwnd_ = nullptr;
    return window;
}

INT_PTR DialogBase::runModal(HINSTANCE resources, int templateId, HWND parent)
{
    destroy();
    modal_ = true;
    CreatingScope scope(this);
    const INT_PTR result = DialogBoxParamA(resources, MAKEINTRESOURCEA(templateId), parent, thunk,
                                           reinterpret_cast<LPARAM>(this));
    hwnd_ = nullptr;
    return result;
}

INT_PTR DialogBase::setResult(LRESULT result)
{
    SetWindowLongPtrA(hwnd_, DWLP_MSGRESULT, result);
    return TRUE;
}

void DialogBase::endDialog(INT_PTR result)
{
    if (!hwnd_) return;
    if (modal_) EndDialog(hwnd_, result);
    else destroy();
}

int DialogBase::measureItemHeight(int) { return fontTextHeight(hwnd_); }

INT_PTR DialogBase::handleMessage(UINT msg, WPARAM wp, LPARAM lp)
{
    LRESULT reflected = 0;
    if (Control::reflect(hwnd_, msg, wp, lp, reflected)) {
        if (msg == WM_DRAWITEM || msg == WM_MEASUREITEM) return TRUE;
        return setResult(reflected);
    }
    switch (msg) {
    case WM_INITDIALOG:
        return onInitDialog();
    case WM_MEASUREITEM: {
        auto* measure = reinterpret_cast<MEASUREITEMSTRUCT*>(lp);
        if (measure->CtlType == ODT_MENU) return FALSE;
        measure->itemHeight = static_cast<UINT>(measureItemHeight(static_cast<int>(measure->CtlID)));
        return TRUE;
    }
    case WM_COMMAND:
        return onCommand(LOWORD(wp), HIWORD(wp), reinterpret_cast<HWND>(lp)) ? TRUE : FALSE;
    default:
        return FALSE;
    }
}

INT_PTR CALLBACK DialogBase::thunk(HWND window, UINT msg, WPARAM wp, LPARAM lp)
{
    auto* self = reinterpret_cast<DialogBase*>(GetWindowLongPtrA(window, DWLP_USER));
    if (!self && msg == WM_INITDIALOG) self = reinterpret_cast<DialogBase*>(lp);
    // A window on its way out is never the one being created.
    if (!self && tCreating && msg != WM_DESTROY && msg != WM_NCDESTROY) self = tCreating;
    if (!self) return FALSE;
    if (!GetWindowLongPtrA(window, DWLP_USER)) {
        SetWindowLongPtrA(window, DWLP_USER, reinterpret_cast<LONG_PTR>(self));
        self->hwnd_ = window;
        if (tCreating == self) tCreating = nullptr;
    }
    try {
        HandlerResourceScope resources;
        const INT_PTR result = self->handleMessage(msg, wp, lp);
        if (msg == WM_NCDESTROY) {
            SetWindowLongPtrA(window, DWLP_USER, 0);
            if (self->hwnd_ == window) self->hwnd_ = nullptr;
        }
        return result;
    } catch (...) {
        // No exception may unwind through the dialog manager.
        return FALSE;
    }
}

} // namespace orvox::ui
