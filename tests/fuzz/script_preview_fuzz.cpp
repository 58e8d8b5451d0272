// A script file is any file the operator points at: its first bytes, whatever
// they are, must become a preview text without a fault, and the text must show
// every byte read (no zero byte may cut it short) with CR LF line ends only.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "ui/portable/script_preview.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::string text = orvox::ui::previewText(bytes);
    if (text.find('\0') != std::string::npos || text.size() < bytes.size()) std::abort();
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) std::abort();
        if (text[i] == '\r' && (i + 1 == text.size() || text[i + 1] != '\n')) std::abort();
    }
    orvox::ui::namesDevice(bytes);
    return 0;
}
