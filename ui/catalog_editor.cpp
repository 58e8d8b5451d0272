#include "ui/catalog_editor.h"

#include <vector>

#include "platform/messages.h"
#include "resources/resource.h"
#include "ui/name_list_editor.h"

namespace orvox::ui {

namespace {

std::string windowText(HWND window)
{
    const int length = window ? GetWindowTextLengthA(window) : 0;
    std::vector<char> text(static_cast<std::size_t>(length) + 1, '\0');
    if (window) GetWindowTextA(window, text.data(), length + 1);
    return text.data();
}

// While set, control notifications come from the program, not the user.
class Filling {
public:
    explicit Filling(bool& flag) : flag_(flag), previous_(flag) { flag_ = true; }
    ~Filling() { flag_ = previous_; }
    Filling(const Filling&) = delete;
    Filling& operator=(const Filling&) = delete;

private:
    bool& flag_;
    bool previous_;
};

constexpr int kAttributeCombos[3] = {IDC_CATALOG_COLOR, IDC_CATALOG_WEIGHT, IDC_CATALOG_TYPE};
constexpr int kAttributeLists[3] = {PaperCatalog::kColors, PaperCatalog::kWeights, PaperCatalog::kMediaTypes};

} // namespace

LRESULT PaperNameEdit::onMessage(UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == WM_CHAR && wp == ',') {
        MessageBeep(MB_OK);
        return 0;
    }
    if (msg == WM_KEYDOWN && (wp == VK_UP || wp == VK_DOWN) && arrow_) {
        arrow_(wp == VK_UP ? -1 : 1);
        return 0;
    }
    if (msg == WM_GETDLGCODE) return defaultProc(msg, wp, lp) | DLGC_WANTARROWS;
    return defaultProc(msg, wp, lp);
}

CatalogEditor::CatalogEditor(JobDocument& doc) : doc_(doc), model_(doc) {}

bool CatalogEditor::run(HINSTANCE resources, HWND owner)
{
    resources_ = resources;
    runModal(resources, IDD_PAPER_CATALOG_EDITOR, owner);
    return saved_;
}

int CatalogEditor::message(unsigned id, unsigned type)
{
    const platform::Services& services = doc_.services();
    return services.messages.show(services.strings.load(id), type);
}

BOOL CatalogEditor::onInitDialog()
{
    Filling filling(filling_);
    if (nameEdit_.attach(hwnd(), IDC_CATALOG_NAME))
        nameEdit_.onArrow([this](int delta) { moveSelection(delta); });
    SendDlgItemMessageA(hwnd(), IDC_CATALOG_NAME, EM_LIMITTEXT, kMaxPaperNameLength, 0);
    HWND sizes = item(IDC_CATALOG_SIZE);
    for (const std::string& size : doc_.catalog().vocabulary(PaperCatalog::kSizes))
        SendMessageA(sizes, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(size.c_str()));
    fillAttributeCombos();
    const int body = model_.bodyRow();
    fillList(body >= 0 ? body : 0);
    showRow(selectedRow());
    changed_ = false;
    updateButtons();
    centreOnDesktop();
    return FALSE;  // the focus is on the name
}

void CatalogEditor::centreOnDesktop()
{
    RECT desktop{}, own{};
    GetWindowRect(GetDesktopWindow(), &desktop);
    GetWindowRect(hwnd(), &own);
    const int width = own.right - own.left;
    const int height = own.bottom - own.top;
    SetWindowPos(hwnd(), nullptr, desktop.left + (desktop.right - desktop.left - width) / 2,
                 desktop.top + (desktop.bottom - desktop.top - height) / 2, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CatalogEditor::fillList(int select)
{
    Filling filling(filling_);
    HWND list = item(IDC_CATALOG_PAPER_LIST);
    SendMessageA(list, LB_RESETCONTENT, 0, 0);
    for (int r = 0; r < model_.rowCount(); ++r)
        SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(model_.row(r).name.c_str()));
    if (select >= 0 && select < model_.rowCount()) SendMessageA(list, LB_SETCURSEL, static_cast<WPARAM>(select), 0);
}

void CatalogEditor::fillAttributeCombos()
{
    Filling filling(filling_);
    for (int i = 0; i < 3; ++i) {
        HWND combo = item(kAttributeCombos[i]);
        SendMessageA(combo, CB_RESETCONTENT, 0, 0);
        for (const std::string& entry : model_.list(kAttributeLists[i]))
            SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry.c_str()));
    }
}

