#pragma once
// Reading a job header the way a printer and a print server read it: a
// checker of the job-control line syntax every header line must follow, and a
// reader of the "@PJL COMMENT key=value" lines that gives back the
// settings written into them. Shared by the unit and the end-to-end tests.
#include <cctype>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orvox::test {

inline constexpr std::size_t kMaxPjlLine = 255;

inline bool isPjlWhite(char c) { return c == ' ' || c == '\t'; }

// Printable characters of the job-control language: 33..126 and 161..254.
inline bool isPjlPrintable(char c)
{
    const auto b = static_cast<unsigned char>(c);
    return (b >= 33 && b <= 126) || (b >= 161 && b <= 254);
}

inline std::string upperCase(std::string_view s)
{
    std::string out(s);
    for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return out;
}

// Splits the header after its universal exit into lines; each must end with a
// line feed (a carriage return before it is allowed). Empty when the header
// does not start with the universal exit or its last line is not ended.
struct PjlLines {
    bool framed = false;
    std::vector<std::string> lines;
};

inline PjlLines splitPjlHeader(std::string_view header)
{
    static constexpr std::string_view kUel = "\x1B%-12345X";
    PjlLines out;
    if (header.substr(0, kUel.size()) != kUel || header.empty() || header.back() != '\n') return out;
    header.remove_prefix(kUel.size());
    while (!header.empty()) {
        const std::size_t end = header.find('\n');
        std::string line(header.substr(0, end));
        if (!line.empty() && line.back() == '\r') line.pop_back();
        out.lines.push_back(line);
        header.remove_prefix(end + 1);
    }
    out.framed = true;
    return out;
}

namespace detail {

struct Cursor {
    std::string_view s;
    std::size_t at = 0;
    bool end() const { return at >= s.size(); }
    bool white()
    {
        const std::size_t from = at;
        while (!end() && isPjlWhite(s[at])) ++at;
        return at > from;
    }
    std::string word()
    {
        const std::size_t from = at;
        while (!end() && (std::isalnum(static_cast<unsigned char>(s[at])) || s[at] == '_')) ++at;
        return upperCase(s.substr(from, at - from));
    }
    bool take(char c)
    {
        if (end() || s[at] != c) return false;
        ++at;
        return true;
    }
};

// value: a quoted string of printable characters and white space without
// quotes, or an alphanumeric value (letters, digits, . + -).
inline bool readValue(Cursor& c)
{
    if (c.take('"')) {
        while (!c.end() && c.s[c.at] != '"') {
            if (!isPjlPrintable(c.s[c.at]) && !isPjlWhite(c.s[c.at])) return false;
            ++c.at;
        }
        return c.take('"');
    }
    const std::size_t from = c.at;
    while (!c.end() && (std::isalnum(static_cast<unsigned char>(c.s[c.at])) || c.s[c.at] == '.' ||
                        c.s[c.at] == '+' || c.s[c.at] == '-'))
        ++c.at;
    return c.at > from;
}

// option [WS] = [WS] value
inline bool readAssignment(Cursor& c)
{
    if (c.word().empty()) return false;
    c.white();
    if (!c.take('=')) return false;
    c.white();
    return readValue(c);
}

} // namespace detail

