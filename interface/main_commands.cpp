// The main window's commands: menu commands routed by the host, keyboard
// shortcuts, menu state and prompts, and the administration dialogs.
#include <windows.h>

#include "interface/application.h"
#include "interface/library.h"
#include "interface/main_window.h"
#include "platform/messages.h"
#include "platform/win32/win32_platform.h"
#include "resource.h"
#include "settings/job_document.h"
#include "ui/help.h"

namespace orvox {
namespace {

bool clipboardHasText()
{
    if (!IsClipboardFormatAvailable(CF_TEXT) || !OpenClipboard(nullptr)) return false;
    bool hasText = false;
    if (HANDLE data = GetClipboardData(CF_TEXT)) {
        if (const auto* text = static_cast<const char*>(GlobalLock(data))) {
            hasText = text[0] != '\0';
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return hasText;
}

void postToFocus(UINT msg)
{
    if (HWND focus = GetFocus()) PostMessageA(focus, msg, 0, 0);
}

} // namespace

bool MainWindow::onCommand(int id, int, HWND)
{
    switch (id) {
    case ID_ADMIN_SWITCH: switchAdministration(); return true;
    case ID_PAPER_CATALOG_EDITOR:
        // While the editor is open a second request does not even ask.
        if (!library().catalogEditing && askPassword()) app_.runCatalogEditor(hwnd());
        return true;
    case ID_CHANGE_PASSWORD: changePassword(); return true;
    case ID_ASK_EXIT: askExit(); return true;
    case ID_HELP_CONTENTS: showHelp(); return true;
    case ID_REFRESH_FOLDERS: refreshFolders(); return true;
    case ID_EDIT_COPY: postToFocus(WM_COPY); return true;
    case ID_EDIT_CUT: postToFocus(WM_CUT); return true;
    case ID_EDIT_PASTE: postToFocus(WM_PASTE); return true;
    case ID_EDIT_CLEAR: postToFocus(WM_CLEAR); return true;
    case ID_EDIT_UNDO: postToFocus(WM_UNDO); return true;
    case ID_APP_ABOUT: showAbout(); return true;
    case ID_FILE_NEW: fileNew(); return true;
    case ID_FILE_OPEN: fileOpen(); return true;
    case ID_FILE_SAVE: app_.documents().save(hwnd()); return true;
    case ID_FILE_SAVE_AS: fileSaveAs(); return true;
    case ID_APP_EXIT: onClose(); return true;
    default: return false;
    }
}

bool MainWindow::routeKey(UINT msg, WPARAM key, LPARAM)
{
    if (msg == WM_KEYUP) {
        if (key == VK_SHIFT) shift_ = false;
        else if (key == VK_CONTROL) ctrl_ = false;
        else shift_ = ctrl_ = false;
        return false;
    }
    if (msg != WM_KEYDOWN) return false;
    switch (key) {
    case VK_SHIFT: shift_ = true; return false;
    case VK_CONTROL: ctrl_ = true; return false;
    case VK_F5: refreshFolders(); return true;
    case VK_ESCAPE:
        // A running print run stops before its next file.
        library().printing = false;
        return true;
    default: break;
    }
    if (!ctrl_) return false;
    if (key >= '1' && key <= '7') {
        tabs_.selectTabAt(static_cast<int>(key - '1'));
    } else if (key == 'P') {
        print();
    } else if (key == 'N') {
        onCommand(ID_FILE_NEW, 0, nullptr);
    } else if (key == 'O') {
        onCommand(ID_FILE_OPEN, 0, nullptr);
    } else if (key == 'S') {
        onCommand(ID_FILE_SAVE, 0, nullptr);
    }
    return false;
}

bool MainWindow::wantsKeyFromOutside(UINT msg, WPARAM key) const
{
    // A print run blocks the thread; only its own boxes and dialogs take keys
    // meanwhile. Escape there stops the run, and nothing else may start one.
    return msg == WM_KEYDOWN && key == VK_ESCAPE && library().printing;
}

void MainWindow::updateMenu(HMENU menu)
{
    if (!menu || !IsMenu(menu)) return;
    const bool selection = tabs_.currentEditHasSelection();
    const int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        const UINT id = GetMenuItemID(menu, i);
        if (id == static_cast<UINT>(-1) || id == 0) continue;  // a popup or a separator
        bool enabled = true;
        switch (id) {
        case ID_PAPER_CATALOG_EDITOR:
        case ID_CHANGE_PASSWORD: enabled = administration_; break;
        case ID_EDIT_CLEAR:
        case ID_EDIT_COPY:
        case ID_EDIT_CUT: enabled = selection; break;
        case ID_EDIT_PASTE: enabled = clipboardHasText(); break;
        case ID_EDIT_UNDO: enabled = GetFocus() != nullptr; break;
        default: break;
        }
        EnableMenuItem(menu, id, MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
    }
}

void MainWindow::onMenuSelect(UINT item, UINT flags, HMENU menu)
{
    if (flags == 0xFFFF && !menu) {
        menuTracking_ = false;
        app_.setStatusText(load(IDS_IDLE_STATUS));
        return;
    }
    if (menuTracking_ && !(flags & MF_POPUP) && !(flags & MF_SEPARATOR)) app_.setStatusText(load(item));
}

bool MainWindow::askPassword()
{
    // The document read the password, at its full length, when it was built;
    // a change of password replaces its copy.
    const JobDocument* doc = app_.documents().document();
    if (!doc) return false;
    for (;;) {
        PasswordDialog dialog;
        if (dialog.runModal(platform::currentResourceHandle(), IDD_PASSWORD, hwnd()) != IDOK) return false;
        const std::string& stored = doc->adminPassword();
        if (CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, dialog.typed().c_str(), -1, stored.c_str(), -1) ==
            CSTR_EQUAL)
            return true;
        message(load(IDS_WRONG_PASSWORD), platform::kMbIconStop);
    }
}

void MainWindow::switchAdministration()
{
    if (!askPassword()) return;
    administration_ = !administration_;
    // The switch holds for this session either way; the operator is told
    // that the next start will not find it.
    if (!app_.services().profile.writeString(app_.configFile(), load(IDS_CONFIG_ADMIN_SECTION),
                                             load(IDS_CONFIG_ADMIN_FLAG_KEY), administration_ ? "1" : "0"))
        showConfigWriteFailed();
}

void MainWindow::showConfigWriteFailed() const
{
    message(load(IDS_CONFIG_WRITE_FAILED) + app_.configFile() + load(IDS_CONFIG_WRITE_FAILED_TAIL),
            platform::kMbIconStop);
}

void MainWindow::changePassword()
{
    JobDocument* doc = app_.documents().document();
    if (!doc) return;
    // A password that could not be stored is not taken: the dialog stays, and
    // the old password still holds.
    ChangePasswordDialog dialog(
        [this, doc](const std::string& password) {
            if (doc->setAdminPassword(password)) return true;
            showConfigWriteFailed();
            return false;
        },
        [this] { message(load(IDS_PASSWORDS_DIFFER), platform::kMbIconExclamation); });
    dialog.runModal(platform::currentResourceHandle(), IDD_CHANGE_PASSWORD, hwnd());
}

void MainWindow::askExit()
{
    if (message(load(IDS_EXIT_QUESTION), platform::kMbYesNo | platform::kMbIconQuestion) == platform::kIdYes)
        PostMessageA(hwnd(), WM_COMMAND, ID_APP_EXIT, 0);
}

void MainWindow::showHelp()
{
    if (!helpFile_.empty()) ui::showHelpContents(hwnd(), helpFile_);
}

void MainWindow::refreshFolders()
{
    ui::TabPage* files = tabs_.page(ui::kFilesTabId);
    if (!files || !files->hwnd()) return;
    // Redrawing and the wait cursor come back however the refresh ends.
    struct Suspended {
        MainWindow& window;
        HCURSOR previous;
        ~Suspended()
        {
            SetCursor(previous);
            window.setBusy(false);
            SendMessageA(window.hwnd(), WM_SETREDRAW, TRUE, 0);
            RedrawWindow(window.hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
        }
    };
    SendMessageA(hwnd(), WM_SETREDRAW, FALSE, 0);
    busy_ = true;
    Suspended suspended{*this, SetCursor(LoadCursor(nullptr, IDC_WAIT))};
    files->refreshFolders();
}

void MainWindow::showAbout()
{
    AboutDialog about(app_.versionString(), app_.branding().get(Branding::kCopyright));
    about.runModal(platform::currentResourceHandle(), IDD_ABOUT, hwnd());
}

void MainWindow::print() { app_.runPrintRequest(); }

void MainWindow::fileNew()
{
    if (!app_.documents().askSaveChanges(hwnd())) return;
    app_.documents().newSettings();
}

void MainWindow::fileOpen()
{
    if (!app_.documents().askSaveChanges(hwnd())) return;
    // The pages' input is checked as for printing before it is replaced.
    if (!app_.checkPagesAsForPrinting()) return;
    app_.documents().openWithDialog(hwnd());
}

void MainWindow::fileSaveAs()
{
    // A settings file is saved only with settings that could be printed.
    if (!app_.checkPagesAsForPrinting() || !commitCurrentPage()) return;
    app_.documents().saveWithDialog(hwnd());
}

} // namespace orvox
