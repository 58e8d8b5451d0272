// The administration commands of the main window: the switch behind the
// password and the change of password, driven through their real dialogs.
#include "dialog_script.h"
#include "resource.h"
#include "ui_host.h"

namespace orvox::test {
namespace {

using S = DialogScript;

class AdminCommandsTest : public UiHost {
protected:
    void SetUp() override
    {
        UiHost::SetUp();
        writeConfig(IDS_CONFIG_PASSWORD_KEY, "Secret");
        writeConfig(IDS_CONFIG_ADMIN_FLAG_KEY, "1");
        ASSERT_EQ(createMain(), 0);
    }
    void writeConfig(unsigned key, const char* value) const
    {
        WritePrivateProfileStringA(resourceString(IDS_CONFIG_ADMIN_SECTION).c_str(), resourceString(key).c_str(),
                                   value, config_.path().c_str());
    }
    std::string readConfig(unsigned key) const
    {
        char value[64] = {};
        GetPrivateProfileStringA(resourceString(IDS_CONFIG_ADMIN_SECTION).c_str(), resourceString(key).c_str(), "",
                                 value, sizeof value, config_.path().c_str());
        return value;
    }
    static S::Step enter(const std::string& password)
    {
        return [password](HWND prompt) {
            S::type(prompt, IDC_PASSWORD_EDIT, password);
            S::click(prompt, IDOK);
        };
    }
    // The switch cannot be routed by the host; the tests send it as the menu would.
    bool command(DialogScript& steps, unsigned id)
    {
        return steps.run([this, id] { SendMessageA(main_, WM_COMMAND, id, 0); });
    }
    bool catalogMenuEnabled() const
    {
        HMENU menu = CreatePopupMenu();
        AppendMenuA(menu, MF_STRING, ID_PAPER_CATALOG_EDITOR, "Paper catalog");
        orvox.SendMessage(WM_INITMENUPOPUP, static_cast<unsigned>(reinterpret_cast<UINT_PTR>(menu)), 0);
        const bool enabled = (GetMenuState(menu, ID_PAPER_CATALOG_EDITOR, MF_BYCOMMAND) & MF_GRAYED) == 0;
        DestroyMenu(menu);
        return enabled;
    }
    static int timesShown(unsigned id)
    {
        int n = 0;
        for (const auto& box : hookLog().boxes) n += box.text == resourceString(id) ? 1 : 0;
        return n;
    }

    FileRestorer config_{"Orvox.ini"};
};

TEST_F(AdminCommandsTest, TheSwitchFlipsTheFlagOnlyWithTheRightPassword)
{
    DialogScript cancelled;
    cancelled.then(enter("nope")).then([](HWND prompt) { S::click(prompt, IDCANCEL); });
    ASSERT_TRUE(command(cancelled, ID_ADMIN_SWITCH));
    EXPECT_EQ(timesShown(IDS_WRONG_PASSWORD), 1);
    EXPECT_EQ(readConfig(IDS_CONFIG_ADMIN_FLAG_KEY), "1");
    EXPECT_TRUE(catalogMenuEnabled());

    DialogScript off;
    off.then(enter("secret"));
    ASSERT_TRUE(command(off, ID_ADMIN_SWITCH));
    EXPECT_EQ(readConfig(IDS_CONFIG_ADMIN_FLAG_KEY), "0");
    EXPECT_FALSE(catalogMenuEnabled());

    DialogScript on;
    on.then(enter("SECRET"));
    ASSERT_TRUE(command(on, ID_ADMIN_SWITCH));
    EXPECT_EQ(readConfig(IDS_CONFIG_ADMIN_FLAG_KEY), "1");
    EXPECT_TRUE(catalogMenuEnabled());
}

TEST_F(AdminCommandsTest, ANewPasswordIsStoredOnlyWhenBothEntriesAgreeAndGuardsTheEditor)
{
    DialogScript change;
    change.then([](HWND dialog) {
        S::type(dialog, IDC_NEW_PASSWORD_EDIT, "Blue");
        S::type(dialog, IDC_CONFIRM_PASSWORD_EDIT, "Bleu");
        S::click(dialog, IDOK);  // refused: the dialog stays
        S::type(dialog, IDC_CONFIRM_PASSWORD_EDIT, "Blue");
        S::click(dialog, IDOK);
    });
    ASSERT_TRUE(change.run([this] { orvox.SendMessage(WM_COMMAND, ID_CHANGE_PASSWORD, 0); }));
    EXPECT_EQ(timesShown(IDS_PASSWORDS_DIFFER), 1);
    EXPECT_EQ(readConfig(IDS_CONFIG_PASSWORD_KEY), "Blue");

    // The old password no longer opens the catalog editor; the new one does.
    DialogScript editor;
    editor.then(enter("Secret")).then(enter("blue")).then([](HWND dialog) {
        EXPECT_NE(GetDlgItem(dialog, IDC_CATALOG_PAPER_LIST), nullptr);
        S::click(dialog, IDCANCEL);
    });
    ASSERT_TRUE(editor.run([this] { orvox.SendMessage(WM_COMMAND, ID_PAPER_CATALOG_EDITOR, 0); }));
    EXPECT_EQ(timesShown(IDS_WRONG_PASSWORD), 1);
}

} // namespace
} // namespace orvox::test
