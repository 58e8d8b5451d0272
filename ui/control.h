#pragma once
// Thin wrapper over a dialog control. The owning dialog reflects the control's
// notifications (WM_COMMAND, WM_NOTIFY, WM_DRAWITEM, WM_MEASUREITEM) back to the
// wrapper, and a wrapper that needs its own keyboard or mouse handling
// subclasses the control window.
#include <windows.h>

namespace orvox::ui {

class Control {
public:
    Control() = default;
    virtual ~Control();
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    // Takes over the dialog's item `id`; false when the dialog has none.
    bool attach(HWND dialog, int id);
    // Takes over a window; with subclass set, its messages pass onMessage first.
    bool attachWindow(HWND window, bool subclass);
    void detach();

    HWND hwnd() const { return hwnd_; }
    int id() const { return hwnd_ ? GetDlgCtrlID(hwnd_) : 0; }
    bool isEnabled() const { return hwnd_ && IsWindowEnabled(hwnd_); }
    void enable(bool enable) const
    {
        if (hwnd_) EnableWindow(hwnd_, enable);
    }
    void show(bool show) const
    {
        if (hwnd_) ShowWindow(hwnd_, show ? SW_SHOW : SW_HIDE);
    }
    LRESULT send(UINT msg, WPARAM wp = 0, LPARAM lp = 0) const { return hwnd_ ? SendMessageA(hwnd_, msg, wp, lp) : 0; }
    // Hands a message straight to the procedure the window had before the
    // wrapper subclassed it, for messages the wrapper leaves alone that go out
    // many at a time (the entries of a long list): under Wine a message
    // through the subclass costs two window-property look-ups in the server.
    LRESULT sendPastWrapper(UINT msg, WPARAM wp = 0, LPARAM lp = 0) const;

    // A notification of the control that its parent received. True when the
    // control consumed it; `result` is then the parent's answer. Notifications
    // the control only watches return false so the page sees them as well.
    virtual bool onReflect(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result);

    // The wrapper attached to a window, if any.
    static Control* fromWindow(HWND window);
    // Offers a parent's message to the wrapper of the control it concerns.
    static bool reflect(HWND parent, UINT msg, WPARAM wp, LPARAM lp, LRESULT& result);

protected:
    // Messages of a subclassed control; the default passes them on.
    virtual LRESULT onMessage(UINT msg, WPARAM wp, LPARAM lp) { return defaultProc(msg, wp, lp); }
    LRESULT defaultProc(UINT msg, WPARAM wp, LPARAM lp);

private:
    static LRESULT CALLBACK subclassProc(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);
    HWND hwnd_ = nullptr;
    bool subclassed_ = false;
    WNDPROC underlying_ = nullptr;  // the window's procedure under the subclass
};

} // namespace orvox::ui
