#include "ui/folder_browser.h"

#include <algorithm>
#include <cstring>

#include "ui/portable/file_types.h"

namespace orvox::ui {
namespace {

// FindFirstFile/FindClose as a pair that is released on every path.
class FindHandle {
public:
    FindHandle(const std::string& pattern, WIN32_FIND_DATAA& data) : handle_(FindFirstFileA(pattern.c_str(), &data)) {}
    ~FindHandle()
    {
        if (valid()) FindClose(handle_);
    }
    FindHandle(const FindHandle&) = delete;
    FindHandle& operator=(const FindHandle&) = delete;
    bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }
    bool next(WIN32_FIND_DATAA& data) const { return FindNextFileA(handle_, &data) != 0; }

private:
    HANDLE handle_;
};

bool isDotEntry(const char* name) { return !std::strcmp(name, ".") || !std::strcmp(name, ".."); }

bool lessIgnoringCase(const std::string& a, const std::string& b) { return toLowerAscii(a) < toLowerAscii(b); }

// The sub-folders of `folder` (with trailing backslash), in display order.
std::vector<std::string> subfolders(const std::string& folder)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA data{};
    FindHandle find(folder + "*", data);
    if (!find.valid()) return names;
    do {
        if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && !isDotEntry(data.cFileName))
            names.emplace_back(data.cFileName);
    } while (find.next(data));
    std::sort(names.begin(), names.end(), lessIgnoringCase);
    return names;
}

// Redrawing suspended while a control is filled, resumed on every path.
class NoRedraw {
public:
    explicit NoRedraw(HWND window) : window_(window) { SendMessageA(window_, WM_SETREDRAW, FALSE, 0); }
    ~NoRedraw()
    {
        SendMessageA(window_, WM_SETREDRAW, TRUE, 0);
        InvalidateRect(window_, nullptr, TRUE);
    }
    NoRedraw(const NoRedraw&) = delete;
    NoRedraw& operator=(const NoRedraw&) = delete;

private:
    HWND window_;
};

HTREEITEM insertItem(HWND tree, HTREEITEM parent, const std::string& text, bool children)
{
    TVINSERTSTRUCTA insert{};
    insert.hParent = parent;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT | TVIF_CHILDREN;
    insert.item.pszText = const_cast<char*>(text.c_str());
    insert.item.cChildren = children ? 1 : 0;
    return reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert)));
}

} // namespace

LRESULT KeyedControl::onMessage(UINT msg, WPARAM wp, LPARAM lp)
{
    // Enter acts on the control instead of closing anything.
    if (msg == WM_GETDLGCODE && wp == VK_RETURN && onKeyDown) return defaultProc(msg, wp, lp) | DLGC_WANTALLKEYS;
    if (msg == WM_KEYDOWN && onKeyDown && onKeyDown(wp)) return 0;
    if (msg == WM_CHAR && wp == '\r' && onKeyDown) return 0;
    return defaultProc(msg, wp, lp);
}

void FolderTree::initialise()
{
    ready_ = false;
    send(TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT));
    char drives[512] = {};
    const DWORD length = GetLogicalDriveStringsA(sizeof(drives) - 1, drives);
    if (length > 0 && length < sizeof(drives)) {
        for (const char* drive = drives; *drive; drive += std::strlen(drive) + 1) {
            std::string name = drive;
            if (!name.empty() && name.back() == '\\') name.pop_back();
            insertItem(hwnd(), TVI_ROOT, name, true);
        }
    }
    ready_ = true;
}

std::string FolderTree::textOf(HTREEITEM item) const
{
    char text[MAX_PATH] = {};
    TVITEMA query{};
    query.mask = TVIF_TEXT;
    query.hItem = item;
    query.pszText = text;
    query.cchTextMax = MAX_PATH;
    if (!send(TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&query))) return {};
    return text;
}

std::string FolderTree::pathOf(HTREEITEM item) const
{
    std::string path;
    for (; item; item = reinterpret_cast<HTREEITEM>(send(TVM_GETNEXTITEM, TVGN_PARENT, reinterpret_cast<LPARAM>(item))))
        path = textOf(item) + "\\" + path;
    return path;
}

std::string FolderTree::currentFolder() const
{
    const auto item = reinterpret_cast<HTREEITEM>(send(TVM_GETNEXTITEM, TVGN_CARET, 0));
    return item ? pathOf(item) : std::string();
}

void FolderTree::insertChildren(HTREEITEM item)
{
    const std::vector<std::string> names = subfolders(pathOf(item));
    if (names.empty()) {
        // A folder holding only files shows no expand button.
        TVITEMA update{};
        update.mask = TVIF_CHILDREN;
        update.hItem = item;
        update.cChildren = 0;
        send(TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&update));
        return;
    }
    NoRedraw quiet(hwnd());
    for (const std::string& name : names) insertItem(hwnd(), item, name, true);
}

void FolderTree::expand(HTREEITEM item)
{
    send(TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(item));
}

HTREEITEM FolderTree::childNamed(HTREEITEM parent, const std::string& name, bool ignoreCase)
{
    auto child = reinterpret_cast<HTREEITEM>(
        send(TVM_GETNEXTITEM, parent ? TVGN_CHILD : TVGN_ROOT, reinterpret_cast<LPARAM>(parent)));
    for (; child; child = reinterpret_cast<HTREEITEM>(send(TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(child)))) {
        const std::string text = textOf(child);
        if (ignoreCase ? toLowerAscii(text) == toLowerAscii(name) : text == name) return child;
    }
    return nullptr;
}

