#include "ui/name_list_editor.h"

#include <vector>

#include "resources/resource.h"

namespace orvox::ui {

namespace {

unsigned titleOf(NameList::Mode mode)
{
    switch (mode) {
    case NameList::kWeights: return IDS_NAME_LIST_TITLE_WEIGHTS;
    case NameList::kColours: return IDS_NAME_LIST_TITLE_COLORS;
    default: return IDS_NAME_LIST_TITLE_TYPES;
    }
}

std::string itemText(HWND window)
{
    const int length = GetWindowTextLengthA(window);
    std::vector<char> text(static_cast<std::size_t>(length) + 1, '\0');
    GetWindowTextA(window, text.data(), length + 1);
    return text.data();
}

} // namespace

NameListEditor::NameListEditor(std::vector<std::string> entries, std::string current, NameList::Mode mode,
                               const platform::StringSource& strings, platform::MessageSink& messages)
    : list_(std::move(entries), mode), current_(std::move(current)), strings_(strings), messages_(messages)
{
}

bool NameListEditor::run(HINSTANCE resources, HWND owner)
{
    return runModal(resources, IDD_NAME_LIST_EDITOR, owner) == IDOK && list_.changed();
}

BOOL NameListEditor::onInitDialog()
{
    SetWindowTextA(hwnd(), strings_.load(titleOf(list_.mode())).c_str());
    SendDlgItemMessageA(hwnd(), IDC_NAME_LIST_TEXT, EM_LIMITTEXT, NameList::kMaxEntryLength, 0);
    fill(list_.find(current_) >= 0 ? list_.find(current_) : 0);
    showSelection();
    SetFocus(item(IDC_NAME_LIST_TEXT));
    SendDlgItemMessageA(hwnd(), IDC_NAME_LIST_TEXT, EM_SETSEL, 0, -1);
    return FALSE;
}

void NameListEditor::fill(int select)
{
    HWND box = item(IDC_NAME_LIST);
    SendMessageA(box, LB_RESETCONTENT, 0, 0);
    for (const std::string& entry : list_.entries())
        SendMessageA(box, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry.c_str()));
    if (select >= 0 && select < list_.size()) SendMessageA(box, LB_SETCURSEL, static_cast<WPARAM>(select), 0);
    updateButtons();
}

int NameListEditor::selection() const
{
    const auto at = static_cast<int>(SendDlgItemMessageA(hwnd(), IDC_NAME_LIST, LB_GETCURSEL, 0, 0));
    return at >= 0 && at < list_.size() ? at : -1;
}

std::string NameListEditor::typed() const { return itemText(item(IDC_NAME_LIST_TEXT)); }

void NameListEditor::showSelection()
{
    const int at = selection();
    const std::string text = at >= 0 ? list_.entries()[static_cast<std::size_t>(at)] : std::string();
    SetDlgItemTextA(hwnd(), IDC_NAME_LIST_TEXT, text.c_str());
    updateButtons();
}

void NameListEditor::updateButtons()
{
    const int at = selection();
    const bool text = !typed().empty();
    EnableWindow(item(IDC_NAME_LIST_ADD), text);
    EnableWindow(item(IDC_NAME_LIST_RENAME), text && at >= 0);
    EnableWindow(item(IDC_NAME_LIST_DELETE), at >= 0 && list_.size() > 1);
    EnableWindow(item(IDC_NAME_LIST_UP), at > 0);
    EnableWindow(item(IDC_NAME_LIST_DOWN), at >= 0 && at < list_.size() - 1);
}

bool NameListEditor::accepted(NameList::Refusal refusal)
{
    unsigned text = 0;
    switch (refusal) {
    case NameList::Refusal::kNone: return true;
    case NameList::Refusal::kNoSelection: text = IDS_NAME_LIST_NO_SELECTION; break;
    case NameList::Refusal::kEmpty: text = IDS_NAME_LIST_EMPTY; break;
    case NameList::Refusal::kComma: text = IDS_NAME_LIST_COMMA; break;
    case NameList::Refusal::kDuplicate: text = IDS_NAME_LIST_DUPLICATE; break;
    case NameList::Refusal::kNoNumber: text = IDS_NAME_LIST_NO_NUMBER; break;
    case NameList::Refusal::kLastEntry: text = IDS_NAME_LIST_LAST_ENTRY; break;
    }
    messages_.show(strings_.load(text), platform::kMbOk | platform::kMbIconInformation);
    SetFocus(item(IDC_NAME_LIST_TEXT));
    return false;
}

void NameListEditor::add()
{
    int at = -1;
    if (!accepted(list_.add(typed(), at))) return;
    fill(at);
    showSelection();
}

void NameListEditor::rename()
{
    const int at = selection();
    if (!accepted(list_.rename(at, typed()))) return;
    fill(at);
    showSelection();
}

void NameListEditor::remove()
{
    const int at = selection();
    if (!accepted(list_.remove(at))) return;
    fill(at > 0 ? at - 1 : 0);
    showSelection();
}

void NameListEditor::move(int delta)
{
    const int at = selection();
    if (!list_.move(at, delta)) return;
    fill(at + delta);
}

bool NameListEditor::onCommand(int id, int code, HWND)
{
    switch (id) {
    case IDC_NAME_LIST:
        if (code == LBN_SELCHANGE) showSelection();
        return true;
    case IDC_NAME_LIST_TEXT:
        if (code == EN_CHANGE) updateButtons();
        return true;
    case IDC_NAME_LIST_ADD: add(); return true;
    case IDC_NAME_LIST_RENAME: rename(); return true;
    case IDC_NAME_LIST_DELETE: remove(); return true;
    case IDC_NAME_LIST_UP: move(-1); return true;
    case IDC_NAME_LIST_DOWN: move(1); return true;
    case IDOK:
    case IDCANCEL: endDialog(id); return true;
    default: return false;
    }
}

} // namespace orvox::ui
