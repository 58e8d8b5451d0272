#pragma once
// The Files page: the operator browses folders, picks the print files in their
// printing order, and says in which printer language they are written and
// whether the job settings are applied to them.
#include <string>
#include <vector>

#include "platform/services.h"
#include "settings/branding.h"
#include "settings/job_document.h"
#include "ui/folder_browser.h"
#include "ui/item_enabling_combo.h"
#include "ui/tab_page.h"

namespace orvox::ui {

class FilesPage : public TabPage {
public:
    FilesPage(const PageSlot& slot, JobDocument& doc, platform::Services services, const Branding& branding,
              std::string configFile, const std::string& helpFile);

    // The files to print, in printing order.
    std::vector<std::string> files() const;
    // Adds a file unless it is listed already; it becomes the only selected entry.
    // False when the file cannot be read (reported when `reportErrors`).
    bool addFile(const std::string& path, bool reportErrors);
    void removeSelectedFiles();
    void selectFile();
    void selectAllFiles();

    bool acceptDroppedFile(const std::string& path) override { return addFile(path, true); }
    void refreshFolders() override;
    bool editHasSelection() const override;

protected:
    BOOL onInitDialog() override;
    bool onCommand(int id, int code, HWND control) override;
    bool loadFromDocument() override;
    bool saveToDocument() override { return true; }

private:
    void fillTypeFilter();
    void applyTypeFilter(bool store);
    void showFolder(const std::string& folder);
    void updateListState();
    void applyTiffRule();
    void showDocumentLanguage();
    void applyModifyRule(int mode);
    std::string load(unsigned id) const { return services_.strings.load(id); }

    JobDocument& doc_;
    platform::Services services_;
    const Branding& branding_;
    std::string configFile_;
    const std::string& helpFile_;
    FolderTree tree_;
    FileList list_;
    KeyedControl nameEdit_;
    KeyedControl filesToPrint_;
    ItemEnablingComboBox language_;
    std::vector<std::string> typeExtensions_;
    bool filling_ = false;
};

} // namespace orvox::ui
