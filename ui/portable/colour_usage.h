#pragma once
// The colour mapping as the print run weighs it: the printer has four
// highlight colours (items 1 to 4 of every colour combo) besides black
// (item 0) and process colour (item 5), and a job that needs more than three
// of them may not come out as the operator expects.
#include <optional>
#include <span>

namespace orvox::ui {

inline constexpr int kPrinterColourCount = 6;
inline constexpr int kFirstHighlightColour = 1;
inline constexpr int kLastHighlightColour = 4;

// The number of different highlight colours among `selections` (one item
// index per document colour); empty when a combo has no valid selection.
std::optional<int> highlightColoursInUse(std::span<const int> selections);

} // namespace orvox::ui
