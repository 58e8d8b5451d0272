#include "print/template_format.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <vector>

namespace orvox {

namespace {

// Widths and precisions beyond this are taken as this: a template cannot ask
// for a line of megabytes.
constexpr int kMaxWidth = 1024;

struct Conversion {
    int position = 0;  // 1-based argument number of a "%N$" conversion; 0 takes the next one
    std::string flags;
    int width = -1;
    int precision = -1;
    char conversion = 0;
};

int readNumber(std::string_view s, std::size_t& pos)
{
    int value = 0;
    while (pos < s.size() && s[pos] >= '0' && s[pos] <= '9') {
        value = std::min(kMaxWidth, value * 10 + (s[pos] - '0'));
        ++pos;
    }
    return value;
}

// Reads a conversion after its '%'; false when it is not one we format.
bool parseConversion(std::string_view format, std::size_t& pos, Conversion& conv)
{
    {
        std::size_t digits = pos;
        while (digits < format.size() && format[digits] >= '0' && format[digits] <= '9') ++digits;
        if (digits > pos && digits < format.size() && format[digits] == '$' && format[pos] != '0') {
            conv.position = readNumber(format, pos);
            ++pos;
        }
    }
    while (pos < format.size() && std::string_view("-+ #0").find(format[pos]) != std::string_view::npos) {
        conv.flags += format[pos++];
    }
    if (pos < format.size() && format[pos] >= '0' && format[pos] <= '9') conv.width = readNumber(format, pos);
    if (pos < format.size() && format[pos] == '.') {
        ++pos;
        conv.precision = readNumber(format, pos);
    }
    // Length modifiers change nothing here: every integer is formatted as long long.
    while (pos < format.size() && std::string_view("hlLqjzt").find(format[pos]) != std::string_view::npos) ++pos;
    if (format.substr(pos, 3) == "I64" || format.substr(pos, 3) == "I32") {
        pos += 3;
    } else if (pos < format.size() && format[pos] == 'I') {
        ++pos;
    }
    if (pos >= format.size()) return false;
    conv.conversion = format[pos];
    if (std::string_view("diuxXocsPM").find(conv.conversion) == std::string_view::npos) return false;
    ++pos;
    return true;
}

void pad(std::string& out, std::string_view body, const Conversion& conv)
{
    const std::size_t width = conv.width > 0 ? static_cast<std::size_t>(conv.width) : 0;
    const std::size_t fill = width > body.size() ? width - body.size() : 0;
    const bool left = conv.flags.find('-') != std::string::npos;
    if (!left) out.append(fill, ' ');
    out += body;
    if (left) out.append(fill, ' ');
}

void appendNumber(std::string& out, long long value, const Conversion& conv)
{
    char conversion = conv.conversion;
    if (conversion == 's' || conversion == 'c') conversion = 'd';
    // The format is rebuilt from checked parts only, so snprintf sees nothing of the template.
    std::string f = "%" + conv.flags;
    if (conv.width >= 0) f += std::to_string(conv.width);
    if (conv.precision >= 0) f += "." + std::to_string(conv.precision);
    f += "ll";
    f += conversion;
    char small[64];
    const int n = std::snprintf(small, sizeof small, f.c_str(), value);
    if (n < 0) return;
    if (static_cast<std::size_t>(n) < sizeof small) {
        out.append(small, static_cast<std::size_t>(n));
        return;
    }
    std::vector<char> big(static_cast<std::size_t>(n) + 1);
    std::snprintf(big.data(), big.size(), f.c_str(), value);
    out.append(big.data(), static_cast<std::size_t>(n));
}

// The longest start of an encoded token that holds no half escape.
std::string_view cutEncoded(std::string_view encoded, std::size_t limit)
{
    if (limit >= encoded.size()) return encoded;
    std::size_t end = limit;
    // An escape is three bytes: a % within the last two kept bytes starts a cut one.
    for (std::size_t back = 1; back <= 2 && back <= end; ++back) {
        if (encoded[end - back] == '%') {
            end -= back;
            break;
        }
    }
    return encoded.substr(0, end);
}

// False when a mapping conversion (P, M) found no name: its line is left out.
bool appendArg(std::string& out, const TemplateArg& arg, const Conversion& conv)
{
    if (conv.conversion == 'P' || conv.conversion == 'M') {
        const std::string_view text = arg.kind() == TemplateArg::Kind::kInteger ? std::string_view() : arg.text();
        const std::string name = conv.conversion == 'P' ? paperSizeName(text) : mediaTypeName(text);
        if (name.empty()) return false;
        pad(out, name, conv);
        return true;
    }
    switch (arg.kind()) {
    case TemplateArg::Kind::kUserText: {
        const bool quoted = conv.flags.find('#') != std::string::npos;
        const std::string safe = quoted ? quotedStringText(arg.text()) : encodeHeaderToken(arg.text());
        std::string_view text = safe;
        if (conv.precision >= 0) {
            const auto limit = static_cast<std::size_t>(conv.precision);
            text = quoted ? text.substr(0, limit) : cutEncoded(text, limit);
        }
        pad(out, text, conv);
        return true;
    }
    case TemplateArg::Kind::kText: {
        std::string_view text = arg.text();
        if (conv.conversion == 's' && conv.precision >= 0) {
            text = text.substr(0, static_cast<std::size_t>(conv.precision));
        }
        pad(out, text, conv);
        return true;
    }
    case TemplateArg::Kind::kCharacter:
        if (conv.conversion == 'c' || conv.conversion == 's') {
            const char c = static_cast<char>(arg.number());
            pad(out, std::string_view(&c, 1), conv);
            return true;
        }
        appendNumber(out, arg.number(), conv);
        return true;
    case TemplateArg::Kind::kInteger:
        if (conv.conversion == 'c') {
            const char c = static_cast<char>(arg.number());
            pad(out, std::string_view(&c, 1), conv);
            return true;
        }
        appendNumber(out, arg.number(), conv);
        return true;
    }
    return true;
}

int hexValue(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

} // namespace

std::string encodeHeaderToken(std::string_view text)
{
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte > 0x20 && byte < 0x7F && c != '%' && c != '(' && c != ')' && c != '"') {
            out += c;
        } else {
            out += '%';
            out += kHex[byte >> 4];
            out += kHex[byte & 0x0F];
        }
    }
    return out;
}

