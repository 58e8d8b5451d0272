#pragma once
// What a print run needs from the job-setup window's pages. The window
// implements it; every answer has a default for pages that do not exist yet,
// so a run without a window refuses soundly instead of failing.
#include <optional>
#include <string>
#include <vector>

namespace orvox::platform {

class PrintPages {
public:
    virtual ~PrintPages() = default;

    // The paper-substitution list is being edited: no print run now.
    virtual bool editingSubstitutions() const { return false; }

    // Printers page: empty when the page does not exist; otherwise the number of
    // rows of its printer list and the device name of the selected row.
    virtual std::optional<int> printerRowCount() const { return std::nullopt; }
    virtual std::string selectedPrinterDevice() const { return {}; }
    // Whether the selected row is an IPP printer of the configuration file
    // rather than a Windows queue (the two may share a name).
    virtual bool selectedPrinterIsIpp() const { return false; }
    virtual void showPrintersTab() {}

    // Files page: empty when the page does not exist; else its ordered list.
    virtual std::optional<std::vector<std::string>> filesToPrint() const { return std::nullopt; }

    // Job Setup pages: load from the document and save back (committing edits),
    // then Job Setup 1's own check before printing. False when a page is
    // missing or refuses.
    virtual bool commitJobSetup2() { return false; }
    virtual bool commitAndValidateJobSetup() { return false; }

    // Colour mapping page: empty when it does not exist; else how many distinct
    // colours the job uses.
    virtual std::optional<int> coloursInUse() const { return std::nullopt; }
    // Whether Job Setup 1's colour control is enabled (true when absent).
    virtual bool colourControlEnabled() const { return true; }

    // The current page's data into the document before a job file is built.
    virtual void commitCurrentPage() {}
    virtual void focusTabControl() {}

    // A missing print file: the operator may locate it. Returns the chosen
    // path, or empty when the operator cancelled.
    virtual std::string locateMissingFile(const std::string& /*path*/, const std::string& /*title*/) { return {}; }
};

} // namespace orvox::platform
