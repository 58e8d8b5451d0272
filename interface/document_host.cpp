#include "interface/document_host.h"

#include <commdlg.h>

#include <vector>

#include "interface/application.h"
#include "interface/library.h"
#include "resource.h"
#include "settings/settings_file.h"

namespace orvox {

namespace {

constexpr int kNoDocument = 1;

// "Name (*.x)|*.x|" style filters become the dialog's double-zero list.
std::vector<char> dialogFilter(const std::string& text)
{
    std::vector<char> filter(text.begin(), text.end());
    for (char& c : filter)
        if (c == '|') c = '\0';
    filter.push_back('\0');
    filter.push_back('\0');
    return filter;
}

// A file that exists but cannot be opened for writing is read-only for us.
bool existsButNotWritable(const std::string& path)
{
    if (GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES) return false;
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return true;
    CloseHandle(h);
    return false;
}

bool creatable(const std::string& path)
{
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    CloseHandle(h);
    DeleteFileA(path.c_str());
    return true;
}

// Runs the open or save dialog for settings files; false when the user
// cancelled (or, after the failure message, when the dialog could not be shown).
bool chooseSettingsFile(HWND owner, const Branding& branding, const platform::StringSource& strings,
                        platform::MessageSink& messages, bool forSaving, std::string& path)
{
    const std::string extension = branding.get(Branding::kExtension);
    std::vector<char> filter = dialogFilter(branding.get(Branding::kFileFilter) + strings.load(IDS_ALL_FILES_FILTER));
    char file[MAX_PATH] = {};
    lstrcpynA(file, ("*." + extension).c_str(), MAX_PATH);
    OPENFILENAMEA ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = filter.data();
    ofn.lpstrFile = file;
    ofn.nMaxFile = MAX_PATH;
    ofn.lpstrDefExt = extension.c_str();
    ofn.Flags = forSaving ? OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT
                          : OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST;
    if (!(forSaving ? GetSaveFileNameA(&ofn) : GetOpenFileNameA(&ofn))) {
        if (CommDlgExtendedError() != 0)
            messages.show(strings.load(forSaving ? IDS_SAVE_DIALOG_FAILED : IDS_OPEN_DIALOG_FAILED), MB_OK);
        return false;
    }
    path = file;
    return true;
}

} // namespace

DocumentHost::~DocumentHost() { destroy(); }

bool DocumentHost::create(const platform::Services& services, const std::string& installationFolder)
{
    document_ = std::make_unique<JobDocument>(services, installationFolder);
    document_->setApplicationTitle(app_.branding().appTitle());
    document_->setListener(this);
    return document_->catalog().catalogLoaded();
}

void DocumentHost::destroy()
{
    if (document_) document_->setListener(nullptr);
    document_.reset();
}

void DocumentHost::followDocument()
{
    if (document_ && document_->uiState()) document_->uiState()->followPrinterModel();
}

int DocumentHost::newSettings()
{
    if (!document_) return kNoDocument;
    const int result = orvox::newSettings(*document_);
    // New settings bring the pages to the fresh document's model themselves;
    // following it again would restrict and reload every page a second time
    // for the same document. A reset that failed part way did not get there.
    if (result == kSettingsOk) {
        document_->markModified(false);
        return result;
    }
    followDocument();
    return result;
}

int DocumentHost::openSettings(const std::string& path)
{
    if (!document_) return kNoDocument;
    const int result = readSettingsFile(*document_, path);
    followDocument();
    // Whatever the outcome, what the pages now show is not an unsaved change.
    document_->markModified(false);
    document_->reportDocumentState();
    return result;
}

int DocumentHost::saveSettings(const std::string& path)
{
    if (!document_) return kNoDocument;
    const int result = writeSettingsFile(*document_, path);
    document_->reportDocumentState();
    return result;
}

bool DocumentHost::catalogText(std::string& text) const
{
    if (!document_) return false;
    text = document_->catalog().catalogText();
    return true;
}

bool DocumentHost::askSaveChanges(HWND owner)
{
    if (!document_) return true;
    return orvox::askSaveChanges(*document_, [&] { return save(owner); });
}

bool DocumentHost::save(HWND owner)
{
    if (!document_) return false;
    return saveDocument(*document_, [&] { return saveWithDialog(owner); });
}

bool DocumentHost::openWithDialog(HWND owner)
{
    if (!document_) return false;
    JobDocument& doc = *document_;
    const platform::StringSource& strings = doc.services().strings;
    for (;;) {
        std::string path;
        if (!chooseSettingsFile(owner, app_.branding(), strings, doc.services().messages, false, path)) return false;
        if (existsButNotWritable(path)) {
            doc.setReadOnly(true);
            const int answer = doc.services().messages.show(
                strings.load(IDS_OPEN_READ_ONLY_QUESTION) + "\n" + path, MB_YESNO | MB_ICONQUESTION);
            if (answer == IDNO) continue;
        } else {
            doc.setReadOnly(false);
        }
        const bool ok = readSettingsFile(doc, path) == kSettingsOk;
        followDocument();
        doc.markModified(false);
        doc.reportDocumentState();
        return ok;
    }
}

bool DocumentHost::saveWithDialog(HWND owner)
{
    if (!document_) return false;
    JobDocument& doc = *document_;
    doc.setAlternativeSignature(false);
    if (platform::UiState* ui = doc.uiState(); ui && !ui->validatePages()) return false;
    const platform::StringSource& strings = doc.services().strings;
    const std::string extension = app_.branding().get(Branding::kExtension);
    for (;;) {
        std::string path;
        if (!chooseSettingsFile(owner, app_.branding(), strings, doc.services().messages, true, path)) return false;
        path = withSettingsExtension(path, extension);
        const std::size_t slash = path.find_last_of("\\/");
        const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
        if (!JobDocument::isValidFileName(name)) {
            doc.services().messages.show(strings.load(IDS_INVALID_FILE_NAME) + name + strings.load(IDS_INVALID_FILE_NAME_TAIL),
                                         MB_OK | MB_ICONEXCLAMATION);
            continue;
        }
        const bool exists = GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
        if (exists ? existsButNotWritable(path) : !creatable(path)) {
            doc.setReadOnly(true);
            doc.services().messages.show(strings.load(IDS_SETTINGS_FILE_READ_ONLY) + "\n" + path,
                                         MB_OK | MB_ICONEXCLAMATION);
            continue;
        }
        doc.setReadOnly(false);
        if (writeSettingsFile(doc, path) != kSettingsOk) return false;
        doc.markModified(false);
        return true;
    }
}

void DocumentHost::documentStateChanged(const std::string& title, const std::string& caption, bool modified)
{
    if (OrvoSetTitleHook hook = library().setTitleHook) hook(title.c_str(), caption.c_str(), modified ? 1 : 0);
}

} // namespace orvox
