#include "interface/status_window.h"

#include <shellapi.h>

#include <vector>

#include "interface/application.h"
#include "interface/library.h"
#include "platform/win32/win32_platform.h"
#include "resource.h"
#include "ui/handler_resources.h"

namespace orvox {

StatusWindow::~StatusWindow()
{
    if (hwnd_ && IsWindow(hwnd_)) {
        SetWindowLongPtrA(hwnd_, DWLP_USER, 0);
        DestroyWindow(hwnd_);
    }
    for (HBITMAP& bitmap : printBitmaps_) {
        if (bitmap) DeleteObject(bitmap);
        bitmap = nullptr;
    }
}

void StatusWindow::loadPrintBitmaps()
{
    // Up, pressed and greyed faces of the print button, found by the button's id.
    const HINSTANCE module = platform::currentResourceHandle();
    const int ids[] = {IDB_STATUS_PRINT_UP, IDB_STATUS_PRINT_DOWN, IDB_STATUS_PRINT_DISABLED};
    for (int i = 0; i < 3; ++i)
        printBitmaps_[i] = static_cast<HBITMAP>(
            LoadImageA(module, MAKEINTRESOURCEA(ids[i]), IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR));
}

void StatusWindow::drawPrintButton(const DRAWITEMSTRUCT& item) const
{
    int face = 0;
    if (item.itemState & ODS_DISABLED) face = 2;
    else if (item.itemState & ODS_SELECTED) face = 1;
    HBITMAP bitmap = printBitmaps_[face] ? printBitmaps_[face] : printBitmaps_[0];
    const RECT& r = item.rcItem;
    if (!bitmap) {
        DrawFrameControl(item.hDC, const_cast<RECT*>(&r), DFC_BUTTON,
                         DFCS_BUTTONPUSH | (face == 1 ? DFCS_PUSHED : 0));
        return;
    }
    HDC memory = CreateCompatibleDC(item.hDC);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BITMAP info{};
    GetObjectA(bitmap, sizeof info, &info);
    StretchBlt(item.hDC, r.left, r.top, r.right - r.left, r.bottom - r.top, memory, 0, 0, info.bmWidth,
               info.bmHeight, SRCCOPY);
    SelectObject(memory, old);
    DeleteDC(memory);
    if (item.itemState & ODS_FOCUS) {
        RECT focus = r;
        InflateRect(&focus, -3, -3);
        DrawFocusRect(item.hDC, &focus);
    }
}

bool StatusWindow::create(HWND parent)
{
    hwnd_ = CreateDialogParamA(platform::currentResourceHandle(), MAKEINTRESOURCEA(IDD_STATUS_BAR), parent,
                               dialogProc, reinterpret_cast<LPARAM>(this));
    if (!hwnd_) return false;
    SetWindowLongPtrA(hwnd_, GWLP_ID, -1);
    RECT r{};
    GetWindowRect(hwnd_, &r);
    size_ = {r.right - r.left, r.bottom - r.top};
    loadPrintBitmaps();
    setText(platform::Win32Strings().load(IDS_IDLE_STATUS));
    DragAcceptFiles(hwnd_, TRUE);
    return true;
}

void StatusWindow::setText(const std::string& text)
{
    if (!hwnd_ || text.empty()) return;
    SetDlgItemTextA(hwnd_, IDC_STATUS_TEXT, text.c_str());
}

std::string StatusWindow::text() const
{
    if (!hwnd_) return {};
    HWND control = GetDlgItem(hwnd_, IDC_STATUS_TEXT);
    const int length = GetWindowTextLengthA(control);
    std::vector<char> buffer(static_cast<std::size_t>(length) + 1);
    const int n = GetWindowTextA(control, buffer.data(), length + 1);
    return std::string(buffer.data(), n > 0 ? static_cast<std::size_t>(n) : 0);
}

INT_PTR CALLBACK StatusWindow::dialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) SetWindowLongPtrA(hwnd, DWLP_USER, lParam);
    auto* self = reinterpret_cast<StatusWindow*>(GetWindowLongPtrA(hwnd, DWLP_USER));
    if (!self) return FALSE;
    try {
        ui::HandlerResourceScope resources;
        return self->handleMessage(message, wParam, lParam);
    } catch (...) {
        return FALSE;
    }
}

INT_PTR StatusWindow::handleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        return FALSE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDC_STATUS_PRINT && HIWORD(wParam) == BN_CLICKED) {
            // The print run reports its own failures; the button has no one to tell.
            if (Application* app = library().application.get()) app->runPrintRequest();
            return TRUE;
        }
        return FALSE;
    case WM_DRAWITEM:
        if (wParam == IDC_STATUS_PRINT && lParam) {
            drawPrintButton(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
            return TRUE;
        }
        return FALSE;
    case WM_DROPFILES:
        // Files dropped on the bar are the main window's to take.
        if (Application* app = library().application.get(); app && app->mainWindowHandle())
            SendMessageA(app->mainWindowHandle(), WM_DROPFILES, wParam, lParam);
        else
            DragFinish(reinterpret_cast<HDROP>(wParam));
        return TRUE;
    case WM_SETTEXT:
        // The host sets the status text by sending the bar its text.
        if (lParam) {
            setText(reinterpret_cast<const char*>(lParam));
            InvalidateRect(hwnd_, nullptr, TRUE);
        }
        SetWindowLongPtrA(hwnd_, DWLP_MSGRESULT, TRUE);
        return TRUE;
    default:
        return FALSE;
    }
}

} // namespace orvox
