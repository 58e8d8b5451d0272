#pragma once
// What one job did: the files, ticket and printer it was given, every message
// the library showed with the answer the host gave, and the result code. It is
// written as one event line per step, as a log beside the finished file and as
// one JSON line per job.
#include <chrono>
#include <string>
#include <string_view>
#include <vector>

namespace orvox::submit {

// Message-box types and answers as the library passes them to the message
// hook (the Windows MB_ and ID values), so the logic below is testable anywhere.
inline constexpr unsigned kBoxButtonsMask = 0x0F;
inline constexpr unsigned kBoxOk = 0, kBoxOkCancel = 1, kBoxAbortRetryIgnore = 2, kBoxYesNoCancel = 3,
                          kBoxYesNo = 4, kBoxRetryCancel = 5, kBoxCancelTryContinue = 6;
inline constexpr unsigned kBoxIconMask = 0xF0;
inline constexpr unsigned kBoxIconStop = 0x10, kBoxIconQuestion = 0x20, kBoxIconExclamation = 0x30,
                          kBoxIconInformation = 0x40;
inline constexpr int kAnswerOk = 1, kAnswerCancel = 2, kAnswerAbort = 3, kAnswerYes = 6, kAnswerNo = 7;

// The answer given in the operator's place. Every box with a choice is a
// question: by default it gets the answer that does not go on (Cancel, No,
// Abort), so an unattended job never prints what a person would have been
// asked about; with `yesToQuestions` OK/Cancel gets OK and Yes/No gets Yes.
// Retry and Try again are never chosen: nobody is there to repair anything,
// and repeating could go on without end.
int answerFor(unsigned type, bool yesToQuestions);

// "error", "warning", "information", "question" or "message", then the buttons:
// "error (OK)", "question (Yes/No/Cancel)".
std::string describeBox(unsigned type);
std::string describeAnswer(int answer);
bool isQuestion(unsigned type);

struct HostMessage {
    std::string kind;    // describeBox
    std::string text;
    std::string answer;  // describeAnswer
};

struct JobReport {
    std::string time;                // UTC, ISO 8601, when the job started
    std::string ticket;              // path of the ticket, empty without one
    std::string printer;             // the printer asked for, empty: the ticket's own choice
    std::vector<std::string> files;  // print files as the library was given them
    int result = 0;                  // the library's result code, or the host's own (below)
    int line = 0;                    // line of an XML ticket's error (results 38 to 43)
    std::string note;                // what the host adds, e.g. why it did not call the library
    std::vector<HostMessage> messages;
    // Hot folders only.
    std::string folder;
    std::string outcome;             // where the print file went: "Done/a.pdf", "Failed/a (2).pdf"
    // False when the print run the file was part of stopped before its job
    // began: it was not sent, and it may be served again.
    bool reached = true;
};

// The readable text of a result code; 38 to 43 with the line.
std::string resultDescription(int code, int line);

std::string utcTimestamp(std::chrono::system_clock::time_point when);

std::string jsonEscape(std::string_view text);
// One line of JSON, without the line break.
std::string jsonLine(const JobReport& report);
// The log written beside a finished file: one "key: value" line each, then the messages.
std::string logText(const JobReport& report);

// The settings that hand the job's files (and the printer, when one is asked
// for) to the library: the XML import adds files to the list and selects a
// printer by name, and leaves everything else as the ticket set it.
// The library's XML knows no entities, so names go in as they are; a name
// with '<' cannot be described, and the result is empty then.
std::string filesXml(const std::vector<std::string>& files, const std::string& printer);

// The first PRINTER element of an XML ticket, for the records; empty if none.
std::string printerNamedIn(std::string_view xml);

enum class TicketKind { Settings, Xml };
// XML settings start with '<' (after blanks or a UTF-8 byte-order mark); a
// settings file starts with its signature text.
TicketKind ticketKindOf(std::string_view bytes);

} // namespace orvox::submit
