// The restriction file is edited by hand at the customer's site; whatever it
// holds, reading it must end in success or failure, never in a fault. The file
// reader takes one line at a time from disk and the text reader splits a text
// it is given; both must come to the same result.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "fuzz_support.h"
#include "platform/posix/res_strings.h"
#include "ui/portable/restriction_list.h"

namespace {

class NullTarget : public orvox::ui::RestrictionTarget {
public:
    bool pageExists() const override { return true; }
    std::unique_ptr<orvox::ui::RestrictedControl> findControl(int) override { return nullptr; }
};

bool sameEntries(const orvox::ui::RestrictionEntry& a, const orvox::ui::RestrictionEntry& b)
{
    return a.templateId == b.templateId && a.controlId == b.controlId && a.kind == b.kind && a.state == b.state &&
           a.itemCount == b.itemCount && a.items == b.items;
}

bool sameSets(const orvox::ui::RestrictionSet& a, const orvox::ui::RestrictionSet& b)
{
    if (a.failedLine() != b.failedLine() || a.sections().size() != b.sections().size()) return false;
    for (std::size_t s = 0; s < a.sections().size(); ++s) {
        const auto& x = a.sections()[s];
        const auto& y = b.sections()[s];
        if (x.displayName != y.displayName || x.entries.size() != y.entries.size()) return false;
        for (std::size_t e = 0; e < x.entries.size(); ++e)
            if (!sameEntries(x.entries[e], y.entries[e])) return false;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const orvox::platform::MapStrings strings({{120, "Model Zero"}, {1029, "Model One"},
                                                      {1019, "1019"}, {286, "5"}, {128, "0"}});
    static const std::string path = orvox::fuzz::scratchFile("models.ini");
    orvox::ui::RestrictionSet set;
    const bool parsed = set.parse(std::string_view(reinterpret_cast<const char*>(data), size), strings);
    if (parsed) {
        NullTarget target;
        orvox::ui::RestrictionFlags flags;
        for (const auto& section : set.sections()) set.apply(2617, section.displayName, target, flags);
    }
    orvox::fuzz::writeFile(path, data, size);
    orvox::ui::RestrictionSet fromFile;
    if (fromFile.read(path, strings) != parsed || !sameSets(set, fromFile)) std::abort();
    return 0;
}
