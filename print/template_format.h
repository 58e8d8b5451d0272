#pragma once
// printf-style formatting of command templates. The templates are texts of the
// resource module, so they are outside input: a conversion that does not match
// its argument, or one argument too few, must give a readable result rather
// than undefined behaviour, and nothing is formatted into a fixed buffer.
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

namespace orvox {

// One argument of a template: a text, an integer or a single character.
class TemplateArg {
public:
    enum class Kind : std::uint8_t { kText, kInteger, kCharacter };

    TemplateArg(std::string_view text) : kind_(Kind::kText), text_(text) {}
    TemplateArg(const char* text) : kind_(Kind::kText), text_(text) {}
    TemplateArg(const std::string& text) : kind_(Kind::kText), text_(text) {}
    TemplateArg(int value) : kind_(Kind::kInteger), number_(value) {}
    TemplateArg(long long value) : kind_(Kind::kInteger), number_(value) {}
    static TemplateArg character(char c)
    {
        TemplateArg a(static_cast<long long>(static_cast<unsigned char>(c)));
        a.kind_ = Kind::kCharacter;
        return a;
    }

    Kind kind() const { return kind_; }
    std::string_view text() const { return text_; }
    long long number() const { return number_; }

private:
    Kind kind_;
    std::string_view text_;
    long long number_ = 0;
};

// Formats `format` with `args` in order. Supported conversions: d i u x X o c s
// and %%, with flags, width, precision and length modifiers. Each argument is
// shown in its own form whatever conversion takes it (a text under %d stays
// the text; a number under %s is written in decimal). Conversions beyond the
// last argument give nothing; unknown conversions (%n, %f, %*d ...) are copied
// as they stand and take no argument.
std::string formatTemplate(std::string_view format, std::initializer_list<TemplateArg> args);

} // namespace orvox
