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

// A configuration file that cannot be written: a new password is not taken
// (the dialog stays and the old one still holds) and the switch holds for the
// session only; each time the operator is told, with the file's path.
TEST_F(AdminCommandsTest, ChangesThatCannotBeSavedInTheConfigurationFileSaySoAndNameIt)
{
    ASSERT_TRUE(SetFileAttributesA(config_.path().c_str(), FILE_ATTRIBUTE_READONLY));
    struct Writable {
        const std::string& path;
        ~Writable() { SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL); }
    } writableAtTheEnd{config_.path()};
    const std::string said = resourceString(IDS_CONFIG_WRITE_FAILED) + config_.path() +
                             resourceString(IDS_CONFIG_WRITE_FAILED_TAIL);
    const auto timesSaid = [&] {
        int n = 0;
        for (const auto& box : hookLog().boxes) n += box.text == said ? 1 : 0;
        return n;
    };

    bool stayed = false;
    DialogScript change;
    change.then([&](HWND dialog) {
        S::type(dialog, IDC_NEW_PASSWORD_EDIT, "Blue");
        S::type(dialog, IDC_CONFIRM_PASSWORD_EDIT, "Blue");
        S::click(dialog, IDOK);
        stayed = IsWindow(dialog) && IsWindowVisible(dialog);
        S::click(dialog, IDCANCEL);
    });
    ASSERT_TRUE(change.run([this] { orvox.SendMessage(WM_COMMAND, ID_CHANGE_PASSWORD, 0); }));
    EXPECT_EQ(timesSaid(), 1);
    EXPECT_TRUE(stayed) << "the dialog closed as if the password had been stored";
    EXPECT_EQ(readConfig(IDS_CONFIG_PASSWORD_KEY), "Secret");

    // The old password still switches; the switch is not saved, and says so.
    DialogScript off;
    off.then(enter("Secret"));
    ASSERT_TRUE(command(off, ID_ADMIN_SWITCH));
    EXPECT_EQ(timesSaid(), 2);
    EXPECT_EQ(timesShown(IDS_WRONG_PASSWORD), 0);
    EXPECT_FALSE(catalogMenuEnabled());
    EXPECT_EQ(readConfig(IDS_CONFIG_ADMIN_FLAG_KEY), "1");
}

// Typed key by key, as the operator types: the edit's limit applies.
void typeKeys(HWND dialog, int id, const std::string& text)
{
    HWND edit = GetDlgItem(dialog, id);
    SetFocus(edit);
    SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(""));
    for (const char c : text) SendMessageA(edit, WM_CHAR, static_cast<unsigned char>(c), 1);
}

int textLength(HWND dialog, int id) { return GetWindowTextLengthA(GetDlgItem(dialog, id)); }

TEST_F(AdminCommandsTest, APasswordOf260CharactersWorksEndToEndAndTheEditsRefuseMore)
{
    // Blanks at both ends, quotes and letters of both cases: all of it counts.
    std::string password = " \"Pass";
    for (int i = 0; password.size() < 258; ++i) password += static_cast<char>('!' + i % 90);
    password += "' ";
    ASSERT_EQ(password.size(), 260u);
    const std::string tooLong = password + "Z";

    DialogScript change;
    change.then([&](HWND dialog) {
        typeKeys(dialog, IDC_NEW_PASSWORD_EDIT, tooLong);
        typeKeys(dialog, IDC_CONFIRM_PASSWORD_EDIT, tooLong);
        EXPECT_EQ(textLength(dialog, IDC_NEW_PASSWORD_EDIT), 260) << "the 261st character is refused";
        EXPECT_EQ(textLength(dialog, IDC_CONFIRM_PASSWORD_EDIT), 260);
        S::click(dialog, IDOK);
    });
    ASSERT_TRUE(change.run([this] { orvox.SendMessage(WM_COMMAND, ID_CHANGE_PASSWORD, 0); }));

    // The whole password is in the configuration file.
    char stored[600] = {};
    GetPrivateProfileStringA(resourceString(IDS_CONFIG_ADMIN_SECTION).c_str(),
                             resourceString(IDS_CONFIG_PASSWORD_KEY).c_str(), "", stored, sizeof stored,
                             config_.path().c_str());
    EXPECT_EQ(std::string(stored), password);

    // Typed at the prompt, now and after the library has been started again.
    const auto prompt = [&](HWND dialog) {
        typeKeys(dialog, IDC_PASSWORD_EDIT, tooLong);
        EXPECT_EQ(textLength(dialog, IDC_PASSWORD_EDIT), 260) << "the 261st character is refused";
        S::click(dialog, IDOK);
    };
    const auto editorOpened = [](HWND dialog) {
        EXPECT_NE(GetDlgItem(dialog, IDC_CATALOG_PAPER_LIST), nullptr) << "the password was refused";
        S::click(dialog, IDCANCEL);
    };
    for (int start = 0; start < 2; ++start) {
        SCOPED_TRACE(start);
        if (start == 1) {
            ASSERT_EQ(orvox.Exit(1), 0);
            ASSERT_EQ(orvox.InitMain(recordingMessageHook, nullptr), 0);
            ASSERT_EQ(createMain(), 0);
        }
        DialogScript editor;
        editor.then(prompt).then(editorOpened);
        ASSERT_TRUE(editor.run([this] { orvox.SendMessage(WM_COMMAND, ID_PAPER_CATALOG_EDITOR, 0); }));
        EXPECT_EQ(timesShown(IDS_WRONG_PASSWORD), 0);
    }
}

} // namespace
} // namespace orvox::test