std::string decodeHeaderToken(std::string_view token)
{
    std::string out;
    out.reserve(token.size());
    for (std::size_t i = 0; i < token.size(); ++i) {
        if (token[i] == '%' && i + 2 < token.size() && hexValue(token[i + 1]) >= 0 && hexValue(token[i + 2]) >= 0) {
            out += static_cast<char>(hexValue(token[i + 1]) * 16 + hexValue(token[i + 2]));
            i += 2;
        } else {
            out += token[i];
        }
    }
    return out;
}

std::string quotedStringText(std::string_view text)
{
    std::string out(text);
    for (char& c : out) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"') {
            c = '\'';
        } else if (byte < 0x20 || byte == 0x7F) {
            c = ' ';
        } else if ((byte >= 0x80 && byte <= 0xA0) || byte == 0xFF) {
            c = '?';
        }
    }
    return out;
}

std::string formatTemplate(std::string_view format, std::initializer_list<TemplateArg> args)
{
    std::string out;
    out.reserve(format.size() + 32);
    const TemplateArg* const first = args.begin();
    const std::size_t count = args.size();
    std::size_t next = 0;
    // Where the line being written started, when a mapping found no name in it.
    std::optional<std::size_t> dropFrom;
    auto appendLiteral = [&](std::string_view text) {
        if (dropFrom) {
            const std::size_t lineEnd = text.find('\n');
            if (lineEnd == std::string_view::npos) return;
            out.erase(*dropFrom);
            dropFrom.reset();
            text.remove_prefix(lineEnd);
        }
        out += text;
    };
    std::size_t pos = 0;
    while (pos < format.size()) {
        const std::size_t percent = format.find('%', pos);
        if (percent == std::string_view::npos) {
            appendLiteral(format.substr(pos));
            break;
        }
        appendLiteral(format.substr(pos, percent - pos));
        if (percent + 1 < format.size() && format[percent + 1] == '%') {
            appendLiteral("%");
            pos = percent + 2;
            continue;
        }
        std::size_t conversionEnd = percent + 1;
        Conversion conv;
        if (!parseConversion(format, conversionEnd, conv)) {
            // Not ours to interpret: the '%' is kept and the text goes on after it.
            appendLiteral("%");
            pos = percent + 1;
            continue;
        }
        const std::size_t index = conv.position > 0 ? static_cast<std::size_t>(conv.position - 1) : next++;
        // A conversion beyond the last argument gives nothing; a mapping then finds no name.
        const bool mapping = conv.conversion == 'P' || conv.conversion == 'M';
        const bool written = index < count ? appendArg(out, first[index], conv) : !mapping;
        if (!written && !dropFrom) {
            const std::size_t lineStart = out.rfind('\n');
            dropFrom = lineStart == std::string::npos ? 0 : lineStart;
        }
        pos = conversionEnd;
    }
    if (dropFrom) out.erase(*dropFrom);
    return out;
}

