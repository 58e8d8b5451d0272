#pragma once
// The status window: one line of status text and a print button, in a host
// window of the host's choice.
#include <windows.h>

#include <string>

namespace orvox {

class StatusWindow {
public:
    StatusWindow() = default;
    ~StatusWindow();
    StatusWindow(const StatusWindow&) = delete;
    StatusWindow& operator=(const StatusWindow&) = delete;

    // Creates the bar from its template as a child of `parent`; false on failure.
    bool create(HWND parent);
    HWND handle() const { return hwnd_; }
    SIZE templateSize() const { return size_; }

    // An empty text leaves the status unchanged.
    void setText(const std::string& text);
    std::string text() const;

private:
    static INT_PTR CALLBACK dialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR handleMessage(UINT message, WPARAM wParam, LPARAM lParam);

    void loadPrintBitmaps();
    void drawPrintButton(const DRAWITEMSTRUCT& item) const;

    HWND hwnd_ = nullptr;
    SIZE size_{};
    HBITMAP printBitmaps_[3] = {};
};

} // namespace orvox
