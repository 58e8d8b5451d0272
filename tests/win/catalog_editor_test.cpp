// The paper catalog editor through the library: opened by the menu command
// behind the administration password, its real controls driven as the
// administrator would, its questions answered by the host's message hook, and
// the results read back from the catalog file, Orvo_GetPaperCatalog and the
// job pages.
#include <map>

#include <cstdlib>

#include "dialog_script.h"
#include "window_shot.h"
#include "resource.h"
#include "ui_host.h"

namespace orvox::test {
namespace {

using Rows = std::vector<std::string>;
using S = DialogScript;

constexpr const char* kCatalog =
    "[PaperSizes]\r\nNumPaperSizes=2\r\nPaperSize0=A4\r\nPaperSize1=A3\r\n"
    "[Colors]\r\nNumColors=3\r\nColor0=White\r\nColor1=Yellow\r\nColor2=Blue\r\n"
    "[Weights]\r\nNumWeights=4\r\nWeight0=80 g/m2\r\nWeight1=90 g/m2\r\nWeight2=120 g/m2\r\nWeight3=250 g/m2\r\n"
    "[MediaTypes]\r\nNumMediaTypes=3\r\nMediaType0=Plain\r\nMediaType1=Recycled\r\nMediaType2=Cover\r\n"
    "[Papers]\r\nCount=6\r\nBodyPaper=2\r\n"
    "PaperDef0=Body Paper,1,White,80 g/m2,Plain,0\r\n"
    "PaperDef1=Plain 80,1,White,80 g/m2,Plain,0\r\n"
    "PaperDef2=Recycled 80,1,White,80 g/m2,Recycled,0\r\n"
    "PaperDef3=Cover 250,1,White,250 g/m2,Cover,1\r\n"
    "PaperDef4=Yellow 80,1,Yellow,80 g/m2,Plain,0\r\n"
    "PaperDef5=A3 Plain,2,White,80 g/m2,Plain,0\r\n";

class CatalogEditorTest : public UiHost {
protected:
    void SetUp() override
    {
        UiHost::SetUp();
        catalog_.write(kCatalog);
        WritePrivateProfileStringA(resourceString(IDS_CONFIG_ADMIN_SECTION).c_str(),
                                   resourceString(IDS_CONFIG_PASSWORD_KEY).c_str(), "Secret",
                                   config_.path().c_str());
        ASSERT_EQ(createMain(), 0);
    }

    // The editor behind the password prompt, with the steps run in it.
    bool runEditor(DialogScript& steps, const std::string& password = "SECRET")
    {
        steps.first([password](HWND prompt) {
            S::type(prompt, IDC_PASSWORD_EDIT, password);
            S::click(prompt, IDOK);
        });
        return steps.run([this] { orvox.SendMessage(WM_COMMAND, ID_PAPER_CATALOG_EDITOR, 0); });
    }

    // The message hook answers questions by their text; everything else is OK.
    static void answer(std::map<unsigned, int> answers)
    {
        hookLog().respond = [answers](const std::string& text, unsigned) {
            for (const auto& [id, reply] : answers)
                if (text == resourceString(id)) return reply;
            return IDOK;
        };
    }
    static int timesAsked(unsigned id)
    {
        int n = 0;
        for (const auto& box : hookLog().boxes) n += box.text == resourceString(id) ? 1 : 0;
        return n;
    }

