#include "ui/portable/file_types.h"

#include <algorithm>
#include <cctype>

namespace orvox::ui {

std::string toLowerAscii(std::string_view text)
{
    std::string lower(text);
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return lower;
}

namespace {

// The text after the last dot of the last path component; empty without one.
std::string_view extensionOf(std::string_view name, bool& hasDot)
{
    const std::size_t slash = name.find_last_of("\\/");
    if (slash != std::string_view::npos) name.remove_prefix(slash + 1);
    const std::size_t dot = name.rfind('.');
    hasDot = dot != std::string_view::npos;
    return hasDot ? name.substr(dot + 1) : std::string_view{};
}

} // namespace

bool passesExtensionFilter(std::string_view name, std::string_view extensions)
{
    if (extensions.find_first_not_of(' ') == std::string_view::npos) return true;
    bool hasDot = false;
    const std::string extension = toLowerAscii(extensionOf(name, hasDot));
    if (!hasDot) return false;
    std::size_t at = 0;
    while (at < extensions.size()) {
        const std::size_t end = std::min(extensions.find(' ', at), extensions.size());
        if (end > at && toLowerAscii(extensions.substr(at, end - at)) == extension) return true;
        at = end + 1;
    }
    return false;
}

bool isTiffFileName(std::string_view name)
{
    return passesExtensionFilter(name, "tif tiff");
}

} // namespace orvox::ui
