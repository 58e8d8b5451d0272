#include "interface/admin_dialogs.h"

#include <vector>

#include "resource.h"
#include "settings/job_document.h"

namespace orvox {

std::string dialogItemText(HWND dialog, int id)
{
    HWND item = GetDlgItem(dialog, id);
    const int length = item ? GetWindowTextLengthA(item) : 0;
    std::vector<char> buffer(static_cast<std::size_t>(length) + 1, '\0');
    if (item) GetWindowTextA(item, buffer.data(), length + 1);
    return buffer.data();
}

namespace {
// A password longer than the configuration file keeps could never be typed
// again: the edits refuse the character beyond it.
void limitPasswordEdit(HWND dialog, int id)
{
    SendDlgItemMessageA(dialog, id, EM_LIMITTEXT, JobDocument::kMaxPasswordChars, 0);
}
} // namespace

BOOL PasswordDialog::onInitDialog()
{
    limitPasswordEdit(hwnd(), IDC_PASSWORD_EDIT);
    return TRUE;
}

bool PasswordDialog::onCommand(int id, int, HWND)
{
    if (id == IDOK) typed_ = dialogItemText(hwnd(), IDC_PASSWORD_EDIT);
    if (id == IDOK || id == IDCANCEL) {
        endDialog(id);
        return true;
    }
    return false;
}

BOOL ChangePasswordDialog::onInitDialog()
{
    limitPasswordEdit(hwnd(), IDC_NEW_PASSWORD_EDIT);
    limitPasswordEdit(hwnd(), IDC_CONFIRM_PASSWORD_EDIT);
    return TRUE;
}

bool ChangePasswordDialog::onCommand(int id, int, HWND)
{
    if (id == IDCANCEL) {
        endDialog(id);
        return true;
    }
    if (id != IDOK) return false;
    const std::string first = dialogItemText(hwnd(), IDC_NEW_PASSWORD_EDIT);
    if (first != dialogItemText(hwnd(), IDC_CONFIRM_PASSWORD_EDIT)) {
        differ_();
        return true;
    }
    if (store_(first)) endDialog(IDOK);
    return true;
}

BOOL AboutDialog::onInitDialog()
{
    SetDlgItemTextA(hwnd(), IDC_ABOUT_VERSION, version_.c_str());
    SetDlgItemTextA(hwnd(), IDC_ABOUT_COPYRIGHT, copyright_.c_str());
    return TRUE;
}

bool AboutDialog::onCommand(int id, int, HWND)
{
    if (id != IDOK && id != IDCANCEL) return false;
    endDialog(id);
    return true;
}

namespace {
constexpr UINT_PTR kSplashTimer = 1;
}

bool SplashWindow::show(HINSTANCE resources, HWND owner, int seconds)
{
    if (!createModeless(resources, IDD_SPLASH, owner)) return false;
    SetTimer(hwnd(), kSplashTimer, static_cast<UINT>(seconds > 0 ? seconds : 0) * 1000u, nullptr);
    return true;
}

INT_PTR SplashWindow::handleMessage(UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == WM_TIMER && wp == kSplashTimer) {
        KillTimer(hwnd(), kSplashTimer);
        destroy();
        return TRUE;
    }
    return DialogBase::handleMessage(msg, wp, lp);
}

} // namespace orvox
