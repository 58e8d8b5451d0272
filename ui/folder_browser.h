#pragma once
// The Files page's folder browser over the shell namespace: a tree of the
// folders from the desktop down (virtual folders such as the computer included
// where they hold file-system objects) beside a list of the chosen folder's
// sub-folders and the files that pass the page's type filter. Names, small
// icons and order are the shell's own, as the operator knows them from the system.
#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "ui/control.h"
#include "ui/shell_items.h"

namespace orvox::ui {

// A control whose key presses the page may take as commands before the control sees them.
class KeyedControl : public Control {
public:
    // True when the key was taken.
    std::function<bool(WPARAM key)> onKeyDown;

protected:
    LRESULT onMessage(UINT msg, WPARAM wp, LPARAM lp) override;
};

class FolderTree : public Control {
public:
    // Called with the display-name path (ending in a backslash) of a newly selected folder.
    std::function<void(const std::string&)> onFolderSelected;

    // One top-level item for the desktop; its folders are read when expanded.
    void initialise();
    // Walks to `path`: display names from the desktop down, each followed by a
    // backslash, or a file-system path. The desktop is selected first; every
    // component found is opened, the last one selected, and a component that is
    // not found is skipped. False when the path does not begin at the desktop.
    bool selectFolder(const std::string& path);
    // Selects the sub-folder `name` (display name, exact comparison) of the current folder.
    bool openSubfolder(const std::string& name);
    // The display-name path of the selected folder; empty when none is selected.
    std::string currentFolder() const;
    // The shell folder of the selected item and its absolute identifier.
    const shell::Folder& selectedFolder() const { return selected_; }
    const ITEMIDLIST* selectedItemId() const;

    bool onReflect(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

private:
    struct Record {
        shell::Folder parent;
        shell::ItemId relative;
        shell::ItemId absolute;
    };
    Record* recordOf(HTREEITEM item) const;
    std::string textOf(HTREEITEM item) const;
    HTREEITEM insertItem(HTREEITEM parent, std::unique_ptr<Record> record, const std::string& text, bool children);
    HTREEITEM childNamed(HTREEITEM parent, const std::string& name);
    void expand(HTREEITEM item);
    void insertChildren(HTREEITEM item);
    // The shell folder's order of two of its items (the tree's sort callback).
    static int CALLBACK compareRecords(LPARAM a, LPARAM b, LPARAM folder);
    void folderSelected(HTREEITEM item);
    // The display-name path of a file-system path, from the desktop down; empty when unknown.
    std::string displayPathOf(const std::string& fileSystemPath) const;

    shell::ComScope com_;
    shell::Folder desktop_;
    shell::Folder selected_;
    std::unordered_map<const Record*, std::unique_ptr<Record>> records_;
    bool ready_ = false;
    bool quiet_ = false;  // a walk selects on its way: only its end is told
};

class FileList : public KeyedControl {
public:
    static constexpr std::size_t kMaxEntries = 2001;

    struct Entry {
        std::string name;  // the shell's display name
        bool folder;
        std::string path;  // full parsing path: the file's path for file-system items
    };

    // The display name of an item that became selected.
    std::function<void(const std::string&)> onItemSelected;
    // An item was double-clicked.
    std::function<void()> onItemActivated;

    void prepare();
    // Refills the list with the sub-folders of the tree's selected folder and
    // the files passing the filter (blank-separated extensions, empty for all).
    void refresh(const FolderTree& tree, const std::string& extensions);
    const std::vector<Entry>& entries() const { return entries_; }
    int fileCount() const { return fileCount_; }
    // The listed folder's file-system path with a trailing backslash; empty for a virtual folder.
    const std::string& folder() const { return folder_; }
    // The selected entry, or null.
    const Entry* selectedEntry() const;
    std::string selectedPath() const;
    void selectFirst();

    bool onReflect(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

private:
    std::vector<Entry> entries_;
    std::string folder_;
    int fileCount_ = 0;
};

} // namespace orvox::ui
