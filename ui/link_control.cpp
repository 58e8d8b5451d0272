#include "ui/link_control.h"

#include "ui/win32_handles.h"

namespace orvox::ui {

void LinkControl::setCaption(std::string caption)
{
    caption_ = std::move(caption);
    redraw();
}

void LinkControl::setTextColour(COLORREF colour)
{
    colour_ = colour;
    redraw();
}

void LinkControl::setDrawing(bool drawing)
{
    drawing_ = drawing;
    redraw();
}

void LinkControl::redraw() const
{
    if (hwnd()) InvalidateRect(hwnd(), nullptr, TRUE);
}

bool LinkControl::onReflect(UINT msg, WPARAM, LPARAM lp, LRESULT& result)
{
    if (msg != WM_DRAWITEM) return false;
    result = TRUE;
    if (!drawing_) return true;
    const auto& draw = *reinterpret_cast<const DRAWITEMSTRUCT*>(lp);
    RECT client{};
    GetClientRect(hwnd(), &client);
    SavedDc saved(draw.hDC);
    GdiObject background(CreateSolidBrush(GetBkColor(draw.hDC)));
    FillRect(draw.hDC, &client, static_cast<HBRUSH>(background.get()));
    SetBkMode(draw.hDC, TRANSPARENT);
    SetTextColor(draw.hDC, colour_);
    TextOutA(draw.hDC, 0, 4, caption_.c_str(), static_cast<int>(caption_.size()));
    return true;
}

} // namespace orvox::ui
