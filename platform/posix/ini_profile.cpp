#include "platform/posix/ini_profile.h"

#include <cstdint>
#include <filesystem>
#include <fstream>

#include "platform/file_saving.h"

namespace orvox::platform {

namespace {

// What the profile functions treat as blanks: white space and the Ctrl-Z that
// old editors leave at the end of a file.
bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f' || c == '\x1a';
}

std::string trim(const std::string& s)
{
    std::size_t b = 0, e = s.size();
    while (b < e && isBlank(s[b])) ++b;
    while (e > b && isBlank(s[e - 1])) --e;
    return s.substr(b, e - b);
}

std::string trimRight(const std::string& s)
{
    std::size_t e = s.size();
    while (e > 0 && isBlank(s[e - 1])) --e;
    return s.substr(0, e);
}

std::string lower(std::string s)
{
    for (char& c : s)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return s;
}

// The value as the string function hands it out: up to a NUL (the API returns
// C strings), without one pair of matching surrounding quotes.
std::string unquote(std::string v)
{
    const std::size_t nul = v.find('\0');
    if (nul != std::string::npos) v.resize(nul);
    if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
        v = v.substr(1, v.size() - 2);
    return v;
}

bool fileExists(const std::string& file)
{
    std::error_code ec;
    return std::filesystem::exists(std::filesystem::path(file), ec);
}

bool readWhole(const std::string& file, std::string& bytes)
{
    std::ifstream in(file, std::ios::binary);
    if (!in) return false;
    bytes.clear();
    char chunk[4096];
    while (in.read(chunk, sizeof chunk) || in.gcount() > 0)
        bytes.append(chunk, static_cast<std::size_t>(in.gcount()));
    return !in.bad();
}

} // namespace

void IniProfile::parse(const std::string& bytes, Parsed& out)
{
    out = Parsed();
    std::size_t pos = 0;
    // A UTF-8 byte-order mark that an editor may have put in front.
    if (bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) pos = 3;
    while (pos < bytes.size()) {
        std::size_t nl = bytes.find('\n', pos);
        if (nl == std::string::npos) nl = bytes.size();
        Line line;
        line.text = bytes.substr(pos, nl - pos);
        if (!line.text.empty() && line.text.back() == '\r') line.text.pop_back();
        pos = nl + 1;

        const std::string t = trim(line.text);
        if (!t.empty() && t[0] == '[') {
            const std::size_t close = t.find(']', 1);
            if (close != std::string::npos) {
                line.kind = Line::kSection;
                line.name = trim(t.substr(1, close - 1));
            }
        } else if (!t.empty() && t[0] != ';') {
            const std::size_t eq = t.find('=');
            if (eq != std::string::npos) {
                line.kind = Line::kKey;
                line.name = trim(t.substr(0, eq));
                line.value = trim(t.substr(eq + 1));
            }
        }
        out.lines.push_back(std::move(line));
    }

    // Index: the first section of each name, and in every section the first key of each name.
    for (std::size_t i = 0; i < out.lines.size(); ++i) {
        const Line& l = out.lines[i];
        if (l.kind == Line::kSection) {
            if (!out.sections.empty()) out.sections.back().end = i;
            Section s;
            s.header = i;
            out.sections.push_back(std::move(s));
            out.sectionIndex.emplace(lower(l.name), out.sections.size() - 1);
        } else if (l.kind == Line::kKey && !out.sections.empty()) {
            out.sections.back().keys.emplace(lower(l.name), i);
        }
    }
    if (!out.sections.empty()) out.sections.back().end = out.lines.size();
}

const IniProfile::Parsed* IniProfile::load(const std::string& file) const
{
    if (freshness_ == Freshness::kTrustUntilWritten && cacheValid_ && cachePath_ == file) return &cache_;
    std::string bytes;
    if (!readWhole(file, bytes)) return nullptr;
    if (!cacheValid_ || cachePath_ != file || cacheBytes_ != bytes) {
        cacheValid_ = false;
        parse(bytes, cache_);
        cachePath_ = file;
        cacheBytes_ = std::move(bytes);
        cacheValid_ = true;
    }
    return &cache_;
}

