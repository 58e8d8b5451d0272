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
    // kUserText is text someone typed or a file named: it is never written as
    // it stands (see formatTemplate).
    enum class Kind : std::uint8_t { kText, kInteger, kCharacter, kUserText };

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
    static TemplateArg userText(std::string_view text)
    {
        TemplateArg a(text);
        a.kind_ = Kind::kUserText;
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
//
// A user text can never end a header line or leave the field it was put in:
// under %s it is written as a header token (encodeHeaderToken); under %#s as the
// body of a quoted string (quotedStringText). Precision and width apply to the
// written form; a precision never cuts a %XX escape in half.
//
// "%N$" before a conversion (N from 1) takes argument N instead of the next one,
// so a template can use an argument twice; conversions without it go on in order.
// Two conversions map a text to a job-control name: %P a paper size text in
// points ("595 842") to the standard size name (paperSizeName), %M a media text
// ("(Plain)") to the standard media type (mediaTypeName). When either finds no
// name, the line it stands on (from the line feed before it to the next one) is
// left out, so a variable the printer cannot be given is not written at all.
std::string formatTemplate(std::string_view format, std::initializer_list<TemplateArg> args);

// Sizes within this many points of a standard size, in either orientation, get its name.
inline constexpr int kPaperSizeTolerance = 5;

// The standard name of a paper size given as "width height" in points: LETTER,
// LEGAL, LEDGER (11 x 17 in), EXECUTIVE, A3, A4, A5, B4, B5, JISB4, JISB5; empty
// for any other size.
std::string paperSizeName(std::string_view sizeText);

// The standard media type of a catalog's media type text, in parentheses or
// not, %XX-encoded or not, case, blanks and hyphens ignored: PLAIN, BOND,
// RECYCLED, TRANSPARENCY, LABELS, LETTERHEAD, PREPRINTED, PREPUNCHED (also
// "pre-drilled"), CARDSTOCK (also "cover"), COLOR; empty for any other.
std::string mediaTypeName(std::string_view mediaText);

// A text as one blank-free token of the printable ASCII range: every byte
// outside 0x21..0x7E, and each of % ( ) ", is written as % and two upper-case
// hex digits. Reversible, so a reader of the header gets the text back.
std::string encodeHeaderToken(std::string_view text);
// The inverse of encodeHeaderToken; a % not followed by two hex digits stays.
std::string decodeHeaderToken(std::string_view token);

// A text for the inside of a double-quoted string that printers show on their
// panels: a double quote becomes an apostrophe, control bytes (below 0x20 and
// 0x7F) become blanks, and bytes 0x80..0xA0 and 0xFF, which are no printable
// characters there, become '?'. Blanks stay blanks.
std::string quotedStringText(std::string_view text);

} // namespace orvox
