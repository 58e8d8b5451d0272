#include "ui/folder_browser.h"

#include <algorithm>

#include "ui/portable/file_types.h"
#include "ui/win32_handles.h"

namespace orvox::ui {
namespace {

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

// Enumeration of a folder's items, released on every path.
class ItemEnumeration {
public:
    ItemEnumeration(const shell::Folder& folder, HWND owner, SHCONTF kinds)
    {
        if (folder && FAILED(folder->EnumObjects(owner, kinds, &items_))) items_ = nullptr;
    }
    ~ItemEnumeration()
    {
        if (items_) items_->Release();
    }
    ItemEnumeration(const ItemEnumeration&) = delete;
    ItemEnumeration& operator=(const ItemEnumeration&) = delete;
    // The next item's identifier relative to the folder; null at the end.
    shell::ItemId next()
    {
        ITEMIDLIST* item = nullptr;
        ULONG fetched = 0;
        if (!items_ || items_->Next(1, &item, &fetched) != S_OK || fetched != 1) return nullptr;
        return shell::ItemId(item);
    }

private:
    IEnumIDList* items_ = nullptr;
};

bool isFileSystemPath(const std::string& path)
{
    return (path.size() >= 2 && path[1] == ':') || path.rfind("\\\\", 0) == 0;
}

std::vector<std::string> pathComponents(const std::string& path)
{
    std::vector<std::string> parts;
    std::size_t at = 0;
    while (at < path.size()) {
        const std::size_t end = std::min(path.find('\\', at), path.size());
        if (end > at) parts.push_back(path.substr(at, end - at));
        at = end + 1;
    }
    return parts;
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

// --- Folder tree ------------------------------------------------------------------

void FolderTree::initialise()
{
    ready_ = false;
    send(TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT));
    records_.clear();
    selected_ = {};
    send(TVM_SETIMAGELIST, TVSIL_NORMAL, reinterpret_cast<LPARAM>(shell::systemSmallImages()));
    desktop_ = shell::desktopFolder();
    ITEMIDLIST* desktopId = nullptr;
    if (!desktop_ || FAILED(SHGetSpecialFolderLocation(nullptr, CSIDL_DESKTOP, &desktopId)) || !desktopId) return;
    auto record = std::make_unique<Record>();
    record->parent = desktop_;
    record->relative = shell::ItemId(desktopId);
    record->absolute = shell::cloneItemId(desktopId);
    std::string name = shell::displayName(desktop_, desktopId, SHGDN_INFOLDER);
    if (name.empty()) {
        SHFILEINFOA info{};
        SHGetFileInfoA(reinterpret_cast<const char*>(desktopId), 0, &info, sizeof(info), SHGFI_PIDL | SHGFI_DISPLAYNAME);
        name = info.szDisplayName;
    }
    insertItem(TVI_ROOT, std::move(record), name, true);
    ready_ = true;
}

FolderTree::Record* FolderTree::recordOf(HTREEITEM item) const
{
    if (!item) return nullptr;
    TVITEMA query{};
    query.mask = TVIF_PARAM;
    query.hItem = item;
    if (!send(TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&query))) return nullptr;
    auto* record = reinterpret_cast<Record*>(query.lParam);
    return records_.count(record) ? record : nullptr;
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

HTREEITEM FolderTree::insertItem(HTREEITEM parent, std::unique_ptr<Record> record, const std::string& text,
                                 bool children)
{
    TVINSERTSTRUCTA insert{};
    insert.hParent = parent;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT | TVIF_CHILDREN | TVIF_PARAM | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
    insert.item.pszText = const_cast<char*>(text.c_str());
    insert.item.cChildren = children ? 1 : 0;
    insert.item.iImage = shell::smallIconIndex(record->absolute.get(), false);
    insert.item.iSelectedImage = shell::smallIconIndex(record->absolute.get(), true);
    insert.item.lParam = reinterpret_cast<LPARAM>(record.get());
    auto item = reinterpret_cast<HTREEITEM>(send(TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert)));
    if (item) {
        const Record* key = record.get();
        records_.emplace(key, std::move(record));
    }
    return item;
}

void FolderTree::insertChildren(HTREEITEM item)
{
    Record* record = recordOf(item);
    if (!record) return;
    WaitCursor wait;
    const shell::Folder folder = shell::bindFolder(record->parent, record->relative.get());
    int inserted = 0;
    {
        NoRedraw quiet(hwnd());
        ItemEnumeration items(folder, GetParent(hwnd()), SHCONTF_FOLDERS);
        while (shell::ItemId child = items.next()) {
            const shell::Attributes attributes = shell::attributesOf(folder, child.get());
            // Only folders that are, or lead to, file-system folders: nothing to print lies elsewhere.
            if (!attributes.folder || !attributes.fileSystem) continue;
            auto childRecord = std::make_unique<Record>();
            childRecord->parent = folder;
            childRecord->absolute = shell::combineItemIds(record->absolute.get(), child.get());
            const std::string name = shell::displayName(folder, child.get(), SHGDN_INFOLDER);
            childRecord->relative = std::move(child);
            if (insertItem(item, std::move(childRecord), name, attributes.hasSubfolders)) ++inserted;
        }
        TVSORTCB sort{};
        sort.hParent = item;
        sort.lParam = reinterpret_cast<LPARAM>(&folder);
        sort.lpfnCompare = compareRecords;
        if (inserted > 1) send(TVM_SORTCHILDRENCB, 0, reinterpret_cast<LPARAM>(&sort));
    }
    if (inserted == 0) {
        // A folder that holds only files shows no expand button.
        TVITEMA update{};
        update.mask = TVIF_CHILDREN;
        update.hItem = item;
        update.cChildren = 0;
        send(TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&update));
    }
}

