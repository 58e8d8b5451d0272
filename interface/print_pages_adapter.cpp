#include "interface/print_pages_adapter.h"

#include <commdlg.h>

#include <algorithm>
#include <vector>

#include "interface/main_window.h"
#include "resource.h"
#include "ui/colour_mapping_page.h"
#include "ui/files_page.h"
#include "ui/job_setup1_page.h"
#include "ui/printers_page.h"
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

std::optional<int> PrintPagesAdapter::printerRowCount() const
{
    auto* printers = dynamic_cast<ui::PrintersPage*>(existingPage(IDS_TAB_PRINTERS));
    if (!printers) return std::nullopt;
    return printers->printerRowCount();
}

std::string PrintPagesAdapter::selectedPrinterDevice() const
{
    auto* printers = dynamic_cast<ui::PrintersPage*>(existingPage(IDS_TAB_PRINTERS));
    return printers ? printers->selectedDevice() : std::string();
}

bool PrintPagesAdapter::selectedPrinterIsIpp() const
{
    auto* printers = dynamic_cast<ui::PrintersPage*>(existingPage(IDS_TAB_PRINTERS));
    return printers && printers->selectedIsIpp();
}

std::optional<std::vector<std::string>> PrintPagesAdapter::filesToPrint() const
{
    auto* files = dynamic_cast<ui::FilesPage*>(existingPage(IDS_TAB_FILES));
    if (!files) return std::nullopt;
    return files->files();
}

void PrintPagesAdapter::showPrintersTab()
{
    if (window_) window_->tabs().selectTab(IDS_TAB_PRINTERS, false);
}

bool PrintPagesAdapter::commitJobSetup2() { return reloadAndSave(ui::kJobSetup2TabId); }

bool PrintPagesAdapter::commitAndValidateJobSetup()
{
    if (!reloadAndSave(ui::kJobSetup1TabId) || !reloadAndSave(ui::kJobSetup2TabId)) return false;
    auto* setup1 = dynamic_cast<ui::JobSetup1Page*>(existingPage(ui::kJobSetup1TabId));
    return setup1 && setup1->validateForPrint();
}

std::optional<int> PrintPagesAdapter::coloursInUse() const
{
    // Only a missing page leaves the count unknown.
    auto* colours = dynamic_cast<ui::ColourMappingPage*>(existingPage(IDS_TAB_COLOR_MAPPING));
    if (!colours) return std::nullopt;
    return colours->coloursInUse().highlightColours;
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
