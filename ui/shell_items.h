#pragma once
// Small owners for the shell namespace's objects: folder references, item
// identifiers from the shell's allocator, and the texts and icons of an item.
// Used by the Files page's folder browser.
#include <windows.h>
#include <shlobj.h>

#include <memory>
#include <string>

namespace orvox::ui::shell {

// A reference to a shell folder, released with the object.
class Folder {
public:
    Folder() = default;
    explicit Folder(IShellFolder* adopted) : folder_(adopted) {}
    Folder(const Folder& other) : folder_(other.folder_)
    {
        if (folder_) folder_->AddRef();
    }
    Folder& operator=(Folder other)
    {
        std::swap(folder_, other.folder_);
        return *this;
    }
    ~Folder()
    {
        if (folder_) folder_->Release();
    }
    IShellFolder* get() const { return folder_; }
    IShellFolder* operator->() const { return folder_; }
    explicit operator bool() const { return folder_ != nullptr; }

private:
    IShellFolder* folder_ = nullptr;
};

// An item identifier list allocated by the shell, freed with its allocator.
struct ItemIdFree {
    void operator()(ITEMIDLIST* list) const { CoTaskMemFree(list); }
};
using ItemId = std::unique_ptr<ITEMIDLIST, ItemIdFree>;

ItemId cloneItemId(const ITEMIDLIST* list);
ItemId combineItemIds(const ITEMIDLIST* first, const ITEMIDLIST* second);

// COM on this thread for as long as the object lives (balanced only when it was taken).
class ComScope {
public:
    ComScope();
    ~ComScope();
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;

private:
    bool initialised_ = false;
};

Folder desktopFolder();
// The folder `child` of `parent`; the parent itself for an empty identifier.
Folder bindFolder(const Folder& parent, const ITEMIDLIST* child);

// The shell's text for `child` of `parent` in the given form; empty on failure.
std::string displayName(const Folder& parent, const ITEMIDLIST* child, SHGDNF form);
// The small system icon of an absolute item (open: the opened-folder icon); -1 when none.
int smallIconIndex(const ITEMIDLIST* absolute, bool open);
// The system's small image list, as the root of the system drive reports it.
HIMAGELIST systemSmallImages();

struct Attributes {
    bool folder;        // a container the tree and the list open, not a file
    bool fileSystem;    // a file-system object, or a folder that holds such objects
    bool hasSubfolders;
};
Attributes attributesOf(const Folder& parent, const ITEMIDLIST* child);

// The shell folder's own order of two of its items (column 0): below, equal or above zero.
int compareItems(const Folder& parent, const ITEMIDLIST* a, const ITEMIDLIST* b);

// The absolute identifier of a file-system path; null when the shell does not know it.
ItemId parsePath(const std::string& path);

} // namespace orvox::ui::shell
