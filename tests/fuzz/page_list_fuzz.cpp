// Page lists come from what the operator typed and from settings files and
// XML; whatever they hold, checking them and rewriting them for the printer
// ends, a fault is one of the kinds the callers report, and the segments
// written into the header stay within a header line.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "fuzz_support.h"
#include "print/command_templates.h"
#include "print/page_list_expression.h"
#include "settings/page_list.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace orvox;
    static const CommandTemplates templates[2] = {
        [] {
            CommandTemplates t;
            t.load(0, fuzz::shippedStrings());
            return t;
        }(),
        [] {
            CommandTemplates t;
            t.load(1, fuzz::shippedStrings());
            return t;
        }(),
    };
    if (size == 0) return 0;
    // The first byte chooses the model and the modes; the rest is the list.
    const unsigned flags = data[0];
    const std::string_view text(reinterpret_cast<const char*>(data) + 1, size - 1);
    const CommandTemplates& t = templates[flags & 1];

    std::string checked(text);
    const int fault = validatePageList(checked, flags & 2, flags & 4);
    if (fault != kPageListOk && fault != kPageListNotANumber && fault != kPageListBadLastKeyword &&
        fault != kPageListBadCaret && fault != kPageListBadOpenRange && fault != kPageListBadPageOrRange)
        std::abort();
    // Checking changes letter case at most.
    if (checked.size() != text.size()) std::abort();

    // A range may end at page 999999: such a list is written as megabytes of
    // page numbers, a second's work under the sanitizers. The unit tests cover
    // the largest range; here ends are kept to four digits so the fuzzer runs fast.
    for (std::size_t i = 0, digits = 0; i < text.size(); ++i) {
        digits = text[i] >= '0' && text[i] <= '9' ? digits + 1 : 0;
        if (digits > 4) return 0;
    }
    const std::string normal = normalisePageList(text);
    std::string lines = "prefix";
    if (rewritePageList(normal, lines, flags & 8, flags & 16, t) != 0) std::abort();
    if (!(flags & 8) && lines.compare(0, 6, "prefix") != 0) std::abort();

    const std::string continuation = "\n%C ";
    const auto segments = pageListSegments(lines, t, continuation);
    for (const std::string& s : segments)
        if (s.size() > 255) std::abort();
    return 0;
}
