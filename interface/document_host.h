#pragma once
// The application's side of the job settings document: it owns the document,
// forwards its title and modified state to the host, and runs the settings-file
// operations and dialogs with the library's result codes.
#include <windows.h>

#include <memory>
#include <string>

#include "interface/failure_point.h"
#include "platform/xml_targets.h"
#include "settings/job_document.h"

namespace orvox {

class Application;

class DocumentHost : public DocumentStateListener {
public:
    // A member of the application object: where a test makes its building fail partway.
    explicit DocumentHost(Application& app) : app_(app) { failurePoint(kFailBuildingApplication); }
    ~DocumentHost() override;

    // Builds the document (reading the catalog); false when that fails.
    bool create(const platform::Services& services, const std::string& installationFolder);
    void destroy();
    JobDocument* document() const { return document_.get(); }
    // Where an XML import sends files and the printer choice: the Files and
    // Printers pages once they exist.
    platform::XmlTargets* xmlTargets() const { return xmlTargets_; }
    void setXmlTargets(platform::XmlTargets* targets) { xmlTargets_ = targets; }

    // Exported operations: result codes as the host sees them (1: no document).
    int newSettings();
    int openSettings(const std::string& path);
    int saveSettings(const std::string& path);
    // Builds the catalog text for the host; false without a document.
    bool catalogText(std::string& text) const;

    // The save question of closing and exiting: true to go on, false when the
    // user cancelled or the save failed.
    bool askSaveChanges(HWND owner);
    // Save, with Save As when the document has no file yet.
    bool save(HWND owner);
    // The file dialogs; false when the user cancelled or the operation failed.
    bool openWithDialog(HWND owner);
    bool saveWithDialog(HWND owner);

    void documentStateChanged(const std::string& title, const std::string& caption, bool modified) override;

private:
    // The pages follow the document's model and reload, after any new or read document.
    void followDocument();

    Application& app_;
    std::unique_ptr<JobDocument> document_;
    platform::XmlTargets* xmlTargets_ = nullptr;
};

} // namespace orvox
