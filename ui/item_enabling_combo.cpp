#include "ui/item_enabling_combo.h"

#include <algorithm>
#include <cctype>
#include <vector>

#include "ui/dialog_base.h"
#include "ui/win32_handles.h"

namespace orvox::ui {
namespace {

std::string listText(HWND combo, int position)
{
    const LRESULT length = SendMessageA(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(position), 0);
    if (length <= 0) return {};
    std::vector<char> buffer(static_cast<std::size_t>(length) + 1, '\0');
    SendMessageA(combo, CB_GETLBTEXT, static_cast<WPARAM>(position), reinterpret_cast<LPARAM>(buffer.data()));
    return buffer.data();
}

} // namespace

int ItemEnablingComboBox::addItem(const std::string& text, bool enabled)
{
    const LRESULT added = send(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    if (added < 0) return -2;
    const int position = static_cast<int>(added);
    if (inRange(position)) {
        // A sorted list inserts in the middle: the entries below move with their items.
        std::move_backward(entries_.begin() + position, entries_.end() - 1, entries_.end());
        entries_[static_cast<std::size_t>(position)] = Entry{enabled, text};
    }
    return position;
}

bool ItemEnablingComboBox::fill(std::span<const ComboItemRow> rows, int initialPosition, bool fitDropDown,
                                const platform::StringSource& strings)
{
    if (count() > 0) clear();
    bool allAdded = true;
    for (const ComboItemRow& row : rows) {
        const bool noText = !row.text || !*row.text;
        if (row.resourceId == 0 && noText) break;
        const std::string text = row.resourceId != 0 ? strings.load(row.resourceId) : std::string(row.text);
        allAdded = addItem(text, true) >= 0 && allAdded;
    }
    send(CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), kSelectionFieldHeight);
    if (fitDropDown) this->fitDropDown();
    if (initialPosition != -1) selectItem(initialPosition);
    return allAdded;
}

void ItemEnablingComboBox::fitDropDown()
{
    RECT window{}, client{};
    GetWindowRect(hwnd(), &window);
    GetClientRect(hwnd(), &client);
    const int rows = std::min(count(), kMaxDropDownRows);
    const int itemHeight = static_cast<int>(send(CB_GETITEMHEIGHT, 0));
    SetWindowPos(hwnd(), nullptr, 0, 0, window.right - window.left, itemHeight * rows + client.bottom + 3,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void ItemEnablingComboBox::clear()
{
    for (auto& entry : entries_) entry.reset();
    send(CB_RESETCONTENT);
}

int ItemEnablingComboBox::count() const { return std::max(0, static_cast<int>(send(CB_GETCOUNT))); }

bool ItemEnablingComboBox::entryEnabled(int position) const
{
    return inRange(position) && entries_[static_cast<std::size_t>(position)] &&
           entries_[static_cast<std::size_t>(position)]->enabled;
}

const std::string* ItemEnablingComboBox::entryText(int position) const
{
    if (!inRange(position) || !entries_[static_cast<std::size_t>(position)]) return nullptr;
    return &entries_[static_cast<std::size_t>(position)]->text;
}

bool ItemEnablingComboBox::isItemEnabled(int position) const
{
    return inRange(position) && isEnabled() && entryEnabled(position);
}

void ItemEnablingComboBox::setItemEnabled(int position, bool enabled)
{
    if (!inRange(position) || !entries_[static_cast<std::size_t>(position)]) return;
    entries_[static_cast<std::size_t>(position)]->enabled = enabled;
    if (!enabled) validateSelection();
    InvalidateRect(hwnd(), nullptr, FALSE);
}

void ItemEnablingComboBox::setAllItems(bool enabled)
{
    for (auto& entry : entries_)
        if (entry) entry->enabled = enabled;
    InvalidateRect(hwnd(), nullptr, FALSE);
}

void ItemEnablingComboBox::select(int position)
{
    send(CB_SETCURSEL, static_cast<WPARAM>(position));
    lastSelection_ = position;
    committedSelection_ = position;
}

bool ItemEnablingComboBox::selectItem(int position)
{
    if (!entryEnabled(position) || position >= count()) return false;
    select(position);
    return true;
}

bool ItemEnablingComboBox::forceSelection(int position)
{
    if (!inRange(position) || position >= count()) return false;
    select(position);
    return true;
}

int ItemEnablingComboBox::selection() const { return hwnd() ? static_cast<int>(send(CB_GETCURSEL)) : -1; }

int ItemEnablingComboBox::firstEnabledItem() const
{
    const int last = std::min(count(), kMaxItems);
    for (int i = 0; i < last; ++i)
        if (entryEnabled(i)) return i;
    return 0;
}

std::string ItemEnablingComboBox::selectedText() const
{
    const int position = selection();
    if (position < 0) return {};
    if (const std::string* text = entryText(position)) return *text;
    return listText(hwnd(), position);
}

void ItemEnablingComboBox::enableControl(bool enable)
{
    const bool wasDisabled = !isEnabled();
    Control::enable(enable);
    if (enable && wasDisabled) {
        const int position = selection();
        if (inRange(position) && !entryEnabled(position)) selectItem(firstEnabledItem());
    }
    InvalidateRect(hwnd(), nullptr, FALSE);
}

int ItemEnablingComboBox::setMode(int value, bool reapply)
{
    const int previous = mode_;
    mode_ = value;
    if (reapply) selectItem(selection());
    return previous;
}

void ItemEnablingComboBox::validateSelection()
{
    const int position = selection();
    if (!inRange(position)) return;
    if (entryEnabled(position)) {
        lastSelection_ = position;
        arrowKeyChange_ = false;
        committedSelection_ = position;
        return;
    }
    if (!arrowKeyChange_) {
        if (!selectItem(std::max(lastSelection_, 0))) selectItem(firstEnabledItem());
        return;
    }
    // The keyboard moved onto a greyed item: carry on in the same direction.
    const int step = position >= lastSelection_ ? 1 : -1;
    const int last = std::min(count(), kMaxItems) - 1;
    int target = lastSelection_;
    for (int i = position + step; i >= 0 && i <= last; i += step) {
        if (entryEnabled(i)) {
            target = i;
            break;
        }
    }
    if (!selectItem(target)) selectItem(firstEnabledItem());
    lastSelection_ = selection();
    arrowKeyChange_ = false;
}

bool ItemEnablingComboBox::selectByTypedCharacter(char typed)
{
    const int total = count();
    if (total <= 0) return false;
    const int wanted = std::toupper(static_cast<unsigned char>(typed));
    const int current = selection();
    for (int k = 1; k <= total; ++k) {
        const int i = ((current < 0 ? -1 : current) + k) % total;
        const std::string* stored = entryText(i);
        const std::string text = stored ? *stored : listText(hwnd(), i);
        if (!text.empty() && std::toupper(static_cast<unsigned char>(text[0])) == wanted) {
            send(CB_SETCURSEL, static_cast<WPARAM>(i));
            notifyParentOfSelection();
            return true;
        }
    }
    return false;
}

void ItemEnablingComboBox::notifyParentOfSelection()
{
    SendMessageA(GetParent(hwnd()), WM_COMMAND, MAKEWPARAM(id(), CBN_SELCHANGE), reinterpret_cast<LPARAM>(hwnd()));
}

LRESULT ItemEnablingComboBox::onMessage(UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == WM_KEYDOWN && wp >= VK_LEFT && wp <= VK_DOWN) {
        // The list moves the selection and notifies while the key is handled;
        // outside this call a selection change is not the keyboard's.
        arrowKeyChange_ = true;
        const LRESULT result = defaultProc(msg, wp, lp);
        arrowKeyChange_ = false;
        return result;
    }
    if (msg == WM_CHAR && selectByTypedCharacter(static_cast<char>(wp))) return 0;
    return defaultProc(msg, wp, lp);
}

bool ItemEnablingComboBox::onReflect(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result)
{
    switch (msg) {
    case WM_COMMAND:
        if (HIWORD(wp) == CBN_SELCHANGE) validateSelection();
        return false;
    case WM_DRAWITEM:
        drawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lp));
        result = TRUE;
        return true;
    case WM_MEASUREITEM:
        reinterpret_cast<MEASUREITEMSTRUCT*>(lp)->itemHeight = static_cast<UINT>(fontTextHeight(hwnd()));
        result = TRUE;
        return true;
    default:
        return false;
    }
}

