#pragma once
// The 180 command templates of the current printer model: every command word
// of a job header comes from here, so the library itself holds no printer
// language. The texts are strings of the resource module.
#include <array>
#include <cstdint>
#include <initializer_list>
#include <string>

#include "platform/strings.h"
#include "print/template_format.h"

namespace orvox {

class CommandTemplates {
public:
    static constexpr int kCount = 180;
    // First string id of each model's block; template n is base + n.
    static constexpr unsigned kModel0Base = 2430;
    static constexpr unsigned kModel1Base = 2250;

    // Replaces every slot with the block of `printerModel`, in slot order.
    // 1 (nothing touched) for a model without a block; 0 otherwise. A string
    // the module lacks leaves its slot empty; a longer one is cut at 255.
    std::int16_t load(std::int16_t printerModel, const platform::StringSource& strings);

    // Slot n; empty for a missing string or n outside 0..179.
    const std::string& text(int n) const;
    // Slot n formatted with `args` (safely, see formatTemplate).
    std::string format(int n, std::initializer_list<TemplateArg> args = {}) const
    {
        return formatTemplate(text(n), args);
    }

    // Width and height in points of a catalog size code, "0 0" for no size.
    static const char* paperSizeText(int sizeCode);

private:
    std::array<std::string, kCount> slots_;
};

} // namespace orvox
