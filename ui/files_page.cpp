#include "ui/files_page.h"

#include "resource.h"
#include "ui/portable/file_types.h"
#include "ui/tab_host.h"
#include "ui/win32_handles.h"

namespace orvox::ui {
namespace {

constexpr int kTiffLanguage = 3;
constexpr int kDefaultTypeFilter = 1;

struct TypeChoice {
    unsigned stringId;
    const char* extensions;
};
constexpr TypeChoice kTypeChoices[] = {
    {IDS_FILE_TYPE_POSTSCRIPT, "ps"}, {IDS_FILE_TYPE_PCL, "pcl bin"}, {IDS_FILE_TYPE_PRN, "prn"},
    {IDS_FILE_TYPE_PDF, "pdf"},       {IDS_TIFF_FILE_TYPE, "tif tiff"}, {IDS_FILE_TYPE_ALL, ""},
};

// The pages whose settings only mean something when the file is changed by the job settings.
constexpr int kJobTabs[] = {kJobSetup1TabId, kJobSetup2TabId, 437, 438, 436};
constexpr int kCustomOptionsTabId = 436;

bool canRead(const std::string& path)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    CloseHandle(file);
    return true;
}

std::string windowText(HWND window)
{
    const int length = GetWindowTextLengthA(window);
    std::string text(static_cast<std::size_t>(std::max(length, 0)) + 1, '\0');
    text.resize(static_cast<std::size_t>(GetWindowTextA(window, text.data(), length + 1)));
    return text;
}

// A key for names the list box compares like ASCII text ignoring case; empty
// for names with other characters.
std::string plainKey(const std::string& path)
{
    std::string key = path;
    for (char& c : key) {
        if (c < 0x20 || c > 0x7E) return {};
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return key;
}

bool isAbsolutePath(const std::string& path)
{
    return (path.size() >= 2 && path[1] == ':') || (path.size() >= 2 && path[0] == '\\' && path[1] == '\\');
}

} // namespace

FilesPage::FilesPage(const PageSlot& slot, JobDocument& doc, platform::Services services, const Branding& branding,
                     std::string configFile, const std::string& helpFile)
    : TabPage(slot), doc_(doc), services_(services), branding_(branding), configFile_(std::move(configFile)),
      helpFile_(helpFile)
{
}

BOOL FilesPage::onInitDialog()
{
    TabPage::onInitDialog();
    filling_ = true;
    language_.attach(hwnd(), IDC_COMBO_PRINTER_LANGUAGE);
    const ComboItemRow languages[] = {{IDS_LANGUAGE_POSTSCRIPT, nullptr}, {IDS_LANGUAGE_PCL, nullptr},
                                      {IDS_LANGUAGE_PDF, nullptr},        {IDS_LANGUAGE_TIFF, nullptr},
                                      {0, nullptr}};
    language_.fill(languages, 0, true, services_.strings);
    HWND modify = item(IDC_COMBO_MODIFY_FILE);
    for (unsigned id : {IDS_MODIFY_FILE_YES, IDS_MODIFY_FILE_CUS, IDS_MODIFY_FILE_NO})
        SendMessageA(modify, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(load(id).c_str()));
    SendMessageA(modify, CB_SETCURSEL, 0, 0);

    tree_.attach(hwnd(), IDC_FOLDER_TREE);
    list_.attach(hwnd(), IDC_FILE_LIST);
    list_.prepare();
    tree_.onFolderSelected = [this](const std::string& folder) { showFolder(folder); };
    list_.onItemSelected = [this](const std::string& name) {
        SetDlgItemTextA(hwnd(), IDC_EDIT_FILE_NAME, name.c_str());
        EnableWindow(item(IDC_SELECT_FILE), TRUE);
    };
    list_.onItemActivated = [this] {
        if (const FileList::Entry* entry = list_.selectedEntry())
            SetDlgItemTextA(hwnd(), IDC_EDIT_FILE_NAME, entry->name.c_str());
        selectFile();
    };
    list_.onKeyDown = [this](WPARAM key) {
        if (key == VK_RETURN || key == VK_SPACE || (key == VK_INSERT && IsWindowEnabled(item(IDC_SELECT_FILE)))) {
            selectFile();
            return true;
        }
        return false;
    };
    nameEdit_.attach(hwnd(), IDC_EDIT_FILE_NAME);
    nameEdit_.onKeyDown = [this](WPARAM key) {
        if (key != VK_RETURN) return false;
        selectFile();
        return true;
    };
    filesToPrint_.attach(hwnd(), IDC_FILES_TO_PRINT);
    filesToPrint_.onKeyDown = [this](WPARAM key) {
        if (key != VK_DELETE) return false;
        removeSelectedFiles();
        return true;
    };
    fillTypeFilter();
    refreshFolders();
    filling_ = false;
    updateListState();
    SetFocus(item(IDC_EDIT_FILE_NAME));
    SendMessageA(item(IDC_EDIT_FILE_NAME), EM_SETSEL, 0, -1);
    return FALSE;
}

void FilesPage::fillTypeFilter()
{
    HWND combo = item(IDC_COMBO_FILE_TYPE);
    SendMessageA(combo, CB_RESETCONTENT, 0, 0);
    typeExtensions_.clear();
    for (const TypeChoice& choice : kTypeChoices) {
        if (choice.stringId == IDS_TIFF_FILE_TYPE && !branding_.typeFilterOn()) continue;
        SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(load(choice.stringId).c_str()));
        typeExtensions_.emplace_back(choice.extensions);
    }
    int chosen = services_.profile.getInt(configFile_, load(IDS_CONFIG_BROWSER_SECTION),
                                          load(IDS_CONFIG_TYPE_FILTER_KEY), kDefaultTypeFilter);
    // A stored index from a configuration with more choices falls back to the default.
    if (chosen < 0 || chosen >= static_cast<int>(typeExtensions_.size())) chosen = kDefaultTypeFilter;
    SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(chosen), 0);
}

