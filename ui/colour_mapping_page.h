#pragma once
// The Colour mapping page: which of the printer's six colours each display
// colour of the documents (and all bitmaps) is printed in. Every change is
// stored at once; the print run asks the page how many highlight colours the
// job uses.
#include <array>
#include <string>
#include <vector>

#include "settings/job_document.h"
#include "ui/item_enabling_combo.h"
#include "ui/tab_page.h"

namespace orvox::ui {

class ColourMappingPage : public TabPage {
public:
    // One combo per document colour, in the order of the document's colour
    // mapping: red, green, blue, cyan, magenta, yellow, black, all bitmaps.
    static constexpr int kColours = 8;

    ColourMappingPage(const PageSlot& slot, JobDocument& doc);

    struct ColoursInUse {
        std::vector<std::string> texts;  // the eight selections, in the page's order
        int highlightColours = 0;        // different highlight colours among them
    };
    // A page not yet set up, or a combo without a selection (a stored value
    // that is no printer colour), counts no highlight colours: the job prints
    // as it is and is never refused for it.
    ColoursInUse coloursInUse() const;

protected:
    BOOL onInitDialog() override;
    bool onCommand(int id, int code, HWND control) override;
    bool loadFromDocument() override;
    bool saveToDocument() override;

private:
    void reset();
    int comboIndex(int controlId) const;

    JobDocument& doc_;
    std::array<ItemEnablingComboBox, kColours> combos_;
    bool filling_ = false;
};

} // namespace orvox::ui
