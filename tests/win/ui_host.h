#pragma once
// The job-setup window as the tests see it: the tab control, its captions in
// tab order, and keys sent to it.
#include <windows.h>
#include <commctrl.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "host_fixture.h"

namespace orvox::test {

inline std::string programFolder()
{
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder = path;
    return folder.substr(0, folder.find_last_of("\\/") + 1);
}

// Puts a file of the installation folder back as it was when the test ends.
class FileRestorer {
public:
    explicit FileRestorer(std::string name) : path_(programFolder() + name)
    {
        std::ifstream in(path_, std::ios::binary);
        existed_ = static_cast<bool>(in);
        std::ostringstream text;
        text << in.rdbuf();
        saved_ = text.str();
    }
    ~FileRestorer()
    {
        if (existed_) std::ofstream(path_, std::ios::binary) << saved_;
        else DeleteFileA(path_.c_str());
    }
    FileRestorer(const FileRestorer&) = delete;
    FileRestorer& operator=(const FileRestorer&) = delete;
    const std::string& path() const { return path_; }
    void write(const std::string& text) const { std::ofstream(path_, std::ios::binary) << text; }

private:
    std::string path_;
    std::string saved_;
    bool existed_ = false;
};

// What a page's controls show, read as the operator sees it.
inline int selected(HWND page, int id) { return static_cast<int>(SendDlgItemMessageA(page, id, CB_GETCURSEL, 0, 0)); }
inline bool enabled(HWND page, int id) { return IsWindowEnabled(GetDlgItem(page, id)) != FALSE; }
inline bool checked(HWND page, int id) { return IsDlgButtonChecked(page, id) == BST_CHECKED; }

// The texts of a list view's rows, in row order.
inline std::vector<std::string> listViewTexts(HWND list)
{
    std::vector<std::string> texts;
    const auto count = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        char text[MAX_PATH] = {};
        LVITEMA item{};
        item.pszText = text;
        item.cchTextMax = MAX_PATH;
        SendMessageA(list, LVM_GETITEMTEXTA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
        texts.emplace_back(text);
    }
    return texts;
}

class UiHost : public HostTest {
protected:
    void SetUp() override
    {
        HostTest::SetUp();
        ASSERT_EQ(orvox.InitMain(recordingMessageHook, nullptr), 0);
    }

    // Creates the main window without the splash; the result code of Orvo_CreateMain.
    int createMain()
    {
        const int result = orvox.CreateMain(host, 0, "test host");
        HWND window = nullptr;
        if (result == 0 && orvox.GetWindowMain(&window) == 0) main_ = window;
        return result;
    }

    HWND tabControl() const { return GetDlgItem(main_, 57616); }

    // The page (shown or not) that holds the control with this id; null when none does.
    HWND pageWith(int controlId) const
    {
        for (HWND page = GetWindow(tabControl(), GW_CHILD); page; page = GetWindow(page, GW_HWNDNEXT))
            if (GetDlgItem(page, controlId)) return page;
        return nullptr;
    }

    // The captions of the present tabs, in tab order.
    std::vector<std::string> tabCaptions() const
    {
        std::vector<std::string> captions;
        const int count = static_cast<int>(SendMessageA(tabControl(), TCM_GETITEMCOUNT, 0, 0));
        for (int i = 0; i < count; ++i) {
            char text[264] = {};
            TCITEMA item{};
            item.mask = TCIF_TEXT;
            item.pszText = text;
            item.cchTextMax = sizeof(text);
            SendMessageA(tabControl(), TCM_GETITEMA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
            captions.push_back(text);
        }
        return captions;
    }

    std::vector<std::string> captionsOf(std::initializer_list<unsigned> tabIds) const
    {
        std::vector<std::string> captions;
        for (unsigned id : tabIds) captions.push_back(resourceString(id));
        return captions;
    }

    std::string currentCaption() const
    {
        const int index = static_cast<int>(SendMessageA(tabControl(), TCM_GETCURSEL, 0, 0));
        const auto captions = tabCaptions();
        return index >= 0 && index < static_cast<int>(captions.size()) ? captions[static_cast<std::size_t>(index)]
                                                                        : std::string();
    }

    void pressCtrl(char key) const
    {
        SendMessageA(tabControl(), WM_KEYDOWN, VK_CONTROL, 0);
        SendMessageA(tabControl(), WM_KEYDOWN, static_cast<WPARAM>(key), 0);
        SendMessageA(tabControl(), WM_KEYUP, static_cast<WPARAM>(key), 0);
    }

    // Model 1 comes from an imported settings text; the pages follow it.
    void useModel1()
    {
        int line = 0;
        ASSERT_EQ(orvox.OpenXMLSettings(
                      "<PRINTER_SETTINGS><PRINTER_MODEL>ID_PRINTERMODEL_OTHER</PRINTER_MODEL></PRINTER_SETTINGS>", &line),
                  0);
    }

    HWND main_ = nullptr;
};

} // namespace orvox::test
