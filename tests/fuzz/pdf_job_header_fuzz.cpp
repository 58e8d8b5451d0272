// A job file and the start of a print file, whatever bytes they hold: the
// split around PDF data loses and invents nothing, keeps the front part inside
// the window, and the formatting of a template (numbered arguments, mapping
// conversions that drop their line) never reads past its arguments.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "print/pdf_job_header.h"
#include "print/template_format.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace orvox;
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    // The first bytes choose the offset of the PDF header; the rest is the header.
    const std::size_t offset = size > 0 ? data[0] * 4u : 0;
    const std::string_view header = size > 0 ? input.substr(1) : input;

    if (const auto at = pdfHeaderOffset(input); at && (*at + 5 > kPdfHeaderWindow || input.substr(*at, 5) != "%PDF-"))
        std::abort();
    if (const auto parts = splitHeaderAroundPdf(header, offset)) {
        if (parts->front.size() + offset + 5 > kPdfHeaderWindow) std::abort();
        // Every byte of the header is in one of the parts, with the framing of the back part added.
        if (parts->front.size() + parts->back.size() != header.size() + 2 * 9 + 5 +
                                                            (header.back() == '\n' ? 0 : 1))
            std::abort();
    }

    const std::string line = formatTemplate(header, {"a", "595 842", "(Plain)", 7});
    (void)line;
    return 0;
}
