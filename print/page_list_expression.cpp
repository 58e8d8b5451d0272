#include "print/page_list_expression.h"

#include <algorithm>
#include <new>

namespace orvox {

namespace {

constexpr std::size_t kMaxSegment = 255;
// The largest page a valid list can name; reading stops growing there, so an
// unchecked list cannot ask for billions of numbers.
constexpr long kMaxPage = 999999;
constexpr int kRunLength = 20;

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Leading decimal digits at `pos`; 0 when there are none.
long readDecimal(std::string_view s, std::size_t pos)
{
    long value = 0;
    while (pos < s.size() && isDigit(s[pos])) {
        value = std::min(kMaxPage, value * 10 + (s[pos] - '0'));
        ++pos;
    }
    return value;
}

// A byte that counts as a line start mark: code 13 or below, or 0x80 and above.
bool isControl(char c) { return static_cast<signed char>(c) <= 13; }

std::string singlesLine(std::string_view run, const CommandTemplates& templates)
{
    return templates.format(129, {run, ""});
}

void appendRanges(long from, long to, bool stepTwo, std::string& out, const CommandTemplates& templates)
{
    const long step = stepTwo ? 2 : 1;
    from = std::max(from, 1L);
    while (from <= to) {
        const long runEnd = std::min(from + kRunLength - 1, to);
        out += templates.format(130);
        for (long page = from; page <= runEnd; page += step) {
            out += ' ';
            out += std::to_string(page);
            out += ' ';
        }
        from = runEnd + 1;
    }
}

// The plain list holds its tokens each followed by one blank.
void rewriteRanges(std::string_view plain, bool stepTwo, std::string& out, const CommandTemplates& templates)
{
    std::size_t pos = 0;     // start of the single-page run not yet written
    std::size_t search = 0;  // where the next range is looked for
    for (;;) {
        const std::size_t dot = plain.find('.', search);
        if (dot == std::string_view::npos) {
            if (pos < plain.size()) out += singlesLine(plain.substr(pos), templates);
            return;
        }
        std::size_t start = dot;
        if (dot == 0 || plain[dot - 1] != ' ') {
            const std::size_t blank = plain.rfind(' ', dot);
            start = blank == std::string_view::npos ? 0 : blank + 1;
        }
        std::size_t end = plain.find(' ', dot);
        if (end == std::string_view::npos) end = plain.size();
        std::size_t afterDots = dot;
        while (afterDots < end && plain[afterDots] == '.') ++afterDots;
        if (afterDots >= end || !isDigit(plain[afterDots])) {
            // No end page: the token stays among the single pages.
            search = end;
            continue;
        }
        if (start > pos) out += singlesLine(plain.substr(pos, start - 1 - pos), templates);
        const long from = readDecimal(plain, start);
        const long to = readDecimal(plain, afterDots);
        pos = std::min(end + 1, plain.size());
        search = pos;
        appendRanges(from, to, stepTwo, out, templates);
    }
}

// Appends `line` cut into segments of at most 255 characters. Every segment
// after the first starts with `continuation` (and a blank where a token had
// to be cut). The line is walked once: a range of many pages makes one very
// long line, and rebuilding its rest for every segment took hours.
void appendCut(const std::string& line, std::string_view continuation, std::vector<std::string>& segments)
{
    if (line.empty()) {
        segments.emplace_back("\n");
        return;
    }
    std::string prefix;    // what the current segment starts with before the line's bytes
    std::size_t pos = 0;   // the line's first byte not yet in a segment
    while (prefix.size() + (line.size() - pos) > kMaxSegment) {
        // Only the first kMaxSegment + 1 characters decide where the cut falls.
        const std::string window = prefix + line.substr(pos, kMaxSegment + 1 - prefix.size());
        std::size_t cut = window.rfind(' ', kMaxSegment);
        std::string next(continuation);
        if (cut == std::string::npos || cut <= continuation.size()) {
            // No blank that would shorten the line: cut inside the token.
            cut = kMaxSegment;
            next += ' ';
        }
        segments.push_back(window.substr(0, cut));
        pos += cut - prefix.size();
        prefix = std::move(next);
    }
    segments.push_back(prefix + line.substr(pos));
}

} // namespace

std::string normalisePageList(std::string_view text)
{
    std::string out;
    out.reserve(text.size() + 16);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == ',') {
            if (i > 0 && text[i - 1] == ',') continue;
            out += ' ';
        } else {
            out += text[i];
        }
    }
    static constexpr std::string_view kLast = "last";
    static constexpr std::string_view kLastPage = "lastpage";
    std::size_t at = out.find(kLast);
    while (at != std::string::npos) {
        out.replace(at, kLast.size(), kLastPage);
        at = out.find(kLast, at + kLastPage.size());
    }
    return out;
}

std::int16_t rewritePageList(std::string_view text, std::string& out, bool caretMode, bool stepTwo,
                             const CommandTemplates& templates)
{
    try {
        std::string carets;
        std::string plain;
        std::size_t pos = 0;
        while (pos < text.size()) {
            if (text[pos] == ' ') {
                ++pos;
                continue;
            }
            std::size_t end = text.find(' ', pos);
            if (end == std::string_view::npos) end = text.size();
            const std::string_view token = text.substr(pos, end - pos);
            pos = end;
            if (token.front() == '^') {
                carets += std::to_string(readDecimal(token, 1) - 1);
                carets += ' ';
            } else if (token.back() == '^') {
                carets += token.substr(0, token.size() - 1);
                carets += ' ';
            } else {
                plain += token;
                if (token.back() == '.') plain += "lastpage";
                plain += ' ';
            }
        }
        if (caretMode) {
            out = std::move(carets);
            return 0;
        }
        rewriteRanges(plain, stepTwo, out, templates);
        return 0;
    } catch (const std::bad_alloc&) {
        return 1;
    }
}

std::vector<std::string> pageListSegments(std::string_view text, const CommandTemplates& templates,
                                          std::string_view continuation)
{
    // A line the rewriting made is recognised by the first character of a
    // template-129 line after its line end ("@" of "@PJL", "%" of a comment
    // line): such a text is written as it stands, and only a text without one
    // becomes a template-129 line, so no line is wrapped twice.
    const std::string lineTemplate = templates.format(129, {"", ""});
    const auto lead = std::find_if(lineTemplate.begin(), lineTemplate.end(), [](char c) { return !isControl(c); });
    const char marker = lead == lineTemplate.end() ? '%' : *lead;

    std::vector<std::string> segments;
    std::size_t skip = text.empty() || isControl(text[0]) ? 3 : 2;
    if (text.find(marker, skip) == std::string_view::npos) {
        const bool ownLine = text.find(marker) != std::string_view::npos;
        appendCut(ownLine ? std::string(text) : templates.format(129, {text, ""}), continuation, segments);
        return segments;
    }
    std::size_t lineStart = 0;
    bool first = true;
    for (;;) {
        if (isControl(text[lineStart])) skip = 3;
        std::size_t cut = text.find(marker, lineStart + skip);
        if (cut == std::string_view::npos) break;
        if (isControl(text[cut - 1])) --cut;
        const std::string_view line = text.substr(lineStart, cut - lineStart);
        if (first && line.find(marker) == std::string_view::npos) {
            appendCut(templates.format(129, {line, ""}), continuation, segments);
        } else {
            appendCut(std::string(line), continuation, segments);
        }
        first = false;
        lineStart = cut;
    }
    appendCut(std::string(text.substr(lineStart)), continuation, segments);
    return segments;
}

} // namespace orvox
