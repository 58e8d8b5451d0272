#include "ui/portable/colour_usage.h"

#include <bitset>

namespace orvox::ui {

std::optional<int> highlightColoursInUse(std::span<const int> selections)
{
    std::bitset<kPrinterColourCount> used;
    for (int item : selections) {
        if (item < 0 || item >= kPrinterColourCount) return std::nullopt;
        if (item >= kFirstHighlightColour && item <= kLastHighlightColour) used.set(static_cast<std::size_t>(item));
    }
    return static_cast<int>(used.count());
}

} // namespace orvox::ui