bool FolderTree::selectFolder(const std::string& path)
{
    std::vector<std::string> parts;
    std::size_t at = 0;
    while (at < path.size()) {
        const std::size_t end = std::min(path.find_first_of("\\/", at), path.size());
        if (end > at) parts.push_back(path.substr(at, end - at));
        at = end + 1;
    }
    if (parts.empty()) return false;
    // Drive letters compare without case; folder names as the file system spells them.
    HTREEITEM item = childNamed(nullptr, parts.front(), true);
    if (!item) return false;
    for (std::size_t i = 1; i < parts.size(); ++i) {
        expand(item);
        if (HTREEITEM child = childNamed(item, parts[i], false)) item = child;
    }
    send(TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item));
    send(TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(item));
    return true;
}

bool FolderTree::openSubfolder(const std::string& name)
{
    const auto current = reinterpret_cast<HTREEITEM>(send(TVM_GETNEXTITEM, TVGN_CARET, 0));
    if (!current) return false;
    expand(current);
    HTREEITEM child = childNamed(current, name, false);
    if (!child) return false;
    send(TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(child));
    return true;
}

bool FolderTree::onReflect(UINT msg, WPARAM /*wp*/, LPARAM lp, LRESULT& result)
{
    if (msg != WM_NOTIFY || !ready_) return false;
    const auto* header = reinterpret_cast<const NMHDR*>(lp);
    // The A and W forms carry the item handle at the same place.
    const auto* tree = reinterpret_cast<const NMTREEVIEWA*>(lp);
    switch (header->code) {
    case TVN_ITEMEXPANDINGA:
    case TVN_ITEMEXPANDINGW:
        if (tree->action == TVE_EXPAND && !(tree->itemNew.state & TVIS_EXPANDEDONCE) &&
            !send(TVM_GETNEXTITEM, TVGN_CHILD, reinterpret_cast<LPARAM>(tree->itemNew.hItem))) {
            HCURSOR previous = SetCursor(LoadCursor(nullptr, IDC_WAIT));
            insertChildren(tree->itemNew.hItem);
            SetCursor(previous);
        }
        result = FALSE;
        return true;
    case TVN_SELCHANGEDA:
    case TVN_SELCHANGEDW:
        if (onFolderSelected && tree->itemNew.hItem) onFolderSelected(pathOf(tree->itemNew.hItem));
        result = 0;
        return true;
    default:
        return false;
    }
}

void FileList::prepare()
{
    LVCOLUMNA column{};
    column.mask = LVCF_WIDTH;
    RECT area{};
    GetClientRect(hwnd(), &area);
    column.cx = area.right - area.left - GetSystemMetrics(SM_CXVSCROLL);
    send(LVM_INSERTCOLUMNA, 0, reinterpret_cast<LPARAM>(&column));
    send(LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
}

void FileList::refresh(const std::string& folder, const std::string& extensions)
{
    NoRedraw quiet(hwnd());
    send(LVM_DELETEALLITEMS);
    entries_.clear();
    fileCount_ = 0;
    folder_ = folder;
    if (folder.empty()) return;

    WIN32_FIND_DATAA data{};
    FindHandle find(folder + "*", data);
    if (find.valid()) {
        do {
            if (isDotEntry(data.cFileName)) continue;
            const bool isFolder = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
            if (!isFolder && !passesExtensionFilter(data.cFileName, extensions)) continue;
            entries_.push_back({data.cFileName, isFolder});
            if (!isFolder) ++fileCount_;
        } while (entries_.size() < kMaxEntries && find.next(data));
    }
    // Folders first, then files, each without regard to case, as the operator knows it from the system.
    std::sort(entries_.begin(), entries_.end(), [](const Entry& a, const Entry& b) {
        return a.folder != b.folder ? a.folder : lessIgnoringCase(a.name, b.name);
    });
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        LVITEMA item{};
        item.mask = LVIF_TEXT;
        item.iItem = static_cast<int>(i);
        std::string text = entries_[i].folder ? "[" + entries_[i].name + "]" : entries_[i].name;
        item.pszText = text.data();
        if (send(LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)) < 0) {
            // A list that refuses more items keeps what it shows.
            entries_.resize(i);
            break;
        }
    }
}

const FileList::Entry* FileList::selectedEntry() const
{
    const auto index = static_cast<int>(send(LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
    if (index < 0 || static_cast<std::size_t>(index) >= entries_.size()) return nullptr;
    return &entries_[static_cast<std::size_t>(index)];
}

std::string FileList::selectedPath() const
{
    const Entry* entry = selectedEntry();
    return entry ? folder_ + entry->name : std::string();
}

void FileList::selectFirst()
{
    if (entries_.empty()) return;
    LVITEMA state{};
    state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    state.state = LVIS_SELECTED | LVIS_FOCUSED;
    send(LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&state));
    send(LVM_ENSUREVISIBLE, 0, FALSE);
}

bool FileList::onReflect(UINT msg, WPARAM /*wp*/, LPARAM lp, LRESULT& result)
{
    if (msg != WM_NOTIFY) return false;
    const auto* header = reinterpret_cast<const NMHDR*>(lp);
    if (header->code == LVN_ITEMCHANGED) {
        const auto* change = reinterpret_cast<const NMLISTVIEW*>(lp);
        const bool nowSelected = (change->uNewState & LVIS_SELECTED) && !(change->uOldState & LVIS_SELECTED);
        if (nowSelected && change->iItem >= 0 && static_cast<std::size_t>(change->iItem) < entries_.size() &&
            onItemSelected)
            onItemSelected(entries_[static_cast<std::size_t>(change->iItem)].name);
        result = 0;
        return true;
    }
    if (header->code == NM_DBLCLK) {
        if (selectedEntry() && onItemActivated) onItemActivated();
        result = 0;
        return true;
    }
    return false;
}

} // namespace orvox::ui
