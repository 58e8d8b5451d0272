// File names of the hot folders and the command line of OrvoxSubmit.
#include <gtest/gtest.h>

#include <set>

#include "submit/portable/job_names.h"
#include "submit/portable/options.h"

namespace orvox::submit {
namespace {

TEST(SubmitNames, TicketsTemporaryFilesAndOwnTickets)
{
    EXPECT_TRUE(isTicketName("job.XML"));
    EXPECT_TRUE(isTicketName("_ticket.ovx"));
    EXPECT_FALSE(isTicketName("job.pdf"));
    EXPECT_FALSE(isTicketName("xml"));
    for (const char* name : {".hidden.pdf", "~copy.pdf", "a.pdf.tmp", "a.PART", ""})
        EXPECT_TRUE(isTemporaryName(name)) << name;
    EXPECT_FALSE(isTemporaryName("a.pdf"));
    EXPECT_TRUE(isFolderTicketName("_TICKET.Xml"));
    EXPECT_FALSE(isFolderTicketName("a_ticket.xml"));
    EXPECT_EQ(ownTicketNames("report.v2.pdf"), (std::vector<std::string>{"report.v2.xml", "report.v2.ovx"}));
    EXPECT_EQ(ownTicketNames("README"), (std::vector<std::string>{"README.xml", "README.ovx"}));
}

TEST(SubmitNames, SuffixGoesBeforeTheExtension)
{
    EXPECT_EQ(suffixedName("a.pdf", 1), "a.pdf");
    EXPECT_EQ(suffixedName("a.pdf", 2), "a (2).pdf");
    EXPECT_EQ(suffixedName("a.b.ps", 12), "a.b (12).ps");
    EXPECT_EQ(suffixedName("noext", 3), "noext (3)");
    EXPECT_EQ(suffixedName(".profile", 2), ".profile (2)");
}

TEST(SubmitNames, FreeSuffixLooksAtTheFileItsLogAndItsTicket)
{
    std::set<std::string> taken{"a.pdf", "a (2).pdf.log", "a (3).xml"};
    auto isTaken = [&](const std::string& name) { return taken.count(name) > 0; };
    // a.pdf is taken; a (2).pdf is free but its log is not; a (3) clashes with the ticket.
    EXPECT_EQ(freeSuffix("a.pdf", {"a.xml"}, isTaken), 4);
    EXPECT_EQ(freeSuffix("a.pdf", {}, isTaken), 3);
    EXPECT_EQ(freeSuffix("b.pdf", {"b.xml"}, isTaken), 1);
    // A check that never finds a free name ends with 0 instead of running on.
    EXPECT_EQ(freeSuffix("a.pdf", {}, [](const std::string&) { return true; }), 0);
}

TEST(SubmitOptions, PrintNeedsATicketAndFiles)
{
    Options o = parseOptions({"print", "--ticket", "t.xml", "--printer", "Queue A", "--json", "j.jsonl", "--yes",
                              "a.ps", "b.pdf"});
    EXPECT_EQ(o.error, "");
    EXPECT_EQ(o.command, Options::Command::Print);
    EXPECT_EQ(o.ticket, "t.xml");
    EXPECT_EQ(o.printer, "Queue A");
    EXPECT_EQ(o.json, "j.jsonl");
    EXPECT_TRUE(o.yes);
    EXPECT_EQ(o.files, (std::vector<std::string>{"a.ps", "b.pdf"}));

    EXPECT_NE(parseOptions({"print", "a.ps"}).error, "");
    EXPECT_NE(parseOptions({"print", "--ticket", "t.xml"}).error, "");
    EXPECT_NE(parseOptions({"print", "--ticket"}).error, "");
    EXPECT_NE(parseOptions({"print", "--ticket", "t.xml", "--stable", "1", "a.ps"}).error, "");
    EXPECT_NE(parseOptions({"frobnicate"}).error, "");
    EXPECT_NE(parseOptions({}).error, "");
    // After "--" a name that starts with dashes is a file.
    EXPECT_EQ(parseOptions({"print", "--ticket", "t", "--", "--odd.ps"}).files, std::vector<std::string>{"--odd.ps"});
    EXPECT_EQ(parseOptions({"print", "--help"}).command, Options::Command::Help);
    EXPECT_EQ(parseOptions({"--help"}).error, "");
}

TEST(SubmitOptions, SaveWritesOneSettingsFile)
{
    Options o = parseOptions({"save", "--ticket", "t.xml", "--printer", "Q", "out.ovx"});
    EXPECT_EQ(o.error, "");
    EXPECT_EQ(o.command, Options::Command::Save);
    EXPECT_EQ(o.files, std::vector<std::string>{"out.ovx"});
    EXPECT_NE(parseOptions({"save", "--ticket", "t.xml"}).error, "");
    EXPECT_NE(parseOptions({"save", "--ticket", "t.xml", "a.ovx", "b.ovx"}).error, "");
}

TEST(SubmitOptions, WatchPrinterAppliesToTheFoldersAfterIt)
{
    Options o = parseOptions({"watch", "in0", "--printer", "Q1", "in1", "in2", "--printer", "Q2", "in3", "--stable",
                              "0.25", "--poll", "0.1", "--idle-exit", "3"});
    ASSERT_EQ(o.error, "");
    ASSERT_EQ(o.folders.size(), 4u);
    EXPECT_EQ(o.folders[0].printer, "");
    EXPECT_EQ(o.folders[1].printer, "Q1");
    EXPECT_EQ(o.folders[2].printer, "Q1");
    EXPECT_EQ(o.folders[3].printer, "Q2");
    EXPECT_EQ(o.stableWait.count(), 250);
    EXPECT_EQ(o.pollInterval.count(), 100);
    EXPECT_EQ(o.idleExit.count(), 3000);
    EXPECT_EQ(parseOptions({"watch", "in", "--once"}).idleExit.count(), 0);
    EXPECT_EQ(parseOptions({"watch", "in"}).idleExit.count(), -1);

    EXPECT_NE(parseOptions({"watch"}).error, "");
    for (const char* bad : {"-1", "soon", "1e9", "nan", ""})
        EXPECT_NE(parseOptions({"watch", "in", "--stable", bad}).error, "") << bad;
    EXPECT_NE(parseOptions({"watch", "in", "--ticket", "t.xml"}).error, "");
}

TEST(SubmitOptions, BatchIsANumberOfFilesWithinItsRange)
{
    EXPECT_EQ(parseOptions({"watch", "in"}).batch, 100);
    EXPECT_EQ(parseOptions({"watch", "in", "--batch", "1"}).batch, 1);
    EXPECT_EQ(parseOptions({"watch", "in", "--batch", "1000"}).batch, 1000);
    for (const char* bad : {"0", "-5", "1001", "12x", "", "99999999999999999999"})
        EXPECT_NE(parseOptions({"watch", "in", "--batch", bad}).error, "") << bad;
    EXPECT_NE(parseOptions({"print", "--ticket", "t.xml", "--batch", "5", "a.ps"}).error, "");
}

} // namespace
} // namespace orvox::submit