void FilesPage::applyTypeFilter(bool store)
{
    const auto chosen = static_cast<int>(SendMessageA(item(IDC_COMBO_FILE_TYPE), CB_GETCURSEL, 0, 0));
    if (chosen < 0 || chosen >= static_cast<int>(typeExtensions_.size())) return;
    list_.refresh(tree_, typeExtensions_[static_cast<std::size_t>(chosen)]);
    // The chosen type and the last folder are remembered for the operator's
    // convenience on every click, not saved at the operator's request: with a
    // configuration file that cannot be written they are simply not
    // remembered, rather than a message on every click of the page.
    if (store)
        services_.profile.writeString(configFile_, load(IDS_CONFIG_BROWSER_SECTION), load(IDS_CONFIG_TYPE_FILTER_KEY),
                                      std::to_string(chosen));
}

void FilesPage::showFolder(const std::string& folder)
{
    applyTypeFilter(false);
    if (!list_.entries().empty() && !list_.selectedEntry()) list_.selectFirst();
    if (!filling_)
        services_.profile.writeString(configFile_, load(IDS_CONFIG_BROWSER_SECTION), load(IDS_CONFIG_LAST_FOLDER_KEY),
                                      folder);
}

void FilesPage::refreshFolders()
{
    if (!tree_.hwnd()) return;
    std::string folder = tree_.currentFolder();
    if (folder.empty())
        folder = services_.profile.getString(configFile_, load(IDS_CONFIG_BROWSER_SECTION),
                                             load(IDS_CONFIG_LAST_FOLDER_KEY), "", MAX_PATH);
    tree_.initialise();
    if (folder.empty() || !tree_.selectFolder(folder)) {
        char current[MAX_PATH] = {};
        if (GetCurrentDirectoryA(MAX_PATH, current)) tree_.selectFolder(current);
    }
}

std::vector<std::string> FilesPage::files() const
{
    std::vector<std::string> paths;
    const auto count = static_cast<int>(filesToPrint_.sendPastWrapper(LB_GETCOUNT));
    for (int i = 0; i < count; ++i) {
        const auto length = filesToPrint_.sendPastWrapper(LB_GETTEXTLEN, static_cast<WPARAM>(i));
        if (length < 0) continue;
        std::string text(static_cast<std::size_t>(length) + 1, '\0');
        text.resize(static_cast<std::size_t>(filesToPrint_.sendPastWrapper(LB_GETTEXT, static_cast<WPARAM>(i),
                                                                           reinterpret_cast<LPARAM>(text.data()))));
        paths.push_back(std::move(text));
    }
    return paths;
}

bool FilesPage::addFile(const std::string& path, bool reportErrors, bool updateState)
{
    if (!hwnd() || path.empty()) return false;
    // A batch keeps one wait cursor from its first file to its end: each
    // cursor change is a server call and a display request.
    std::optional<WaitCursor> wait;
    if (updateState) wait.emplace();
    else if (!batchWait_) batchWait_.emplace();
    if (!canRead(path)) {
        if (reportErrors) services_.messages.show(load(IDS_FILE_NOT_OPENED) + "\n" + path, platform::kMbIconExclamation);
        return false;
    }
    // Names compare without regard to case: one file is printed once.
    const std::string key = plainKey(path);
    const bool surelyNew = !key.empty() && otherNames_ == 0 && plainNames_.count(key) == 0;
    auto at = surelyNew ? LB_ERR
                        : filesToPrint_.sendPastWrapper(LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                                        reinterpret_cast<LPARAM>(path.c_str()));
    if (at == LB_ERR) {
        if (!updateState && !batch_) {
            filesToPrint_.send(WM_SETREDRAW, FALSE);
            batch_ = true;
        }
        at = filesToPrint_.sendPastWrapper(LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(path.c_str()));
        if (at < 0) return false;
        ++listed_;
        if (isTiffFileName(path)) ++tiffListed_;
        if (key.empty()) ++otherNames_;
        else plainNames_.insert(key);
    }
    if (!updateState && batch_) {
        batchSelection_ = at;
        return true;
    }
    filesToPrint_.sendPastWrapper(LB_SETSEL, FALSE, -1);
    filesToPrint_.sendPastWrapper(LB_SETSEL, TRUE, at);
    if (updateState) updateListState();
    return true;
}

