#pragma once
// The Files page's folder browser: a tree of the folders of the file system's
// drives beside a list of the chosen folder's sub-folders and the files that
// pass the page's type filter.
#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <string>
#include <vector>

#include "ui/control.h"

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
    // Called with the full path (ending in a backslash) of a newly selected folder.
    std::function<void(const std::string&)> onFolderSelected;

    // One top-level item per drive; their folders are read when expanded.
    void initialise();
    // Walks to `path` component by component; a component that is not found is
    // skipped. False when not even the drive was found.
    bool selectFolder(const std::string& path);
    // Selects the sub-folder `name` (exact comparison) of the current folder.
    bool openSubfolder(const std::string& name);
    std::string currentFolder() const;

    bool onReflect(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

private:
    std::string pathOf(HTREEITEM item) const;
    std::string textOf(HTREEITEM item) const;
    HTREEITEM childNamed(HTREEITEM parent, const std::string& name, bool ignoreCase);
    void expand(HTREEITEM item);
    void insertChildren(HTREEITEM item);
    bool ready_ = false;
};

class FileList : public KeyedControl {
public:
    static constexpr std::size_t kMaxEntries = 2001;

    struct Entry {
        std::string name;
        bool folder;
    };

    // The display name of an item that became selected.
    std::function<void(const std::string&)> onItemSelected;
    // An item was double-clicked.
    std::function<void()> onItemActivated;

    void prepare();
    // Refills the list with `folder`'s sub-folders and the files passing the filter.
    void refresh(const std::string& folder, const std::string& extensions);
    const std::vector<Entry>& entries() const { return entries_; }
    int fileCount() const { return fileCount_; }
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
