#include "ui/portable/attribute_panel.h"

#include "settings/paper_catalog.h"

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

std::optional<std::array<std::string, 5>> paperAttributeTexts(const PaperCatalog& catalog, const std::string& name)
{
    const int index = catalog.findPaper(name);
    if (index <= 0) return std::nullopt;
    const PaperDefinition& paper = catalog.paper(index);
    const std::vector<std::string>& sizes = catalog.vocabulary(PaperCatalog::kSizes);
    std::string size;
    if (paper.sizeCode >= 1 && static_cast<std::size_t>(paper.sizeCode) <= sizes.size())
        size = sizes[static_cast<std::size_t>(paper.sizeCode) - 1];
    return std::array<std::string, 5>{paper.name, size, paper.mediaText1, paper.weight, paper.mediaText3};
}

} // namespace orvox::ui
