#pragma once
// Where the paper-attribute panel goes beside a dropped paper list, and what
// its fields show. Kept free of the window system so the rules can be tested.
#include <array>
#include <optional>
#include <string>

namespace orvox {
class PaperCatalog;
}

namespace orvox::ui {

struct ScreenRect {
    int left, top, right, bottom;
};

struct ScreenPoint {
    int x, y;
};

// Right of the list, or left of it when the screen ends first; centred on the
// list when the list is the taller; never below the screen. No place (the
// panel stays where it is) when it fits on neither side.
std::optional<ScreenPoint> placeAttributePanel(const ScreenRect& list, int panelWidth, int panelHeight,
                                               int screenWidth, int screenHeight);

// The panel's fields are narrow: each shows at most this many characters.
inline constexpr std::size_t kAttributeFieldChars = 23;
std::string attributeFieldText(const std::string& text);

// What the panel shows of the catalog paper named `name` (compared without
// regard to case): its name, size, colour, weight and type. The size is the
// name of the paper's size code; a code outside the size list shows nothing.
// None when the catalog has no such paper.
std::optional<std::array<std::string, 5>> paperAttributeTexts(const PaperCatalog& catalog, const std::string& name);

} // namespace orvox::ui