void CatalogEditor::selectText(int comboId, const std::string& text)
{
    HWND combo = item(comboId);
    const auto count = static_cast<int>(SendMessageA(combo, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        const auto length = static_cast<int>(SendMessageA(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(i), 0));
        std::vector<char> entry(static_cast<std::size_t>(length > 0 ? length : 0) + 1, '\0');
        SendMessageA(combo, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(entry.data()));
        if (text == entry.data()) {
            SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(i), 0);
            return;
        }
    }
    // A text the list does not have (a hand-edited catalog) stays the paper's
    // own choice instead of being lost when the paper is modified.
    if (text.empty()) {
        SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
        return;
    }
    const auto at = SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(at), 0);
}

int CatalogEditor::selectedRow() const
{
    const auto row = static_cast<int>(SendDlgItemMessageA(hwnd(), IDC_CATALOG_PAPER_LIST, LB_GETCURSEL, 0, 0));
    return row >= 0 && row < model_.rowCount() ? row : -1;
}

void CatalogEditor::selectRow(int row)
{
    Filling filling(filling_);
    SendDlgItemMessageA(hwnd(), IDC_CATALOG_PAPER_LIST, LB_SETCURSEL, static_cast<WPARAM>(row), 0);
}

void CatalogEditor::showRow(int row)
{
    {
        Filling filling(filling_);
        for (int id : {IDC_CATALOG_NAME, IDC_CATALOG_SIZE, IDC_CATALOG_COLOR, IDC_CATALOG_WEIGHT, IDC_CATALOG_TYPE,
                       IDC_CATALOG_ONE_SIDED})
            EnableWindow(item(id), TRUE);
        fillAttributeCombos();
        const PaperDefinition& paper = model_.row(row);
        SendDlgItemMessageA(hwnd(), IDC_CATALOG_SIZE, CB_SETCURSEL, static_cast<WPARAM>(paper.sizeCode - 1), 0);
        selectText(IDC_CATALOG_COLOR, paper.mediaText1);
        selectText(IDC_CATALOG_WEIGHT, paper.weight);
        selectText(IDC_CATALOG_TYPE, paper.mediaText3);
        SetDlgItemTextA(hwnd(), IDC_CATALOG_NAME, paper.name.c_str());
        CheckDlgButton(hwnd(), IDC_CATALOG_ONE_SIDED, paper.flag != 0 ? BST_CHECKED : BST_UNCHECKED);
    }
    // What is on show is the catalog's own: nothing is pending.
    changed_ = false;
    focusName();
    updateButtons();
}

void CatalogEditor::moveSelection(int delta)
{
    const int row = selectedRow() + delta;
    if (selectedRow() < 0 || row < 0 || row >= model_.rowCount()) return;
    selectRow(row);
    showRow(row);
}

void CatalogEditor::focusName()
{
    SetFocus(item(IDC_CATALOG_NAME));
    SendDlgItemMessageA(hwnd(), IDC_CATALOG_NAME, EM_SETSEL, 0, -1);
}

std::string CatalogEditor::typedName() const { return cleanPaperName(windowText(item(IDC_CATALOG_NAME))); }

PaperDefinition CatalogEditor::editedPaper() const
{
    PaperDefinition paper;
    paper.name = typedName();
    const auto size = SendDlgItemMessageA(hwnd(), IDC_CATALOG_SIZE, CB_GETCURSEL, 0, 0);
    paper.sizeCode = static_cast<std::int16_t>(size >= 0 ? size + 1 : 0);
    paper.mediaText1 = windowText(item(IDC_CATALOG_COLOR));
    paper.weight = windowText(item(IDC_CATALOG_WEIGHT));
    paper.mediaText3 = windowText(item(IDC_CATALOG_TYPE));
    paper.flag = IsDlgButtonChecked(hwnd(), IDC_CATALOG_ONE_SIDED) == BST_CHECKED ? 1 : 0;
    return paper;
}

void CatalogEditor::updateButtons()
{
    const int row = selectedRow();
    const CatalogButtons b = model_.buttons(row, typedName().empty(), changed_);
    EnableWindow(item(IDC_CATALOG_ADD), b.add);
    EnableWindow(item(IDC_CATALOG_MODIFY), b.modify);
    EnableWindow(item(IDC_CATALOG_DELETE), b.remove);
    EnableWindow(item(IDC_CATALOG_MOVE_UP), b.moveUp);
    EnableWindow(item(IDC_CATALOG_MOVE_DOWN), b.moveDown);
}

