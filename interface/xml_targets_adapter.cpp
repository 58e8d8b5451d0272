#include "interface/xml_targets_adapter.h"

#include "ui/files_page.h"
#include "ui/printers_page.h"

namespace orvox {
namespace {

constexpr int kPrintersTabId = 433;

} // namespace

void XmlTargetsAdapter::addFileToPrint(const std::string& path)
{
    // The list's count, remove button and TIFF language wait for the end of the import.
    if (auto* files = dynamic_cast<ui::FilesPage*>(tabs_.page(ui::kFilesTabId))) files->addFile(path, true, false);
}

void XmlTargetsAdapter::clearFilesToPrint()
{
    if (auto* files = dynamic_cast<ui::FilesPage*>(tabs_.page(ui::kFilesTabId))) files->clearFiles(false);
}

void XmlTargetsAdapter::importFinished()
{
    if (auto* files = dynamic_cast<ui::FilesPage*>(tabs_.page(ui::kFilesTabId))) files->updateListState();
}

void XmlTargetsAdapter::selectPrinter(const std::string& deviceName)
{
    // An unknown queue leaves no printer selected, so the job cannot go to another machine.
    if (auto* printers = dynamic_cast<ui::PrintersPage*>(tabs_.page(kPrintersTabId)))
        printers->selectNamedPrinter(deviceName);
}

void XmlTargetsAdapter::showPrinterModel(int model)
{
    if (auto* printers = dynamic_cast<ui::PrintersPage*>(tabs_.page(kPrintersTabId))) printers->showModel(model);
}

} // namespace orvox
