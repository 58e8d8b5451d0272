#pragma once
// Modal dialogs the library opens itself (the settings-file dialogs, a message
// box when no host hook answers): while a watcher lives, every such dialog of
// this thread is recorded and answered, so a test never waits on a person.
#include <windows.h>
#include <shlobj.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace orvox::test {

class DialogWatcher {
public:
    struct Seen {
        std::string caption;
        bool fileDialog;
    };

    DialogWatcher()
    {
        current() = this;
        timer_ = SetTimer(nullptr, 0, 20, &DialogWatcher::tick);
    }
    ~DialogWatcher()
    {
        KillTimer(nullptr, timer_);
        current() = nullptr;
    }
    DialogWatcher(const DialogWatcher&) = delete;
    DialogWatcher& operator=(const DialogWatcher&) = delete;

    // The next file dialog gets this name and OK; empty: every dialog is cancelled.
    void answerFileDialogWith(std::string path) { fileToGive_ = std::move(path); }
    // Runs before each dialog is answered (the test changes the world while
    // the library waits on the dialog).
    void beforeAnswering(std::function<void()> step) { beforeAnswering_ = std::move(step); }
    const std::vector<Seen>& seen() const { return seen_; }
    int fileDialogs() const
    {
        int n = 0;
        for (const Seen& s : seen_) n += s.fileDialog ? 1 : 0;
        return n;
    }

private:
    static DialogWatcher*& current()
    {
        static DialogWatcher* watcher = nullptr;
        return watcher;
    }

    static BOOL CALLBACK visit(HWND window, LPARAM)
    {
        DialogWatcher* self = current();
        char className[32] = {};
        GetClassNameA(window, className, sizeof className);
        if (!self || std::strcmp(className, "#32770") != 0 || !IsWindowVisible(window)) return TRUE;
        if (GetWindowLongPtrA(window, GWL_STYLE) & WS_CHILD) return TRUE;
        // A dialog is answered on the tick after it was first seen, once its controls exist.
        if (self->pending_ != window) {
            self->pending_ = window;
            return FALSE;
        }
        self->pending_ = nullptr;
        char caption[256] = {};
        GetWindowTextA(window, caption, sizeof caption);
        // The file name box of the file dialogs (the older and the newer layout).
        HWND name = GetDlgItem(window, 1152);
        if (!name) name = GetDlgItem(window, 1148);
        self->seen_.push_back({caption, name != nullptr});
        if (self->beforeAnswering_) self->beforeAnswering_();
        if (name && !self->fileToGive_.empty()) {
            SetWindowTextA(name, self->fileToGive_.c_str());
            self->fileToGive_.clear();
            PostMessageA(window, WM_COMMAND, IDOK, 0);
        } else {
            PostMessageA(window, WM_COMMAND, IDCANCEL, 0);
        }
        return FALSE;
    }

    static void CALLBACK tick(HWND, UINT, UINT_PTR, DWORD)
    {
        if (current()) EnumThreadWindows(GetCurrentThreadId(), &DialogWatcher::visit, 0);
    }

    UINT_PTR timer_ = 0;
    HWND pending_ = nullptr;
    std::string fileToGive_;
    std::function<void()> beforeAnswering_;
    std::vector<Seen> seen_;
};

// Files dropped on a window as the shell hands them over; the window frees the memory.
inline void dropFiles(HWND window, const std::vector<std::string>& paths)
{
    std::size_t size = sizeof(DROPFILES) + 1;
    for (const std::string& p : paths) size += p.size() + 1;
    HGLOBAL memory = GlobalAlloc(GHND, size);
    if (!memory) return;
    auto* drop = static_cast<DROPFILES*>(GlobalLock(memory));
    drop->pFiles = sizeof(DROPFILES);
    char* at = reinterpret_cast<char*>(drop) + sizeof(DROPFILES);
    for (const std::string& p : paths) {
        std::memcpy(at, p.c_str(), p.size());
        at += p.size() + 1;
    }
    GlobalUnlock(memory);
    SendMessageA(window, WM_DROPFILES, reinterpret_cast<WPARAM>(memory), 0);
}

} // namespace orvox::test
