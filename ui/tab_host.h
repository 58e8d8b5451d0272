#pragma once
// The tabbed part of the main window: the owner-drawn tab control and its seven
// pages. Tabs can be disabled (drawn grey, not selectable) and removed and put
// back by the host; a removed tab comes back at its place in the table order.
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/strings.h"
#include "ui/control.h"
#include "ui/tab_page.h"
#include "ui/win32_handles.h"

namespace orvox::ui {

class RestrictionSet;

class TabHost {
public:
    using PageFactory = std::function<std::unique_ptr<TabPage>(const PageSlot&)>;
    // Display name of the current printer model, as the restriction file names it.
    using ModelNameSource = std::function<std::string()>;

    TabHost();
    ~TabHost();
    TabHost(const TabHost&) = delete;
    TabHost& operator=(const TabHost&) = delete;

    // Takes over the main window's tab control and creates every page in table
    // order; a slot the factory leaves empty gets an EmptyPage.
    bool build(HWND mainWindow, int tabControlId, HINSTANCE resources, const platform::StringSource& strings,
               KeyRouter& keys, const PageFactory& factory);
    void setRestrictions(const RestrictionSet* restrictions, ModelNameSource modelName);
    // The installed help file the pages' help buttons open; empty when there is none.
    void setHelpFile(std::string helpFile) { helpFile_ = std::move(helpFile); }
    const std::string& helpFile() const { return helpFile_; }

    HWND tabControl() const;
    TabPage* page(int tabId) const;
    TabPage* currentPage() const;
    int currentTabId() const;
    int presentCount() const;
    int indexOfTab(int tabId) const;

    void enableTab(int tabId);
    void disableTab(int tabId);
    bool isTabDisabled(int tabId) const;
    // The tab id, or 0 when the tab is absent or disabled or the current page refuses to be left.
    int selectTab(int tabId, bool skipCommit);
    bool selectTabAt(int position);

    // Orvo_ShowTab and Orvo_ShowGuiElement: 0, 1 (the tab control refused), 4 (invalid tab).
    int showTab(int tabId);
    int hideTab(int tabId);
    int showControl(int tabId, int controlId, bool show);

    bool loadAll();
    bool loadOne(int tabId);
    bool saveAll();
    bool applyRestrictions(TabPage& page);
    // After a printer or model change; the light form touches only a current job-setup page.
    void printerChanged(bool light);
    bool currentEditHasSelection() const;

    // Messages of the tab control reflected by the main window.
    bool onNotify(const NMHDR& header, LRESULT& result);
    void drawTab(const DRAWITEMSTRUCT& draw) const;
    // Messages of the tab control itself.
    bool isTabAtPointDisabled(LPARAM point) const;
    bool routeKey(UINT msg, WPARAM key, LPARAM flags);

private:
    TabPage* pageAt(int index) const;
    int indexOfPage(const TabPage* page) const;
    bool switchTo(int index, bool skipCommit);
    bool moveSelectionAwayFrom(int index, bool filesOnly);
    void showCurrentOnly() const;
    void redrawTabs() const;
    void restoreSelection(const TabPage* page);

    class TabControl;
    std::unique_ptr<TabControl> tabs_;
    std::vector<std::unique_ptr<TabPage>> pages_;
    GdiObject font_;
    KeyRouter* keys_ = nullptr;
    const RestrictionSet* restrictions_ = nullptr;
    ModelNameSource modelName_;
    int selectionBeforeChange_ = -1;
    std::string helpFile_;
};

} // namespace orvox::ui