void ItemEnablingComboBox::drawGreyItem(const DRAWITEMSTRUCT& draw) const
{
    const int position = static_cast<int>(draw.itemID);
    const std::string* stored = entryText(position);
    const std::string text = stored ? *stored : (position >= 0 ? listText(hwnd(), position) : std::string());
    SavedDc saved(draw.hDC);
    RECT rect = draw.rcItem;
    FillRect(draw.hDC, &rect, GetSysColorBrush(isEnabled() ? COLOR_WINDOW : COLOR_BTNFACE));
    SetBkMode(draw.hDC, TRANSPARENT);
    SetTextColor(draw.hDC, GetSysColor(COLOR_GRAYTEXT));
    rect.left += 2;
    DrawTextA(draw.hDC, text.c_str(), static_cast<int>(text.size()), &rect, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
}

void ItemEnablingComboBox::drawItem(const DRAWITEMSTRUCT& draw)
{
    const int position = static_cast<int>(draw.itemID);
    if (position < 0) {
        FillRect(draw.hDC, &draw.rcItem, GetSysColorBrush(isEnabled() ? COLOR_WINDOW : COLOR_BTNFACE));
    } else if (!isItemEnabled(position)) {
        drawGreyItem(draw);
    } else {
        const bool selected = (draw.itemState & ODS_SELECTED) != 0;
        const std::string* stored = entryText(position);
        const std::string text = stored ? *stored : listText(hwnd(), position);
        SavedDc saved(draw.hDC);
        RECT rect = draw.rcItem;
        FillRect(draw.hDC, &rect, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
        SetBkMode(draw.hDC, TRANSPARENT);
        SetTextColor(draw.hDC, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
        rect.left += 2;
        DrawTextA(draw.hDC, text.c_str(), static_cast<int>(text.size()), &rect,
                  DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    }
    if (draw.itemState & ODS_FOCUS) DrawFocusRect(draw.hDC, &draw.rcItem);
}

} // namespace orvox::ui
