#pragma once
// The job-setup window: a dialog inside the host's window holding the tab
// control and its pages. It carries the program's commands (menu commands the
// host routes to it, keyboard shortcuts, dropped files), the idle status text
// and closing.
#include <windows.h>

#include <memory>
#include <string>

#include "interface/admin_dialogs.h"
#include "interface/ui_state_adapter.h"
#include "interface/xml_targets_adapter.h"
#include "ui/dialog_base.h"
#include "ui/key_hook.h"
#include "ui/key_router.h"
#include "ui/portable/restriction_list.h"
#include "ui/tab_host.h"

namespace orvox {

class Application;

class MainWindow : public ui::DialogBase, public ui::KeyRouter {
public:
    static constexpr UINT_PTR kStatusTimer = 1;
    static constexpr UINT kStatusPeriodMs = 5000;

    explicit MainWindow(Application& app) : app_(app) {}
    ~MainWindow() override;

    // 0, 10 when the dialog cannot be created, 11 when its initialisation
    // failed, 3 when it raised an exception.
    int create(HWND parent);
    HWND handle() const { return hwnd(); }
    ui::TabHost& tabs() { return tabs_; }
    // The current page's data into the document; false when the page refuses.
    bool commitCurrentPage();
    // The file commands of the menu and the shortcuts.
    void fileNew();
    void fileOpen();
    void fileSaveAs();
    bool administrationEnabled() const { return administration_; }
    const std::string& helpFile() const { return helpFile_; }
    void setBusy(bool busy) { busy_ = busy; }

    bool routeKey(UINT msg, WPARAM key, LPARAM flags) override;
    bool wantsKeyFromOutside(UINT msg, WPARAM key) const override;

protected:
    BOOL onInitDialog() override;
    bool onCommand(int id, int code, HWND control) override;
    INT_PTR handleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    bool initialise();
    bool checkSystemVersion();
    bool checkRequiredFiles();
    void startSplash();
    std::string currentModelName() const;

    void resetStatusText();
    void updateMenu(HMENU menu);
    void onMenuSelect(UINT item, UINT flags, HMENU menu);
    void onDropFiles(HDROP drop);
    void onClose();

    bool askPassword();
    void switchAdministration();
    void changePassword();
    void askExit();
    void showHelp();
    void refreshFolders();
    void showAbout();
    void print();

    std::string load(unsigned id) const;
    int message(const std::string& text, unsigned type) const;
    // A change the operator made could not be written to the configuration file.
    void showConfigWriteFailed() const;

    Application& app_;
    ui::TabHost tabs_;
    std::unique_ptr<XmlTargetsAdapter> xmlTargets_;
    std::unique_ptr<UiStateAdapter> uiState_;
    ui::RestrictionSet restrictions_;
    ui::KeyHook keyHook_;
    SplashWindow splash_;
    bool initialisationSucceeded_ = true;
    bool initialisationRaised_ = false;
    bool administration_ = true;
    bool shift_ = false;
    bool ctrl_ = false;
    bool menuTracking_ = false;
    bool busy_ = false;
    std::string lastStatusSeen_;
    std::string catalogFile_;
    std::string restrictionFile_;
    std::string helpFile_;
};

} // namespace orvox
