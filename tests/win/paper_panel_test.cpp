// The paper attribute panel of the job pages' paper combos, through the library:
// dropping a real list and moving its highlight shows the paper's attributes
// beside the list, and closing the list takes the panel away.
#include <string>

#include "ui_host.h"

namespace orvox::test {
namespace {

constexpr int kNameField = 3721;

struct PanelSearch {
    HWND found = nullptr;
};

BOOL CALLBACK findPanel(HWND window, LPARAM lp)
{
    auto* search = reinterpret_cast<PanelSearch*>(lp);
    if (IsWindowVisible(window) && GetDlgItem(window, kNameField)) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

class PaperPanelTest : public UiHost {
protected:
    void SetUp() override
    {
        UiHost::SetUp();
        ASSERT_EQ(createMain(), 0);
        ShowWindow(host, SW_SHOWNOACTIVATE);
        ASSERT_EQ(orvox.ShowMain(SW_SHOW, 0, 0), 0);
    }


    // The visible panel of this thread, or null.
    static HWND visiblePanel()
    {
        PanelSearch search;
        EnumThreadWindows(GetCurrentThreadId(), findPanel, reinterpret_cast<LPARAM>(&search));
        return search.found;
    }

    static std::string text(HWND dialog, int id)
    {
        char buffer[256] = {};
        GetDlgItemTextA(dialog, id, buffer, sizeof buffer);
        return buffer;
    }

    // Drops the combo's list and puts its highlight on `paper`, as the mouse would.
    static HWND dropAndHighlight(HWND combo, const char* paper)
    {
        SendMessageA(combo, CB_SHOWDROPDOWN, TRUE, 0);
        const auto item = SendMessageA(combo, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(paper));
        EXPECT_GE(item, 0) << paper;
        SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(item), 0);
        COMBOBOXINFO info{};
        info.cbSize = sizeof info;
        GetComboBoxInfo(combo, &info);
        RedrawWindow(info.hwndList, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        return info.hwndList;
    }

    static void closeList(HWND combo)
    {
        SendMessageA(combo, CB_SHOWDROPDOWN, FALSE, 0);
        pumpUntil([] { return false; }, 50);
    }
};

TEST_F(PaperPanelTest, BodyPaperListShowsTheHighlightedPapersAttributesBesideIt)
{
    pressCtrl('3');
    HWND page = pageWith(1152);
    ASSERT_NE(page, nullptr);
    HWND body = GetDlgItem(page, 1008);
    ASSERT_TRUE(IsWindowVisible(body));
    EXPECT_EQ(visiblePanel(), nullptr) << "no panel before a list is dropped";

    HWND list = dropAndHighlight(body, "A4 Tabs 160");
    HWND panel = visiblePanel();
    ASSERT_NE(panel, nullptr) << "the dropped list has no attribute panel";
    EXPECT_EQ(text(panel, 3721), "A4 Tabs 160");
    EXPECT_EQ(text(panel, 3722), "A4 Tab (225 x 297 mm)");
    EXPECT_EQ(text(panel, 3723), "Ivory");
    EXPECT_EQ(text(panel, 3724), "160 g/m2");
    EXPECT_EQ(text(panel, 3725), "Tab Stock");
    RECT listRect{}, panelRect{};
    GetWindowRect(list, &listRect);
    GetWindowRect(panel, &panelRect);
    EXPECT_EQ(panelRect.left, listRect.right + 10) << "right of the list, where the screen has room";
    EXPECT_NE(GetForegroundWindow(), panel) << "the panel never takes the activation";
    // Seen, not only shown: nothing of the job-setup window lies over it.
    const POINT middle{(panelRect.left + panelRect.right) / 2, (panelRect.top + panelRect.bottom) / 2};
    const HWND atMiddle = WindowFromPoint(middle);
    EXPECT_TRUE(atMiddle == panel || IsChild(panel, atMiddle));

    // Moving the highlight refills it; a long size name shows its first 23 characters.
    dropAndHighlight(body, "Tabloid Gloss 120");
    EXPECT_EQ(text(panel, 3721), "Tabloid Gloss 120");
    EXPECT_EQ(text(panel, 3722), std::string("Tabloid/Ledger (11 x 17 in)").substr(0, 23));
    EXPECT_EQ(text(panel, 3725), "Coated Gloss");

    closeList(body);
    EXPECT_FALSE(IsWindowVisible(panel)) << "the panel belongs to the open list only";
}

TEST_F(PaperPanelTest, NearTheRightScreenEdgeThePanelGoesLeftOfTheList)
{
    pressCtrl('3');
    HWND page = pageWith(1152);
    ASSERT_NE(page, nullptr);
    HWND body = GetDlgItem(page, 1008);
    RECT combo{};
    GetWindowRect(body, &combo);
    // Move the host so the combo's right edge lies 20 pixels inside the screen.
    RECT hostRect{};
    GetWindowRect(host, &hostRect);
    const int shift = GetSystemMetrics(SM_CXSCREEN) - 20 - combo.right;
    SetWindowPos(host, nullptr, hostRect.left + shift, hostRect.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);

    HWND list = dropAndHighlight(body, "A4 Plain 80");
    HWND panel = visiblePanel();
    ASSERT_NE(panel, nullptr);
    RECT listRect{}, panelRect{};
    GetWindowRect(list, &listRect);
    GetWindowRect(panel, &panelRect);
    EXPECT_EQ(panelRect.right, listRect.left - 10);
    EXPECT_LE(panelRect.bottom, GetSystemMetrics(SM_CYSCREEN));
    closeList(body);
}

TEST_F(PaperPanelTest, JobSetup2PaperListsShowThePanelToo)
{
    pressCtrl('4');
    HWND page = pageWith(1094);
    ASSERT_NE(page, nullptr);
    // The header paper is chosen once there is a header page.
    CheckDlgButton(page, 1095, BST_CHECKED);
    SendMessageA(page, WM_COMMAND, MAKEWPARAM(1095, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(page, 1095)));
    HWND header = GetDlgItem(page, 1013);
    ASSERT_TRUE(IsWindowEnabled(header));
    dropAndHighlight(header, "Letter Bond 20 lb");
    HWND panel = visiblePanel();
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(text(panel, 3721), "Letter Bond 20 lb");
    EXPECT_EQ(text(panel, 3722), "Letter (8.5 x 11 in)");
    EXPECT_EQ(text(panel, 3724), "75 g/m2");
    closeList(header);
    EXPECT_FALSE(IsWindowVisible(panel));
}

} // namespace
} // namespace orvox::test