int CALLBACK FolderTree::compareRecords(LPARAM a, LPARAM b, LPARAM folder)
{
    return shell::compareItems(*reinterpret_cast<const shell::Folder*>(folder),
                               reinterpret_cast<const Record*>(a)->relative.get(),
                               reinterpret_cast<const Record*>(b)->relative.get());
}

void FolderTree::expand(HTREEITEM item)
{
    if (!send(TVM_GETNEXTITEM, TVGN_CHILD, reinterpret_cast<LPARAM>(item))) insertChildren(item);
    send(TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(item));
}

HTREEITEM FolderTree::childNamed(HTREEITEM parent, const std::string& name)
{
    auto child = reinterpret_cast<HTREEITEM>(send(TVM_GETNEXTITEM, TVGN_CHILD, reinterpret_cast<LPARAM>(parent)));
    for (; child; child = reinterpret_cast<HTREEITEM>(send(TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(child))))
        if (textOf(child) == name) return child;
    return nullptr;
}

std::string FolderTree::displayPathOf(const std::string& fileSystemPath) const
{
    std::string path = fileSystemPath;
    // "C:\" names the drive; "C:\jobs\" the folder "C:\jobs".
    while (path.size() > 3 && path.back() == '\\') path.pop_back();
    const shell::ItemId parsed = shell::parsePath(path);
    const auto root = reinterpret_cast<HTREEITEM>(send(TVM_GETNEXTITEM, TVGN_ROOT, 0));
    if (!parsed || !root) return {};
    std::string display = textOf(root) + "\\";
    shell::Folder folder = desktop_;
    for (const ITEMIDLIST* at = parsed.get(); !ILIsEmpty(at); at = ILGetNext(at)) {
        const shell::ItemId first(ILCloneFirst(at));
        const std::string name = shell::displayName(folder, first.get(), SHGDN_INFOLDER);
        if (name.empty()) return {};
        display += name + "\\";
        folder = shell::bindFolder(folder, first.get());
    }
    return display;
}