namespace {

struct NamedSize {
    const char* name;
    int width;
    int height;
};

// Standard sizes in points, portrait (ISO sizes rounded to whole points).
constexpr NamedSize kPaperSizes[] = {
    {"LETTER", 612, 792}, {"LEGAL", 612, 1008}, {"LEDGER", 792, 1224}, {"EXECUTIVE", 522, 756},
    {"A3", 842, 1191},    {"A4", 595, 842},     {"A5", 420, 595},      {"B4", 709, 1001},
    {"B5", 499, 709},     {"JISB4", 729, 1032}, {"JISB5", 516, 729},
};

// The media types a catalog names, written without blanks, hyphens and case.
struct NamedType {
    const char* catalog;
    const char* name;
};
constexpr NamedType kMediaTypes[] = {
    {"plain", "PLAIN"},         {"bond", "BOND"},           {"recycled", "RECYCLED"},
    {"transparency", "TRANSPARENCY"}, {"labels", "LABELS"}, {"label", "LABELS"},
    {"letterhead", "LETTERHEAD"}, {"preprinted", "PREPRINTED"}, {"predrilled", "PREPUNCHED"},
    {"prepunched", "PREPUNCHED"}, {"punched", "PREPUNCHED"}, {"drilled", "PREPUNCHED"},
    {"cardstock", "CARDSTOCK"}, {"cover", "CARDSTOCK"},     {"color", "COLOR"},
    {"colour", "COLOR"},
};

} // namespace

std::string paperSizeName(std::string_view sizeText)
{
    int width = 0;
    int height = 0;
    char rest = 0;
    const std::string text(sizeText);
    if (std::sscanf(text.c_str(), "%d %d %c", &width, &height, &rest) != 2 || width <= 0 || height <= 0) return {};
    if (width > height) std::swap(width, height);
    for (const NamedSize& size : kPaperSizes) {
        if (std::abs(width - size.width) <= kPaperSizeTolerance && std::abs(height - size.height) <= kPaperSizeTolerance)
            return size.name;
    }
    return {};
}

std::string mediaTypeName(std::string_view mediaText)
{
    if (mediaText.size() >= 2 && mediaText.front() == '(' && mediaText.back() == ')')
        mediaText = mediaText.substr(1, mediaText.size() - 2);
    std::string key;
    for (const char c : decodeHeaderToken(mediaText)) {
        const auto byte = static_cast<unsigned char>(c);
        // Blanks, hyphens and the soft hyphens of the character fix-up do not count.
        if (c == ' ' || c == '-' || c == '_' || byte == 0xAD) continue;
        key += static_cast<char>(std::tolower(byte));
    }
    for (const NamedType& type : kMediaTypes)
        if (key == type.catalog) return type.name;
    return {};
}

} // namespace orvox