// Why `line` is not a job-control command line, or empty when it is one. The
// forms: "@PJL" alone; "@PJL COMMENT" or "@PJL ECHO" with printable words;
// "@PJL SET|DEFAULT [LPARM : lang] var = value"; "@PJL ENTER LANGUAGE = lang";
// "@PJL JOB|EOJ [option = value ...]"; "@PJL RESET|INITIALIZE|USTATUSOFF".
inline std::string pjlLineError(std::string_view line)
{
    if (line.substr(0, 4) != "@PJL") return "does not start with @PJL";
    if (line.size() == 4) return {};
    detail::Cursor c{line, 4};
    if (!c.white()) return "no white space after @PJL";
    const std::string command = c.word();
    if (command == "COMMENT" || command == "ECHO") {
        if (c.end()) return {};
        if (!c.white()) return "no white space after " + command;
        if (c.end()) return {};
        if (!isPjlPrintable(line[c.at])) return "words do not start with a printable character";
        for (; !c.end(); ++c.at) {
            if (!isPjlPrintable(line[c.at]) && !isPjlWhite(line[c.at]))
                return "byte " + std::to_string(static_cast<unsigned char>(line[c.at])) + " in the words";
        }
        return {};
    }
    if (command == "SET" || command == "DEFAULT") {
        if (!c.white()) return "no white space after " + command;
        const std::size_t mark = c.at;
        if (c.word() == "LPARM") {
            c.white();
            if (!c.take(':')) return "LPARM without ':'";
            c.white();
            if (c.word().empty()) return "LPARM without a language";
            if (!c.white()) return "no white space after the modifier";
        } else {
            c.at = mark;
        }
        if (!detail::readAssignment(c)) return "not variable = value";
        c.white();
        return c.end() ? std::string() : "text after the value";
    }
    if (command == "ENTER") {
        if (!c.white() || c.word() != "LANGUAGE") return "ENTER without LANGUAGE";
        c.white();
        if (!c.take('=')) return "ENTER LANGUAGE without '='";
        c.white();
        if (c.word().empty()) return "ENTER LANGUAGE without a language";
        c.white();
        return c.end() ? std::string() : "text after the language";
    }
    if (command == "JOB" || command == "EOJ") {
        while (c.white() && !c.end()) {
            if (!detail::readAssignment(c)) return "not option = value";
        }
        return c.end() ? std::string() : "text after the options";
    }
    if (command == "RESET" || command == "INITIALIZE" || command == "USTATUSOFF") {
        c.white();
        return c.end() ? std::string() : "text after " + command;
    }
    return "unknown command '" + command + "'";
}

// The first line that breaks the syntax, with its number and reason, or empty
// when the whole header is job-control lines after its universal exit.
inline std::string pjlHeaderError(std::string_view header)
{
    const PjlLines split = splitPjlHeader(header);
    if (!split.framed) return "not framed: no universal exit at the start or no line feed at the end";
    for (std::size_t i = 0; i < split.lines.size(); ++i) {
        // Interpreters read a job-control line into a 256-byte buffer.
        if (split.lines[i].size() > kMaxPjlLine)
            return "line " + std::to_string(i + 1) + " has " + std::to_string(split.lines[i].size()) + " bytes";
        const std::string why = pjlLineError(split.lines[i]);
        if (!why.empty()) return "line " + std::to_string(i + 1) + " '" + split.lines[i] + "': " + why;
    }
    return {};
}

// One field of a comment value: a word, or a (string) with its escapes decoded.
struct TicketField {
    std::string text;
    bool quoted = false;
    bool operator==(const TicketField&) const = default;
};

inline std::string decodePercent(std::string_view s)
{
    auto hex = [](char c) {
        if (c >= '0' && c <= '9') return c - '0';
        if (c >= 'A' && c <= 'F') return c - 'A' + 10;
        return -1;
    };
    std::string out;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '%' && i + 2 < s.size() && hex(s[i + 1]) >= 0 && hex(s[i + 2]) >= 0) {
            out += static_cast<char>(hex(s[i + 1]) * 16 + hex(s[i + 2]));
            i += 2;
        } else {
            out += s[i];
        }
    }
    return out;
}

// The settings a header carries: the job-control variables it sets and its
// comment entries in order (a key may repeat; "+=" continues the entry before).
struct TicketReading {
    std::map<std::string, std::string> variables;  // last value of each SET variable
    std::vector<std::pair<std::string, std::string>> entries;
    std::string error;  // why the comment lines do not follow the grammar

