// The print run's questions about colours and papers before anything is sent:
// when they are asked, what Cancel and OK do, and the document's paper count
// behind the paper question.
#include <fstream>
#include <optional>
#include <string>

#include <gtest/gtest.h>

#include "document_fixture.h"
#include "platform/posix/folder_files.h"
#include "platform/posix/memory_spooler.h"
#include "print/print_run.h"

namespace orvox {
namespace {

class ColourPages : public platform::PrintPages {
public:
    std::optional<int> printerRowCount() const override { return 1; }
    std::string selectedPrinterDevice() const override { return "Queue"; }
    std::optional<std::vector<std::string>> filesToPrint() const override { return files; }
    bool commitJobSetup2() override { return true; }
    bool commitAndValidateJobSetup() override { return true; }
    std::optional<int> coloursInUse() const override { return colours; }

    std::optional<std::vector<std::string>> files;
    std::optional<int> colours = 0;
};

class QuietStatus : public platform::StatusDisplay {
public:
    void setStatusText(const std::string&) override {}
};

class PrintRunChecksTest : public test::DocumentTest {
protected:
    PrintRunChecksTest() : test::DocumentTest(8)
    {
        spooler.addQueue("Queue");
        doc().setUiState(&ui);
        const std::string ps = work.file("job.ps");
        std::ofstream(ps, std::ios::binary) << "%!PS\nshowpage\n";
        pages.files = {{ps}};
    }

    int print()
    {
        messages.shown.clear();
        PrintRun run(doc(), {runServices, spooler, pages, status, branding, nullptr, printing, "OrvoxTest",
                             work.file("host.ini"), {}});
        return run.request();
    }
    // A model-1 job with free-form colour mapped on the colour tab.
    void colourJob()
    {
        doc().setPrinterModel(1);
        doc().setModifyPrintFile(0);
        doc().setFreeformColor(1);
    }
    bool asked(unsigned id) const { return messages.anyContains(test::shippedStrings().load(id)); }

    test::ScratchDir temp;
    test::ScratchDir work;
    platform::FolderFileSystem runFiles{temp.folder()};
    platform::Services runServices{test::shippedStrings(), profile, messages, runFiles};
    platform::MemorySpooler spooler;
    ColourPages pages;
    QuietStatus status;
    Branding branding;
    bool printing = false;
};

TEST_F(PrintRunChecksTest, MoreThanThreeColoursAreQuestionedAndCancelRefuses)
{
    colourJob();
    pages.colours = 3;
    EXPECT_EQ(print(), kRunOk);
    EXPECT_FALSE(asked(IDS_RUN_TOO_MANY_COLOURS)) << "three colours need no question";

    pages.colours = 4;
    messages.answer = platform::kIdCancel;
    EXPECT_EQ(print(), kRunRefused);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, test::shippedStrings().load(IDS_RUN_TOO_MANY_COLOURS));
    EXPECT_EQ(messages.shown[0].type, platform::kMbOkCancel);
    EXPECT_EQ(spooler.documents.size(), 1u) << "only the first request was sent";

    messages.answer = platform::kIdOk;
    EXPECT_EQ(print(), kRunOk);
    EXPECT_TRUE(asked(IDS_RUN_TOO_MANY_COLOURS));
    EXPECT_EQ(spooler.documents.size(), 2u);
}

TEST_F(PrintRunChecksTest, ColourQuestionOnlyWhereTheColourTabCounts)
{
    colourJob();
    pages.colours = 4;
    messages.answer = platform::kIdCancel;

    ui.tabs[platform::kTabColourMapping] = false;
    EXPECT_EQ(print(), kRunOk) << "no colour tab, no colour question";
    ui.tabs[platform::kTabColourMapping] = true;
    doc().setFreeformColor(0);
    EXPECT_EQ(print(), kRunOk);
    doc().setFreeformColor(1);
    doc().setModifyPrintFile(1);
    EXPECT_EQ(print(), kRunOk) << "custom commands only: the colour mapping is not written";
    doc().setModifyPrintFile(0);
    EXPECT_EQ(print(), kRunRefused);

    // Without a colour page the mapping cannot be known: refused with its own message.
    pages.colours = std::nullopt;
    EXPECT_EQ(print(), kRunRefused);
    EXPECT_TRUE(asked(IDS_RUN_NO_COLOUR_PAGE));
}

TEST_F(PrintRunChecksTest, FivePapersOnModel1AreQuestionedAndCancelRefuses)
{
    doc().setPrinterModel(1);
    for (int paper : {3, 4, 5}) ASSERT_TRUE(doc().addSubstitution(paper, 0, std::to_string(paper)));
    EXPECT_EQ(print(), kRunOk) << "four papers with the body";
    EXPECT_FALSE(asked(IDS_RUN_PAPER_PROBLEM));

    ASSERT_TRUE(doc().addSubstitution(6, 0, "9"));
    messages.answer = platform::kIdCancel;
    EXPECT_EQ(print(), kRunRefused);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, test::shippedStrings().load(IDS_RUN_PAPER_PROBLEM));
    EXPECT_EQ(messages.shown[0].type, platform::kMbOkCancel | platform::kMbIconQuestion);

    messages.answer = platform::kIdOk;
    EXPECT_EQ(print(), kRunOk);
    EXPECT_EQ(spooler.documents.size(), 2u);

    // Model 0 feeds any number of papers without asking.
    doc().setPrinterModel(0);
    messages.answer = platform::kIdCancel;
    EXPECT_EQ(print(), kRunOk);
    EXPECT_FALSE(asked(IDS_RUN_PAPER_PROBLEM));
}

TEST_F(PrintRunChecksTest, TheBodyPaperSlotIsTheBodyPaperWhenPapersAreCounted)
{
    ASSERT_EQ(doc().bodyPaper(), 2);
    for (int paper : {1, 3, 4, 5}) ASSERT_TRUE(doc().addSubstitution(paper, 0, "1"));
    EXPECT_FALSE(doc().tooManyPapers()) << "entry 1 carries the body paper";
    ASSERT_TRUE(doc().addSubstitution(6, 0, "2"));
    EXPECT_TRUE(doc().tooManyPapers());
}

} // namespace
} // namespace orvox