void FilesPage::removeSelectedFiles()
{
    HWND box = item(IDC_FILES_TO_PRINT);
    if (!IsWindowEnabled(box)) return;
    const auto selected = static_cast<int>(SendMessageA(box, LB_GETSELCOUNT, 0, 0));
    if (selected <= 0) return;
    std::vector<int> rows(static_cast<std::size_t>(selected));
    const auto got = static_cast<int>(
        SendMessageA(box, LB_GETSELITEMS, static_cast<WPARAM>(selected), reinterpret_cast<LPARAM>(rows.data())));
    rows.resize(static_cast<std::size_t>(std::max(got, 0)));
    if (rows.empty()) return;
    std::sort(rows.begin(), rows.end());
    // Many rows go without a redraw of the list and its scroll bar after each.
    const bool quiet = rows.size() > 1;
    if (quiet) SendMessageA(box, WM_SETREDRAW, FALSE, 0);
    for (auto row = rows.rbegin(); row != rows.rend(); ++row) {
        const auto length = filesToPrint_.sendPastWrapper(LB_GETTEXTLEN, static_cast<WPARAM>(*row));
        std::string text(static_cast<std::size_t>(std::max<LRESULT>(length, 0)) + 1, '\0');
        const auto got = length < 0 ? 0
                                    : filesToPrint_.sendPastWrapper(LB_GETTEXT, static_cast<WPARAM>(*row),
                                                                    reinterpret_cast<LPARAM>(text.data()));
        text.resize(static_cast<std::size_t>(std::max<LRESULT>(got, 0)));
        if (filesToPrint_.sendPastWrapper(LB_DELETESTRING, static_cast<WPARAM>(*row)) == LB_ERR) continue;
        --listed_;
        if (isTiffFileName(text)) --tiffListed_;
        const std::string key = plainKey(text);
        if (key.empty()) --otherNames_;
        else plainNames_.erase(key);
    }
    if (quiet) {
        SendMessageA(box, WM_SETREDRAW, TRUE, 0);
        InvalidateRect(box, nullptr, TRUE);
    }
    const auto count = listed_;
    if (count > 0) SendMessageA(box, LB_SETSEL, TRUE, std::min(rows.front(), count - 1));
    updateListState();
    SetFocus(box);
    if (language_.selection() >= 0) doc_.setPrinterLanguage(static_cast<std::int16_t>(language_.selection()));
}

void FilesPage::clearFiles(bool updateState)
{
    if (!hwnd()) return;
    filesToPrint_.sendPastWrapper(LB_RESETCONTENT);
    listed_ = 0;
    tiffListed_ = 0;
    plainNames_.clear();
    otherNames_ = 0;
    // A batch under way selects its last file at its end: that entry is gone.
    batchSelection_ = -1;
    if (updateState) updateListState();
}

void FilesPage::selectFile()
{
    const std::string typed = windowText(item(IDC_EDIT_FILE_NAME));
    const FileList::Entry* current = list_.selectedEntry();
    if (typed.empty() || (current && typed == current->name) || typed.front() == '*') {
        if (!current) return;
        if (current->folder) tree_.openSubfolder(current->name);
        else addFile(list_.selectedPath(), true);
        return;
    }
    const std::size_t slash = typed.find_last_of('\\');
    const std::string last = slash == std::string::npos ? typed : typed.substr(slash + 1);
    if (tree_.openSubfolder(last)) return;
    // A bare name means a file of the folder on show, not of the program's working folder.
    addFile(isAbsolutePath(typed) ? typed : list_.folder() + typed, true);
}

void FilesPage::selectAllFiles()
{
    for (const FileList::Entry& entry : list_.entries())
        if (!entry.folder) addFile(entry.path, true, false);
    updateListState();
    if (const FileList::Entry* current = list_.selectedEntry())
        SetDlgItemTextA(hwnd(), IDC_EDIT_FILE_NAME, current->name.c_str());
}

