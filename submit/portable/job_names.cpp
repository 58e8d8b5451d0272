#include "submit/portable/job_names.h"

#include <cctype>

namespace orvox::submit {
namespace {

constexpr int kMaxSuffix = 100000;

bool endsWithNoCase(std::string_view name, std::string_view tail)
{
    return name.size() >= tail.size() && equalNoCase(name.substr(name.size() - tail.size()), tail);
}

// The extension starts at the last dot that is not the first character.
std::size_t extensionAt(std::string_view name)
{
    const std::size_t dot = name.rfind('.');
    return dot == std::string_view::npos || dot == 0 ? name.size() : dot;
}

} // namespace

bool equalNoCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

bool isTicketName(std::string_view name)
{
    return endsWithNoCase(name, ".xml") || endsWithNoCase(name, ".ovx");
}

bool isTiffName(std::string_view name)
{
    return endsWithNoCase(name, ".tif") || endsWithNoCase(name, ".tiff");
}

bool isTemporaryName(std::string_view name)
{
    return name.empty() || name.front() == '.' || name.front() == '~' || endsWithNoCase(name, ".tmp") ||
           endsWithNoCase(name, ".part");
}

bool isFolderTicketName(std::string_view name)
{
    return equalNoCase(name, kFolderTicketXml) || equalNoCase(name, kFolderTicketSettings);
}

std::vector<std::string> ownTicketNames(std::string_view printFile)
{
    const std::string base(printFile.substr(0, extensionAt(printFile)));
    return {base + ".xml", base + ".ovx"};
}

std::string suffixedName(std::string_view name, int n)
{
    if (n <= 1) return std::string(name);
    const std::size_t at = extensionAt(name);
    return std::string(name.substr(0, at)) + " (" + std::to_string(n) + ")" + std::string(name.substr(at));
}

std::string logNameOf(std::string_view printFile) { return std::string(printFile) + ".log"; }

int freeSuffix(std::string_view printFile, const std::vector<std::string>& companions,
               const std::function<bool(const std::string&)>& taken)
{
    for (int n = 1; n <= kMaxSuffix; ++n) {
        const std::string file = suffixedName(printFile, n);
        bool free = !taken(file) && !taken(logNameOf(file));
        for (std::size_t i = 0; free && i < companions.size(); ++i) free = !taken(suffixedName(companions[i], n));
        if (free) return n;
    }
    return 0;
}

} // namespace orvox::submit
