#pragma once
// The Printers page: the Windows printer queue the job goes to, printing and/or
// saving to a file, a specific printer name for the print server, and the
// printer model that every model-dependent rule of the other pages follows.
// The IPP printers of the configuration file are listed after the queues, each
// row marked with its address; a name picks the first row of that name, so a
// queue wins over an IPP printer of the same name.
#include <string>
#include <vector>

#include "platform/services.h"
#include "print/ipp_output.h"
#include "settings/branding.h"
#include "settings/job_document.h"
#include "ui/tab_page.h"

namespace orvox::ui {

class PrintersPage : public TabPage {
public:
    // Sent when the selected printer turned out not to be usable.
    static constexpr UINT kPrinterUnavailable = WM_USER + 22;

    PrintersPage(const PageSlot& slot, JobDocument& doc, platform::Services services, const Branding& branding,
                 const std::string& helpFile, const std::vector<IppPrinter>& ippPrinters = {});

    int printerRowCount() const;
    // Device name of the selected row; empty when there is none.
    std::string selectedDevice() const;
    std::string deviceOfRow(int row) const;
    // Whether the selected row is an IPP printer rather than a Windows queue.
    bool selectedIsIpp() const;
    // Selects the first row of that device (ignoring case); true when it was already selected.
    bool selectPrinter(const std::string& deviceName);
    // A printer named by imported job settings. A name no row has leaves no
    // printer selected, after telling which name was not found: the job must
    // not go to whatever queue happened to be selected.
    void selectNamedPrinter(const std::string& deviceName);
    // Shows `model` as the document's model without asking or reapplying defaults.
    void showModel(int model);
    // The document's model came from a new document, a file or an import: it is
    // shown without asking and the pages take up its restrictions. The
    // model's defaults are not applied, since they would overwrite the exit,
    // language and page range that the file or the host stated.
    void followDocumentModel();
    // The number of printer models offered; 0 while the model list is switched off.
    int modelCount() const;

    bool commitOnLeaving() override;
    bool editHasSelection() const override;

protected:
    BOOL onInitDialog() override;
    bool onCommand(int id, int code, HWND control) override;
    INT_PTR handleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
    bool loadFromDocument() override;
    bool saveToDocument() override;

private:
    void fillPrinters(bool keepSelection);
    void fillModels();
    void onPrinterSelected();
    void addNetworkPrinter();
    void applyPrintRule();
    void applySaveAsRule();
    void applyModelRule(bool forced);
    void switchPages();
    bool checked(int id) const { return IsDlgButtonChecked(hwnd(), id) == BST_CHECKED; }
    void check(int id, bool on) const { CheckDlgButton(hwnd(), id, on ? BST_CHECKED : BST_UNCHECKED); }
    std::string load(unsigned id) const { return services_.strings.load(id); }

    JobDocument& doc_;
    platform::Services services_;
    const Branding& branding_;
    const std::string& helpFile_;
    std::vector<IppPrinter> ippPrinters_;
    std::vector<std::string> devices_;  // one per row, in row order: the queues, then the IPP printers
    int queueRows_ = 0;
    std::string selectedRowText_;
    bool modelChangePending_ = false;
    bool dropDownCancelled_ = false;
    bool modelListAvailable_ = true;
    bool loading_ = false;
};

} // namespace orvox::ui