void FilesPage::updateListState()
{
    if (!hwnd()) return;
    if (batch_) {
        // The batch's last file is the only selected entry, as after a single add.
        HWND box = filesToPrint_.hwnd();
        batch_ = false;
        SendMessageA(box, WM_SETREDRAW, TRUE, 0);
        SendMessageA(box, LB_SETSEL, FALSE, -1);
        if (batchSelection_ >= 0) SendMessageA(box, LB_SETSEL, TRUE, batchSelection_);
        batchSelection_ = -1;
        InvalidateRect(box, nullptr, TRUE);
    }
    batchWait_.reset();
    const int count = listed_;
    EnableWindow(item(IDC_REMOVE_FILES), count > 0);
    std::string label = load(IDS_FILES_TO_PRINT_LABEL);
    if (count > 0) label += " [" + std::to_string(count) + "]";
    label += ":";
    SetDlgItemTextA(hwnd(), IDC_STATIC_FILES_TO_PRINT, label.c_str());
    applyTiffRule();
}

void FilesPage::applyTiffRule()
{
    const bool anyTiff = tiffListed_ > 0;
    language_.setItemEnabled(kTiffLanguage, anyTiff);
    // Without a TIFF file the TIFF language would convert nothing: fall back to the first language.
    if (!anyTiff && language_.selection() == kTiffLanguage) {
        language_.selectItem(0);
        doc_.setPrinterLanguage(0);
    }
}

void FilesPage::applyModifyRule(int mode)
{
    doc_.setModifyPrintFile(static_cast<std::int16_t>(mode));
    if (TabHost* tabs = host()) {
        for (int tabId : kJobTabs) {
            if (mode == 0) tabs->enableTab(tabId);
            else tabs->disableTab(tabId);
        }
        if (mode == 1) tabs->enableTab(kCustomOptionsTabId);
    }
    doc_.updateSubstitutionsTab();
    doc_.updateColourMappingTab();
}

bool FilesPage::loadFromDocument()
{
    EnableWindow(item(IDC_FILES_HELP), !helpFile_.empty());
    updateListState();
    const int mode = doc_.modifyPrintFile();
    SendMessageA(item(IDC_COMBO_MODIFY_FILE), CB_SETCURSEL, static_cast<WPARAM>(mode), 0);
    applyModifyRule(mode);
    showDocumentLanguage();
    applyTiffRule();
    return true;
}

void FilesPage::showDocumentLanguage()
{
    int language = doc_.printerLanguage();
    // A settings file or an import may ask for TIFF conversion while no TIFF file
    // is listed; the files would then go out with a TIFF batch's header. The
    // document falls back to the first language, as when the last TIFF file is
    // removed; that is no edit of the operator's, so it leaves the document unmodified.
    if (language == kTiffLanguage && !language_.isItemEnabled(kTiffLanguage)) {
        const bool wasLoading = doc_.isLoading();
        doc_.setLoading(true);
        doc_.setPrinterLanguage(0);
        doc_.setLoading(wasLoading);
        language = 0;
    }
    // The combo shows what the document holds, even a language the printer greys.
    if (!language_.selectItem(language)) language_.forceSelection(language);
}

bool FilesPage::editHasSelection() const
{
    static constexpr int kEdits[] = {IDC_EDIT_FILE_NAME};
    return focusedEditHasSelection(kEdits);
}

bool FilesPage::onCommand(int id, int code, HWND /*control*/)
{
    switch (id) {
    case IDC_SELECT_FILE:
        if (code == BN_CLICKED) selectFile();
        return true;
    case IDC_SELECT_ALL_FILES:
        if (code == BN_CLICKED) selectAllFiles();
        return true;
    case IDC_REMOVE_FILES:
        if (code == BN_CLICKED) removeSelectedFiles();
        return true;
    case IDC_FILES_HELP:
        if (code == BN_CLICKED) showPageHelp();
        return true;
    case IDC_COMBO_FILE_TYPE:
        if (code == CBN_SELCHANGE && !filling_) applyTypeFilter(true);
        return true;
    case IDC_COMBO_MODIFY_FILE:
        if (code == CBN_SELCHANGE) {
            const auto mode = static_cast<int>(SendMessageA(item(IDC_COMBO_MODIFY_FILE), CB_GETCURSEL, 0, 0));
            if (mode >= 0) applyModifyRule(mode);
        }
        return true;
    case IDC_COMBO_PRINTER_LANGUAGE:
        if (code == CBN_SELCHANGE && language_.selection() >= 0)
            doc_.setPrinterLanguage(static_cast<std::int16_t>(language_.selection()));
        return true;
    default:
        return false;
    }
}

} // namespace orvox::ui
