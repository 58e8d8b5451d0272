#pragma once
// The Files page: the operator browses folders, picks the print files in their
// printing order, and says in which printer language they are written and
// whether the job settings are applied to them.
#include <optional>
#include <string>
#include <unordered_set>
#include <vector>

#include "platform/services.h"
#include "settings/branding.h"
#include "settings/job_document.h"
#include "ui/folder_browser.h"
#include "ui/item_enabling_combo.h"
#include "ui/tab_page.h"
#include "ui/win32_handles.h"

namespace orvox::ui {

class FilesPage : public TabPage {
public:
    FilesPage(const PageSlot& slot, JobDocument& doc, platform::Services services, const Branding& branding,
              std::string configFile, const std::string& helpFile);

    // The files to print, in printing order.
    std::vector<std::string> files() const;
    // Adds a file unless it is listed already; it becomes the only selected entry.
    // False when the file cannot be read (reported when `reportErrors`). With
    // `updateState` false the remove button, the count label and the TIFF rule
    // wait for the caller's updateListState() after the last of many files.
    bool addFile(const std::string& path, bool reportErrors, bool updateState = true);
    // Brings the remove button, the count label and the TIFF language up to
    // the list; cheap: the page keeps the count and the number of TIFF files.
    void updateListState();
    void removeSelectedFiles();
    // Empties the list of files to print. With `updateState` false the list's
    // state waits for updateListState(), as after adding files.
    void clearFiles(bool updateState = true);
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
    // What the files-to-print list holds, kept as entries come and go: reading
    // the list back through the control costs two messages an entry.
    int listed_ = 0;
    int tiffListed_ = 0;
    // Names of printable ASCII listed, upper-cased: a new such name is known
    // to be unlisted without comparing it with every entry. Other names (and
    // any name while one of them is listed) ask the list box, whose comparison
    // follows the locale.
    std::unordered_set<std::string> plainNames_;
    int otherNames_ = 0;
    // Files added without a state update: the list box neither redraws nor
    // moves its selection until updateListState() ends the batch.
    bool batch_ = false;
    LRESULT batchSelection_ = -1;
    std::optional<WaitCursor> batchWait_;
};

} // namespace orvox::ui
