#pragma once
// The Custom options page: free printer commands typed by the operator, a
// script file whose bytes go into the job header (with a preview of its
// start), the validate-file switch and the process-wide remove-Ctrl-D switch
// of the spooler output. It is the one job tab left when the print files are
// sent with custom commands only.
#include <string>

#include "settings/job_document.h"
#include "ui/tab_page.h"

namespace orvox::ui {

class CustomOptionsPage : public TabPage {
public:
    // The longest script path the job settings take from this page.
    static constexpr int kMaxScriptPath = 31;
    static constexpr int kMaxCommands = 255;

    CustomOptionsPage(const PageSlot& slot, JobDocument& doc);

    bool editHasSelection() const override;
    // The validate box is offered only where the printer's restriction list enables it.
    void printerChanged() override;

protected:
    BOOL onInitDialog() override;
    bool onCommand(int id, int code, HWND control) override;
    INT_PTR handleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
    bool loadFromDocument() override;
    bool saveToDocument() override;

private:
    void applyCommandsScrollBarRule();
    void applyClearButtonRule();
    void refreshPreview();
    void selectScriptFile();
    void clearScriptFile();
    bool checked(int id) const { return IsDlgButtonChecked(hwnd(), id) == BST_CHECKED; }
    std::string text(int id) const;
    std::string load(unsigned id) const { return doc_.services().strings.load(id); }

    JobDocument& doc_;
    HBRUSH previewBrush_ = nullptr;  // a stock brush, never deleted
    bool filling_ = false;
};

} // namespace orvox::ui
