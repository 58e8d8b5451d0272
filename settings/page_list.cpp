#include "settings/page_list.h"

#include <algorithm>
#include <string_view>

namespace orvox {

namespace {

constexpr std::size_t kMaxPageDigits = 5;
constexpr std::size_t kMaxRangeEndDigits = 6;

bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isSeparator(char c) { return c == ' ' || c == ','; }

bool allDigits(std::string_view s)
{
    return !s.empty() && std::all_of(s.begin(), s.end(), isDigit);
}

// Digits only, and not a spelling of zero.
bool nonZeroNumber(std::string_view s)
{
    return allDigits(s) && s.find_first_not_of('0') != std::string_view::npos;
}

bool isPageNumber(std::string_view s)
{
    return s.size() <= kMaxPageDigits && nonZeroNumber(s);
}

// "5..9": a number, one or more dots, a number.
bool isClosedRange(std::string_view s)
{
    const std::size_t firstDot = s.find('.');
    if (firstDot == std::string_view::npos) return false;
    const std::size_t lastDot = s.find_last_of('.');
    if (s.substr(firstDot, lastDot - firstDot + 1).find_first_not_of('.') != std::string_view::npos) return false;
    const std::string_view from = s.substr(0, firstDot);
    const std::string_view to = s.substr(lastDot + 1);
    return nonZeroNumber(from) && to.size() <= kMaxRangeEndDigits && nonZeroNumber(to);
}

int checkToken(std::string& text, std::size_t begin, std::size_t length, bool noLastKeyword, bool caretsAllowed)
{
    const std::string_view token(text.data() + begin, length);
    const char first = token.front();
    const char last = token.back();

    if (caretsAllowed && length > 1 && (first == '^' || last == '^')) {
        const std::string_view number = first == '^' ? token.substr(1) : token.substr(0, length - 1);
        return nonZeroNumber(number) ? kPageListOk : kPageListBadCaret;
    }
    if (!noLastKeyword && (first == 'l' || first == 'L')) {
        if (length != 4) return kPageListBadLastKeyword;
        std::string lower(token);
        std::transform(lower.begin(), lower.end(), lower.begin(),
                       [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; });
        if (lower != "last") return kPageListBadLastKeyword;
        text.replace(begin, length, lower);
        return kPageListOk;
    }
    if (length == 1 || (first != '.' && last != '.')) {
        if (!isDigit(first)) return kPageListNotANumber;
        return isPageNumber(token) || isClosedRange(token) ? kPageListOk : kPageListBadPageOrRange;
    }
    // An open range: dots before the number, or dots after it.
    std::string_view number = token;
    if (first == '.') {
        number.remove_prefix(std::min(number.find_first_not_of('.'), number.size()));
    } else {
        number.remove_suffix(number.size() - number.find_last_not_of('.') - 1);
    }
    return allDigits(number) ? kPageListOk : kPageListBadOpenRange;
}

} // namespace

int validatePageList(std::string& text, bool noLastKeyword, bool caretsAllowed)
{
    std::size_t pos = 0;
    while (pos < text.size()) {
        if (isSeparator(text[pos])) {
            ++pos;
            continue;
        }
        std::size_t end = pos;
        while (end < text.size() && !isSeparator(text[end])) ++end;
        const int result = checkToken(text, pos, end - pos, noLastKeyword, caretsAllowed);
        if (result != kPageListOk) return result;
        pos = end;
    }
    return kPageListOk;
}

} // namespace orvox
