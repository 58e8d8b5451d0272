#include "ui/paper_attribute_panel.h"

#include "platform/win32/win32_platform.h"
#include "resources/resource.h"
#include "settings/job_document.h"
#include "ui/paper_combo.h"
#include "ui/portable/attribute_panel.h"

namespace orvox::ui {

bool PaperAttributePanel::create(HWND page)
{
    if (hwnd()) return true;
    return createModeless(platform::currentResourceHandle(), IDD_PAPER_ATTRIBUTES, page) != nullptr;
}

void PaperAttributePanel::serve(PaperComboBox& combo, const JobDocument& doc)
{
    if (!hwnd()) return;
    combo.setAttributePanel(hwnd(), {IDC_PAPER_ATTRIBUTE_NAME, IDC_PAPER_ATTRIBUTE_SIZE, IDC_PAPER_ATTRIBUTE_COLOUR,
                                     IDC_PAPER_ATTRIBUTE_WEIGHT, IDC_PAPER_ATTRIBUTE_TYPE});
    // The catalog may be edited while the page lives: it is read at every highlight.
    combo.setPaperLookup([&doc](const std::string& name) { return paperAttributeTexts(doc.catalog(), name); });
}

void PaperAttributePanel::hide() const
{
    if (hwnd()) ShowWindow(hwnd(), SW_HIDE);
}

INT_PTR PaperAttributePanel::handleMessage(UINT msg, WPARAM wp, LPARAM lp)
{
    // Drawn like a tooltip, so it reads as information rather than as a dialog to work in.
    if (msg == WM_CTLCOLORDLG || msg == WM_CTLCOLORSTATIC) {
        auto dc = reinterpret_cast<HDC>(wp);
        SetTextColor(dc, GetSysColor(COLOR_INFOTEXT));
        SetBkColor(dc, GetSysColor(COLOR_INFOBK));
        return reinterpret_cast<INT_PTR>(GetSysColorBrush(COLOR_INFOBK));
    }
    if (msg == WM_MOUSEACTIVATE) return setResult(MA_NOACTIVATE);
    return DialogBase::handleMessage(msg, wp, lp);
}

} // namespace orvox::ui