    std::vector<std::string> all(const std::string& key) const
    {
        std::vector<std::string> values;
        for (const auto& [k, v] : entries)
            if (k == key) values.push_back(v);
        return values;
    }
    std::string first(const std::string& key) const
    {
        const auto values = all(key);
        return values.empty() ? std::string("<missing>") : values.front();
    }
    // The fields of a value: words and (strings), separated by blanks.
    static std::vector<TicketField> fields(std::string_view value, std::string* error = nullptr)
    {
        std::vector<TicketField> out;
        std::size_t at = 0;
        while (at < value.size()) {
            if (value[at] == ' ') {
                ++at;
                continue;
            }
            if (value[at] == '(') {
                const std::size_t close = value.find(')', at);
                if (close == std::string_view::npos) {
                    if (error) *error = "unclosed string in '" + std::string(value) + "'";
                    return out;
                }
                const std::string_view inside = value.substr(at + 1, close - at - 1);
                if (inside.find_first_of("( \"") != std::string_view::npos && error)
                    *error = "raw blank, quote or parenthesis inside a string in '" + std::string(value) + "'";
                out.push_back({decodePercent(inside), true});
                at = close + 1;
                continue;
            }
            std::size_t end = value.find(' ', at);
            if (end == std::string_view::npos) end = value.size();
            const std::string_view word = value.substr(at, end - at);
            if (word.find_first_of("()\"") != std::string_view::npos && error)
                *error = "parenthesis or quote inside the word '" + std::string(word) + "'";
            out.push_back({decodePercent(word), false});
            at = end;
        }
        return out;
    }
    std::vector<TicketField> fieldsOf(const std::string& key) const { return fields(first(key)); }
    // The text of each field of a value.
    static std::vector<std::string> texts(const std::vector<TicketField>& f)
    {
        std::vector<std::string> out;
        for (const auto& x : f) out.push_back(x.text);
        return out;
    }
};

// The words of a comment line ("@PJL", white space, "COMMENT", white space),
// or nothing when the line is no comment.
inline std::optional<std::string_view> commentWords(std::string_view line)
{
    detail::Cursor c{line, 0};
    if (line.substr(0, 4) != "@PJL") return std::nullopt;
    c.at = 4;
    if (!c.white() || c.word() != "COMMENT" || !c.white()) return std::nullopt;
    return line.substr(c.at);
}

inline TicketReading readTicket(std::string_view header)
{
    TicketReading r;
    for (const std::string& line : splitPjlHeader(header).lines) {
        const std::string_view l = line;
        if (l.substr(0, 9) == "@PJL SET ") {
            const std::size_t eq = l.find('=');
            if (eq == std::string_view::npos) continue;
            std::string name(l.substr(9, eq - 9));
            while (!name.empty() && name.back() == ' ') name.pop_back();
            std::string value(l.substr(eq + 1));
            while (!value.empty() && value.front() == ' ') value.erase(0, 1);
            if (value.size() >= 2 && value.front() == '"' && value.back() == '"') value = value.substr(1, value.size() - 2);
            r.variables[upperCase(name)] = value;
            continue;
        }
        const auto words = commentWords(l);
        if (!words) continue;
        const std::size_t eq = words->find('=');
        if (eq == std::string_view::npos || eq == 0) continue;  // a comment of someone else
        const std::string key(words->substr(0, eq));
        bool ours = true;
        for (char k : key) {
            if (!(std::islower(static_cast<unsigned char>(k)) || std::isdigit(static_cast<unsigned char>(k)) ||
                  k == '-' || key == "+"))
                ours = false;
        }
        if (!ours) continue;
        const std::string value(words->substr(eq + 1));
        TicketReading::fields(value, &r.error);
        if (key == "+") {
            if (r.entries.empty()) {
                r.error = "continuation without an entry";
                continue;
            }
            r.entries.back().second += " " + value;
        } else {
            r.entries.emplace_back(key, value);
        }
    }
    return r;
}

} // namespace orvox::test
