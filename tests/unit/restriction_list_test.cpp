// Reading the per-model restriction file and applying a section to a page.
#include <algorithm>
#include <cstdio>
#include <fstream>
#include <map>

#include <gtest/gtest.h>

#include "test_support.h"
#include "ui/portable/resource_names.h"
#include "ui/portable/restriction_list.h"

namespace orvox::ui {
namespace {

platform::MapStrings modelStrings()
{
    return platform::MapStrings({{120, "Model Zero"}, {1029, "Model One"}, {118, "Q"}, {119, "M"},
                                 {159, "MB"}, {347, "T"}, {349, "K"}, {350, "V"},
                                 {286, "5"}, {288, "0"}, {128, "0"}, {129, "1"}});
}

std::string section(const std::string& printer, int entries)
{
    std::string text = "WPrinterID=" + printer + "\n";
    for (int i = 0; i < entries; ++i) text += "WCtrlID=" + std::to_string(1000 + i) + "\nWTabID=2617\n";
    return text;
}

TEST(RestrictionList, ReadsSectionsEntriesAndItemLists)
{
    const std::string text =
        "; comment line\r\n"
        "Model lines are ignored, = or not\r\n"
        "   \r\n"
        "WPrinterID=IDS_PRINTER_SELVO\r\n"
        "State=1\r\n"                              // before any entry: ignored
        "WCtrlID=IDC_COMBO_STAPLE_MODE\r\n"
        "wtabid=IDD_TAB_JOB_SETUP\r\n"
        "TYPE=0\r\n"
        "state=1\r\n"
        "DisabledItems=IDS_Stapler_SaddleStitch, 2 ,IDS_Unknown_Name\r\n"
        "WCtrlID=1095\r\n"
        "wCtrlID=1096\r\n"                          // lower-case w corrects, starts nothing
        "Type=2\r\n"
        "DisabledItems=ALL\r\n"
        "WPrinterID=IDS_PRINTER_OTHER\n"
        "WCtrlID=1020\n"
        "DisabledItems=none\n"
        "WCtrlID=1018\n"
        "DisabledItems=\n"
        "WCtrlID=1017\n"
        "DisabledItems=1,,3,";
    const auto strings = modelStrings();
    RestrictionSet set;
    ASSERT_TRUE(set.parse(text, strings)) << "line " << set.failedLine();
    ASSERT_EQ(set.sections().size(), 2u);

    const auto& zero = set.sections()[0];
    EXPECT_EQ(zero.displayName, "Model Zero");
    ASSERT_EQ(zero.entries.size(), 2u);
    const RestrictionEntry& staple = zero.entries[0];
    // String 1019 is not in this table, so the name resolves to 0.
    EXPECT_EQ(staple.controlId, 0);
    EXPECT_EQ(staple.templateId, 0);
    EXPECT_EQ(staple.state, 1);
    EXPECT_EQ(staple.itemCount, 3);
    EXPECT_EQ(staple.items, (std::vector<int>{5, 2, 0}));
    EXPECT_EQ(zero.entries[1].controlId, 1096);
    EXPECT_EQ(zero.entries[1].kind, kRestrictCheckBox);
    EXPECT_EQ(zero.entries[1].itemCount, -1);
    EXPECT_EQ(zero.entries[1].state, 0);

    const auto& one = set.sections()[1];
    EXPECT_EQ(one.displayName, "Model One");
    ASSERT_EQ(one.entries.size(), 3u);
    EXPECT_EQ(one.entries[0].itemCount, 0);
    EXPECT_EQ(one.entries[1].itemCount, 0);
    EXPECT_EQ(one.entries[2].itemCount, 4);
    EXPECT_EQ(one.entries[2].items, (std::vector<int>{1, 0, 3, 0}));
}

TEST(RestrictionList, NamesResolveThroughTheirStringsOnly)
{
    platform::MapStrings strings = modelStrings();
    EXPECT_EQ(resolveRestrictionValue("1019", strings), 1019);
    EXPECT_EQ(resolveRestrictionValue("IDC_COMBO_STAPLE_MODE", strings), 0);
    strings.set(1019, "1019");
    EXPECT_EQ(resolveRestrictionValue("IDC_COMBO_STAPLE_MODE", strings), 1019);
    strings.set(1019, "staple");
    EXPECT_EQ(resolveRestrictionValue("IDC_COMBO_STAPLE_MODE", strings), 0);
    // A leading zero is no number, so the text is taken as a name.
    EXPECT_EQ(resolveRestrictionValue("0", strings), 0);
    EXPECT_EQ(resolveRestrictionValue("-3", strings), -3);
    EXPECT_EQ(resolveRestrictionValue("99999999999999999999", strings), INT_MAX);

    // Duplicated names give the id of their first row.
    EXPECT_EQ(resourceNameTable().size(), 116u);
    EXPECT_EQ(lookupResourceName("IDC_STATIC_FRONT_COVER_PAPER"), 1047);
    EXPECT_EQ(lookupResourceName("IDC_CHECK_TRIM_EDGES"), 1095);
    EXPECT_EQ(lookupResourceName("IDS_Folding_SaddleFold"), 57647);
    EXPECT_FALSE(lookupResourceName("ids_folding_saddlefold"));
}

TEST(RestrictionList, LimitsAndMalformedLinesFailTheRead)
{
    const auto strings = modelStrings();
    const char* printers[] = {"IDS_PRINTER_QUARN", "IDS_PRINTER_MELLIX", "IDS_PRINTER_SELVO",
                              "IDS_PRINTER_MELLIXB", "IDS_PRINTER_OTHER", "IDS_PRINTER_TORBAY",
                              "IDS_PRINTER_KORLAND", "IDS_PRINTER_VESTRA"};
    std::string eight;
    for (const char* p : printers) eight += section(p, 1);
    RestrictionSet set;
    EXPECT_TRUE(set.parse(eight, strings));
    EXPECT_EQ(set.sections().size(), 8u);
    EXPECT_FALSE(set.parse(eight + section("IDS_PRINTER_SELVO", 0), strings));
    EXPECT_EQ(set.failedLine(), 8 * 3 + 1);
    EXPECT_TRUE(set.sections().empty());

    EXPECT_TRUE(set.parse(section("IDS_PRINTER_SELVO", 100), strings));
    EXPECT_EQ(set.sections()[0].entries.size(), 100u);
    EXPECT_FALSE(set.parse(section("IDS_PRINTER_SELVO", 101), strings));
    EXPECT_EQ(set.failedLine(), 1 + 100 * 2 + 1);

    const std::string good = section("IDS_PRINTER_SELVO", 1);
    const std::map<std::string, std::string> bad{
        {"unknown key", good + "Colour=1\n"},
        {"line without =", good + "State 1\n"},
        {"lower-case printer key", good + "wPrinterID=IDS_PRINTER_SELVO\n"},
        {"unknown printer", "WPrinterID=IDS_PRINTER_NOBODY\n"},
        {"printer without text", "WPrinterID=IDC_COMBO_FOLD_MODE\n"},
        {"entry outside a section", "WCtrlID=1019\n"},
        {"over-long line", good + "DisabledItems=" + std::string(RestrictionSet::kMaxLineLength, '1') + "\n"},
        {"over-long printer name", "WPrinterID=" + std::string(257, 'X') + "\n"},
    };
    for (const auto& [why, text] : bad) {
        EXPECT_FALSE(set.parse(text, strings)) << why;
        EXPECT_GT(set.failedLine(), 0) << why;
    }
    EXPECT_TRUE(set.parse(good + "DisabledItems=" + std::string(256, '1') + "\n", strings));
}

TEST(RestrictionList, OnlyThePrinterNameIsLimitedTo256Characters)
{
    const auto strings = modelStrings();
    // Stapling items by their resource names, blanks after the commas: 279 characters.
    std::string names = "IDS_Stapler_SaddleStitch";
    while (names.size() + 18 <= 279) names += ", IDS_Stapler_None";
    names += std::string(279 - names.size(), ' ');
    ASSERT_EQ(names.size(), 279u);
    const std::string text = section("IDS_PRINTER_SELVO", 1) + "DisabledItems=" + names + "\nState=1\n";
    RestrictionSet set;
    ASSERT_TRUE(set.parse(text, strings)) << "line " << set.failedLine();
    const RestrictionEntry& entry = set.sections()[0].entries[0];
    ASSERT_EQ(entry.itemCount, static_cast<int>(std::count(names.begin(), names.end(), ',')) + 1);
    EXPECT_GT(names.size(), RestrictionSet::kMaxNameLength);
    EXPECT_EQ(entry.items.front(), 5);
    EXPECT_EQ(entry.items[1], 0);
    EXPECT_EQ(entry.state, 1) << "the line after the long one is read too";
}

TEST(RestrictionList, AFileIsReadALineAtATime)
{
    const auto strings = modelStrings();
    const std::string path = testing::TempDir() + "orvox-restrictions.ini";
    const std::string longComment = ";" + std::string(3 * RestrictionSet::kMaxLineLength, 'c');
    const std::string items = "1" + std::string(600, ' ') + ",2," + std::string(RestrictionSet::kMaxLineLength, ' ');
    {
        std::ofstream out(path, std::ios::binary);
        out << longComment << "\r\n" << section("IDS_PRINTER_SELVO", 1) << "DisabledItems=" << items << "\r\n";
        out << "M" << std::string(RestrictionSet::kMaxLineLength, 'x') << "\n" << std::string(9000, ' ') << "\n";
    }
    RestrictionSet set;
    ASSERT_TRUE(set.read(path, strings)) << "line " << set.failedLine();
    ASSERT_EQ(set.sections().size(), 1u);
    EXPECT_EQ(set.sections()[0].entries[0].items, (std::vector<int>{1, 2, 0}))
        << "the line reads as it would without its trailing blanks";

    // A line that goes on with more than blanks past the limit fails the read
    // where it stands, whatever its length.
    {
        std::ofstream out(path, std::ios::binary);
        out << section("IDS_PRINTER_SELVO", 1) << "DisabledItems=";
        for (int i = 0; i < 200000; ++i) out << "1,";
        out << "1\nState=1\n";
    }
    EXPECT_FALSE(set.read(path, strings));
    EXPECT_EQ(set.failedLine(), 4);
    EXPECT_TRUE(set.sections().empty());
    std::remove(path.c_str());
}

TEST(RestrictionList, MissingFileFailsAndTheShippedFileReads)
{
    const auto& strings = test::shippedStrings();
    RestrictionSet set;
    EXPECT_FALSE(set.read("/nonexistent/OrvoxModels.ini", strings));
    EXPECT_EQ(set.failedLine(), 0);

    const std::string name = strings.load(389);
    ASSERT_FALSE(name.empty());
    ASSERT_TRUE(set.read(test::sourceDir() + "/install/" + name, strings)) << "line " << set.failedLine();
    ASSERT_EQ(set.sections().size(), 2u);
    EXPECT_EQ(set.sections()[0].displayName, strings.load(120));
    EXPECT_EQ(set.sections()[1].displayName, strings.load(1029));
    // The second model withdraws choices the first offers, or the file shows no difference.
    std::size_t disabledFirst = 0, disabledSecond = 0;
    for (const auto& e : set.sections()[0].entries) disabledFirst += e.items.size() + (e.state == 0);
    for (const auto& e : set.sections()[1].entries) disabledSecond += e.items.size() + (e.state == 0);
    EXPECT_EQ(disabledFirst, 0u);
    EXPECT_GT(disabledSecond, 3u);
    for (const auto& e : set.sections()[1].entries) EXPECT_NE(e.controlId, 0);
}

// A page of controls that records what the restriction entries do to them.
struct FakeControl {
    bool enabled = true;
    int checked = -1;
    std::vector<bool> items = std::vector<bool>(6, true);
};

class FakePage : public RestrictionTarget {
public:
    std::map<int, FakeControl> controls;
    bool exists = true;

