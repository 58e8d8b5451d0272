#include "ui/colour_mapping_page.h"

#include <cstdlib>

#include "resource.h"
#include "ui/portable/colour_usage.h"

namespace orvox::ui {
namespace {

constexpr std::array<int, ColourMappingPage::kColours> kComboIds{
    IDC_COMBO_COLOUR_RED,    IDC_COMBO_COLOUR_GREEN,  IDC_COMBO_COLOUR_BLUE,  IDC_COMBO_COLOUR_CYAN,
    IDC_COMBO_COLOUR_MAGENTA, IDC_COMBO_COLOUR_YELLOW, IDC_COMBO_COLOUR_BLACK, IDC_COMBO_COLOUR_BITMAPS};

constexpr std::array<ComboItemRow, kPrinterColourCount + 1> kPrinterColours{{
    {IDS_PRINTER_COLOUR_BLACK, nullptr},
    {IDS_PRINTER_COLOUR_HIGH1, nullptr},
    {IDS_PRINTER_COLOUR_HIGH2, nullptr},
    {IDS_PRINTER_COLOUR_HIGH3, nullptr},
    {IDS_PRINTER_COLOUR_HIGH4, nullptr},
    {IDS_PRINTER_COLOUR_PROCESS, nullptr},
    {0, nullptr},
}};

} // namespace

ColourMappingPage::ColourMappingPage(const PageSlot& slot, JobDocument& doc) : TabPage(slot), doc_(doc)
{
}

BOOL ColourMappingPage::onInitDialog()
{
    for (std::size_t k = 0; k < combos_.size(); ++k) {
        combos_[k].attach(hwnd(), kComboIds[k]);
        combos_[k].fill(kPrinterColours, 0, true, doc_.services().strings);
    }
    return TabPage::onInitDialog();
}

bool ColourMappingPage::loadFromDocument()
{
    enableHelpButton(IDC_COLOUR_HELP);
    // The printer's restriction list may take colours away; it is applied here
    // because every model change reloads the pages. What one model withdrew
    // comes back for the next one first.
    for (ItemEnablingComboBox& combo : combos_) combo.enableAllItems();
    TabPage::printerChanged();
    filling_ = true;
    for (std::size_t k = 0; k < combos_.size(); ++k) {
        // A value that is no printer colour (from an old or damaged file) shows
        // no selection rather than another colour, and stays stored until the
        // operator picks one.
        if (!combos_[k].forceSelection(doc_.colorMapping(static_cast<int>(k))))
            combos_[k].send(CB_SETCURSEL, static_cast<WPARAM>(-1));
    }
    filling_ = false;
    return true;
}

bool ColourMappingPage::saveToDocument()
{
    for (std::size_t k = 0; k < combos_.size(); ++k) {
        const int selection = combos_[k].selection();
        if (selection >= 0) doc_.setColorMapping(static_cast<int>(k), static_cast<std::int16_t>(selection));
    }
    return true;
}

ColourMappingPage::ColoursInUse ColourMappingPage::coloursInUse() const
{
    ColoursInUse result;
    if (!initialised() || !hwnd()) return result;
    std::array<int, kColours> selections{};
    for (std::size_t k = 0; k < combos_.size(); ++k) {
        selections[k] = combos_[k].selection();
        result.texts.push_back(combos_[k].selectedText());
    }
    result.highlightColours = highlightColoursInUse(selections).value_or(0);
    return result;
}

bool ColourMappingPage::onCommand(int id, int code, HWND /*control*/)
{
    if (!initialised()) return false;
    if (code == CBN_SELCHANGE && comboIndex(id) >= 0) {
        if (!filling_) save();
        return true;
    }
    if (code != BN_CLICKED) return false;
    switch (id) {
    case IDC_COLOUR_RESET: reset(); return true;
    case IDC_COLOUR_HELP: showPageHelp(); return true;
    default: return false;
    }
}

void ColourMappingPage::reset()
{
    const int item = std::atoi(doc_.services().strings.load(IDS_INDEX_COLOUR_RESET).c_str());
    filling_ = true;
    for (ItemEnablingComboBox& combo : combos_) combo.selectItem(item);
    filling_ = false;
    save();
}

int ColourMappingPage::comboIndex(int controlId) const
{
    for (std::size_t k = 0; k < kComboIds.size(); ++k)
        if (kComboIds[k] == controlId) return static_cast<int>(k);
    return -1;
}

} // namespace orvox::ui
