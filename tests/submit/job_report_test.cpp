// The answers OrvoxSubmit gives in the operator's place and the records it writes.
#include <gtest/gtest.h>

#include "submit/portable/job_report.h"

namespace orvox::submit {
namespace {

TEST(SubmitAnswers, QuestionsGetTheSafeAnswerUnlessYesIsAsked)
{
    EXPECT_EQ(answerFor(kBoxOk | kBoxIconStop, false), kAnswerOk);
    EXPECT_EQ(answerFor(kBoxOkCancel | kBoxIconQuestion, false), kAnswerCancel);
    EXPECT_EQ(answerFor(kBoxYesNo, false), kAnswerNo);
    EXPECT_EQ(answerFor(kBoxYesNoCancel | kBoxIconExclamation, false), kAnswerCancel);
    EXPECT_EQ(answerFor(kBoxOkCancel, true), kAnswerOk);
    EXPECT_EQ(answerFor(kBoxYesNo, true), kAnswerYes);
    EXPECT_EQ(answerFor(kBoxYesNoCancel, true), kAnswerYes);
    // Nobody can repair anything: never Retry, with or without --yes.
    EXPECT_EQ(answerFor(kBoxRetryCancel, true), kAnswerCancel);
    EXPECT_EQ(answerFor(kBoxAbortRetryIgnore, true), kAnswerAbort);
}

TEST(SubmitAnswers, KindsOfBoxesAreNamedForTheLog)
{
    EXPECT_EQ(describeBox(kBoxOk | kBoxIconStop), "error (OK)");
    EXPECT_EQ(describeBox(kBoxOk | kBoxIconExclamation), "warning (OK)");
    EXPECT_EQ(describeBox(kBoxOk), "message (OK)");
    EXPECT_EQ(describeBox(kBoxYesNo), "question (Yes/No)");
    EXPECT_EQ(describeBox(kBoxOkCancel | kBoxIconInformation), "information (OK/Cancel)");
    EXPECT_FALSE(isQuestion(kBoxOk | kBoxIconQuestion));
    EXPECT_TRUE(isQuestion(kBoxOkCancel | kBoxIconInformation));
    EXPECT_EQ(describeAnswer(kAnswerNo), "No");
}

TEST(SubmitRecords, JsonLineCarriesTheJobAndEscapesItsTexts)
{
    JobReport report;
    report.time = "2026-01-02T03:04:05.006Z";
    report.ticket = "C:\\hot\\_ticket.xml";
    report.printer = "Queue \"A\"";
    report.files = {"C:\\hot\\Processing\\a.ps"};
    report.result = 39;
    report.line = 3;
    report.messages = {{"error (OK)", "Bad\nline\t\x01 \xE9", "OK"}};
    const std::string line = jsonLine(report);
    EXPECT_EQ(line.find('\n'), std::string::npos);
    EXPECT_NE(line.find(R"("files":["C:\\hot\\Processing\\a.ps"])"), std::string::npos) << line;
    EXPECT_NE(line.find(R"("printer":"Queue \"A\"")"), std::string::npos) << line;
    EXPECT_NE(line.find(R"("result":39,"resultText":"Syntax error (missing or unexpected character). Line 3.")"),
              std::string::npos)
        << line;
    EXPECT_NE(line.find(R"("text":"Bad\nline\t\u0001 \u00e9","answer":"OK")"), std::string::npos) << line;
    EXPECT_EQ(line.front(), '{');
    EXPECT_EQ(line.back(), '}');

    report.result = 0;
    report.outcome = "Done/a.ps";
    const std::string log = logText(report);
    EXPECT_NE(log.find("result: 0 success\n"), std::string::npos) << log;
    EXPECT_NE(log.find("message: error (OK) -> OK: Bad line\t\x01 \xE9\n"), std::string::npos) << log;
    EXPECT_NE(log.find("moved to: Done/a.ps\n"), std::string::npos) << log;
}

TEST(SubmitRecords, TimestampIsUtcWithMilliseconds)
{
    const auto when = std::chrono::system_clock::time_point(std::chrono::milliseconds(1700000000123LL));
    EXPECT_EQ(utcTimestamp(when), "2023-11-14T22:13:20.123Z");
}

TEST(SubmitRecords, FilesAndPrinterBecomeJobSettings)
{
    EXPECT_EQ(filesXml({"C:\\a.ps", "C:\\b & c.pdf"}, "Q1"),
              "<PRINTER_SETTINGS>\n<PRINTER>Q1</PRINTER>\n<FILES_TO_PRINT>\n<FILE>C:\\a.ps</FILE>\n"
              "<FILE>C:\\b & c.pdf</FILE>\n</FILES_TO_PRINT>\n</PRINTER_SETTINGS>\n");
    EXPECT_EQ(filesXml({"C:\\a.ps"}, ""), "<PRINTER_SETTINGS>\n<FILES_TO_PRINT>\n<FILE>C:\\a.ps</FILE>\n"
                                          "</FILES_TO_PRINT>\n</PRINTER_SETTINGS>\n");
    // The library's XML has no escapes: such a name cannot be described.
    EXPECT_EQ(filesXml({"C:\\a<b.ps"}, ""), "");
    EXPECT_EQ(filesXml({"C:\\a.ps"}, "Q<1"), "");
}

TEST(SubmitRecords, TicketKindAndItsPrinter)
{
    EXPECT_EQ(ticketKindOf("\xEF\xBB\xBF \r\n<PRINTER_SETTINGS/>"), TicketKind::Xml);
    EXPECT_EQ(ticketKindOf("Orvox settings\x1a"), TicketKind::Settings);
    EXPECT_EQ(ticketKindOf(""), TicketKind::Settings);
    EXPECT_EQ(printerNamedIn("<printer_settings>\n<Printer> Queue B \n</Printer>"), "Queue B");
    EXPECT_EQ(printerNamedIn("<PRINTER_SETTINGS><PRINTER_MODEL>x</PRINTER_MODEL>"), "");
}

} // namespace
} // namespace orvox::submit