bool FolderTree::selectFolder(const std::string& path)
{
    if (!ready_) return false;
    const std::vector<std::string> parts = pathComponents(isFileSystemPath(path) ? displayPathOf(path) : path);
    const auto root = reinterpret_cast<HTREEITEM>(send(TVM_GETNEXTITEM, TVGN_ROOT, 0));
    if (parts.empty() || !root || textOf(root) != parts.front()) return false;
    quiet_ = true;
    send(TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(root));
    HTREEITEM at = root;
    {
        NoRedraw quiet(hwnd());
        for (std::size_t i = 1; i < parts.size(); ++i) {
            expand(at);
            HTREEITEM child = childNamed(at, parts[i]);
            if (!child) continue;
            at = child;
            if (i + 1 == parts.size()) send(TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(child));
        }
    }
    quiet_ = false;
    const auto selected = reinterpret_cast<HTREEITEM>(send(TVM_GETNEXTITEM, TVGN_CARET, 0));
    send(TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(selected));
    folderSelected(selected);
    return true;
}

bool FolderTree::openSubfolder(const std::string& name)
{
    const auto current = reinterpret_cast<HTREEITEM>(send(TVM_GETNEXTITEM, TVGN_CARET, 0));
    if (!current) return false;
    expand(current);
    HTREEITEM child = childNamed(current, name);
    if (!child) return false;
    send(TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(child));
    send(TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(child));
    return true;
}

std::string FolderTree::currentFolder() const
{
    std::string path;
    auto item = reinterpret_cast<HTREEITEM>(send(TVM_GETNEXTITEM, TVGN_CARET, 0));
    for (; item; item = reinterpret_cast<HTREEITEM>(send(TVM_GETNEXTITEM, TVGN_PARENT, reinterpret_cast<LPARAM>(item))))
        path = textOf(item) + "\\" + path;
    return path;
}

const ITEMIDLIST* FolderTree::selectedItemId() const
{
    const Record* record = recordOf(reinterpret_cast<HTREEITEM>(send(TVM_GETNEXTITEM, TVGN_CARET, 0)));
    return record ? record->absolute.get() : nullptr;
}

void FolderTree::folderSelected(HTREEITEM item)
{
    const Record* record = recordOf(item);
    selected_ = record ? shell::bindFolder(record->parent, record->relative.get()) : shell::Folder();
    if (onFolderSelected && record) onFolderSelected(currentFolder());
}

bool FolderTree::onReflect(UINT msg, WPARAM /*wp*/, LPARAM lp, LRESULT& result)
{
    if (msg != WM_NOTIFY) return false;
    const auto* header = reinterpret_cast<const NMHDR*>(lp);
    // The A and W forms carry the item handle and data at the same place.
    const auto* tree = reinterpret_cast<const NMTREEVIEWA*>(lp);
    switch (header->code) {
    case TVN_DELETEITEMA:
    case TVN_DELETEITEMW:
        records_.erase(reinterpret_cast<const Record*>(tree->itemOld.lParam));
        result = 0;
        return true;
    case TVN_ITEMEXPANDINGA:
    case TVN_ITEMEXPANDINGW:
        if (ready_ && tree->action == TVE_EXPAND &&
            !send(TVM_GETNEXTITEM, TVGN_CHILD, reinterpret_cast<LPARAM>(tree->itemNew.hItem)))
            insertChildren(tree->itemNew.hItem);
        result = FALSE;
        return true;
    case TVN_SELCHANGEDA:
    case TVN_SELCHANGEDW:
        if (ready_ && !quiet_ && tree->itemNew.hItem) folderSelected(tree->itemNew.hItem);
        result = 0;
        return true;
    case NM_CUSTOMDRAW: {
        // The folder on show stays marked as plainly as while the tree has the
        // focus: the operator works in the list and the edits beside it.
        auto* draw = reinterpret_cast<NMTVCUSTOMDRAW*>(lp);
        if (draw->nmcd.dwDrawStage == CDDS_PREPAINT) {
            result = CDRF_NOTIFYITEMDRAW;
        } else if (draw->nmcd.dwDrawStage == CDDS_ITEMPREPAINT) {
            if ((draw->nmcd.uItemState & CDIS_SELECTED) ||
                reinterpret_cast<HTREEITEM>(draw->nmcd.dwItemSpec) == reinterpret_cast<HTREEITEM>(send(TVM_GETNEXTITEM, TVGN_CARET, 0))) {
                draw->clrText = GetSysColor(COLOR_HIGHLIGHTTEXT);
                draw->clrTextBk = GetSysColor(COLOR_HIGHLIGHT);
            }
            result = CDRF_DODEFAULT;
        } else {
            result = CDRF_DODEFAULT;
        }
        return true;
    }
    default:
        return false;
    }
}

