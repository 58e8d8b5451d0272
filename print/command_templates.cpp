#include "print/command_templates.h"

#include <new>

namespace orvox {

std::int16_t CommandTemplates::load(std::int16_t printerModel, const platform::StringSource& strings)
{
    unsigned base = 0;
    if (printerModel == 0) {
        base = kModel0Base;
    } else if (printerModel == 1) {
        base = kModel1Base;
    } else {
        return 1;
    }
    try {
        for (int n = 0; n < kCount; ++n) {
            slots_[n].clear();
            slots_[n] = strings.loadTemplate(base + static_cast<unsigned>(n));
        }
    } catch (const std::bad_alloc&) {
        return 1;
    }
    return 0;
}

const std::string& CommandTemplates::text(int n) const
{
    static const std::string empty;
    if (n < 0 || n >= kCount) return empty;
    return slots_[n];
}

const char* CommandTemplates::paperSizeText(int sizeCode)
{
    // Points (1/72 inch), width then height; codes 0 and 7 are both 11 x 17 in.
    static constexpr const char* kSizes[] = {
        "792 1224", "842 1191", "595 842", "638 842", "612 1008",
        "612 792",  "648 792",  "792 1224", "576 756", "648 864",
    };
    if (sizeCode < 0 || sizeCode > 9) return "0 0";
    return kSizes[sizeCode];
}

} // namespace orvox
