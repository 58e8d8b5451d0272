#include "print/template_format.h"

#include <algorithm>
#include <cstdio>
#include <vector>

namespace orvox {

namespace {

// Widths and precisions beyond this are taken as this: a template cannot ask
// for a line of megabytes.
constexpr int kMaxWidth = 1024;

struct Conversion {
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
    if (std::string_view("diuxXocs").find(conv.conversion) == std::string_view::npos) return false;
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

void appendArg(std::string& out, const TemplateArg& arg, const Conversion& conv)
{
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
        return;
    }
    case TemplateArg::Kind::kText: {
        std::string_view text = arg.text();
        if (conv.conversion == 's' && conv.precision >= 0) {
            text = text.substr(0, static_cast<std::size_t>(conv.precision));
        }
        pad(out, text, conv);
        return;
    }
    case TemplateArg::Kind::kCharacter:
        if (conv.conversion == 'c' || conv.conversion == 's') {
            const char c = static_cast<char>(arg.number());
            pad(out, std::string_view(&c, 1), conv);
            return;
        }
        appendNumber(out, arg.number(), conv);
        return;
    case TemplateArg::Kind::kInteger:
        if (conv.conversion == 'c') {
            const char c = static_cast<char>(arg.number());
            pad(out, std::string_view(&c, 1), conv);
            return;
        }
        appendNumber(out, arg.number(), conv);
        return;
    }
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
    auto next = args.begin();
    std::size_t pos = 0;
    while (pos < format.size()) {
        const std::size_t percent = format.find('%', pos);
        if (percent == std::string_view::npos) {
            out += format.substr(pos);
            break;
        }
        out += format.substr(pos, percent - pos);
        if (percent + 1 < format.size() && format[percent + 1] == '%') {
            out += '%';
            pos = percent + 2;
            continue;
        }
        std::size_t conversionEnd = percent + 1;
        Conversion conv;
        if (!parseConversion(format, conversionEnd, conv)) {
            // Not ours to interpret: the '%' is kept and the text goes on after it.
            out += '%';
            pos = percent + 1;
            continue;
        }
        if (next != args.end()) appendArg(out, *next++, conv);
        pos = conversionEnd;
    }
    return out;
}

} // namespace orvox
