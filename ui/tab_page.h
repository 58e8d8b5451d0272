#pragma once
// One page of the job-setup window: a modeless child dialog of the tab control
// editing one area of the job settings document.
#include <array>
#include <string>

#include "ui/dialog_base.h"
#include "ui/key_router.h"

namespace orvox::ui {

class TabHost;

struct PageSlot {
    int creationIndex;
    int templateId;
    int tabId;          // id of the caption string; names the page everywhere
    int firstFocusId;   // 0: none
    int helpContext;
};

// The pages in tab order; a page keeps its index when tabs are removed.
inline constexpr std::array<PageSlot, 7> kPageSlots{{
    {0, 113, 433, 1038, 16},   // Printers
    {1, 211, 434, 0, 18},      // Files
    {2, 2617, 435, 2612, 19},  // Job Setup 1
    {3, 2611, 519, 1094, 54},  // Job Setup 2
    {4, 160, 436, 1016, 26},   // Custom options
    {5, 103, 437, 1006, 29},   // Paper substitutions
    {6, 105, 438, 1000, 31},   // Colour mapping
}};
inline constexpr int kFilesTabId = 434;
inline constexpr int kJobSetup1TabId = 435;
inline constexpr int kJobSetup2TabId = 519;

class TabPage : public DialogBase {
public:
    explicit TabPage(const PageSlot& slot) : slot_(slot) {}

    const PageSlot& slot() const { return slot_; }
    int tabId() const { return slot_.tabId; }
    int templateId() const { return slot_.templateId; }
    int creationIndex() const { return slot_.creationIndex; }
    const std::string& caption() const { return caption_; }
    void setCaption(std::string caption);
    bool enabled() const { return enabled_; }
    void setEnabled(bool enabled) { enabled_ = enabled; }
    bool initialised() const { return initialised_; }
    void attachHost(TabHost* host, KeyRouter* keys)
    {
        host_ = host;
        keys_ = keys;
    }

    // The page contract. Load and save run only once the dialog is initialised.
    bool load() { return !initialised_ || loadFromDocument(); }
    bool save() { return !initialised_ || saveToDocument(); }
    virtual bool commitOnLeaving() { return true; }
    virtual bool editHasSelection() const { return false; }
    // The printer or its model changed: by default the page's restriction list is applied again.
    virtual void printerChanged();
    // A file dropped on the job-setup window; the Files page takes it into its list.
    virtual bool acceptDroppedFile(const std::string& /*path*/) { return false; }
    // Reads the folders the page shows again (the Files page's folder browser).
    virtual void refreshFolders() {}
    // Creates the dialog as a child of the tab control, below the tab row.
    virtual bool create(HINSTANCE resources, HWND tabControl);

protected:
    virtual bool saveToDocument() = 0;
    virtual bool loadFromDocument() = 0;
    BOOL onInitDialog() override;
    INT_PTR handleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
    TabHost* host() const { return host_; }
    // The page's help button: usable only while a help file is installed.
    void enableHelpButton(int buttonId) const;
    // Opens the page's topic of the operator's guide.
    void showPageHelp() const;

private:
    PageSlot slot_;
    std::string caption_;
    bool enabled_ = true;
    bool initialised_ = false;
    TabHost* host_ = nullptr;
    KeyRouter* keys_ = nullptr;
};

// The page of a slot whose editor does not exist yet: its template, no data.
class EmptyPage : public TabPage {
public:
    using TabPage::TabPage;

protected:
    bool saveToDocument() override { return true; }
    bool loadFromDocument() override { return true; }
};

} // namespace orvox::ui