    bool pageExists() const override { return exists; }
    std::unique_ptr<RestrictedControl> findControl(int id) override
    {
        auto it = controls.find(id);
        return it == controls.end() ? nullptr : std::make_unique<Ref>(it->second);
    }

private:
    struct Ref : RestrictedControl {
        explicit Ref(FakeControl& c) : c(c) {}
        void setAllItemsEnabled(bool on) override { c.items.assign(c.items.size(), on); }
        void setItemEnabled(int i, bool on) override
        {
            if (i >= 0 && i < static_cast<int>(c.items.size())) c.items[static_cast<std::size_t>(i)] = on;
        }
        void setChecked(bool on) override { c.checked = on; }
        void setEnabled(bool on) override { c.enabled = on; }
        FakeControl& c;
    };
};

TEST(RestrictionList, ApplyTouchesOnlyTheCurrentModelAndTemplate)
{
    const std::string text =
        "WPrinterID=IDS_PRINTER_OTHER\n"
        "WCtrlID=1019\nWTabID=2617\nType=0\nState=1\nDisabledItems=4,IDS_Stapler_SaddleStitch\n"
        "WCtrlID=1020\nWTabID=2617\nType=0\nState=0\nDisabledItems=All\n"
        "WCtrlID=1095\nWTabID=2617\nType=2\nState=1\nDisabledItems=IDS_Check_On\n"
        "WCtrlID=1094\nWTabID=2617\nType=2\nState=0\nDisabledItems=0\n"
        "WCtrlID=4711\nWTabID=2617\nType=1\nState=0\n"      // on no page: this entry fails
        "WCtrlID=1075\nWTabID=2617\nType=1\nState=0\n"
        "WCtrlID=1005\nWTabID=2611\nType=0\nState=0\nDisabledItems=All\n"
        "WPrinterID=IDS_PRINTER_SELVO\n"
        "WCtrlID=1019\nWTabID=2617\nType=0\nState=1\nDisabledItems=None\n";
    const auto strings = modelStrings();
    RestrictionSet set;
    ASSERT_TRUE(set.parse(text, strings)) << set.failedLine();

    FakePage page;
    for (int id : {1019, 1020, 1095, 1094, 1075, 1005}) page.controls[id];
    page.controls[1019].items[1] = false;  // re-enabled by the list
    RestrictionFlags flags;

    // Unknown or differently-cased model: nothing changes, and that is success.
    EXPECT_TRUE(set.apply(2617, "model one", page, flags));
    EXPECT_FALSE(page.controls[1019].items[1]);

    EXPECT_FALSE(set.apply(2617, "Model One", page, flags));  // 4711 failed, the rest still ran
    EXPECT_EQ(page.controls[1019].items, (std::vector<bool>{true, true, true, true, false, false}));
    EXPECT_TRUE(page.controls[1019].enabled);
    EXPECT_EQ(page.controls[1020].items, std::vector<bool>(6, false));
    EXPECT_FALSE(page.controls[1020].enabled);
    EXPECT_EQ(page.controls[1095].checked, 1);
    EXPECT_EQ(page.controls[1094].checked, -1);  // free-form colour is never forced
    EXPECT_FALSE(page.controls[1094].enabled);
    EXPECT_FALSE(page.controls[1075].enabled);
    EXPECT_TRUE(page.controls[1005].enabled);    // another template's entry
    EXPECT_TRUE(flags.permitted(1019));
    EXPECT_FALSE(flags.permitted(1020));
    EXPECT_TRUE(flags.permitted(1075));          // not a governed control

    // The other model's section re-enables stapling items; a missing page is left alone.
    EXPECT_TRUE(set.apply(2617, "Model Zero", page, flags));
    EXPECT_EQ(page.controls[1019].items, std::vector<bool>(6, true));
    page.exists = false;
    EXPECT_TRUE(set.apply(2617, "Model One", page, flags));
    EXPECT_EQ(page.controls[1019].items, std::vector<bool>(6, true));
}


// The pages couple saddle stitch and saddle fold both ways, and other models
// fold only out of the finisher: a model that offers one without the other,
// or folds without a finisher, offers a choice the pages take away again.
TEST(RestrictionList, ShippedModelsOfferOnlyChoicesThePagesCanKeep)
{
    const auto& strings = test::shippedStrings();
    RestrictionSet set;
    ASSERT_TRUE(set.read(test::sourceDir() + "/install/" + strings.load(389), strings)) << "line " << set.failedLine();
    ASSERT_FALSE(set.sections().empty());
    for (std::size_t model = 0; model < set.sections().size(); ++model) {
        const PrinterRestrictions& section = set.sections()[model];
        FakePage page;
        for (int id : {1017, 1018, 1019, 1020, 1095}) page.controls[id];
        page.controls[1017].items.assign(7, true);
        RestrictionFlags flags;
        flags.permitAll();
        set.apply(2617, section.displayName, page, flags);
        const FakeControl& exit = page.controls[1017];
        const FakeControl& stapling = page.controls[1019];
        const FakeControl& fold = page.controls[1020];
        SCOPED_TRACE(section.displayName);
        const bool saddleStitch = stapling.enabled && stapling.items[5];
        const bool saddleFold = fold.enabled && fold.items[2];
        EXPECT_EQ(saddleStitch, saddleFold) << "saddle stitch and saddle fold come together";
        if (model != 0 && fold.enabled && (fold.items[1] || fold.items[2])) {
            EXPECT_TRUE(exit.enabled && exit.items[1]) << "this model folds only out of the finisher";
        }
        // At least one exit stays, or the exit combo has nothing to show.
        EXPECT_TRUE(std::find(exit.items.begin(), exit.items.end(), true) != exit.items.end());
    }
}
} // namespace
} // namespace orvox::ui