// --- File list ----------------------------------------------------------------------

void FileList::prepare()
{
    LVCOLUMNA column{};
    column.mask = LVCF_WIDTH;
    RECT area{};
    GetClientRect(hwnd(), &area);
    column.cx = area.right - area.left - GetSystemMetrics(SM_CXVSCROLL);
    send(LVM_INSERTCOLUMNA, 0, reinterpret_cast<LPARAM>(&column));
    send(LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
    // The system's list, shared: the control's template keeps it from being destroyed with the control.
    send(LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(shell::systemSmallImages()));
}

void FileList::refresh(const FolderTree& tree, const std::string& extensions)
{
    NoRedraw quiet(hwnd());
    send(LVM_DELETEALLITEMS);
    entries_.clear();
    fileCount_ = 0;
    folder_.clear();
    const shell::Folder& folder = tree.selectedFolder();
    const ITEMIDLIST* folderId = tree.selectedItemId();
    if (!folder || !folderId) return;
    char fileSystemPath[MAX_PATH] = {};
    if (SHGetPathFromIDListA(folderId, fileSystemPath) && *fileSystemPath) {
        folder_ = fileSystemPath;
        if (folder_.back() != '\\') folder_ += '\\';
    }

    struct Found {
        Entry entry;
        shell::ItemId id;
    };
    std::vector<Found> found;
    ItemEnumeration items(folder, GetParent(hwnd()), SHCONTF_FOLDERS | SHCONTF_NONFOLDERS);
    while (found.size() < kMaxEntries) {
        shell::ItemId id = items.next();
        if (!id) break;
        const shell::Attributes attributes = shell::attributesOf(folder, id.get());
        if (!attributes.fileSystem) continue;
        // The filter looks at the file's own name, extension included, whatever the display shows.
        if (!attributes.folder &&
            !passesExtensionFilter(shell::displayName(folder, id.get(), SHGDN_INFOLDER | SHGDN_FORPARSING), extensions))
            continue;
        Entry entry{shell::displayName(folder, id.get(), SHGDN_INFOLDER), attributes.folder,
                    shell::displayName(folder, id.get(), SHGDN_FORPARSING)};
        found.push_back({std::move(entry), std::move(id)});
    }
    std::stable_sort(found.begin(), found.end(), [&folder](const Found& a, const Found& b) {
        return shell::compareItems(folder, a.id.get(), b.id.get()) < 0;
    });
    for (Found& item : found) {
        const shell::ItemId absolute = shell::combineItemIds(folderId, item.id.get());
        LVITEMA row{};
        row.mask = LVIF_TEXT | LVIF_IMAGE;
        row.iItem = static_cast<int>(entries_.size());
        row.pszText = item.entry.name.data();
        row.iImage = shell::smallIconIndex(absolute.get(), false);
        // A list that refuses more items keeps what it shows.
        if (send(LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&row)) < 0) break;
        if (!item.entry.folder) ++fileCount_;
        entries_.push_back(std::move(item.entry));
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
    return entry ? entry->path : std::string();
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