void CatalogEditor::onNameChanged()
{
    if (filling_) return;
    // A comma pasted in is taken out again; the edit's own limit holds the length.
    std::string text = windowText(item(IDC_CATALOG_NAME));
    if (text.find(',') != std::string::npos) {
        std::string kept;
        for (char c : text)
            if (c != ',') kept += c;
        {
            Filling filling(filling_);
            SetDlgItemTextA(hwnd(), IDC_CATALOG_NAME, kept.c_str());
        }
        SendDlgItemMessageA(hwnd(), IDC_CATALOG_NAME, EM_SETSEL, kept.size(), kept.size());
        MessageBeep(MB_OK);
    }
    changed_ = true;
    updateButtons();
}

void CatalogEditor::onAttributeChanged(int id)
{
    if (filling_) return;
    if (id == IDC_CATALOG_WEIGHT && weightSuggestsOneSided(windowText(item(IDC_CATALOG_WEIGHT))))
        CheckDlgButton(hwnd(), IDC_CATALOG_ONE_SIDED, BST_CHECKED);
    changed_ = true;
    updateButtons();
}

void CatalogEditor::add()
{
    const PaperDefinition paper = editedPaper();
    if (paper.name.empty()) return;
    if (model_.isSlotName(paper.name)) {
        message(IDS_CATALOG_NAME_TAKEN, platform::kMbOk | platform::kMbIconInformation);
        focusName();
        return;
    }
    if (const int existing = model_.findRow(paper.name); existing >= 0) {
        if (!changed_) {
            selectRow(existing);
            showRow(existing);
            return;
        }
        if (message(IDS_CATALOG_APPLY_TO_EXISTING, platform::kMbYesNo | platform::kMbIconQuestion) !=
            platform::kIdYes) {
            updateButtons();
            return;
        }
        selectRow(existing);
        modify(existing);
        return;
    }
    CatalogEditorModel::Refusal why = CatalogEditorModel::Refusal::kNone;
    const int row = model_.addRow(paper, &why);
    if (row < 0) {
        message(IDS_CATALOG_NAME_TAKEN, platform::kMbOk | platform::kMbIconInformation);
        return;
    }
    fillList(row);
    showRow(row);
}

void CatalogEditor::modify(int row)
{
    if (row < 0) return;
    PaperDefinition paper = editedPaper();
    if (paper.name.empty()) {
        message(IDS_CATALOG_NAME_EMPTY, platform::kMbOk | platform::kMbIconInformation);
        focusName();
        return;
    }
    if (model_.renameNeedsConsent(row, paper.name)) {
        // The edit shows the name the job knows while the question is asked.
        {
            Filling filling(filling_);
            SetDlgItemTextA(hwnd(), IDC_CATALOG_NAME, model_.row(row).name.c_str());
        }
        if (message(IDS_CATALOG_RENAME_USED, platform::kMbYesNo | platform::kMbIconQuestion) != platform::kIdYes) {
            showRow(row);
            return;
        }
    }
    // In the add form the row is the paper of that name, so only a plain modify is refused here.
    if (model_.modifyRow(row, paper) == CatalogEditorModel::Refusal::kNameTaken) {
        message(IDS_CATALOG_NAME_TAKEN, platform::kMbOk | platform::kMbIconInformation);
        focusName();
        return;
    }
    fillList(row);
    showRow(row);
}

void CatalogEditor::remove()
{
    const int row = selectedRow();
    switch (model_.canDelete(row)) {
    case CatalogEditorModel::Refusal::kNoRow:
        message(IDS_CATALOG_NO_SELECTION, platform::kMbOk | platform::kMbIconStop);
        return;
    case CatalogEditorModel::Refusal::kInUse:
        message(IDS_CATALOG_PAPER_IN_USE, platform::kMbOk | platform::kMbIconInformation);
        return;
    case CatalogEditorModel::Refusal::kBodyPaper:
        message(IDS_CATALOG_BODY_SLOT_DELETE, platform::kMbOk | platform::kMbIconInformation);
        return;
    default: break;
    }
    if (message(IDS_CATALOG_DELETE_QUESTION, platform::kMbYesNo | platform::kMbIconQuestion) != platform::kIdYes)
        return;
    if (model_.deleteRow(row) != CatalogEditorModel::Refusal::kNone) {
        message(IDS_CATALOG_DELETE_FAILED, platform::kMbOk | platform::kMbIconStop);
        return;
    }
    const int next = row > 0 ? row - 1 : 0;
    fillList(next);
    showRow(selectedRow());
    // Showing the neighbour clears the pending flag; the deletion itself is a change.
    changed_ = true;
    updateButtons();
}

