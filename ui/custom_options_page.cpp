#include "ui/custom_options_page.h"

#include <commdlg.h>

#include <algorithm>
#include <array>
#include <vector>

#include "platform/messages.h"
#include "print/spooler_output.h"
#include "resource.h"
#include "ui/portable/script_preview.h"

namespace orvox::ui {
namespace {

constexpr std::array<int, 2> kEdits{IDC_EDIT_SCRIPT_FILE, IDC_EDIT_CUSTOM_COMMANDS};

// The open-file dialog's filter: the resource separates its parts with '|'.
std::string dialogFilter(std::string text)
{
    std::replace(text.begin(), text.end(), '|', '\0');
    text.push_back('\0');
    return text;
}

} // namespace

CustomOptionsPage::CustomOptionsPage(const PageSlot& slot, JobDocument& doc) : TabPage(slot), doc_(doc)
{
}

BOOL CustomOptionsPage::onInitDialog()
{
    SendDlgItemMessageA(hwnd(), IDC_EDIT_CUSTOM_COMMANDS, EM_LIMITTEXT, kMaxCommands, 0);
    SendDlgItemMessageA(hwnd(), IDC_EDIT_SCRIPT_FILE, EM_LIMITTEXT, kMaxScriptPath, 0);
    applyCommandsScrollBarRule();
    CheckDlgButton(hwnd(), IDC_CHECK_REMOVE_CTRL_D, removeCtrlD() ? BST_CHECKED : BST_UNCHECKED);
    previewBrush_ = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    return TabPage::onInitDialog();
}

bool CustomOptionsPage::loadFromDocument()
{
    enableHelpButton(IDC_CUSTOM_HELP);
    filling_ = true;
    SetDlgItemTextA(hwnd(), IDC_EDIT_CUSTOM_COMMANDS, doc_.customCommands().c_str());
    SetDlgItemTextA(hwnd(), IDC_EDIT_SCRIPT_FILE, doc_.scriptFilePath().c_str());
    CheckDlgButton(hwnd(), IDC_CHECK_VALIDATE_FILE, doc_.validateFile() ? BST_CHECKED : BST_UNCHECKED);
    // The switch belongs to the process, not to the document: a new or opened
    // settings file leaves it as the operator set it.
    CheckDlgButton(hwnd(), IDC_CHECK_REMOVE_CTRL_D, removeCtrlD() ? BST_CHECKED : BST_UNCHECKED);
    filling_ = false;
    applyCommandsScrollBarRule();
    applyClearButtonRule();
    refreshPreview();
    return true;
}

bool CustomOptionsPage::saveToDocument()
{
    doc_.setCustomCommands(text(IDC_EDIT_CUSTOM_COMMANDS));
    doc_.setScriptFilePath(text(IDC_EDIT_SCRIPT_FILE));
    doc_.setValidateFile(checked(IDC_CHECK_VALIDATE_FILE) ? 1 : 0);
    return true;
}

bool CustomOptionsPage::editHasSelection() const { return focusedEditHasSelection(kEdits); }

void CustomOptionsPage::printerChanged()
{
    if (!hwnd()) return;
    EnableWindow(item(IDC_CHECK_VALIDATE_FILE), FALSE);
    TabPage::printerChanged();
    // A model's list may set the Ctrl-D box; the switch follows what the box shows.
    setRemoveCtrlD(checked(IDC_CHECK_REMOVE_CTRL_D));
}

bool CustomOptionsPage::onCommand(int id, int code, HWND /*control*/)
{
    if (!initialised()) return false;
    if (code == EN_CHANGE) {
        if (id == IDC_EDIT_CUSTOM_COMMANDS) {
            if (!filling_) doc_.setCustomCommands(text(id));
            applyClearButtonRule();
            applyCommandsScrollBarRule();
            return true;
        }
        if (id == IDC_EDIT_SCRIPT_FILE) {
            if (!filling_) {
                doc_.setScriptFilePath(text(id));
                refreshPreview();
            }
            applyClearButtonRule();
            return true;
        }
        return false;
    }
    if (code != BN_CLICKED) return false;
    switch (id) {
    case IDC_SELECT_SCRIPT_FILE: selectScriptFile(); return true;
    case IDC_CLEAR_SCRIPT_FILE: clearScriptFile(); return true;
    case IDC_CHECK_VALIDATE_FILE: doc_.setValidateFile(checked(id) ? 1 : 0); return true;
    case IDC_CHECK_REMOVE_CTRL_D: setRemoveCtrlD(checked(id)); return true;
    case IDC_CUSTOM_HELP: showPageHelp(); return true;
    default: return false;
    }
}

INT_PTR CustomOptionsPage::handleMessage(UINT msg, WPARAM wp, LPARAM lp)
{
    // The preview reads like a sheet of paper: dark text on white.
    if (msg == WM_CTLCOLORSTATIC && reinterpret_cast<HWND>(lp) == item(IDC_STATIC_SCRIPT_PREVIEW) && previewBrush_) {
        auto dc = reinterpret_cast<HDC>(wp);
        SetBkColor(dc, RGB(255, 255, 255));
        SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
        return reinterpret_cast<INT_PTR>(previewBrush_);
    }
    return TabPage::handleMessage(msg, wp, lp);
}

// --- Rules -------------------------------------------------------------------------

void CustomOptionsPage::applyCommandsScrollBarRule()
{
    HWND edit = item(IDC_EDIT_CUSTOM_COMMANDS);
    if (!edit) return;
    const auto lines = SendMessageA(edit, EM_GETLINECOUNT, 0, 0);
    ShowScrollBar(edit, SB_VERT, lines > 1 ? TRUE : FALSE);
}

void CustomOptionsPage::applyClearButtonRule()
{
    EnableWindow(item(IDC_CLEAR_SCRIPT_FILE), GetWindowTextLengthA(item(IDC_EDIT_SCRIPT_FILE)) > 0 ? TRUE : FALSE);
}

void CustomOptionsPage::refreshPreview()
{
    // A file that cannot be opened leaves the preview as it was: while a path
    // is typed, the last file that could be read stays in view.
    if (const auto preview = scriptPreview(doc_.scriptFilePath(), doc_.services().strings))
        SetDlgItemTextA(hwnd(), IDC_STATIC_SCRIPT_PREVIEW, preview->c_str());
}

void CustomOptionsPage::selectScriptFile()
{
    const std::string filter = dialogFilter(load(IDS_ALL_FILES_FILTER));
    const std::string title = load(IDS_SCRIPT_SELECT_TITLE);
    std::vector<char> name(MAX_PATH + 1, '\0');
    OPENFILENAMEA ofn{};
    ofn.lStructSize = sizeof(ofn);
    ofn.hwndOwner = GetAncestor(hwnd(), GA_ROOT);
    ofn.lpstrFilter = filter.c_str();
    ofn.lpstrFile = name.data();
    ofn.nMaxFile = MAX_PATH;
    ofn.lpstrTitle = title.c_str();
    ofn.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
    if (!GetOpenFileNameA(&ofn)) {
        if (CommDlgExtendedError() != 0) doc_.services().messages.show(load(IDS_OUT_OF_MEMORY), platform::kMbIconStop);
        return;
    }
    std::string path = name.data();
    if (path.empty()) return;
    if (static_cast<int>(path.size()) > kMaxScriptPath) {
        // The job settings keep a short path only; the system's short form of
        // the same file is used when it fits, never a path cut to length,
        // which would name another file or none.
        std::vector<char> shortPath(MAX_PATH + 1, '\0');
        const DWORD length = GetShortPathNameA(path.c_str(), shortPath.data(), MAX_PATH);
        if (length == 0 || length > static_cast<DWORD>(kMaxScriptPath)) {
            doc_.services().messages.show(load(IDS_SCRIPT_PATH_TOO_LONG) + path, platform::kMbIconExclamation);
            return;
        }
        path = shortPath.data();
    }
    SetDlgItemTextA(hwnd(), IDC_EDIT_SCRIPT_FILE, path.c_str());
}

void CustomOptionsPage::clearScriptFile()
{
    SetDlgItemTextA(hwnd(), IDC_EDIT_SCRIPT_FILE, "");
    applyClearButtonRule();
    SetFocus(item(IDC_EDIT_SCRIPT_FILE));
}

std::string CustomOptionsPage::text(int id) const
{
    HWND edit = item(id);
    const int length = edit ? GetWindowTextLengthA(edit) : 0;
    if (length <= 0) return {};
    std::string value(static_cast<std::size_t>(length) + 1, '\0');
    value.resize(static_cast<std::size_t>(GetWindowTextA(edit, value.data(), length + 1)));
    return value;
}

} // namespace orvox::ui
