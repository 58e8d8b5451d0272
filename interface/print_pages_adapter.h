#pragma once
// The print run's view of the job-setup window's pages. A page that has no
// editor yet (an empty slot) counts as missing and gives the run's default
// answer, so a run refuses soundly until the page is there.
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "platform/print_pages.h"
#include "platform/strings.h"

namespace orvox {

class MainWindow;

namespace ui {
class TabPage;
}

class PrintPagesAdapter : public platform::PrintPages {
public:
    // `window` may be null: then every page is missing.
    PrintPagesAdapter(MainWindow* window, const platform::StringSource& strings)
        : window_(window), strings_(strings)
    {
    }

    std::optional<int> printerRowCount() const override;
    std::string selectedPrinterDevice() const override;
    bool selectedPrinterIsIpp() const override;
    std::optional<std::vector<std::string>> filesToPrint() const override;
    void showPrintersTab() override;
    bool commitJobSetup2() override;
    bool commitAndValidateJobSetup() override;
    std::optional<int> coloursInUse() const override;
    void commitCurrentPage() override;
    void focusTabControl() override;
    std::string locateMissingFile(const std::string& path, const std::string& title) override;

protected:
    // The page of `tabId` when it has an editor; null otherwise.
    ui::TabPage* existingPage(int tabId) const;
    // Loads the page from the document and saves it back; the current page
    // keeps its edits and is only saved.
    bool reloadAndSave(int tabId) const;

    MainWindow* window_;
    const platform::StringSource& strings_;
};

} // namespace orvox
