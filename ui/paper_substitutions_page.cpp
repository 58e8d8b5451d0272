#include "ui/paper_substitutions_page.h"

#include <vector>

#include "resources/resource.h"
#include "ui/tab_host.h"

namespace orvox::ui {
namespace {

constexpr int kPageListLimit = 80;
constexpr char kNewRowText[] = " ";
// Column starts of the list, in dialog units: page list, then kind.
constexpr std::array<int, 2> kListTabStops{124, 236};
constexpr std::array<int, 5> kAttributeFields{IDC_SUBST_ATTR_SIZE, IDC_SUBST_ATTR_COLOR, IDC_SUBST_ATTR_WEIGHT,
                                              IDC_SUBST_ATTR_TYPE, IDC_SUBST_ATTR_ONE_SIDED};

std::string windowText(HWND window)
{
    const int length = window ? GetWindowTextLengthA(window) : 0;
    if (length <= 0) return {};
    std::vector<char> buffer(static_cast<std::size_t>(length) + 1, '\0');
    GetWindowTextA(window, buffer.data(), length + 1);
    return buffer.data();
}

} // namespace

PaperSubstitutionsPage::PaperSubstitutionsPage(const PageSlot& slot, JobDocument& doc, platform::Services services)
    : TabPage(slot), doc_(doc), services_(services)
{
}

BOOL PaperSubstitutionsPage::onInitDialog()
{
    TabPage::onInitDialog();
    paper_.attach(hwnd(), IDC_SUBST_PAPER);
    SendDlgItemMessageA(hwnd(), IDC_SUBST_PAGE_LIST, EM_LIMITTEXT, kPageListLimit, 0);
    SendDlgItemMessageA(hwnd(), IDC_SUBST_LIST, LB_SETTABSTOPS, kListTabStops.size(),
                        reinterpret_cast<LPARAM>(kListTabStops.data()));
    applyButtonsRule();
    SetFocus(item(IDC_SUBST_ADD));
    return FALSE;
}

// --- Page contract ----------------------------------------------------------------------

bool PaperSubstitutionsPage::loadFromDocument()
{
    enableHelpButton(IDC_SUBST_HELP);
    state_.setProgrammatic(true);
    fillPapers();
    SetDlgItemTextA(hwnd(), IDC_SUBST_BODY_PAPER, doc_.bodyPaperName().c_str());
    showAttributes();
    applyRestrictions();
    if (hwnd()) {
        fillList();
        // A new list starts with a free edit area whatever the last row was.
        applyEditArea(0);
        applyPageListRule();
    }
    state_.clear();
    mirrorEditingFlag();
    state_.setProgrammatic(false);
    return true;
}

bool PaperSubstitutionsPage::commitOnLeaving()
{
    if (!doc_.editingSubstitutions()) return true;
    if (message(load(IDS_SUBST_STAY_QUESTION), platform::kMbYesNo | platform::kMbIconQuestion) == platform::kIdYes)
        return false;
    // The operator gave the pending edit up.
    writePageList("");
    endEdit();
    return true;
}

bool PaperSubstitutionsPage::editHasSelection() const
{
    return focusedEditHasSelection(std::array<int, 1>{IDC_SUBST_PAGE_LIST});
}

void PaperSubstitutionsPage::printerChanged()
{
    if (!initialised()) return;
    applyRestrictions();
    applyEditArea(shownRow_ >= 0 && shownRow_ < rowCount() - 1 ? doc_.substitutionKind(shownRow_) : 0);
    applyButtonsRule();
}

// --- Commands -------------------------------------------------------------------------

bool PaperSubstitutionsPage::onCommand(int id, int code, HWND /*control*/)
{
    if (!initialised()) return false;
    switch (id) {
    case IDC_SUBST_PAPER:
        if (code == CBN_SELCHANGE) onPaperChosen();
        return code == CBN_SELCHANGE;
    case IDC_SUBST_PAGE_LIST:
        if (code == EN_UPDATE) onPageListUpdate();
        else if (code == EN_CHANGE) onPageListChanged();
        else return false;
        return true;
    case IDC_SUBST_LIST:
        if (code != LBN_SELCHANGE) return false;
        onRowSelected();
        return true;
    default:
        break;
    }
    if (code != BN_CLICKED) return false;
    // A click sent to a greyed button (by a host or a test) does what a real click would: nothing.
    if (!IsWindowEnabled(item(id))) return item(id) != nullptr;
    switch (id) {
    case IDC_SUBST_ADD: add(); return true;
    case IDC_SUBST_MODIFY: modify(); return true;
    case IDC_SUBST_DELETE: remove(); return true;
    case IDC_SUBST_MOVE_UP: move(true); return true;
    case IDC_SUBST_MOVE_DOWN: move(false); return true;
    case IDC_SUBST_HELP: showPageHelp(); return true;
    default: return false;
    }
}

void PaperSubstitutionsPage::onPaperChosen()
{
    showAttributes();
    if (rowCount() > 0 && !state_.programmatic()) state_.paperChosen();
    mirrorEditingFlag();
    applyButtonsRule();
}

void PaperSubstitutionsPage::onPageListUpdate()
{
    if (restoring_) return;
    const std::string text = pageListText();
    if (state_.acceptTyping(text)) {
        mirrorEditingFlag();
        return;
    }
    MessageBeep(MB_OK);
    DWORD caret = 0;
    SendDlgItemMessageA(hwnd(), IDC_SUBST_PAGE_LIST, EM_GETSEL, reinterpret_cast<WPARAM>(&caret), 0);
    restoring_ = true;
    SetDlgItemTextA(hwnd(), IDC_SUBST_PAGE_LIST, state_.previousText().c_str());
    restoring_ = false;
    const WPARAM back = caret > 0 ? caret - 1 : 0;
    SendDlgItemMessageA(hwnd(), IDC_SUBST_PAGE_LIST, EM_SETSEL, back, static_cast<LPARAM>(back));
}

void PaperSubstitutionsPage::onPageListChanged()
{
    if (restoring_) return;
    applyPageListRule();
}

void PaperSubstitutionsPage::applyPageListRule()
{
    const std::string text = pageListText();
    enable(IDC_SUBST_ADD, !text.empty());
    state_.pageListChanged(text);
    mirrorEditingFlag();
    applyButtonsRule();
}

// --- List operations --------------------------------------------------------------------

bool PaperSubstitutionsPage::checkPageList(std::string& text)
{
    const std::string typed = text;
    if (doc_.validatePageList(text, false) == 0) return true;
    message(load(IDS_SUBST_BAD_PAGE_LIST) + "\"" + typed + "\"", platform::kMbIconStop);
    return false;
}

bool PaperSubstitutionsPage::readRowInput(std::string& pages, int& paperItem)
{
    pages = pageListText();
    if (!checkPageList(pages)) return false;
    paperItem = paper_.selection();
    if (paperItem < 0) {
        message(load(IDS_SUBST_PAPER_UNREADABLE), platform::kMbIconStop);
        return false;
    }
    return true;
}

void PaperSubstitutionsPage::add()
{
    std::string pages;
    int paperItem = -1;
    if (!readRowInput(pages, paperItem)) return;
    // The document refuses a list longer than a settings file can carry.
    if (!doc_.addSubstitution(paperItem + 1, 0, pages)) {
        message(load(IDS_SUBST_NOT_STORED), platform::kMbIconStop);
        return;
    }
    const int newRow = rowCount() - 1;
    replaceRow(newRow, substitutionRowText(doc_, doc_.substitutionCount() - 1));
    SendDlgItemMessageA(hwnd(), IDC_SUBST_LIST, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(kNewRowText));
    SendDlgItemMessageA(hwnd(), IDC_SUBST_LIST, LB_SETCURSEL, static_cast<WPARAM>(newRow), 0);
    shownRow_ = newRow;
    SetFocus(item(IDC_SUBST_LIST));
    showAttributes();
    endEdit();
}

void PaperSubstitutionsPage::modify()
{
    const int row = selectedRow();
    if (row < 0 || row >= rowCount() - 1) {
        add();
        return;
    }
    std::string pages;
    int paperItem = -1;
    if (!readRowInput(pages, paperItem)) return;
    if (!doc_.setSubstitutionPaper(row, paperItem + 1) || !doc_.setSubstitutionPages(row, pages)) {
        message(load(IDS_SUBST_NOT_STORED), platform::kMbIconStop);
        return;
    }
    HWND list = item(IDC_SUBST_LIST);
    SendMessageA(list, WM_SETREDRAW, FALSE, 0);
    replaceRow(row, substitutionRowText(doc_, row));
    SendMessageA(list, LB_SETCURSEL, static_cast<WPARAM>(row), 0);
    SendMessageA(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
    shownRow_ = row;
    applyEditArea(doc_.substitutionKind(row));
    endEdit();
}

void PaperSubstitutionsPage::remove()
{
    if (!mayLeaveEdit()) return;
    const int row = selectedRow();
    if (row >= 0 && row < rowCount() - 1 && doc_.removeSubstitution(row)) {
        SendDlgItemMessageA(hwnd(), IDC_SUBST_LIST, LB_DELETESTRING, static_cast<WPARAM>(row), 0);
        shownRow_ = -1;
    }
    applyButtonsRule();
}

void PaperSubstitutionsPage::move(bool up)
{
    const int row = selectedRow();
    const int neighbour = up ? row - 1 : row + 1;
    const int newRow = rowCount() - 1;
    if (row < 0 || row >= newRow || neighbour < 0 || neighbour >= newRow) return;
    const bool moved = up ? doc_.moveSubstitutionUp(row + 1) : doc_.moveSubstitutionDown(row + 1);
    if (!moved) return;
    const std::string mine = rowText(row);
    replaceRow(row, rowText(neighbour));
    replaceRow(neighbour, mine);
    SendDlgItemMessageA(hwnd(), IDC_SUBST_LIST, LB_SETCURSEL, static_cast<WPARAM>(neighbour), 0);
    if (shownRow_ == row) shownRow_ = neighbour;
    else if (shownRow_ == neighbour) shownRow_ = row;
    applyButtonsRule();
}

void PaperSubstitutionsPage::onRowSelected()
{
    const int row = selectedRow();
    if (!mayLeaveEdit()) {
        SendDlgItemMessageA(hwnd(), IDC_SUBST_LIST, LB_SETCURSEL, static_cast<WPARAM>(shownRow_), 0);
        return;
    }
    if (row < 0) return;
    const SubstitutionRowParts parts = splitSubstitutionRow(rowText(row));
    const bool newRow = row == rowCount() - 1;
    state_.setProgrammatic(true);
    if (!newRow) {
        const LRESULT found = paper_.send(CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                          reinterpret_cast<LPARAM>(parts.paperName.c_str()));
        if (found >= 0) paper_.forceSelection(static_cast<int>(found));
    }
    writePageList(parts.pageList);
    state_.setProgrammatic(false);
    shownRow_ = row;
    showAttributes();
    // The row's kind decides what of it may be edited; the new row takes anything.
    applyEditArea(newRow ? 0 : doc_.substitutionKind(row));
    endEdit();
}

bool PaperSubstitutionsPage::mayLeaveEdit()
{
    if (!doc_.editingSubstitutions()) return true;
    return message(load(IDS_SUBST_STAY_QUESTION), platform::kMbYesNo | platform::kMbIconQuestion) !=
           platform::kIdYes;
}

void PaperSubstitutionsPage::endEdit()
{
    state_.clear();
    mirrorEditingFlag();
    applyButtonsRule();
}

void PaperSubstitutionsPage::mirrorEditingFlag() { doc_.setEditingSubstitutions(state_.dirty()); }

void PaperSubstitutionsPage::writePageList(const std::string& text)
{
    const bool wasProgrammatic = state_.programmatic();
    state_.setProgrammatic(true);
    SetDlgItemTextA(hwnd(), IDC_SUBST_PAGE_LIST, text.c_str());
    state_.setProgrammatic(wasProgrammatic);
}

// --- Rules ----------------------------------------------------------------------------

void PaperSubstitutionsPage::applyButtonsRule()
{
    const SubstitutionButtons buttons =
        substitutionButtons(rowCount(), selectedRow(), state_.dirty(), pageListText().empty());
    if (buttons.selection != selectedRow() && buttons.selection >= 0) {
        HWND list = item(IDC_SUBST_LIST);
        SendMessageA(list, LB_SETCURSEL, static_cast<WPARAM>(buttons.selection), 0);
        SendMessageA(list, LB_SETTOPINDEX, static_cast<WPARAM>(buttons.selection), 0);
    }
    enable(IDC_SUBST_MODIFY, buttons.modify);
    enable(IDC_SUBST_DELETE, buttons.remove);
    enable(IDC_SUBST_MOVE_UP, buttons.moveUp);
    enable(IDC_SUBST_MOVE_DOWN, buttons.moveDown);
}

void PaperSubstitutionsPage::applyEditArea(int kind)
{
    area_ = substitutionEditArea(kind);
    if (area_.paperIsBodySlot) {
        paper_.forceSelection(0);
        clearAttributes();
    }
    enable(IDC_SUBST_PAPER, area_.paperEnabled);
    enable(IDC_SUBST_PAGE_LIST, area_.pageListEnabled);
}

void PaperSubstitutionsPage::applyRestrictions()
{
    TabHost* tabs = host();
    if (!tabs || !hwnd()) return;
    // The model's entries decide from a clean start: every ruled control on,
    // then whatever the restriction list switches off stays off.
    for (int id : kRuledControls) EnableWindow(item(id), TRUE);
    tabs->applyRestrictions(*this);
    for (std::size_t i = 0; i < kRuledControls.size(); ++i)
        restricted_[i] = !IsWindowEnabled(item(kRuledControls[i]));
}

bool PaperSubstitutionsPage::restricted(int id) const
{
    for (std::size_t i = 0; i < kRuledControls.size(); ++i)
        if (kRuledControls[i] == id) return restricted_[i];
    return false;
}

void PaperSubstitutionsPage::enable(int id, bool on)
{
    const bool state = on && !restricted(id);
    if (id == IDC_SUBST_PAPER) paper_.enableControl(state);
    else EnableWindow(item(id), state);
}

// --- Papers and rows ------------------------------------------------------------------

void PaperSubstitutionsPage::fillPapers()
{
    // Item i is catalog index i + 1: the list starts at the body-paper slot.
    paper_.clear();
    for (int index = 1; index <= doc_.paperCount(); ++index) paper_.addItem(doc_.paperName(index), true);
    paper_.send(CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), ItemEnablingComboBox::kSelectionFieldHeight);
    paper_.forceSelection(doc_.bodyPaper() - 1);
}

void PaperSubstitutionsPage::fillList()
{
    HWND list = item(IDC_SUBST_LIST);
    SendMessageA(list, WM_SETREDRAW, FALSE, 0);
    SendMessageA(list, LB_RESETCONTENT, 0, 0);
    for (int i = 0; i < doc_.substitutionCount(); ++i)
        SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(substitutionRowText(doc_, i).c_str()));
    SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(kNewRowText));
    const int last = doc_.substitutionCount() > 0 ? doc_.substitutionCount() - 1 : 0;
    SendMessageA(list, LB_SETCURSEL, static_cast<WPARAM>(last), 0);
    SendMessageA(list, LB_SETTOPINDEX, static_cast<WPARAM>(last), 0);
    SendMessageA(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
    shownRow_ = last;
}

