#include "ui/portable/script_preview.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdio>

#include "print/stdio_file.h"
#include "resource.h"

namespace orvox::ui {
namespace {

std::string upperCase(std::string_view text)
{
    std::string upper(text);
    std::transform(upper.begin(), upper.end(), upper.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return upper;
}

} // namespace

bool namesDevice(std::string_view path)
{
    if (path.rfind("\\\\.\\", 0) == 0 || path.rfind("//./", 0) == 0) return true;
    const auto slash = path.find_last_of("\\/:");
    std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
    // The system ignores an extension and trailing blanks after a device name.
    name = name.substr(0, name.find('.'));
    while (!name.empty() && name.back() == ' ') name.remove_suffix(1);
    const std::string upper = upperCase(name);
    static constexpr std::array<std::string_view, 6> kDevices{"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"};
    if (std::find(kDevices.begin(), kDevices.end(), upper) != kDevices.end()) return true;
    return upper.size() == 4 && (upper.rfind("COM", 0) == 0 || upper.rfind("LPT", 0) == 0) && upper[3] >= '1' &&
           upper[3] <= '9';
}

std::string previewText(std::string_view bytes)
{
    std::string text;
    text.reserve(bytes.size() + bytes.size() / 8);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        if (c == '\n') {
            if (i == 0 || bytes[i - 1] != '\r') text += '\r';
            text += '\n';
        } else if (c == '\r') {
            text += '\r';
            if (i + 1 == bytes.size() || bytes[i + 1] != '\n') text += '\n';
        } else if (c < 0x20 && c != '\t') {
            text += '.';
        } else {
            text += static_cast<char>(c);
        }
    }
    return text;
}

std::optional<std::string> scriptPreview(const std::string& path, const platform::StringSource& strings)
{
    if (path.empty()) return strings.load(IDS_SCRIPT_NO_FILE);
    if (namesDevice(path)) return std::nullopt;
    StdioFile file(path, "rb");
    if (!file) return std::nullopt;
    std::array<char, kScriptPreviewBytes> buffer{};
    const std::size_t read = std::fread(buffer.data(), 1, buffer.size(), file.get());
    if (read == 0) return strings.load(IDS_SCRIPT_NOTHING_READ);
    return previewText(std::string_view(buffer.data(), read));
}

} // namespace orvox::ui
