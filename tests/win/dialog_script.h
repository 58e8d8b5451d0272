#pragma once
// Drives the modal dialogs the library opens, as a user would: each step gets
// the dialog that takes input at that moment (a nested dialog disables its
// owner) and works its real controls with synchronous messages. The steps run
// from a thread timer, which every modal loop dispatches.
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "host_fixture.h"

namespace orvox::test {

class DialogScript {
public:
    using Step = std::function<void(HWND dialog)>;

    DialogScript& then(Step step)
    {
        steps_.push_back(std::move(step));
        return *this;
    }
    DialogScript& first(Step step)
    {
        steps_.insert(steps_.begin(), std::move(step));
        return *this;
    }

    // Runs `trigger` (which makes the library open its dialog) and pumps until
    // every step ran and no dialog is left open. A dialog still open after the
    // last step is cancelled, and the run fails.
    bool run(const std::function<void()>& trigger, DWORD timeoutMs = 15000)
    {
        active() = this;
        deadline_ = GetTickCount() + timeoutMs;
        const UINT_PTR timer = SetTimer(nullptr, 0, 15, tick);
        trigger();
        const bool finished = pumpUntil([this] { return next_ >= steps_.size() && !openDialog(); }, timeoutMs + 2000);
        KillTimer(nullptr, timer);
        active() = nullptr;
        return finished && !leftOpen_ && next_ == steps_.size();
    }

    // The enabled, visible dialog window of this thread: the one the user faces.
    static HWND openDialog()
    {
        HWND found = nullptr;
        EnumThreadWindows(GetCurrentThreadId(), takeOpenDialog, reinterpret_cast<LPARAM>(&found));
        return found;
    }
    static BOOL CALLBACK takeOpenDialog(HWND window, LPARAM out)
    {
        char name[16] = {};
        GetClassNameA(window, name, sizeof name);
        if (std::string(name) == "#32770" && IsWindowVisible(window) && IsWindowEnabled(window)) {
            *reinterpret_cast<HWND*>(out) = window;
            return FALSE;
        }
        return TRUE;
    }

    // Control helpers, each followed by the notification the dialog would get.
    static void click(HWND dialog, int id)
    {
        SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
    }
    static void type(HWND dialog, int id, const std::string& text)
    {
        HWND edit = GetDlgItem(dialog, id);
        SetFocus(edit);
        SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
        SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, EN_CHANGE), reinterpret_cast<LPARAM>(edit));
    }
    static void chooseRow(HWND dialog, int id, int row)
    {
        HWND list = GetDlgItem(dialog, id);
        SendMessageA(list, LB_SETCURSEL, static_cast<WPARAM>(row), 0);
        SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, LBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
    }
    // Chooses the combo item with exactly this text; false when there is none.
    static bool chooseText(HWND dialog, int id, const std::string& text)
    {
        HWND combo = GetDlgItem(dialog, id);
        const auto at = SendMessageA(combo, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                     reinterpret_cast<LPARAM>(text.c_str()));
        if (at < 0) return false;
        SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(at), 0);
        SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
        return true;
    }
    static std::string text(HWND dialog, int id)
    {
        char buffer[512] = {};
        GetDlgItemTextA(dialog, id, buffer, sizeof buffer);
        return buffer;
    }
    static std::vector<std::string> listRows(HWND dialog, int id)
    {
        std::vector<std::string> rows;
        HWND list = GetDlgItem(dialog, id);
        const auto count = static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0));
        for (int i = 0; i < count; ++i) {
            char buffer[512] = {};
            SendMessageA(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(buffer));
            rows.push_back(buffer);
        }
        return rows;
    }
    static std::vector<std::string> comboItems(HWND dialog, int id)
    {
        std::vector<std::string> items;
        HWND combo = GetDlgItem(dialog, id);
        const auto count = static_cast<int>(SendMessageA(combo, CB_GETCOUNT, 0, 0));
        for (int i = 0; i < count; ++i) {
            char buffer[512] = {};
            SendMessageA(combo, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(buffer));
            items.push_back(buffer);
        }
        return items;
    }

private:
    static DialogScript*& active()
    {
        static DialogScript* script = nullptr;
        return script;
    }

    static void CALLBACK tick(HWND, UINT, UINT_PTR, DWORD)
    {
        DialogScript* self = active();
        if (!self) return;
        HWND dialog = openDialog();
        if (!dialog) return;
        if (self->next_ < self->steps_.size()) {
            // The step may open a nested dialog whose own loop calls this again.
            const Step& step = self->steps_[self->next_++];
            step(dialog);
            return;
        }
        if (GetTickCount() > self->deadline_ || ++self->idleTicks_ > 20) {
            self->leftOpen_ = true;
            ADD_FAILURE() << "a dialog was left open after the last step";
            PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        }
    }

    std::vector<Step> steps_;
    std::size_t next_ = 0;
    DWORD deadline_ = 0;
    int idleTicks_ = 0;
    bool leftOpen_ = false;
};

} // namespace orvox::test
