#include "submit/portable/job_report.h"

#include <cctype>
#include <cstdio>
#include <ctime>

#include "testapp/result_text.h"

namespace orvox::submit {

int answerFor(unsigned type, bool yesToQuestions)
{
    switch (type & kBoxButtonsMask) {
    case kBoxOk: return kAnswerOk;
    case kBoxOkCancel: return yesToQuestions ? kAnswerOk : kAnswerCancel;
    case kBoxYesNoCancel: return yesToQuestions ? kAnswerYes : kAnswerCancel;
    case kBoxYesNo: return yesToQuestions ? kAnswerYes : kAnswerNo;
    case kBoxAbortRetryIgnore: return kAnswerAbort;
    default: return kAnswerCancel;  // Retry/Cancel, Cancel/Try again/Continue
    }
}

bool isQuestion(unsigned type) { return (type & kBoxButtonsMask) != kBoxOk; }

std::string describeBox(unsigned type)
{
    std::string kind;
    switch (type & kBoxIconMask) {
    case kBoxIconStop: kind = "error"; break;
    case kBoxIconExclamation: kind = "warning"; break;
    case kBoxIconInformation: kind = "information"; break;
    case kBoxIconQuestion: kind = "question"; break;
    default: kind = isQuestion(type) ? "question" : "message"; break;
    }
    static constexpr const char* kButtons[] = {"OK", "OK/Cancel", "Abort/Retry/Ignore", "Yes/No/Cancel",
                                               "Yes/No", "Retry/Cancel", "Cancel/Try again/Continue"};
    const unsigned buttons = type & kBoxButtonsMask;
    return kind + " (" + (buttons < std::size(kButtons) ? kButtons[buttons] : "?") + ")";
}

std::string describeAnswer(int answer)
{
    switch (answer) {
    case kAnswerOk: return "OK";
    case kAnswerCancel: return "Cancel";
    case kAnswerAbort: return "Abort";
    case kAnswerYes: return "Yes";
    case kAnswerNo: return "No";
    default: return std::to_string(answer);
    }
}

std::string resultDescription(int code, int line)
{
    if (code == 0) return "success";
    std::string text = test::resultText(code, line);
    for (char& c : text)
        if (c == '\n' || c == '\t') c = ' ';
    while (!text.empty() && text.back() == ' ') text.pop_back();
    return text;
}

std::string utcTimestamp(std::chrono::system_clock::time_point when)
{
    const std::time_t seconds = std::chrono::system_clock::to_time_t(when);
    const auto millis =
        std::chrono::duration_cast<std::chrono::milliseconds>(when.time_since_epoch()).count() % 1000;
    std::tm parts{};
#ifdef _WIN32
    gmtime_s(&parts, &seconds);
#else
    gmtime_r(&seconds, &parts);
#endif
    char text[64];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d.%03dZ", parts.tm_year + 1900, parts.tm_mon + 1,
                  parts.tm_mday, parts.tm_hour, parts.tm_min, parts.tm_sec, static_cast<int>(millis));
    return text;
}

std::string jsonEscape(std::string_view text)
{
    std::string out;
    out.reserve(text.size() + 2);
    for (const char c : text) {
        switch (c) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default:
            if (static_cast<unsigned char>(c) < 0x20) {
                char code[8];
                std::snprintf(code, sizeof code, "\\u%04x", static_cast<unsigned char>(c));
                out += code;
            } else if (static_cast<unsigned char>(c) >= 0x80) {
                // Single-byte ANSI text: each byte as its Latin-1 character, so the line stays valid UTF-8.
                char code[8];
                std::snprintf(code, sizeof code, "\\u%04x", static_cast<unsigned char>(c));
                out += code;
            } else {
                out += c;
            }
        }
    }
    return out;
}

namespace {

std::string quoted(std::string_view text) { return "\"" + jsonEscape(text) + "\""; }

} // namespace

std::string jsonLine(const JobReport& report)
{
    std::string out = "{\"time\":" + quoted(report.time);
    if (!report.folder.empty()) out += ",\"folder\":" + quoted(report.folder);
    out += ",\"files\":[";
    for (std::size_t i = 0; i < report.files.size(); ++i) out += (i ? "," : "") + quoted(report.files[i]);
    out += "],\"ticket\":" + quoted(report.ticket) + ",\"printer\":" + quoted(report.printer) +
           ",\"result\":" + std::to_string(report.result) +
           ",\"resultText\":" + quoted(resultDescription(report.result, report.line));
    if (report.line) out += ",\"line\":" + std::to_string(report.line);
    if (!report.note.empty()) out += ",\"note\":" + quoted(report.note);
    out += ",\"messages\":[";
    for (std::size_t i = 0; i < report.messages.size(); ++i) {
        const HostMessage& m = report.messages[i];
        out += std::string(i ? "," : "") + "{\"kind\":" + quoted(m.kind) + ",\"text\":" + quoted(m.text) +
               ",\"answer\":" + quoted(m.answer) + "}";
    }
    out += "]";
    if (!report.outcome.empty()) out += ",\"outcome\":" + quoted(report.outcome);
    return out + "}";
}

std::string logText(const JobReport& report)
{
    std::string out = "time: " + report.time + "\n";
    if (!report.folder.empty()) out += "folder: " + report.folder + "\n";
    for (const std::string& file : report.files) out += "file: " + file + "\n";
    out += "ticket: " + (report.ticket.empty() ? std::string("(none)") : report.ticket) + "\n";
    out += "printer: " + (report.printer.empty() ? std::string("(as the ticket says)") : report.printer) + "\n";
    out += "result: " + std::to_string(report.result) + " " + resultDescription(report.result, report.line) + "\n";
    if (!report.note.empty()) out += "note: " + report.note + "\n";
    for (const HostMessage& m : report.messages) {
        std::string text = m.text;
        for (char& c : text)
            if (c == '\n' || c == '\r') c = ' ';
        out += "message: " + m.kind + " -> " + m.answer + ": " + text + "\n";
    }
    if (!report.outcome.empty()) out += "moved to: " + report.outcome + "\n";
    return out;
}

std::string filesXml(const std::vector<std::string>& files, const std::string& printer)
{
    std::string xml = "<PRINTER_SETTINGS>\n";
    auto plain = [](const std::string& text) { return text.find_first_of("<>") == std::string::npos; };
    if (!printer.empty()) {
        if (!plain(printer)) return {};
        xml += "<PRINTER>" + printer + "</PRINTER>\n";
    }
    if (!files.empty()) {
        xml += "<FILES_TO_PRINT>\n";
        for (const std::string& file : files) {
            if (!plain(file)) return {};
            xml += "<FILE>" + file + "</FILE>\n";
        }
        xml += "</FILES_TO_PRINT>\n";
    }
    return xml + "</PRINTER_SETTINGS>\n";
}

std::string printerNamedIn(std::string_view xml)
{
    std::string upper(xml);
    for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    const std::string open = "<PRINTER>";
    const std::size_t at = upper.find(open);
    if (at == std::string::npos) return {};
    const std::size_t start = at + open.size();
    const std::size_t end = upper.find('<', start);
    if (end == std::string::npos) return {};
    std::string name(xml.substr(start, end - start));
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!name.empty() && blank(name.back())) name.pop_back();
    std::size_t first = 0;
    while (first < name.size() && blank(name[first])) ++first;
    return name.substr(first);
}

TicketKind ticketKindOf(std::string_view bytes)
{
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);
    for (const char c : bytes) {
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n') continue;
        return c == '<' ? TicketKind::Xml : TicketKind::Settings;
    }
    return TicketKind::Settings;
}

} // namespace orvox::submit
