#include "ui/paper_combo.h"

#include "ui/portable/attribute_panel.h"
#include "ui/win32_handles.h"

namespace orvox::ui {

void PaperComboBox::setAttributePanel(HWND panel, const std::array<int, 5>& fieldIds)
{
    panel_ = panel;
    fieldIds_ = fieldIds;
}

bool PaperComboBox::onReflect(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result)
{
    // The panel belongs to the open list only.
    if (msg == WM_COMMAND && HIWORD(wp) == CBN_CLOSEUP && panel_) ShowWindow(panel_, SW_HIDE);
    return ItemEnablingComboBox::onReflect(msg, wp, lp, result);
}

void PaperComboBox::drawItem(const DRAWITEMSTRUCT& draw)
{
    const int position = static_cast<int>(draw.itemID);
    // A greyed paper cannot be chosen and must look so, like any item of its kind.
    if (!isEnabled() || (position >= 0 && !isItemEnabled(position))) {
        ItemEnablingComboBox::drawItem(draw);
        return;
    }
    if (position >= 0 && count() > 0 && (draw.itemAction & (ODA_DRAWENTIRE | ODA_SELECT))) {
        const bool selected = (draw.itemState & ODS_SELECTED) != 0;
        const std::string* text = entryText(position);
        const std::string name = text ? *text : std::string();
        SavedDc saved(draw.hDC);
        if (selected) {
            SetTextColor(draw.hDC, GetSysColor(COLOR_HIGHLIGHTTEXT));
            SetBkColor(draw.hDC, GetSysColor(COLOR_HIGHLIGHT));
        } else {
            SetTextColor(draw.hDC, GetSysColor(COLOR_WINDOWTEXT));
            SetBkColor(draw.hDC, GetSysColor(COLOR_WINDOW));
        }
        ExtTextOutA(draw.hDC, draw.rcItem.left, draw.rcItem.top - textOffset_, ETO_OPAQUE | ETO_CLIPPED,
                    &draw.rcItem, name.c_str(), static_cast<UINT>(name.size()), nullptr);
        if (selected && send(CB_GETDROPPEDSTATE)) showAttributes(name);
    } else if (position < 0) {
        FillRect(draw.hDC, &draw.rcItem, GetSysColorBrush(COLOR_WINDOW));
    }
    if (draw.itemState & ODS_FOCUS) DrawFocusRect(draw.hDC, &draw.rcItem);
}

void PaperComboBox::showAttributes(const std::string& paperName)
{
    if (!panel_ || !lookup_) return;
    const auto attributes = lookup_(paperName);
    if (!attributes) return;
    for (std::size_t i = 0; i < fieldIds_.size(); ++i)
        SetDlgItemTextA(panel_, fieldIds_[i], attributeFieldText((*attributes)[i]).c_str());

    COMBOBOXINFO info{};
    info.cbSize = sizeof(info);
    RECT list{}, panel{};
    if (!GetComboBoxInfo(hwnd(), &info) || !GetWindowRect(info.hwndList, &list) || !GetWindowRect(panel_, &panel))
        return;
    const auto place = placeAttributePanel({list.left, list.top, list.right, list.bottom}, panel.right - panel.left,
                                           panel.bottom - panel.top, GetSystemMetrics(SM_CXSCREEN),
                                           GetSystemMetrics(SM_CYSCREEN));
    // Above every other window, as the dropped list is: a panel left behind the
    // job-setup window would be shown and yet not seen.
    UINT flags = SWP_NOACTIVATE | SWP_NOSIZE | SWP_SHOWWINDOW;
    POINT at{0, 0};
    if (place) {
        // The panel is a child of the page: screen to page coordinates.
        at = {place->x, place->y};
        if (GetWindowLongPtrA(panel_, GWL_STYLE) & WS_CHILD) ScreenToClient(GetParent(panel_), &at);
    } else {
        flags |= SWP_NOMOVE;
    }
    SetWindowPos(panel_, HWND_TOPMOST, at.x, at.y, 0, 0, flags);
}

} // namespace orvox::ui