void CatalogEditor::move(int delta)
{
    const int row = selectedRow();
    if (!model_.moveRow(row, delta)) return;
    fillList(row + delta);
    updateButtons();
}

void CatalogEditor::editList(int which)
{
    int slot = 0;
    while (slot < 3 && kAttributeLists[slot] != which) ++slot;
    // Colours are mode 1, weights 0, types 2.
    const NameList::Mode mode = which == PaperCatalog::kColors    ? NameList::kColours
                                : which == PaperCatalog::kWeights ? NameList::kWeights
                                                                  : NameList::kMediaTypes;
    const platform::Services& services = doc_.services();
    NameListEditor editor(model_.list(which), windowText(item(kAttributeCombos[slot])), mode, services.strings,
                          services.messages);
    if (!editor.run(resources_, hwnd())) return;
    const PaperDefinition shown = editedPaper();
    model_.setList(which, editor.entries());
    Filling filling(filling_);
    fillAttributeCombos();
    selectText(IDC_CATALOG_COLOR, shown.mediaText1);
    selectText(IDC_CATALOG_WEIGHT, shown.weight);
    selectText(IDC_CATALOG_TYPE, shown.mediaText3);
}

bool CatalogEditor::namesAreWritable()
{
    if (model_.hasEmptyName()) {
        message(IDS_CATALOG_EMPTY_NAME, platform::kMbOk | platform::kMbIconInformation);
        return false;
    }
    if (model_.hasDuplicateNames()) {
        message(IDS_CATALOG_DUPLICATE_NAMES, platform::kMbOk | platform::kMbIconInformation);
        return false;
    }
    return true;
}

void CatalogEditor::confirm()
{
    if (changed_ && message(IDS_CATALOG_EDIT_PENDING, platform::kMbYesNo | platform::kMbIconQuestion) ==
                        platform::kIdYes)
        return;
    if (model_.modified()) {
        // A catalog the file cannot keep would break every later settings save.
        if (!namesAreWritable()) return;
        model_.applyTo(doc_);
        saved_ = true;
        // A failed write has told the user; the catalog in memory is whole.
        doc_.catalog().saveCatalogAndVocabularies(doc_.bodyPaper());
    }
    endDialog(IDOK);
}

void CatalogEditor::writeCatalog()
{
    if (message(IDS_CATALOG_SAVE_QUESTION, platform::kMbYesNoCancel | platform::kMbIconQuestion) != platform::kIdYes)
        return;
    if (!namesAreWritable()) return;
    // The catalog as it stands in the editor; the document takes it on OK.
    const platform::Services& services = doc_.services();
    PaperCatalog working(services.strings, services.profile, services.messages, doc_.catalog().catalogFile());
    working.setFileSystem(&services.files);
    working.setPapers(model_.papers());
    for (int which : kAttributeLists) working.setVocabulary(which, model_.list(which));
    working.saveCatalogAndVocabularies(model_.bodyIndex());
}

bool CatalogEditor::onCommand(int id, int code, HWND)
{
    switch (id) {
    case IDC_CATALOG_PAPER_LIST:
        if (code == LBN_SELCHANGE && !filling_) showRow(selectedRow());
        return true;
    case IDC_CATALOG_NAME:
        if (code == EN_CHANGE) onNameChanged();
        return true;
    case IDC_CATALOG_SIZE:
    case IDC_CATALOG_COLOR:
    case IDC_CATALOG_WEIGHT:
    case IDC_CATALOG_TYPE:
        if (code == CBN_SELCHANGE) onAttributeChanged(id);
        return true;
    case IDC_CATALOG_ONE_SIDED:
        if (code == BN_CLICKED) onAttributeChanged(id);
        return true;
    case IDC_CATALOG_ADD: add(); return true;
    case IDC_CATALOG_MODIFY: modify(selectedRow()); return true;
    case IDC_CATALOG_DELETE: remove(); return true;
    case IDC_CATALOG_MOVE_UP: move(-1); return true;
    case IDC_CATALOG_MOVE_DOWN: move(1); return true;
    case IDC_CATALOG_EDIT_COLORS: editList(PaperCatalog::kColors); return true;
    case IDC_CATALOG_EDIT_WEIGHTS: editList(PaperCatalog::kWeights); return true;
    case IDC_CATALOG_EDIT_TYPES: editList(PaperCatalog::kMediaTypes); return true;
    case IDC_CATALOG_WRITE: writeCatalog(); return true;
    case IDC_CATALOG_OK:
    case IDOK: confirm(); return true;
    case IDCANCEL: endDialog(IDCANCEL); return true;
    default: return false;
    }
}

} // namespace orvox::ui