bool IniProfile::store(const std::string& file, const std::vector<Line>& lines) const
{
    std::string bytes;
    for (const Line& l : lines) {
        bytes += l.text;
        bytes += "\r\n";
    }
    cacheValid_ = false;
    if (files_) return saveWholeFile(*files_, file, bytes) == SaveOutcome::kSaved;
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    if (!out) return false;
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    return !out.fail();
}

std::string IniProfile::getString(const std::string& file, const std::string& section,
                                  const std::string& key, const std::string& defaultValue,
                                  std::size_t maxChars) const
{
    std::string result = trimRight(defaultValue);
    if (const Parsed* p = load(file)) {
        auto s = p->sectionIndex.find(lower(trim(section)));
        if (s != p->sectionIndex.end()) {
            const Section& sec = p->sections[s->second];
            auto k = sec.keys.find(lower(trim(key)));
            if (k != sec.keys.end()) result = unquote(p->lines[k->second].value);
        }
    }
    if (result.size() > maxChars) result.resize(maxChars);
    return result;
}

int IniProfile::getInt(const std::string& file, const std::string& section, const std::string& key,
                       int defaultValue) const
{
    // The original reads the value into a 30-character buffer first.
    const std::string v = getString(file, section, key, std::string(), 29);
    if (v.empty()) return defaultValue;
    std::size_t i = 0;
    while (i < v.size() && static_cast<unsigned char>(v[i]) <= ' ') ++i;
    bool negative = false;
    if (i < v.size() && (v[i] == '+' || v[i] == '-')) negative = v[i++] == '-';
    std::uint32_t n = 0;
    for (; i < v.size() && v[i] >= '0' && v[i] <= '9'; ++i) n = n * 10u + static_cast<std::uint32_t>(v[i] - '0');
    if (negative) n = 0u - n;
    return static_cast<int>(n);
}

bool IniProfile::writeString(const std::string& file, const std::string& section,
                             const std::string& key, const std::string& value)
{
    Parsed p;
    std::string bytes;
    if (readWhole(file, bytes)) {
        parse(bytes, p);
    } else if (fileExists(file)) {
        return false;  // there, but unreadable: never overwrite it blindly
    }
    std::vector<Line>& lines = p.lines;
    auto blankLine = [](const Line& l) { return trim(l.text).empty(); };

    Line entry;
    entry.kind = Line::kKey;
    auto s = p.sectionIndex.find(lower(trim(section)));
    if (s == p.sectionIndex.end()) {
        if (!lines.empty() && !blankLine(lines.back())) lines.push_back(Line());
        Line header;
        header.text = "[" + trim(section) + "]";
        lines.push_back(std::move(header));
        entry.text = trim(key) + "=" + value;
        lines.push_back(std::move(entry));
        return store(file, lines);
    }
    const Section& sec = p.sections[s->second];
    auto k = sec.keys.find(lower(trim(key)));
    if (k != sec.keys.end()) {
        // The key keeps the spelling it has in the file.
        lines[k->second].text = lines[k->second].name + "=" + value;
        return store(file, lines);
    }
    // A new key goes after the section's last non-blank line, so blank lines
    // that separate it from the next section stay where they are.
    std::size_t at = sec.end;
    while (at > sec.header + 1 && blankLine(lines[at - 1])) --at;
    entry.text = trim(key) + "=" + value;
    lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(at), std::move(entry));
    return store(file, lines);
}

bool IniProfile::deleteSection(const std::string& file, const std::string& section)
{
    std::string bytes;
    if (!readWhole(file, bytes)) return !fileExists(file);  // no file: nothing to delete
    Parsed p;
    parse(bytes, p);
    auto s = p.sectionIndex.find(lower(trim(section)));
    if (s == p.sectionIndex.end()) return true;
    const Section& sec = p.sections[s->second];
    p.lines.erase(p.lines.begin() + static_cast<std::ptrdiff_t>(sec.header),
                  p.lines.begin() + static_cast<std::ptrdiff_t>(sec.end));
    return store(file, p.lines);
}

} // namespace orvox::platform
