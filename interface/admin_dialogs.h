#pragma once
// The small dialogs of the main window: password question, change of password,
// about box and the start-up splash.
#include <functional>
#include <string>

#include "ui/dialog_base.h"

namespace orvox {

class PasswordDialog : public ui::DialogBase {
public:
    const std::string& typed() const { return typed_; }

protected:
    BOOL onInitDialog() override;
    bool onCommand(int id, int code, HWND control) override;

private:
    std::string typed_;
};

class ChangePasswordDialog : public ui::DialogBase {
public:
    // Called with the new password when both entries agree; false keeps the dialog open.
    explicit ChangePasswordDialog(std::function<bool(const std::string&)> store, std::function<void()> differ)
        : store_(std::move(store)), differ_(std::move(differ))
    {
    }

protected:
    BOOL onInitDialog() override;
    bool onCommand(int id, int code, HWND control) override;

private:
    std::function<bool(const std::string&)> store_;
    std::function<void()> differ_;
};

class AboutDialog : public ui::DialogBase {
public:
    AboutDialog(std::string version, std::string copyright)
        : version_(std::move(version)), copyright_(std::move(copyright))
    {
    }

protected:
    BOOL onInitDialog() override;
    bool onCommand(int id, int code, HWND control) override;

private:
    std::string version_;
    std::string copyright_;
};

// Shown while the library starts; closes itself when its timer fires.
class SplashWindow : public ui::DialogBase {
public:
    bool show(HINSTANCE resources, HWND owner, int seconds);

protected:
    INT_PTR handleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
};

std::string dialogItemText(HWND dialog, int id);

} // namespace orvox
