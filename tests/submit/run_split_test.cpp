// One print run over several hot-folder files: what became of each file is read
// from the status line and the messages, and a file is only ever served again
// when the run demonstrably stopped before its job began.
#include <gtest/gtest.h>

#include "submit/portable/run_split.h"

namespace orvox::submit {
namespace {

RunEvent status(const std::string& text) { return {RunEvent::Kind::Status, text, {}}; }
RunEvent message(const std::string& text) { return {RunEvent::Kind::Message, {}, {"error (OK)", text, "OK"}}; }

JobReport runOf(int result, std::vector<std::string> names)
{
    JobReport run;
    run.time = "t";
    run.ticket = "C:\\hot\\_ticket.xml";
    run.result = result;
    for (const std::string& name : names) run.files.push_back("C:\\hot\\Processing\\" + name);
    return run;
}

// The run's report carries every message it heard, as the host collects them.
JobReport withMessages(JobReport run, const std::vector<RunEvent>& events, std::vector<std::string> before = {})
{
    for (const std::string& text : before) run.messages.push_back({"message (OK)", text, "OK"});
    for (const RunEvent& event : events)
        if (event.kind == RunEvent::Kind::Message) run.messages.push_back(event.message);
    return run;
}

std::vector<std::string> textsOf(const JobReport& report)
{
    std::vector<std::string> texts;
    for (const HostMessage& m : report.messages) texts.push_back(m.text);
    return texts;
}

TEST(RunSplit, ASuccessfulRunGivesEveryFileSuccessAndEachItsOwnMessages)
{
    const std::vector<RunEvent> events = {message("paper check"),
                                          status("Printing \"a.pdf\" - sending to the printer"), message("about a"),
                                          status("Sent: a.pdf"),
                                          status("Printing \"b.pdf\" - sending to the printer"), status("Sent: b.pdf")};
    const auto reports = splitRun(withMessages(runOf(0, {"a.pdf", "b.pdf"}), events, {"library started"}), events);
    ASSERT_EQ(reports.size(), 2u);
    for (const JobReport& r : reports) {
        EXPECT_EQ(r.result, 0);
        EXPECT_TRUE(r.reached);
        EXPECT_EQ(r.ticket, "C:\\hot\\_ticket.xml");
        ASSERT_EQ(r.files.size(), 1u);
    }
    EXPECT_EQ(reports[0].files[0], "C:\\hot\\Processing\\a.pdf");
    EXPECT_EQ(textsOf(reports[0]), (std::vector<std::string>{"library started", "paper check", "about a"}));
    EXPECT_EQ(textsOf(reports[1]), (std::vector<std::string>{"library started", "paper check"}));
}

// The library names a file by its path or name, in its own case.
TEST(RunSplit, AFailedSendFailsOnlyItsFile)
{
    const std::vector<RunEvent> events = {
        status("Printing \"a.pdf\" - sending to the printer"), status("Sent: a.pdf"),
        status("Printing \"B.PDF\" - sending to the printer"), status("Not sent: Z:\\HOT\\PROCESSING\\B.PDF"),
        status("Printing \"c.pdf\" - sending to the printer"), status("Sent: C:\\hot\\Processing\\c.pdf (job 12 on Press)")};
    const auto reports = splitRun(runOf(31, {"a.pdf", "b.pdf", "c.pdf"}), events);
    ASSERT_EQ(reports.size(), 3u);
    EXPECT_EQ(reports[0].result, 0);
    EXPECT_EQ(reports[1].result, 31);
    EXPECT_EQ(reports[2].result, 0);
    for (const JobReport& r : reports) EXPECT_TRUE(r.reached);
}

TEST(RunSplit, ARunThatStopsGivesItsResultToThatFileAndLeavesTheRestUnsent)
{
    const std::vector<RunEvent> events = {status("Printing \"a.pdf\" - sending to the printer"), status("Sent: a.pdf"),
                                          status("Printing \"b.pdf\" - sending to the printer"),
                                          message("The printer cannot staple. Print without?")};
    const auto reports = splitRun(withMessages(runOf(23, {"a.pdf", "b.pdf", "c.pdf", "d.pdf"}), events), events);
    ASSERT_EQ(reports.size(), 4u);
    EXPECT_EQ(reports[0].result, 0);
    EXPECT_TRUE(reports[0].messages.empty());
    EXPECT_EQ(reports[1].result, 23);
    EXPECT_TRUE(reports[1].reached);
    EXPECT_EQ(textsOf(reports[1]), (std::vector<std::string>{"The printer cannot staple. Print without?"}));
    for (int i : {2, 3}) {
        EXPECT_FALSE(reports[i].reached) << i;
        EXPECT_NE(reports[i].note.find("b.pdf"), std::string::npos) << reports[i].note;
    }
}

TEST(RunSplit, ARunRefusedBeforeAnyJobFailsEveryFileWithItsMessage)
{
    const std::vector<RunEvent> events = {message("No printer is selected.")};
    JobReport run = withMessages(runOf(19, {"a.pdf", "b.pdf"}), events);
    run.note = "the printer was refused";
    const auto reports = splitRun(run, events);
    for (const JobReport& r : reports) {
        EXPECT_EQ(r.result, 19);
        EXPECT_TRUE(r.reached);
        EXPECT_EQ(r.note, "the printer was refused");
        EXPECT_EQ(textsOf(r), (std::vector<std::string>{"No printer is selected."}));
    }
}

// Without a status line it understands, the split never sends a file again:
// every file keeps the run's result, and none is served again.
TEST(RunSplit, UnknownStatusTextsNeverLeadToAFileBeingServedAgain)
{
    const std::vector<RunEvent> events = {status("Drucken \"a.pdf\""), status("Gesendet: a.pdf"),
                                          status("Drucken \"b.pdf\"")};
    const auto reports = splitRun(runOf(30, {"a.pdf", "b.pdf", "c.pdf"}), events);
    for (const JobReport& r : reports) {
        EXPECT_EQ(r.result, 30);
        EXPECT_TRUE(r.reached);
    }
}

TEST(RunSplit, NamesThatBeginAlikeAreToldApart)
{
    // "a.pdf" is the beginning of "a.pdf.pdf" and of "a.pdf (2).pdf"; only the
    // file whose job is going on can be the one a result names.
    const std::vector<RunEvent> events = {
        status("Printing \"a.pdf.pdf\" - sending to the printer"), status("Not sent: a.pdf.pdf"),
        status("Printing \"a.pdf\" - sending to the printer"), status("Sent: C:\\hot\\xa.pdf"),
        status("Printing \"a.pdf (2).pdf\" - sending to the printer")};
    const auto reports = splitRun(runOf(37, {"a.pdf.pdf", "a.pdf", "a.pdf (2).pdf", "z.pdf"}), events);
    EXPECT_EQ(reports[0].result, 31);
    // "xa.pdf" is not a.pdf: a.pdf's job began, and nothing says it was sent.
    EXPECT_EQ(reports[1].result, 37);
    EXPECT_NE(reports[1].note.find("may have been printed"), std::string::npos);
    EXPECT_EQ(reports[2].result, 37);
    EXPECT_TRUE(reports[2].reached);
    EXPECT_FALSE(reports[3].reached);
}

TEST(RunSplit, AJobThatBeganWithoutAnOutcomeBeforeALaterOneIsNotCalledSent)
{
    const std::vector<RunEvent> events = {status("Printing \"a.pdf\" - sending to the printer"),
                                          status("Printing \"b.pdf\" - sending to the printer"), status("Sent: b.pdf")};
    const auto reports = splitRun(runOf(31, {"a.pdf", "b.pdf"}), events);
    EXPECT_EQ(reports[0].result, 31);
    EXPECT_NE(reports[0].note.find("may have been printed"), std::string::npos);
    EXPECT_EQ(reports[1].result, 0);
}

} // namespace
} // namespace orvox::submit
