#include "ui/portable/attribute_panel.h"

namespace orvox::ui {

std::optional<ScreenPoint> placeAttributePanel(const ScreenRect& list, int panelWidth, int panelHeight,
                                               int screenWidth, int screenHeight)
{
    constexpr int kGap = 10;
    int x = list.right + kGap;
    if (list.right + panelWidth + kGap > screenWidth) {
        x = list.left - panelWidth - kGap;
        if (x < 0) return std::nullopt;
    }
    const int listHeight = list.bottom - list.top;
    int y = list.top;
    if (listHeight > panelHeight) {
        y = list.top + (listHeight / 2 - panelHeight / 2);
        // A list that runs off the bottom opened upwards from its combo.
        if (list.bottom > screenHeight) y -= listHeight;
    }
    if (y + panelHeight > screenHeight) y = screenHeight - kGap - panelHeight;
    return ScreenPoint{x, y};
}

std::string attributeFieldText(const std::string& text) { return text.substr(0, kAttributeFieldChars); }

} // namespace orvox::ui
