#pragma once
// The job-setup window: a dialog inside the host's window holding the tab control.
#include <windows.h>

namespace orvox {

class Application;

class MainWindow {
public:
    explicit MainWindow(Application& app) : app_(app) {}
    ~MainWindow();
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

    // 0, 10 when the dialog cannot be created, 11 when its initialisation failed.
    int create(HWND parent);
    HWND handle() const { return hwnd_; }

private:
    static INT_PTR CALLBACK dialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR handleMessage(UINT message, WPARAM wParam, LPARAM lParam);

    Application& app_;
    HWND hwnd_ = nullptr;
    bool initialisationSucceeded_ = true;
};

} // namespace orvox
