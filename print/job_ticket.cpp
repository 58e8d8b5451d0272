#include "print/job_ticket.h"

#include <cctype>
#include <cstdio>

#include "print/stdio_file.h"
#include "print/template_format.h"

namespace orvox {

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t'; }

// The variables the header builder sets itself; any other is a custom command.
bool isOwnVariable(std::string_view name)
{
    for (const char* own : {"JOBNAME", "QTY", "DUPLEX", "BINDING", "JOBOFFSET", "OUTBIN", "PAPER", "MEDIATYPE", "HOLD"})
        if (name == own) return true;
    return false;
}

// A line that carries nothing: the empty job-control line, blank text, or
// the language switch that ends a PCL header.
bool isEmptyLine(std::string_view line)
{
    while (!line.empty() && isBlank(line.back())) line.remove_suffix(1);
    return line.empty() || line == "@PJL" || line.substr(0, 10) == "@PJL ENTER";
}

// The words after "@PJL" white "COMMENT" white, or nothing for any other line.
std::optional<std::string_view> commentWords(std::string_view line)
{
    if (line.substr(0, 4) != "@PJL") return std::nullopt;
    std::size_t at = 4;
    const std::size_t afterPjl = at;
    while (at < line.size() && isBlank(line[at])) ++at;
    if (at == afterPjl || line.substr(at, 7) != "COMMENT") return std::nullopt;
    at += 7;
    const std::size_t afterComment = at;
    while (at < line.size() && isBlank(line[at])) ++at;
    if (at == afterComment) return std::nullopt;
    return line.substr(at);
}

bool isKey(std::string_view key)
{
    if (key.empty()) return false;
    if (key == "+") return true;
    for (const char c : key)
        if (!(std::islower(static_cast<unsigned char>(c)) || std::isdigit(static_cast<unsigned char>(c)) || c == '-'))
            return false;
    return true;
}

// The fields of a value: words and (strings), separated by blanks or tabs.
void appendFields(std::string_view value, std::vector<TicketField>& out)
{
    std::size_t at = 0;
    while (at < value.size()) {
        if (isBlank(value[at])) {
            ++at;
            continue;
        }
        if (value[at] == '(') {
            std::size_t close = value.find(')', at);
            if (close == std::string_view::npos) close = value.size();
            out.push_back({decodeHeaderToken(value.substr(at + 1, close - at - 1)), true});
            at = close + 1;
            continue;
        }
        std::size_t end = at;
        while (end < value.size() && !isBlank(value[end])) ++end;
        out.push_back({decodeHeaderToken(value.substr(at, end - at)), false});
        at = end;
    }
}

bool readSetLine(std::string_view line, JobTicket& ticket)
{
    std::size_t at = 8;  // after "@PJL SET"
    while (at < line.size() && isBlank(line[at])) ++at;
    const std::size_t eq = line.find('=', at);
    if (eq == std::string_view::npos) return false;
    std::string name(line.substr(at, eq - at));
    while (!name.empty() && isBlank(name.back())) name.pop_back();
    for (char& c : name) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    std::string_view value = line.substr(eq + 1);
    while (!value.empty() && isBlank(value.front())) value.remove_prefix(1);
    while (!value.empty() && isBlank(value.back())) value.remove_suffix(1);
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"') value = value.substr(1, value.size() - 2);
    if (!isOwnVariable(name)) return false;
    ticket.variables[name] = std::string(value);
    return true;
}

} // namespace

const TicketEntry* JobTicket::first(std::string_view key) const
{
    for (const TicketEntry& e : entries)
        if (e.key == key) return &e;
    return nullptr;
}

std::vector<const TicketEntry*> JobTicket::all(std::string_view key) const
{
    std::vector<const TicketEntry*> out;
    for (const TicketEntry& e : entries)
        if (e.key == key) out.push_back(&e);
    return out;
}

std::string JobTicket::variable(std::string_view name) const
{
    const auto it = variables.find(std::string(name));
    return it == variables.end() ? std::string() : it->second;
}

JobTicket parseJobTicket(std::string_view header)
{
    JobTicket ticket;
    // A continuation belongs to the entry before it only when nothing else
    // stands between them.
    bool continuable = false;
    while (!header.empty()) {
        const std::size_t end = header.find('\n');
        std::string_view line = header.substr(0, end);
        header.remove_prefix(end == std::string_view::npos ? header.size() : end + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        // The universal exit before the first line.
        if (const std::size_t pjl = line.find("@PJL"); pjl != std::string_view::npos && pjl > 0 && line[0] == '\x1B')
            line.remove_prefix(pjl);
        if (line.substr(0, 8) == "@PJL SET" && line.size() > 8 && isBlank(line[8]) && readSetLine(line, ticket)) {
            continuable = false;
            continue;
        }
        const auto words = commentWords(line);
        const std::size_t eq = words ? words->find('=') : std::string_view::npos;
        if (!words || eq == std::string_view::npos || !isKey(words->substr(0, eq))) {
            if (!words && !isEmptyLine(line)) ticket.otherLines.emplace_back(line);
            continuable = false;
            continue;
        }
        const std::string_view key = words->substr(0, eq);
        const std::string_view value = words->substr(eq + 1);
        if (key == "+") {
            if (continuable) appendFields(value, ticket.entries.back().fields);
            continue;
        }
        ticket.entries.push_back({std::string(key), {}});
        appendFields(value, ticket.entries.back().fields);
        continuable = true;
    }
    return ticket;
}

std::optional<JobTicket> readJobTicket(const std::string& path, std::string* error, std::size_t maxBytes)
{
    StdioFile file(path, "rb");
    if (!file) {
        if (error) *error = "the job file cannot be opened";
        return std::nullopt;
    }
    std::string text;
    char buffer[8192];
    for (;;) {
        const std::size_t got = std::fread(buffer, 1, sizeof buffer, file.get());
        text.append(buffer, got);
        if (text.size() > maxBytes) {
            if (error) *error = "the job file is larger than " + std::to_string(maxBytes) + " bytes";
            return std::nullopt;
        }
        if (got < sizeof buffer) break;
    }
    if (std::ferror(file.get())) {
        if (error) *error = "the job file cannot be read";
        return std::nullopt;
    }
    return parseJobTicket(text);
}

} // namespace orvox
