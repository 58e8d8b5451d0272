#pragma once
// What an XML settings import hands to the pages that hold no document field:
// the files page keeps the list of files to print and the printer page the
// selected printer queue and the model shown. The user interface implements it;
// an import without one changes only the document.
#include <string>

namespace orvox::platform {

class XmlTargets {
public:
    virtual ~XmlTargets() = default;
    // The files page adds the file to its list of files to print; it checks the
    // file and reports a refusal itself, and keeps one entry per file.
    virtual void addFileToPrint(const std::string& path) = 0;
    // The files page empties its list of files to print.
    virtual void clearFilesToPrint() = 0;
    // The printer page selects the first queue of that device name (ignoring
    // case); an unknown name is the page's to handle.
    virtual void selectPrinter(const std::string& deviceName) = 0;
    // The document's printerModel has just been set to `model`; the printer
    // page shows it.
    virtual void showPrinterModel(int model) = 0;
    // The import is over (also one stopped by an element that could not take
    // effect): the files page brings what it shows about its list up to date
    // once, rather than after each of a batch's files.
    virtual void importFinished() {}
};

} // namespace orvox::platform
