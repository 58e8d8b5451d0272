// The paper substitutions page through the library: rows added, modified,
// moved and deleted with the page's own controls, the document read back from a
// saved settings file, the leaving question and the print refusal while typing
// is pending.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "ui_host.h"
#include "window_shot.h"

namespace orvox::test {
namespace {

constexpr int kPaper = 1036, kPages = 1031, kList = 1009, kAdd = 1006, kModify = 1137, kDelete = 1007,
              kUp = 1126, kDown = 1127, kBodyPaper = 1033, kSides = 1052, kSize = 1048;
constexpr unsigned kStayQuestion = 1155, kBadPageList = 406;

struct SavedSubstitution {
    std::string pages;
    int paperIndex;
    int kind;
};

class PaperSubstitutionsPageTest : public UiHost {
protected:
    void SetUp() override
    {
        UiHost::SetUp();
        ASSERT_EQ(createMain(), 0);
        hookLog().boxes.clear();
    }

    HWND page()
    {
        pressCtrl('6');
        for (HWND child = GetWindow(tabControl(), GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
            if (GetDlgItem(child, kList)) return child;
        return nullptr;
    }
    // Substitutions as a host would describe them: page list and paper number.
    void importRows(std::initializer_list<std::pair<const char*, int>> rows)
    {
        std::string xml = "<PRINTER_SETTINGS><PAPER_SUBSTITUTIONS>";
        for (const auto& [pages, paper] : rows)
            xml += "<PAPER_SUBSTITUTION_ITEM><PAGE_RANGE>" + std::string(pages) + "</PAGE_RANGE><PAPER>" +
                   std::to_string(paper) + "</PAPER></PAPER_SUBSTITUTION_ITEM>";
        xml += "</PAPER_SUBSTITUTIONS></PRINTER_SETTINGS>";
        int line = 0;
        ASSERT_EQ(orvox.OpenXMLSettings(xml.c_str(), &line), 0) << line;
    }

    static void click(HWND page, int id)
    {
        SendMessageA(page, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(page, id)));
    }
    static void choosePaper(HWND page, int item)
    {
        HWND combo = GetDlgItem(page, kPaper);
        SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(item), 0);
        SendMessageA(page, WM_COMMAND, MAKEWPARAM(kPaper, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
    }
    static void selectRow(HWND page, int row)
    {
        HWND list = GetDlgItem(page, kList);
        SendMessageA(list, LB_SETCURSEL, static_cast<WPARAM>(row), 0);
        SendMessageA(page, WM_COMMAND, MAKEWPARAM(kList, LBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
    }
    // Typing: the edit tells its page before and after the change.
    static void type(HWND page, const char* text) { SetDlgItemTextA(page, kPages, text); }
    static std::string text(HWND page, int id)
    {
        char buffer[300] = {};
        GetDlgItemTextA(page, id, buffer, sizeof(buffer));
        return buffer;
    }
    static int rowCount(HWND page) { return static_cast<int>(SendDlgItemMessageA(page, kList, LB_GETCOUNT, 0, 0)); }
    static int selectedRow(HWND page)
    {
        return static_cast<int>(SendDlgItemMessageA(page, kList, LB_GETCURSEL, 0, 0));
    }
    static std::string row(HWND page, int index)
    {
        char buffer[600] = {};
        SendDlgItemMessageA(page, kList, LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(buffer));
        return buffer;
    }
    static std::string paperName(HWND page, int item)
    {
        char buffer[300] = {};
        SendDlgItemMessageA(page, kPaper, CB_GETLBTEXT, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(buffer));
        return buffer;
    }

    // With ORVOX_PAGE_SHOT naming a .bmp file, the job-setup window as the test
    // left it is saved there, to be looked at.
    void savePicture()
    {
        const char* path = std::getenv("ORVOX_PAGE_SHOT");
        if (!path || !*path) return;
        ShowWindow(host, SW_SHOW);
        orvox.ShowMain(SW_SHOW, 0, 0);
        RedrawWindow(host, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        EXPECT_TRUE(saveWindowBitmap(host, path));
    }

    int questionsAsked() const
    {
        int asked = 0;
        for (const auto& box : hookLog().boxes)
            if (box.text == resourceString(kStayQuestion)) ++asked;
        return asked;
    }

    std::string savedFile()
    {
        const auto file =
            std::filesystem::temp_directory_path() / ("orvox-subst-" + std::to_string(GetCurrentProcessId()));
        EXPECT_EQ(orvox.SaveSettings(file.string().c_str()), 0);
        std::ifstream in(file, std::ios::binary);
        std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        in.close();
        std::filesystem::remove(file);
        return bytes;
    }
    static std::size_t substitutionCountOffset() { return resourceString(1088).size() + 4 + 7240 + 1536; }
    static int read16(const std::string& bytes, std::size_t at)
    {
        return static_cast<std::int16_t>(static_cast<unsigned char>(bytes[at]) |
                                         static_cast<unsigned char>(bytes[at + 1]) << 8);
    }
    // The document's list, as a settings file saved now carries it.
    std::vector<SavedSubstitution> savedSubstitutions()
    {
        const std::string bytes = savedFile();
        std::vector<SavedSubstitution> list;
        const std::size_t at = substitutionCountOffset();
        if (bytes.size() < at + 2) return list;
        const int count = read16(bytes, at);
        for (int i = 0; i < count; ++i) {
            const std::size_t record = at + 2 + static_cast<std::size_t>(i) * 516;
            if (bytes.size() < record + 516) break;
            list.push_back({std::string(bytes.c_str() + record + 256), read16(bytes, record + 512),
                            read16(bytes, record + 514)});
        }
        return list;
    }
};

TEST_F(PaperSubstitutionsPageTest, AnEmptyListShowsTheBlankRowAndTypingOffersAdd)
{
    HWND p = page();
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(currentCaption(), resourceString(437));
    ASSERT_EQ(rowCount(p), 1);
    EXPECT_EQ(row(p, 0), " ");
    EXPECT_EQ(selectedRow(p), 0);
    for (int id : {kAdd, kModify, kDelete, kUp, kDown}) EXPECT_FALSE(enabled(p, id)) << id;
    EXPECT_FALSE(text(p, kBodyPaper).empty()) << "the body paper is named";

    type(p, "1,3");
    EXPECT_TRUE(enabled(p, kAdd));
    EXPECT_TRUE(enabled(p, kModify)) << "modify on the blank row adds";
    for (int id : {kDelete, kUp, kDown}) EXPECT_FALSE(enabled(p, id)) << id;

    // A character no page list has is taken back; the list typed so far stays.
    type(p, "1,3x");
    EXPECT_EQ(text(p, kPages), "1,3");
    type(p, "1,3 ^5 7^");
    EXPECT_EQ(text(p, kPages), "1,3 ^5 7^") << "carets are typed on this page";
    type(p, "");
    EXPECT_FALSE(enabled(p, kAdd));
    EXPECT_FALSE(enabled(p, kModify));
}

TEST_F(PaperSubstitutionsPageTest, AddModifyMoveAndDeleteKeepTheListAndTheDocumentRowForRow)
{
    HWND p = page();
    ASSERT_NE(p, nullptr);
    const std::string kind0 = resourceString(166);

    choosePaper(p, 2);
    type(p, "2..4");
    click(p, kAdd);
    ASSERT_EQ(rowCount(p), 2);
    EXPECT_EQ(row(p, 0), paperName(p, 2) + "\t2..4\t" + kind0);
    EXPECT_EQ(row(p, 1), " ") << "a new blank row follows";
    EXPECT_EQ(selectedRow(p), 0);
    EXPECT_FALSE(enabled(p, kModify)) << "nothing pending after adding";
    EXPECT_TRUE(enabled(p, kDelete));

    // Modify on the blank row adds.
    selectRow(p, 1);
    EXPECT_EQ(text(p, kPages), "");
    choosePaper(p, 3);
    type(p, "7");
    click(p, kModify);
    ASSERT_EQ(rowCount(p), 3);
    EXPECT_EQ(row(p, 1), paperName(p, 3) + "\t7\t" + kind0);

    auto saved = savedSubstitutions();
    ASSERT_EQ(saved.size(), 2u);
    EXPECT_EQ(saved[0].pages, "2..4");
    EXPECT_EQ(saved[0].paperIndex, 3) << "combo item + 1";
    EXPECT_EQ(saved[0].kind, 0);
    EXPECT_EQ(saved[1].pages, "7");
    EXPECT_EQ(saved[1].paperIndex, 4);

    // Selecting a row shows it in the edit area; modify rewrites it in place.
    selectRow(p, 0);
    EXPECT_EQ(text(p, kPages), "2..4");
    EXPECT_EQ(static_cast<int>(SendDlgItemMessageA(p, kPaper, CB_GETCURSEL, 0, 0)), 2);
    EXPECT_FALSE(enabled(p, kUp)) << "the first row cannot move up";
    EXPECT_TRUE(enabled(p, kDown));
    type(p, "5 9");
    click(p, kModify);
    EXPECT_EQ(rowCount(p), 3);
    EXPECT_EQ(row(p, 0), paperName(p, 2) + "\t5 9\t" + kind0);
    EXPECT_EQ(selectedRow(p), 0);

    click(p, kDown);
    EXPECT_EQ(row(p, 0), paperName(p, 3) + "\t7\t" + kind0);
    EXPECT_EQ(row(p, 1), paperName(p, 2) + "\t5 9\t" + kind0);
    EXPECT_EQ(selectedRow(p), 1) << "the moved row stays selected";
    EXPECT_FALSE(enabled(p, kDown)) << "the blank row stays last";
    click(p, kDown);
    EXPECT_EQ(row(p, 2), " ");
    saved = savedSubstitutions();
    ASSERT_EQ(saved.size(), 2u);
    EXPECT_EQ(saved[0].pages, "7");
    EXPECT_EQ(saved[1].pages, "5 9");

    click(p, kUp);
    EXPECT_EQ(row(p, 0), paperName(p, 2) + "\t5 9\t" + kind0);
    EXPECT_EQ(selectedRow(p), 0);
    savePicture();

    click(p, kDelete);
    ASSERT_EQ(rowCount(p), 2);
    EXPECT_EQ(row(p, 0), paperName(p, 3) + "\t7\t" + kind0);
    saved = savedSubstitutions();
    ASSERT_EQ(saved.size(), 1u);
    EXPECT_EQ(saved[0].pages, "7");

    // The blank row cannot be deleted.
    selectRow(p, 1);
    EXPECT_FALSE(enabled(p, kDelete));
    click(p, kDelete);
    EXPECT_EQ(savedSubstitutions().size(), 1u);
    EXPECT_EQ(questionsAsked(), 0) << "nothing was pending";
}

TEST_F(PaperSubstitutionsPageTest, APageListThatFailsTheCheckIsRefusedWithItsTextAndNothingIsStored)
{
    importRows({{"4", 1}});
    HWND p = page();
    ASSERT_NE(p, nullptr);
    selectRow(p, 1);
    for (const char* bad : {"0", "^0", "3..0", "2..3.."}) {
        hookLog().boxes.clear();
        type(p, bad);
        ASSERT_EQ(text(p, kPages), bad);
        click(p, kAdd);
        ASSERT_EQ(hookLog().boxes.size(), 1u) << bad;
        EXPECT_EQ(hookLog().boxes[0].text, resourceString(kBadPageList) + "\"" + bad + "\"");
        EXPECT_EQ(hookLog().boxes[0].type & MB_ICONMASK, static_cast<unsigned>(MB_ICONHAND));
        EXPECT_EQ(rowCount(p), 2);
    }
    // Six digits in a row are no page number: the typing filter takes them back at once.
    type(p, "123456");
    EXPECT_EQ(text(p, kPages), "2..3..");

    // Modify of a stored row refuses the same way and leaves the row as it was.
    selectRow(p, 0);
    const std::string before = row(p, 0);
    hookLog().boxes.clear();
    type(p, "0");
    click(p, kModify);
    ASSERT_EQ(hookLog().boxes.size(), 1u);
    EXPECT_EQ(hookLog().boxes[0].text, resourceString(kBadPageList) + "\"0\"");
    EXPECT_EQ(row(p, 0), before);
    const auto saved = savedSubstitutions();
    ASSERT_EQ(saved.size(), 1u);
    EXPECT_EQ(saved[0].pages, "4");
}

TEST_F(PaperSubstitutionsPageTest, PendingTypingRefusesPrintingAndAsksBeforeTheTabIsLeft)
{
    HWND p = page();
    ASSERT_NE(p, nullptr);
    type(p, "3");
    EXPECT_EQ(orvox.Print(), 21);
    EXPECT_TRUE(hookLog().boxes.empty()) << "the refusal is the result code";

    // Yes: the operator stays with the typing.
    hookLog().answer = IDYES;
    pressCtrl('3');
    EXPECT_EQ(questionsAsked(), 1);
    EXPECT_EQ(currentCaption(), resourceString(437));
    EXPECT_EQ(text(p, kPages), "3");
    EXPECT_EQ(orvox.Print(), 21);

    // No: the typing is given up and the tab changes.
    hookLog().answer = IDNO;
    pressCtrl('3');
    EXPECT_EQ(questionsAsked(), 2);
    EXPECT_EQ(currentCaption(), resourceString(435));
    EXPECT_EQ(text(p, kPages), "");
    EXPECT_NE(orvox.Print(), 21);

    // Nothing pending: leaving asks nothing.
    p = page();
    hookLog().boxes.clear();
    pressCtrl('3');
    EXPECT_EQ(questionsAsked(), 0);
    EXPECT_EQ(currentCaption(), resourceString(435));
}

TEST_F(PaperSubstitutionsPageTest, RowSelectionAndDeleteAskFirstWhileTypingIsPending)
{
    importRows({{"2", 1}, {"5..6", 2}});
    HWND p = page();
    ASSERT_NE(p, nullptr);
    ASSERT_EQ(rowCount(p), 3);
    EXPECT_EQ(selectedRow(p), 1) << "the last real row is selected";

    selectRow(p, 0);
    type(p, "2 8");
    hookLog().answer = IDYES;
    selectRow(p, 1);
    EXPECT_EQ(questionsAsked(), 1);
    EXPECT_EQ(selectedRow(p), 0) << "staying keeps the row being edited";
    EXPECT_EQ(text(p, kPages), "2 8");
    click(p, kDelete);
    EXPECT_EQ(questionsAsked(), 2);
    EXPECT_EQ(rowCount(p), 3) << "staying cancels the delete";

    hookLog().answer = IDNO;
    selectRow(p, 1);
    EXPECT_EQ(questionsAsked(), 3);
    EXPECT_EQ(text(p, kPages), "5..6") << "the typing is replaced by the chosen row";
    EXPECT_NE(orvox.Print(), 21);

    // Choosing another paper is an edit as well.
    choosePaper(p, 3);
    EXPECT_EQ(orvox.Print(), 21);
    click(p, kDelete);
    EXPECT_EQ(questionsAsked(), 4);
    EXPECT_EQ(rowCount(p), 2) << "answering no lets the delete go on";
    EXPECT_EQ(savedSubstitutions().size(), 1u);
}

TEST_F(PaperSubstitutionsPageTest, AttributesOfTheChosenPaperAreShownWithTheOneSidedText)
{
    HWND p = page();
    ASSERT_NE(p, nullptr);
    const int papers = static_cast<int>(SendDlgItemMessageA(p, kPaper, CB_GETCOUNT, 0, 0));
    ASSERT_GT(papers, 2);
    bool sawOneSided = false, sawTwoSided = false;
    for (int item = 1; item < papers; ++item) {
        choosePaper(p, item);
        const std::string sides = text(p, kSides);
        EXPECT_NE(sides, resourceString(418)) << "the catalog's one-sided text is never shown as it is";
        sawOneSided = sawOneSided || sides == resourceString(419);
        sawTwoSided = sawTwoSided || sides == resourceString(362);
        EXPECT_FALSE(text(p, kSize).empty()) << paperName(p, item);
    }
    EXPECT_TRUE(sawTwoSided);
    EXPECT_TRUE(sawOneSided) << "the shipped catalog has a one-sided paper";
}

// A record of another kind than 0 comes only from a settings file.
TEST_F(PaperSubstitutionsPageTest, AnEntrysKindDecidesWhatOfItCanBeEdited)
{
    importRows({{"2", 3}, {"4", 3}, {"6", 3}});
    std::string bytes = savedFile();
    const std::size_t first = substitutionCountOffset() + 2;
    ASSERT_GE(bytes.size(), first + 3 * 516);
    bytes[first + 514] = 10;        // pages on the body paper
    bytes[first + 516 + 514] = 5;   // a kind whose pages are fixed
    const auto file =
        std::filesystem::temp_directory_path() / ("orvox-kinds-" + std::to_string(GetCurrentProcessId()));
    std::ofstream(file, std::ios::binary) << bytes;
    ASSERT_EQ(orvox.OpenSettings(file.string().c_str()), 0);
    std::filesystem::remove(file);

    HWND p = page();
    ASSERT_NE(p, nullptr);
    ASSERT_EQ(rowCount(p), 4);
    EXPECT_EQ(row(p, 0).substr(row(p, 0).rfind('\t') + 1), resourceString(176));
    EXPECT_EQ(row(p, 1).substr(row(p, 1).rfind('\t') + 1), resourceString(171));

    selectRow(p, 1);
    EXPECT_FALSE(enabled(p, kPages));
    EXPECT_TRUE(enabled(p, kPaper));
    selectRow(p, 2);
    EXPECT_TRUE(enabled(p, kPages));

    selectRow(p, 0);
    EXPECT_FALSE(enabled(p, kPaper)) << "the paper of this kind is the body paper";
    EXPECT_EQ(static_cast<int>(SendDlgItemMessageA(p, kPaper, CB_GETCURSEL, 0, 0)), 0);
    EXPECT_TRUE(enabled(p, kPages));
    EXPECT_EQ(text(p, kSize), "");
    type(p, "8");
    click(p, kModify);
    EXPECT_FALSE(enabled(p, kPaper));
    EXPECT_EQ(text(p, kSize), "");
    auto saved = savedSubstitutions();
    ASSERT_EQ(saved.size(), 3u);
    EXPECT_EQ(saved[0].pages, "8");
    EXPECT_EQ(saved[0].paperIndex, 1);
    EXPECT_EQ(saved[0].kind, 10) << "the kind stays";

    // The blank row takes any paper and pages again.
    selectRow(p, 3);
    EXPECT_TRUE(enabled(p, kPaper));
    EXPECT_TRUE(enabled(p, kPages));
}

class PaperSubstitutionsRestrictionTest : public PaperSubstitutionsPageTest {
protected:
    void SetUp() override
    {
        models_.write("WPrinterID=IDS_PRINTER_OTHER\n"
                      "WCtrlID=1126\nWTabID=103\nType=1\nState=0\n"
                      "WCtrlID=1127\nWTabID=103\nType=1\nState=0\n");
        PaperSubstitutionsPageTest::SetUp();
    }
    void useModel(const char* keyword)
    {
        int line = 0;
        const std::string xml =
            std::string("<PRINTER_SETTINGS><PRINTER_MODEL>") + keyword + "</PRINTER_MODEL></PRINTER_SETTINGS>";
        ASSERT_EQ(orvox.OpenXMLSettings(xml.c_str(), &line), 0) << line;
    }
    FileRestorer models_{"OrvoxModels.ini"};
};

TEST_F(PaperSubstitutionsRestrictionTest, AModelWithoutReorderingKeepsTheMoveButtonsOff)
{
    importRows({{"2", 1}, {"4", 2}, {"6", 3}});
    useModel("ID_PRINTERMODEL_OTHER");
    HWND p = page();
    ASSERT_NE(p, nullptr);
    selectRow(p, 1);
    EXPECT_FALSE(enabled(p, kUp));
    EXPECT_FALSE(enabled(p, kDown));
    EXPECT_TRUE(enabled(p, kDelete)) << "the model names only the move buttons";
    click(p, kUp);
    EXPECT_EQ(savedSubstitutions()[0].pages, "2") << "nothing moved";

    pressCtrl('1');
    useModel("ID_PRINTERMODEL_SELVO");
    p = page();
    selectRow(p, 1);
    EXPECT_TRUE(enabled(p, kUp));
    EXPECT_TRUE(enabled(p, kDown));
}

} // namespace
} // namespace orvox::test
