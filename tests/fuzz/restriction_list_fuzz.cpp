// The restriction file is edited by hand at the customer's site; whatever it
// holds, reading it must end in success or failure, never in a fault.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "platform/posix/res_strings.h"
#include "ui/portable/restriction_list.h"

namespace {

class NullTarget : public orvox::ui::RestrictionTarget {
public:
    bool pageExists() const override { return true; }
    std::unique_ptr<orvox::ui::RestrictedControl> findControl(int) override { return nullptr; }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const orvox::platform::MapStrings strings({{120, "Model Zero"}, {1029, "Model One"},
                                                      {1019, "1019"}, {286, "5"}, {128, "0"}});
    orvox::ui::RestrictionSet set;
    if (set.parse(std::string_view(reinterpret_cast<const char*>(data), size), strings)) {
        NullTarget target;
        orvox::ui::RestrictionFlags flags;
        for (const auto& section : set.sections()) set.apply(2617, section.displayName, target, flags);
    }
    return 0;
}
