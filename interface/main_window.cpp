#include "interface/main_window.h"

#include "interface/application.h"
#include "platform/win32/win32_platform.h"
#include "resource.h"

namespace orvox {

MainWindow::~MainWindow()
{
    if (hwnd_ && IsWindow(hwnd_)) {
        SetWindowLongPtrA(hwnd_, DWLP_USER, 0);
        DestroyWindow(hwnd_);
    }
}

int MainWindow::create(HWND parent)
{
    hwnd_ = CreateDialogParamA(platform::currentResourceHandle(), MAKEINTRESOURCEA(IDD_MAIN_WINDOW), parent,
                               dialogProc, reinterpret_cast<LPARAM>(this));
    if (!hwnd_) return 10;
    return initialisationSucceeded_ ? 0 : 11;
}

INT_PTR CALLBACK MainWindow::dialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        auto* self = reinterpret_cast<MainWindow*>(lParam);
        SetWindowLongPtrA(hwnd, DWLP_USER, lParam);
        self->hwnd_ = hwnd;
    }
    auto* self = reinterpret_cast<MainWindow*>(GetWindowLongPtrA(hwnd, DWLP_USER));
    if (!self) return FALSE;
    try {
        return self->handleMessage(message, wParam, lParam);
    } catch (...) {
        // A window procedure is no place for an exception to leave.
        return FALSE;
    }
}

INT_PTR MainWindow::handleMessage(UINT message, WPARAM, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        initialisationSucceeded_ = app_.initialiseMainWindow();
        return TRUE;
    default:
        return FALSE;
    }
}

} // namespace orvox
