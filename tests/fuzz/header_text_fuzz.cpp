// User texts reach the job header from dialogs, catalogs and settings files;
// whatever bytes they hold, a formatted line stays one line whose user text
// reads back exactly, and the header cut on a print file stays inside it.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "print/spooler_output.h"
#include "print/template_format.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace orvox;
    const std::string_view text(reinterpret_cast<const char*>(data), size);

    const std::string token = encodeHeaderToken(text);
    for (const char c : token) {
        if (c <= 0x20 || c >= 0x7F || c == '(' || c == ')' || c == '"') std::abort();
    }
    if (decodeHeaderToken(token) != text) std::abort();

    const std::string line = formatTemplate("\n@PJL COMMENT x=(%.200s)", {TemplateArg::userText(text)});
    if (line.find_first_of("\r\n", 1) != std::string::npos || line.size() > 255) std::abort();
    const std::string name = formatTemplate("\n@PJL SET JOBNAME=\"%#.80s\"", {TemplateArg::userText(text)});
    if (name.find_first_of("\r\n", 1) != std::string::npos || name.find('"', 19) != name.size() - 1) std::abort();

    // The markers may match anywhere; every position stays inside the chunk.
    for (const char* marker : {"\x1B%-12345X@PJL", "@PJL ENTER LANGUAGE", "POSTSCRIPT\n", "PCL\n", "="}) {
        const auto at = findHeaderMarker(text, 0, marker);
        if (at && *at > text.size()) std::abort();
    }
    return 0;
}
