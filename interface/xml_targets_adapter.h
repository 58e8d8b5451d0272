#pragma once
// Hands what an XML import says about files and printers to the Files and
// Printers pages of the job-setup window.
#include "platform/xml_targets.h"
#include "ui/tab_host.h"

namespace orvox {

class XmlTargetsAdapter : public platform::XmlTargets {
public:
    explicit XmlTargetsAdapter(ui::TabHost& tabs) : tabs_(tabs) {}

    void addFileToPrint(const std::string& path) override;
    void clearFilesToPrint() override;
    void selectPrinter(const std::string& deviceName) override;
    void showPrinterModel(int model) override;
    void importFinished() override;

private:
    ui::TabHost& tabs_;
};

} // namespace orvox