void PaperSubstitutionsPage::showAttributes()
{
    const int paperItem = paper_.selection();
    if (paperItem < 0) {
        clearAttributes();
        return;
    }
    const auto texts =
        paperAttributeTexts(doc_, paperItem + 1, load(IDS_SUBST_ONE_SIDED_FLAG), load(IDS_SUBST_ONE_SIDED_SHOWN));
    if (!texts) {
        clearAttributes();
        message(load(IDS_SUBST_PAPER_UNREADABLE), platform::kMbIconStop);
        return;
    }
    for (std::size_t i = 0; i < kAttributeFields.size(); ++i)
        SetDlgItemTextA(hwnd(), kAttributeFields[i], (*texts)[i].c_str());
}

void PaperSubstitutionsPage::clearAttributes()
{
    for (int id : kAttributeFields) SetDlgItemTextA(hwnd(), id, "");
}

int PaperSubstitutionsPage::rowCount() const
{
    const LRESULT count = SendDlgItemMessageA(hwnd(), IDC_SUBST_LIST, LB_GETCOUNT, 0, 0);
    return count > 0 ? static_cast<int>(count) : 0;
}

int PaperSubstitutionsPage::selectedRow() const
{
    const LRESULT row = SendDlgItemMessageA(hwnd(), IDC_SUBST_LIST, LB_GETCURSEL, 0, 0);
    return row == LB_ERR ? -1 : static_cast<int>(row);
}

std::string PaperSubstitutionsPage::rowText(int row) const
{
    HWND list = item(IDC_SUBST_LIST);
    const LRESULT length = SendMessageA(list, LB_GETTEXTLEN, static_cast<WPARAM>(row), 0);
    if (length == LB_ERR || length <= 0) return {};
    std::vector<char> buffer(static_cast<std::size_t>(length) + 1, '\0');
    SendMessageA(list, LB_GETTEXT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(buffer.data()));
    return buffer.data();
}

void PaperSubstitutionsPage::replaceRow(int row, const std::string& text)
{
    HWND list = item(IDC_SUBST_LIST);
    SendMessageA(list, LB_DELETESTRING, static_cast<WPARAM>(row), 0);
    SendMessageA(list, LB_INSERTSTRING, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(text.c_str()));
}

std::string PaperSubstitutionsPage::pageListText() const { return windowText(item(IDC_SUBST_PAGE_LIST)); }

} // namespace orvox::ui