    std::string catalogText() const
    {
        int size = 0;
        if (orvox.GetSizeOfPaperCatalog(&size) != 0 || size <= 0) return {};
        std::string text(static_cast<std::size_t>(size), '\0');
        orvox.GetPaperCatalog(text.data());
        text.resize(text.size() - 1);
        return text;
    }
    std::string fileBytes() const
    {
        std::ifstream in(catalog_.path(), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    // The page (a child of the tab control) that has a control with this id.

    FileRestorer catalog_{"OrvoxPaper.ini"};
    FileRestorer config_{"Orvox.ini"};
};

TEST_F(CatalogEditorTest, AWrongPasswordIsAskedAgainAndTheEditorOpensOnTheBodyPaper)
{
    DialogScript script;
    script.then([](HWND prompt) {
        S::type(prompt, IDC_PASSWORD_EDIT, "wrong");
        S::click(prompt, IDOK);
    });
    script.then([](HWND prompt) {
        S::type(prompt, IDC_PASSWORD_EDIT, "secret");
        S::click(prompt, IDOK);
    });
    Rows rows;
    std::string name;
    bool editable = false;
    script.then([&](HWND editor) {
        rows = S::listRows(editor, IDC_CATALOG_PAPER_LIST);
        name = S::text(editor, IDC_CATALOG_NAME);
        editable = IsWindowEnabled(GetDlgItem(editor, IDC_CATALOG_MODIFY)) == FALSE &&
                   IsWindowEnabled(GetDlgItem(editor, IDC_CATALOG_DELETE)) == FALSE;
        S::click(editor, IDCANCEL);
    });
    ASSERT_TRUE(script.run([this] { orvox.SendMessage(WM_COMMAND, ID_PAPER_CATALOG_EDITOR, 0); }));
    EXPECT_EQ(timesAsked(IDS_WRONG_PASSWORD), 1);
    // The body-paper slot is never listed.
    EXPECT_EQ(rows, (Rows{"Plain 80", "Recycled 80", "Cover 250", "Yellow 80", "A3 Plain"}));
    EXPECT_EQ(name, "Plain 80");
    // Nothing is pending, and the body paper cannot be deleted.
    EXPECT_TRUE(editable);
}

TEST_F(CatalogEditorTest, TheNameEditTakesNoCommaAndItsArrowsMoveThroughThePapers)
{
    DialogScript steps;
    std::string typed, afterDown, afterUp;
    int rowAfterDown = -1;
    steps.then([&](HWND editor) {
        HWND name = GetDlgItem(editor, IDC_CATALOG_NAME);
        SetFocus(name);
        SendMessageA(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(""));
        for (char c : std::string("A,4"))
            SendMessageA(name, WM_CHAR, static_cast<WPARAM>(static_cast<unsigned char>(c)), 0);
        typed = S::text(editor, IDC_CATALOG_NAME);
        SendMessageA(name, WM_KEYDOWN, VK_DOWN, 0);
        SendMessageA(name, WM_KEYDOWN, VK_DOWN, 0);
        afterDown = S::text(editor, IDC_CATALOG_NAME);
        rowAfterDown = static_cast<int>(SendDlgItemMessageA(editor, IDC_CATALOG_PAPER_LIST, LB_GETCURSEL, 0, 0));
        SendMessageA(name, WM_KEYDOWN, VK_UP, 0);
        afterUp = S::text(editor, IDC_CATALOG_NAME);
        // Past the first row the selection stays.
        SendMessageA(name, WM_KEYDOWN, VK_UP, 0);
        SendMessageA(name, WM_KEYDOWN, VK_UP, 0);
        EXPECT_EQ(SendDlgItemMessageA(editor, IDC_CATALOG_PAPER_LIST, LB_GETCURSEL, 0, 0), 0);
        S::click(editor, IDCANCEL);
    });
    ASSERT_TRUE(runEditor(steps));
    EXPECT_EQ(typed, "A4");
    EXPECT_EQ(afterDown, "Cover 250");
    EXPECT_EQ(rowAfterDown, 2);
    EXPECT_EQ(afterUp, "Recycled 80");
}

TEST_F(CatalogEditorTest, AddingAnExistingNameWithAPendingEditAsksAndYesAppliesTheEdit)
{
    answer({{IDS_CATALOG_APPLY_TO_EXISTING, IDNO}});
    DialogScript steps;
    Rows afterNo;
    steps.then([&](HWND editor) {
        S::chooseRow(editor, IDC_CATALOG_PAPER_LIST, 1);  // Recycled 80
        ASSERT_TRUE(S::chooseText(editor, IDC_CATALOG_COLOR, "Blue"));
        S::type(editor, IDC_CATALOG_NAME, "yellow 80");
        S::click(editor, IDC_CATALOG_ADD);
        afterNo = S::listRows(editor, IDC_CATALOG_PAPER_LIST);
        answer({{IDS_CATALOG_APPLY_TO_EXISTING, IDYES}});
        S::click(editor, IDC_CATALOG_ADD);
        S::click(editor, IDC_CATALOG_OK);
    });
    ASSERT_TRUE(runEditor(steps));
    EXPECT_EQ(timesAsked(IDS_CATALOG_APPLY_TO_EXISTING), 2);
    EXPECT_EQ(afterNo.size(), 5u);
    // The existing paper took the edited attributes; no paper was added.
    const std::string text = catalogText();
    EXPECT_NE(text.find("\nyellow 80,1,Blue,80 g/m2,Recycled,0\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\nRecycled 80,1,White,80 g/m2,Recycled,0\n"), std::string::npos) << text;
    EXPECT_NE(fileBytes().find("PaperDef4=yellow 80,1,Blue,80 g/m2,Recycled,0"), std::string::npos);
}

TEST_F(CatalogEditorTest, RenamingAPaperInUseAsksAndNoKeepsTheOldName)
{
    answer({{IDS_CATALOG_RENAME_USED, IDNO}});
    DialogScript steps;
    Rows rows;
    std::string shown;
    steps.then([&](HWND editor) {
        // The body paper's row is on show.
        S::type(editor, IDC_CATALOG_NAME, "Office 80");
        S::click(editor, IDC_CATALOG_MODIFY);
        rows = S::listRows(editor, IDC_CATALOG_PAPER_LIST);
        shown = S::text(editor, IDC_CATALOG_NAME);
        S::click(editor, IDC_CATALOG_OK);
    });
    ASSERT_TRUE(runEditor(steps));
    EXPECT_EQ(timesAsked(IDS_CATALOG_RENAME_USED), 1);
    EXPECT_EQ(rows.at(0), "Plain 80");
    EXPECT_EQ(shown, "Plain 80");
    EXPECT_EQ(fileBytes(), kCatalog);  // nothing changed, nothing written
}

TEST_F(CatalogEditorTest, AUsedPaperRenamedWithConsentStaysTheJobsPaper)
{
    answer({{IDS_CATALOG_RENAME_USED, IDYES}});
    DialogScript steps;
    steps.then([](HWND editor) {
        S::type(editor, IDC_CATALOG_NAME, "Office 80");
        S::click(editor, IDC_CATALOG_MODIFY);
        S::chooseRow(editor, IDC_CATALOG_PAPER_LIST, 0);
        S::click(editor, IDC_CATALOG_MOVE_DOWN);
        S::click(editor, IDC_CATALOG_OK);
    });
    ASSERT_TRUE(runEditor(steps));
    HWND setup1 = pageWith(IDC_COMBO_BODY_PAPER);
    ASSERT_NE(setup1, nullptr);
    char body[64] = {};
    GetDlgItemTextA(setup1, IDC_COMBO_BODY_PAPER, body, sizeof body);
    EXPECT_STREQ(body, "Office 80");
    EXPECT_NE(fileBytes().find("BodyPaper=3\r\n"), std::string::npos) << fileBytes();
    EXPECT_NE(fileBytes().find("PaperDef2=Office 80,"), std::string::npos);
}

TEST_F(CatalogEditorTest, TheBodyPaperCannotBeDeletedAnUnusedPaperCan)
{
    answer({{IDS_CATALOG_DELETE_QUESTION, IDYES}});
    DialogScript steps;
    Rows rows;
    steps.then([&](HWND editor) {
        // The button is off for the body paper; a click that still arrives is refused.
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(editor, IDC_CATALOG_DELETE)));
        S::click(editor, IDC_CATALOG_DELETE);
        S::chooseRow(editor, IDC_CATALOG_PAPER_LIST, 2);  // Cover 250
        EXPECT_TRUE(IsWindowEnabled(GetDlgItem(editor, IDC_CATALOG_DELETE)));
        S::click(editor, IDC_CATALOG_DELETE);
        rows = S::listRows(editor, IDC_CATALOG_PAPER_LIST);
        S::click(editor, IDC_CATALOG_OK);
    });
    ASSERT_TRUE(runEditor(steps));
    EXPECT_EQ(timesAsked(IDS_CATALOG_BODY_SLOT_DELETE), 1);
    EXPECT_EQ(timesAsked(IDS_CATALOG_PAPER_IN_USE), 0);
    EXPECT_EQ(timesAsked(IDS_CATALOG_DELETE_QUESTION), 1);
    EXPECT_EQ(rows, (Rows{"Plain 80", "Recycled 80", "Yellow 80", "A3 Plain"}));
    EXPECT_EQ(catalogText().find("Cover 250"), std::string::npos);
    EXPECT_EQ(fileBytes().find("Cover 250"), std::string::npos);
}

TEST_F(CatalogEditorTest, ADeletionCountsAsAChangeOfTheEditor)
{
    answer({{IDS_CATALOG_DELETE_QUESTION, IDYES}, {IDS_CATALOG_EDIT_PENDING, IDNO}});
    DialogScript steps;
    bool modifyBefore = true, modifyAfter = false;
    steps.then([&](HWND editor) {
        S::chooseRow(editor, IDC_CATALOG_PAPER_LIST, 3);  // Yellow 80
        modifyBefore = IsWindowEnabled(GetDlgItem(editor, IDC_CATALOG_MODIFY)) != FALSE;
        S::click(editor, IDC_CATALOG_DELETE);
        modifyAfter = IsWindowEnabled(GetDlgItem(editor, IDC_CATALOG_MODIFY)) != FALSE;
        S::click(editor, IDC_CATALOG_OK);
    });
    ASSERT_TRUE(runEditor(steps));
    EXPECT_FALSE(modifyBefore) << "a paper just shown has nothing pending";
    EXPECT_TRUE(modifyAfter) << "the deletion is a change";
    EXPECT_EQ(timesAsked(IDS_CATALOG_EDIT_PENDING), 1) << "OK asks about the change";
    EXPECT_EQ(fileBytes().find("Yellow 80"), std::string::npos) << "No leaves with the deletion written";
}

TEST_F(CatalogEditorTest, AHeavyWeightChecksOneSidedALightOneDoesNot)
{
    DialogScript steps;
    bool after90 = true, after120 = false;
    steps.then([&](HWND editor) {
        S::chooseRow(editor, IDC_CATALOG_PAPER_LIST, 1);
        ASSERT_TRUE(S::chooseText(editor, IDC_CATALOG_WEIGHT, "90 g/m2"));
        after90 = IsDlgButtonChecked(editor, IDC_CATALOG_ONE_SIDED) == BST_CHECKED;
        ASSERT_TRUE(S::chooseText(editor, IDC_CATALOG_WEIGHT, "120 g/m2"));
        after120 = IsDlgButtonChecked(editor, IDC_CATALOG_ONE_SIDED) == BST_CHECKED;
        // A pending edit enables modify.
        EXPECT_TRUE(IsWindowEnabled(GetDlgItem(editor, IDC_CATALOG_MODIFY)));
        S::click(editor, IDCANCEL);
    });
    ASSERT_TRUE(runEditor(steps));
    EXPECT_FALSE(after90);
    EXPECT_TRUE(after120);
}

TEST_F(CatalogEditorTest, OkWithAPendingEditAsksAndYesStaysInTheEditor)
{
    answer({{IDS_CATALOG_EDIT_PENDING, IDYES}});
    DialogScript steps;
    bool stayed = false;
    steps.then([&](HWND editor) {
        S::chooseRow(editor, IDC_CATALOG_PAPER_LIST, 3);
        ASSERT_TRUE(S::chooseText(editor, IDC_CATALOG_TYPE, "Cover"));
        S::click(editor, IDC_CATALOG_OK);
        stayed = IsWindowVisible(editor) != FALSE;
        // No leaves without applying the pending edit.
        answer({{IDS_CATALOG_EDIT_PENDING, IDNO}});
        S::click(editor, IDC_CATALOG_OK);
    });
    ASSERT_TRUE(runEditor(steps));
    EXPECT_TRUE(stayed);
    EXPECT_EQ(timesAsked(IDS_CATALOG_EDIT_PENDING), 2);
    EXPECT_EQ(fileBytes(), kCatalog);
}

TEST_F(CatalogEditorTest, NamesDifferingOnlyInCaseAreRefusedAndNothingIsWritten)
{
    // A hand-edited catalog with a duplicate, loaded by a fresh main window.
    ASSERT_EQ(orvox.Exit(1), 0);
    ASSERT_EQ(orvox.InitMain(recordingMessageHook, nullptr), 0);
    std::string edited = kCatalog;
    edited.replace(edited.find("A3 Plain"), 8, "PLAIN 80");
    catalog_.write(edited);
    ASSERT_EQ(createMain(), 0);

    answer({{IDS_CATALOG_SAVE_QUESTION, IDYES}});
    DialogScript steps;
    steps.then([](HWND editor) {
        S::click(editor, IDC_CATALOG_WRITE);
        // A change makes OK write: refused as well, and the editor stays.
        S::chooseRow(editor, IDC_CATALOG_PAPER_LIST, 1);
        S::click(editor, IDC_CATALOG_MOVE_UP);
        S::click(editor, IDC_CATALOG_OK);
        EXPECT_TRUE(IsWindowVisible(editor));
        S::click(editor, IDCANCEL);
    });
    ASSERT_TRUE(runEditor(steps));
    EXPECT_EQ(timesAsked(IDS_CATALOG_SAVE_QUESTION), 1);
    EXPECT_EQ(timesAsked(IDS_CATALOG_DUPLICATE_NAMES), 2);
    EXPECT_EQ(fileBytes(), edited);
}

TEST_F(CatalogEditorTest, AnAddedPaperReachesTheFileTheHostAndTheJobPages)
{
    DialogScript steps;
    steps.then([](HWND editor) {
        S::type(editor, IDC_CATALOG_NAME, "Gloss, 120");
        ASSERT_TRUE(S::chooseText(editor, IDC_CATALOG_WEIGHT, "120 g/m2"));
        S::click(editor, IDC_CATALOG_ADD);
        S::click(editor, IDC_CATALOG_OK);
    });
    ASSERT_TRUE(runEditor(steps));
    // The comma never got into the name; the heavy paper is one-sided.
    EXPECT_NE(fileBytes().find("PaperDef6=Gloss 120,1,White,120 g/m2,Plain,1\r\n"), std::string::npos) << fileBytes();
    EXPECT_NE(fileBytes().find("Count=7\r\n"), std::string::npos);
    EXPECT_NE(catalogText().find("\nGloss 120,1,White,120 g/m2,Plain,1\n"), std::string::npos);
    HWND setup1 = pageWith(IDC_COMBO_BODY_PAPER);
    HWND setup2 = pageWith(IDC_COMBO_HEADER_PAPER);
    ASSERT_TRUE(setup1 && setup2);
    EXPECT_EQ(S::comboItems(setup1, IDC_COMBO_BODY_PAPER).back(), "Gloss 120");
    EXPECT_EQ(S::comboItems(setup2, IDC_COMBO_HEADER_PAPER).back(), "Gloss 120");
}

TEST_F(CatalogEditorTest, ASettingsFileSavedBeforeFindsItsPapersByName)
{
    HWND setup1 = pageWith(IDC_COMBO_BODY_PAPER);
    ASSERT_NE(setup1, nullptr);
    pressCtrl('3');
    HWND combo = GetDlgItem(setup1, IDC_COMBO_BODY_PAPER);
    SendMessageA(combo, CB_SETCURSEL, 3, 0);  // Yellow 80
    SendMessageA(setup1, WM_COMMAND, MAKEWPARAM(IDC_COMBO_BODY_PAPER, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
    const std::string saved = programFolder() + "catalog-editor-test.ovx";
    ASSERT_EQ(orvox.SaveSettings(saved.c_str()), 0);

    answer({{IDS_CATALOG_DELETE_QUESTION, IDYES}});
    DialogScript steps;
    steps.then([](HWND editor) {
        S::chooseRow(editor, IDC_CATALOG_PAPER_LIST, 1);  // Recycled 80 goes
        S::click(editor, IDC_CATALOG_DELETE);
        S::chooseRow(editor, IDC_CATALOG_PAPER_LIST, 2);  // Yellow 80 moves up one
        S::click(editor, IDC_CATALOG_MOVE_UP);
        S::click(editor, IDC_CATALOG_OK);
    });
    ASSERT_TRUE(runEditor(steps));
    char body[64] = {};
    GetDlgItemTextA(setup1, IDC_COMBO_BODY_PAPER, body, sizeof body);
    EXPECT_STREQ(body, "Yellow 80");

    ASSERT_EQ(orvox.NewSettings(), 0);
    GetDlgItemTextA(setup1, IDC_COMBO_BODY_PAPER, body, sizeof body);
    EXPECT_STREQ(body, "Plain 80");
    // The file names the paper; its place in the catalog is not the one saved.
    ASSERT_EQ(orvox.OpenSettings(saved.c_str()), 0);
    GetDlgItemTextA(setup1, IDC_COMBO_BODY_PAPER, body, sizeof body);
    EXPECT_STREQ(body, "Yellow 80");
    DeleteFileA(saved.c_str());
}

TEST_F(CatalogEditorTest, CancelDiscardsEveryChange)
{
    answer({{IDS_CATALOG_DELETE_QUESTION, IDYES}});
    const std::string before = catalogText();
    DialogScript steps;
    steps.then([](HWND editor) {
        S::chooseRow(editor, IDC_CATALOG_PAPER_LIST, 4);
        S::click(editor, IDC_CATALOG_DELETE);
        S::type(editor, IDC_CATALOG_NAME, "New paper");
        S::click(editor, IDC_CATALOG_ADD);
        S::click(editor, IDCANCEL);
    });
    ASSERT_TRUE(runEditor(steps));
    EXPECT_EQ(catalogText(), before);
    EXPECT_EQ(fileBytes(), kCatalog);
}

TEST_F(CatalogEditorTest, TheNameListEditorChangesTheColoursOffered)
{
    DialogScript steps;
    Rows offered;
    std::string title;
    steps.then([](HWND editor) { S::click(editor, IDC_CATALOG_EDIT_COLORS); });
    steps.then([&](HWND list) {
        char caption[64] = {};
        GetWindowTextA(list, caption, sizeof caption);
        title = caption;
        S::type(list, IDC_NAME_LIST_TEXT, "Sky, light");
        S::click(list, IDC_NAME_LIST_ADD);  // refused: a comma
        S::type(list, IDC_NAME_LIST_TEXT, "Sky");
        S::click(list, IDC_NAME_LIST_ADD);
        S::chooseRow(list, IDC_NAME_LIST, 1);  // Yellow
        S::click(list, IDC_NAME_LIST_DELETE);
        S::click(list, IDOK);
    });
    steps.then([&](HWND editor) {
        offered = S::comboItems(editor, IDC_CATALOG_COLOR);
        S::click(editor, IDC_CATALOG_OK);
    });
    ASSERT_TRUE(runEditor(steps));
    EXPECT_EQ(title, resourceString(IDS_NAME_LIST_TITLE_COLORS));
    EXPECT_EQ(timesAsked(IDS_NAME_LIST_COMMA), 1);
    // The yellow paper keeps its colour, though the list no longer offers it.
    EXPECT_EQ(offered, (Rows{"White", "Blue", "Sky"}));
    const std::string bytes = fileBytes();
    EXPECT_NE(bytes.find("[Colors]\r\nNumColors=3\r\nColor0=White\r\nColor1=Blue\r\nColor2=Sky\r\n"),
              std::string::npos)
        << bytes;
    EXPECT_NE(bytes.find("PaperDef4=Yellow 80,1,Yellow,"), std::string::npos);
}

TEST_F(CatalogEditorTest, AReadOnlyCatalogFileStaysWholeAndTheEditStillApplies)
{
    SetFileAttributesA(catalog_.path().c_str(), FILE_ATTRIBUTE_READONLY);
    DialogScript steps;
    steps.then([](HWND editor) {
        S::type(editor, IDC_CATALOG_NAME, "Bond 90");
        S::click(editor, IDC_CATALOG_ADD);
        S::click(editor, IDC_CATALOG_OK);
    });
    const bool ran = runEditor(steps);
    SetFileAttributesA(catalog_.path().c_str(), FILE_ATTRIBUTE_NORMAL);
    ASSERT_TRUE(ran);
    EXPECT_EQ(timesAsked(IDS_CATALOG_WRITE_FAILED), 0);  // the text has the file name after it
    bool told = false;
    for (const auto& box : hookLog().boxes) told |= box.text.rfind(resourceString(IDS_CATALOG_WRITE_FAILED), 0) == 0;
    EXPECT_TRUE(told);
    EXPECT_EQ(fileBytes(), kCatalog);
    EXPECT_FALSE(std::ifstream(catalog_.path() + ".new").good());
    EXPECT_NE(catalogText().find("\nBond 90,"), std::string::npos);
}

// With ORVOX_PICTURES naming a folder, pictures of both editors are left there
// for a person to look at.
TEST_F(CatalogEditorTest, PicturesOfTheEditors)
{
    const char* folder = std::getenv("ORVOX_PICTURES");
    if (!folder || !*folder) GTEST_SKIP() << "ORVOX_PICTURES is not set";
    const std::string editorPicture = std::string(folder) + "\\catalog-editor.bmp";
    const std::string listPicture = std::string(folder) + "\\name-list-editor.bmp";
    auto shoot = [](HWND dialog, const std::string& path) {
        RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        EXPECT_TRUE(saveWindowBitmap(dialog, path.c_str())) << path;
    };
    DialogScript steps;
    steps.then([](HWND editor) {
        S::chooseRow(editor, IDC_CATALOG_PAPER_LIST, 2);
        S::click(editor, IDC_CATALOG_EDIT_WEIGHTS);
    });
    steps.then([&](HWND list) {
        shoot(list, listPicture);
        S::click(list, IDCANCEL);
    });
    steps.then([&](HWND editor) {
        shoot(editor, editorPicture);
        S::click(editor, IDCANCEL);
    });
    ASSERT_TRUE(runEditor(steps));
}

} // namespace
} // namespace orvox::test
