// The tab host through the exports and the real tab control: removing and
// re-inserting tabs, single controls, the Ctrl+digit shortcuts.
#include "ui_host.h"

namespace orvox::test {
namespace {

using TabHostTest = UiHost;

TEST_F(TabHostTest, ShownTabsKeepTheTableOrderWhateverIsHidden)
{
    ASSERT_EQ(createMain(), 0);
    EXPECT_EQ(tabCaptions(), captionsOf({433, 434, 435, 519, 436, 437, 438}));
    EXPECT_EQ(currentCaption(), resourceString(434));

    EXPECT_EQ(orvox.ShowTab(437, 0), 0);
    EXPECT_EQ(tabCaptions(), captionsOf({433, 434, 435, 519, 436, 438}));
    EXPECT_EQ(orvox.ShowTab(437, 1), 0);
    EXPECT_EQ(tabCaptions(), captionsOf({433, 434, 435, 519, 436, 437, 438}));

    // With its neighbours gone it still lands where the table puts it.
    EXPECT_EQ(orvox.ShowTab(437, 0), 0);
    EXPECT_EQ(orvox.ShowTab(436, 0), 0);
    EXPECT_EQ(orvox.ShowTab(433, 0), 0);
    EXPECT_EQ(orvox.ShowTab(437, 1), 0);
    EXPECT_EQ(tabCaptions(), captionsOf({434, 435, 519, 437, 438}));
    EXPECT_EQ(orvox.ShowTab(438, 0), 0);
    EXPECT_EQ(orvox.ShowTab(433, 1), 0);
    EXPECT_EQ(orvox.ShowTab(436, 1), 0);
    EXPECT_EQ(tabCaptions(), captionsOf({433, 434, 435, 519, 436, 437}));
    // Inserting before the current tab leaves the operator on the same page.
    EXPECT_EQ(currentCaption(), resourceString(434));
}

TEST_F(TabHostTest, ShowingAShownTabOrHidingAHiddenOneIsInvalid)
{
    ASSERT_EQ(createMain(), 0);
    EXPECT_EQ(orvox.ShowTab(435, 1), 4);
    EXPECT_EQ(orvox.ShowTab(435, 0), 0);
    EXPECT_EQ(orvox.ShowTab(435, 0), 4);
    EXPECT_EQ(orvox.ShowTab(999, 1), 4);
    EXPECT_EQ(orvox.ShowTab(999, 0), 4);
    EXPECT_EQ(tabCaptions(), captionsOf({433, 434, 519, 436, 437, 438}));
}

TEST_F(TabHostTest, HidingTheCurrentTabMovesToFiles)
{
    ASSERT_EQ(createMain(), 0);
    pressCtrl('4');
    ASSERT_EQ(currentCaption(), resourceString(519));
    EXPECT_EQ(orvox.ShowTab(519, 0), 0);
    EXPECT_EQ(currentCaption(), resourceString(434));
    HWND filesPage = nullptr;
    for (HWND child = GetWindow(tabControl(), GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        if (GetWindowLongA(child, GWL_STYLE) & WS_VISIBLE) filesPage = child;
    EXPECT_NE(filesPage, nullptr);
}

TEST_F(TabHostTest, ControlsOfHiddenTabsAreOutOfReach)
{
    ASSERT_EQ(createMain(), 0);
    pressCtrl('3');
    ASSERT_EQ(currentCaption(), resourceString(435));
    HWND help = nullptr;
    for (HWND page = GetWindow(tabControl(), GW_CHILD); page && !help; page = GetWindow(page, GW_HWNDNEXT))
        if (GetWindowLongA(page, GWL_STYLE) & WS_VISIBLE) help = GetDlgItem(page, 2638);
    ASSERT_NE(help, nullptr);

    EXPECT_EQ(orvox.ShowGuiElement(435, 2638, 0), 0);
    EXPECT_EQ(GetWindowLongA(help, GWL_STYLE) & WS_VISIBLE, 0);
    EXPECT_TRUE(IsWindowEnabled(help));
    EXPECT_EQ(orvox.ShowGuiElement(435, 4711, 0), 4);

    EXPECT_EQ(orvox.ShowTab(435, 0), 0);
    EXPECT_EQ(orvox.ShowGuiElement(435, 2638, 1), 4);
    EXPECT_EQ(orvox.ShowTab(435, 1), 0);
    EXPECT_EQ(orvox.ShowGuiElement(435, 2638, 1), 0);
    EXPECT_EQ(GetWindowLongA(help, GWL_STYLE) & WS_VISIBLE, static_cast<LONG>(WS_VISIBLE));
}

TEST_F(TabHostTest, CtrlDigitSelectsThePresentTabAtThatPosition)
{
    ASSERT_EQ(createMain(), 0);
    pressCtrl('3');
    EXPECT_EQ(currentCaption(), resourceString(435));
    pressCtrl('6');
    EXPECT_EQ(currentCaption(), resourceString(437));
    // Colour mapping is not offered for printer model 0: its tab cannot be chosen.
    pressCtrl('7');
    EXPECT_EQ(currentCaption(), resourceString(437));

    EXPECT_EQ(orvox.ShowTab(433, 0), 0);
    pressCtrl('3');
    EXPECT_EQ(currentCaption(), resourceString(519));
    pressCtrl('7');  // only six tabs: nothing happens
    EXPECT_EQ(currentCaption(), resourceString(519));

    // Without Ctrl a digit selects nothing; a key-up of another key drops Ctrl.
    SendMessageA(tabControl(), WM_KEYDOWN, '1', 0);
    EXPECT_EQ(currentCaption(), resourceString(519));
    SendMessageA(tabControl(), WM_KEYDOWN, VK_CONTROL, 0);
    SendMessageA(tabControl(), WM_KEYUP, 'A', 0);
    SendMessageA(tabControl(), WM_KEYDOWN, '1', 0);
    EXPECT_EQ(currentCaption(), resourceString(519));
    SendMessageA(tabControl(), WM_KEYDOWN, VK_CONTROL, 0);
    SendMessageA(tabControl(), WM_KEYDOWN, '1', 0);
    EXPECT_EQ(currentCaption(), resourceString(434));
}

} // namespace
} // namespace orvox::test
