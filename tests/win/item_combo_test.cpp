// The item-enabling combo box on a real combo control: greyed items cannot be
// chosen by mouse, arrow keys or typing, and the drop-down fits its items.
#include <windows.h>

#include <string>

#include <gtest/gtest.h>

#include "platform/posix/res_strings.h"
#include "ui/item_enabling_combo.h"

namespace orvox::ui {
namespace {

LRESULT CALLBACK reflectingProc(HWND window, UINT msg, WPARAM wp, LPARAM lp)
{
    LRESULT result = 0;
    if (Control::reflect(window, msg, wp, lp, result)) return result;
    return DefWindowProcA(window, msg, wp, lp);
}

class ComboTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        WNDCLASSA wc{};
        wc.lpfnWndProc = reflectingProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "OrvoxComboTestParent";
        RegisterClassA(&wc);
        parent_ = CreateWindowA(wc.lpszClassName, "", WS_OVERLAPPEDWINDOW, 0, 0, 400, 300, nullptr, nullptr,
                                wc.hInstance, nullptr);
        ASSERT_NE(parent_, nullptr);
    }
    void TearDown() override { DestroyWindow(parent_); }

    void make(DWORD extraStyle = 0)
    {
        HWND window = CreateWindowA("COMBOBOX", "",
                                    WS_CHILD | WS_VISIBLE | WS_VSCROLL | CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED |
                                        CBS_HASSTRINGS | extraStyle,
                                    10, 10, 200, 100, parent_, reinterpret_cast<HMENU>(1019),
                                    GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(window, nullptr);
        ASSERT_TRUE(combo_.attachWindow(window, true));
    }
    void fill(std::initializer_list<const char*> texts)
    {
        std::vector<ComboItemRow> rows;
        for (const char* t : texts) rows.push_back({0, t});
        rows.push_back({0, ""});
        combo_.fill(rows, 0, true, strings_);
    }
    // What a mouse pick in the open list does: the list moves, then the parent hears of it.
    void click(int position)
    {
        combo_.send(CB_SETCURSEL, static_cast<WPARAM>(position));
        SendMessageA(parent_, WM_COMMAND, MAKEWPARAM(1019, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo_.hwnd()));
    }
    void key(WPARAM vk) { combo_.send(WM_KEYDOWN, vk, 0); }

    HWND parent_ = nullptr;
    ItemEnablingComboBox combo_;
    platform::MapStrings strings_;
};

TEST_F(ComboTest, GreyedItemIsSkippedByMouseAndArrowKeys)
{
    make();
    fill({"None", "Top", "Bottom"});
    combo_.setItemEnabled(1, false);
    ASSERT_EQ(combo_.selection(), 0);
    click(1);
    EXPECT_EQ(combo_.selection(), 0);
    key(VK_DOWN);
    EXPECT_EQ(combo_.selection(), 2);
    key(VK_DOWN);
    EXPECT_EQ(combo_.selection(), 2);
    key(VK_UP);
    EXPECT_EQ(combo_.selection(), 0);
    // After the keyboard, a mouse pick of the greyed item is still refused.
    click(1);
    EXPECT_EQ(combo_.selection(), 0);
    EXPECT_FALSE(combo_.selectItem(1));
    EXPECT_TRUE(combo_.forceSelection(1));
    EXPECT_EQ(combo_.selection(), 1);
}

TEST_F(ComboTest, DisablingTheSelectionOrTheControl)
{
    make();
    fill({"A", "B", "C"});
    ASSERT_TRUE(combo_.selectItem(2));
    combo_.setItemEnabled(0, false);
    combo_.setItemEnabled(2, false);
    EXPECT_EQ(combo_.selection(), 1);  // the first enabled item

    combo_.enableControl(false);
    for (int i = 0; i < 3; ++i) EXPECT_FALSE(combo_.isItemEnabled(i)) << i;
    combo_.forceSelection(2);
    combo_.enableControl(true);
    EXPECT_EQ(combo_.selection(), 1);
    EXPECT_TRUE(combo_.isItemEnabled(1));
    EXPECT_FALSE(combo_.isItemEnabled(-1));
}

TEST_F(ComboTest, TypedCharacterSearchesOnwardAndRespectsGreyedItems)
{
    make();
    fill({"Apple", "Banana", "Blueberry", "Cherry"});
    combo_.setItemEnabled(2, false);
    ASSERT_TRUE(combo_.selectItem(1));
    combo_.send(WM_CHAR, 'b', 0);  // next B is greyed: back to the last accepted choice
    EXPECT_EQ(combo_.selection(), 1);
    combo_.send(WM_CHAR, 'c', 0);
    EXPECT_EQ(combo_.selection(), 3);
    combo_.send(WM_CHAR, 'A', 0);  // wraps to the start
    EXPECT_EQ(combo_.selection(), 0);
    EXPECT_EQ(combo_.selectedText(), "Apple");
}

TEST_F(ComboTest, DropDownFitsTwentyFiveRowsAndPositionsEndAtFifty)
{
    make();
    std::vector<std::string> texts;
    std::vector<ComboItemRow> rows;
    for (int i = 0; i < 60; ++i) texts.push_back("Item " + std::to_string(i));
    for (int i = 0; i < 30; ++i) rows.push_back({0, texts[static_cast<std::size_t>(i)].c_str()});
    ASSERT_TRUE(combo_.fill(rows, 0, true, strings_));
    const int itemHeight = static_cast<int>(combo_.send(CB_GETITEMHEIGHT, 0));
    ASSERT_GT(itemHeight, 0);
    ShowWindow(parent_, SW_SHOWNA);
    combo_.send(CB_SHOWDROPDOWN, TRUE);
    COMBOBOXINFO info{};
    info.cbSize = sizeof(info);
    ASSERT_TRUE(GetComboBoxInfo(combo_.hwnd(), &info));
    RECT list{};
    GetClientRect(info.hwndList, &list);
    combo_.send(CB_SHOWDROPDOWN, FALSE);
    EXPECT_EQ(list.bottom / itemHeight, 25);

    for (int i = 30; i < 60; ++i) combo_.addItem(texts[static_cast<std::size_t>(i)], true);
    EXPECT_EQ(combo_.count(), 60);
    EXPECT_TRUE(combo_.isItemEnabled(49));
    EXPECT_FALSE(combo_.isItemEnabled(50));
    EXPECT_FALSE(combo_.selectItem(55));
}

TEST_F(ComboTest, SortedListKeepsEachFlagWithItsItem)
{
    make(CBS_SORT);
    EXPECT_EQ(combo_.addItem("Cherry", true), 0);
    EXPECT_EQ(combo_.addItem("Apple", false), 0);
    EXPECT_EQ(combo_.addItem("Banana", true), 1);
    EXPECT_FALSE(combo_.isItemEnabled(0));
    EXPECT_TRUE(combo_.isItemEnabled(1));
    EXPECT_TRUE(combo_.isItemEnabled(2));
    ASSERT_TRUE(combo_.selectItem(2));
    EXPECT_EQ(combo_.selectedText(), "Cherry");
}

} // namespace
} // namespace orvox::ui
