#pragma once
// Dialog from a template of the resource module, with the message procedure
// forwarded to a member. Child controls' notifications are first offered to
// their wrappers (Control::reflect).
#include <windows.h>

namespace orvox::ui {

class DialogBase {
public:
    DialogBase() = default;
    virtual ~DialogBase();
    DialogBase(const DialogBase&) = delete;
    DialogBase& operator=(const DialogBase&) = delete;

    // A modeless dialog, child of `parent`; null on failure.
    HWND createModeless(HINSTANCE resources, int templateId, HWND parent);
    // A modal dialog; the value passed to endDialog, or -1 when it could not be shown.
    INT_PTR runModal(HINSTANCE resources, int templateId, HWND parent);

    HWND hwnd() const { return hwnd_; }
    HWND item(int id) const { return hwnd_ ? GetDlgItem(hwnd_, id) : nullptr; }
    // A control that exists and takes input; the header builder and the page
    // rules ask this of the controls they depend on.
    bool isControlEnabled(int id) const
    {
        HWND control = item(id);
        return control && IsWindowEnabled(control);
    }
    // The edit with the keyboard focus is one of `ids` and has text selected:
    // the edit commands of the menu are offered then.
    template <class Ids>
    bool focusedEditHasSelection(const Ids& ids) const
    {
        HWND focus = GetFocus();
        if (!focus) return false;
        for (int id : ids) {
            if (focus != item(id)) continue;
            DWORD first = 0, last = 0;
            SendMessageA(focus, EM_GETSEL, reinterpret_cast<WPARAM>(&first), reinterpret_cast<LPARAM>(&last));
            return last > first;
        }
        return false;
    }
    void destroy();

protected:
    virtual BOOL onInitDialog() { return TRUE; }
    // A command of a control or menu; true when handled.
    virtual bool onCommand(int /*id*/, int /*code*/, HWND /*control*/) { return false; }
    // Every message; the default reflects control notifications, answers item
    // measurement and dispatches WM_INITDIALOG and WM_COMMAND.
    virtual INT_PTR handleMessage(UINT msg, WPARAM wp, LPARAM lp);
    // Height of the owner-drawn items of a control. WM_MEASUREITEM arrives
    // while the controls are created, before any wrapper is attached, so it is
    // answered by control id: by default the text height of the dialog's font.
    virtual int measureItemHeight(int controlId);
    // The answer of a message whose result is not the procedure's return value.
    INT_PTR setResult(LRESULT result);
    void endDialog(INT_PTR result);
    bool isModal() const { return modal_; }

private:
    static INT_PTR CALLBACK thunk(HWND, UINT, WPARAM, LPARAM);
    HWND hwnd_ = nullptr;
    bool modal_ = false;
};

// Text height of a window's font (the system font when it has none).
int fontTextHeight(HWND window);

} // namespace orvox::ui
