#include "interface/print_pages_adapter.h"

#include <commdlg.h>

#include <algorithm>
#include <vector>

#include "interface/main_window.h"
#include "resource.h"
#include "ui/tab_host.h"
#include "ui/tab_page.h"

namespace orvox {

ui::TabPage* PrintPagesAdapter::existingPage(int tabId) const
{
    if (!window_) return nullptr;
    ui::TabPage* page = window_->tabs().page(tabId);
    return dynamic_cast<ui::EmptyPage*>(page) ? nullptr : page;
}

bool PrintPagesAdapter::reloadAndSave(int tabId) const
{
    ui::TabPage* page = existingPage(tabId);
    if (!page) return false;
    if (page != window_->tabs().currentPage() && !page->load()) return false;
    return page->save();
}

void PrintPagesAdapter::showPrintersTab()
{
    if (window_) window_->tabs().selectTab(IDS_TAB_PRINTERS, false);
}

bool PrintPagesAdapter::commitJobSetup2() { return reloadAndSave(ui::kJobSetup2TabId); }

bool PrintPagesAdapter::commitAndValidateJobSetup()
{
    // Saving Job Setup 1 runs its own check of its input.
    return reloadAndSave(ui::kJobSetup1TabId) && reloadAndSave(ui::kJobSetup2TabId);
}

void PrintPagesAdapter::commitCurrentPage()
{
    if (window_) window_->commitCurrentPage();
}

void PrintPagesAdapter::focusTabControl()
{
    if (window_ && window_->tabs().tabControl()) SetFocus(window_->tabs().tabControl());
}

std::string PrintPagesAdapter::locateMissingFile(const std::string& path, const std::string& title)
{
    // The filter text separates its parts with '|'; the dialog wants NULs.
    std::string filter = strings_.load(IDS_RUN_FILE_FILTER);
    for (char& c : filter)
        if (c == '|') c = '\0';
    filter.push_back('\0');
    std::vector<char> name(MAX_PATH + 1, '\0');
    path.copy(name.data(), std::min(path.size(), static_cast<std::size_t>(MAX_PATH)));

    OPENFILENAMEA ofn{};
    ofn.lStructSize = sizeof(ofn);
    ofn.hwndOwner = window_ ? window_->handle() : nullptr;
    ofn.lpstrFilter = filter.c_str();
    ofn.lpstrFile = name.data();
    ofn.nMaxFile = MAX_PATH;
    ofn.lpstrTitle = title.c_str();
    ofn.Flags = OFN_HIDEREADONLY | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST;
    if (!GetOpenFileNameA(&ofn)) return {};
    return name.data();
}

} // namespace orvox
