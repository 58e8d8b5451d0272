#include "ui/job_setup2_page.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <vector>

#include "resources/resource.h"
#include "settings/job_document.h"
#include "ui/job_setup1_page.h"
#include "ui/portable/restriction_flags.h"
#include "ui/tab_host.h"

namespace orvox::ui {
namespace {

constexpr std::array<ComboItemRow, 5> kMismatchItems{{
    {IDS_Mismatch_AutoSub, nullptr},
    {IDS_Mismatch_NotifySub, nullptr},
    {IDS_Mismatch_NotifyWait, nullptr},
    {IDS_Mismatch_CancelJob, nullptr},
    {0, nullptr},
}};
constexpr std::array<ComboItemRow, 5> kStatusItems{{
    {IDS_Status_None, nullptr},
    {IDS_Status_OnlyOnError, nullptr},
    {IDS_Status_Always, nullptr},
    {IDS_Status_SinglePage, nullptr},
    {0, nullptr},
}};
constexpr std::array<int, 4> kTextEdits{IDC_EDIT_OPERATOR_MESSAGE, IDC_EDIT_DELIVER_TO, IDC_EDIT_CHARGE_NUMBER,
                                        IDC_EDIT_EMAIL};
constexpr int kMinSignature = 4;
constexpr int kMaxSignature = 120;
constexpr int kPamphlets = 5;

} // namespace

BOOL JobSetup2Page::onInitDialog()
{
    const platform::StringSource& strings = document().services().strings;
    mismatch_.attach(hwnd(), IDC_COMBO_MISMATCH_HANDLING);
    statusMode_.attach(hwnd(), IDC_COMBO_STATUS_MODE);
    headerPaper_.attach(hwnd(), IDC_COMBO_HEADER_PAPER);
    separatorPaper_.attach(hwnd(), IDC_COMBO_SEPAR_PAPER);
    statusPaper_.attach(hwnd(), IDC_COMBO_STATUS_PAPER);
    if (paperPanel_.create(hwnd()))
        for (PaperComboBox* combo : {&headerPaper_, &separatorPaper_, &statusPaper_}) paperPanel_.serve(*combo, document());
    mismatch_.fill(kMismatchItems, 0, true, strings);
    statusMode_.fill(kStatusItems, 0, true, strings);
    for (const auto& [id, limit] : std::array<std::pair<int, int>, 5>{
             {{IDC_EDIT_OPERATOR_MESSAGE, 80}, {IDC_EDIT_DELIVER_TO, 31}, {IDC_EDIT_CHARGE_NUMBER, 31},
              {IDC_EDIT_EMAIL, 64}, {IDC_EDIT_MAX_SIGNATURE, 3}}})
        SendDlgItemMessageA(hwnd(), id, EM_LIMITTEXT, static_cast<WPARAM>(limit), 0);
    return TabPage::onInitDialog();
}

bool JobSetup2Page::loadFromDocument()
{
    JobDocument& doc = document();
    enableHelpButton(IDC_PAGE_HELP);
    // The papers are listed from the catalog's first entry on: item i is catalog index i + 1.
    for (PaperComboBox* combo : {&headerPaper_, &separatorPaper_, &statusPaper_}) {
        combo->clear();
        for (int index = 1; index <= doc.paperCount(); ++index) combo->addItem(doc.paperName(index), true);
        combo->send(CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), ItemEnablingComboBox::kSelectionFieldHeight);
    }
    filling_ = true;
    mismatch_.forceSelection(doc.mismatchHandling());
    CheckDlgButton(hwnd(), IDC_CHECK_FREEFORM_COLOR, doc.freeformColor() ? BST_CHECKED : BST_UNCHECKED);
    statusMode_.forceSelection(doc.statusPageMode());
    statusPaper_.forceSelection(doc.statusPagePaper());
    loadMemoBox(IDC_CHECK_HEADER_PAGE, true);
    headerPaper_.forceSelection(doc.headerPagePaper());
    loadMemoBox(IDC_CHECK_SET_SEPARATORS, false);
    separatorPaper_.forceSelection(doc.separatorPaper());
    SetDlgItemTextA(hwnd(), IDC_EDIT_MAX_SIGNATURE, std::to_string(doc.maxSignatureSize()).c_str());
    loadTexts();
    filling_ = false;

    applyHeaderRule();
    applySeparatorsRule();
    applyStatusRule();
    if (JobSetup1Page* setup1 = jobSetup1()) setup1->applyModeDependentEnabling(false);
    applySignatureRule();
    applySignatureTextRule();
    applyFreeformRule();
    ShowWindow(item(IDC_CHECK_REMOVE_FILES), SW_HIDE);
    return true;
}

void JobSetup2Page::loadTexts()
{
    const JobDocument& doc = document();
    SetDlgItemTextA(hwnd(), IDC_EDIT_OPERATOR_MESSAGE, doc.operatorMessage().c_str());
    SetDlgItemTextA(hwnd(), IDC_EDIT_DELIVER_TO, doc.deliverTo().c_str());
    SetDlgItemTextA(hwnd(), IDC_EDIT_CHARGE_NUMBER, doc.chargeNumber().c_str());
    SetDlgItemTextA(hwnd(), IDC_EDIT_EMAIL, doc.emailAddress().c_str());
}

bool JobSetup2Page::saveToDocument()
{
    JobDocument& doc = document();
    doc.setMismatchHandling(static_cast<std::int16_t>(mismatch_.selection()));
    doc.setSeparatorPaper(static_cast<std::int16_t>(separatorPaper_.selection()));
    saveMemoBox(IDC_CHECK_HEADER_PAGE, true);
    doc.setHeaderPagePaper(static_cast<std::int16_t>(headerPaper_.selection()));
    saveMemoBox(IDC_CHECK_SET_SEPARATORS, false);
    doc.setStatusPageMode(static_cast<std::int16_t>(statusMode_.selection()));
    doc.setStatusPagePaper(static_cast<std::int16_t>(statusPaper_.selection()));
    doc.setFreeformColor(isChecked(IDC_CHECK_FREEFORM_COLOR) ? 1 : 0);
    doc.setMaxSignatureSize(static_cast<std::int16_t>(GetDlgItemInt(hwnd(), IDC_EDIT_MAX_SIGNATURE, nullptr, FALSE)));
    for (int id : kTextEdits) storeText(id);
    return true;
}

bool JobSetup2Page::commitOnLeaving()
{
    saveMemoBox(IDC_CHECK_HEADER_PAGE, true);
    saveMemoBox(IDC_CHECK_SET_SEPARATORS, false);
    return true;
}

void JobSetup2Page::saveMemoBox(int id, bool headerBox)
{
    JobDocument& doc = document();
    const bool checked = isChecked(id);
    const bool enabled = IsWindowEnabled(item(id)) != FALSE;
    const std::int16_t value = checked && enabled ? 1 : 0;
    // The memo lives only while the printer keeps the box switched off; a choice
    // the operator makes on an enabled box replaces it.
    const std::int16_t memo = checked && !enabled ? 1 : 0;
    if (headerBox) {
        doc.setHeaderPage(value);
        if (memo || enabled) doc.setHeaderPageForced(memo);
    } else {
        doc.setSeparatorPages(value);
        if (memo || enabled) doc.setSeparatorPagesForced(memo);
    }
}

void JobSetup2Page::loadMemoBox(int id, bool headerBox)
{
    JobDocument& doc = document();
    const bool memo = (headerBox ? doc.headerPageForced() : doc.separatorPagesForced()) != 0;
    bool checked = (headerBox ? doc.headerPage() : doc.separatorPages()) != 0;
    if (!IsWindowEnabled(item(id)) && memo) {
        checked = true;
        if (headerBox) doc.setHeaderPageForced(0);
        else doc.setSeparatorPagesForced(0);
    }
    CheckDlgButton(hwnd(), id, checked ? BST_CHECKED : BST_UNCHECKED);
}

bool JobSetup2Page::editHasSelection() const { return focusedEditHasSelection(kTextEdits); }

void JobSetup2Page::clearTexts()
{
    if (!initialised()) return;
    filling_ = true;
    loadTexts();
    for (int id : kTextEdits) SetDlgItemTextA(hwnd(), id, "");
    filling_ = false;
}

void JobSetup2Page::printerChanged()
{
    TabPage::printerChanged();
    const JobDocument& doc = document();
    EnableWindow(item(IDC_CHECK_FREEFORM_COLOR),
                 doc.printerModel() != 0 && doc.modifyPrintFile() == stored(ModifyPrintFile::Yes));
    for (ItemEnablingComboBox* combo : {&mismatch_, &statusMode_, static_cast<ItemEnablingComboBox*>(&statusPaper_)})
        combo->validateSelection();
}

bool JobSetup2Page::onCommand(int id, int code, HWND /*control*/)
{
    if (!initialised()) return false;
    JobDocument& doc = document();
    if (code == CBN_SELCHANGE) {
        switch (id) {
        case IDC_COMBO_MISMATCH_HANDLING:
            doc.setMismatchHandling(static_cast<std::int16_t>(mismatch_.selection()));
            return true;
        case IDC_COMBO_STATUS_PAPER:
            doc.setStatusPagePaper(static_cast<std::int16_t>(statusPaper_.selection()));
            return true;
        case IDC_COMBO_STATUS_MODE: applyStatusRule(); return true;
        case IDC_COMBO_HEADER_PAPER:
            doc.setHeaderPagePaper(static_cast<std::int16_t>(headerPaper_.selection()));
            return true;
        case IDC_COMBO_SEPAR_PAPER:
            doc.setSeparatorPaper(static_cast<std::int16_t>(separatorPaper_.selection()));
            return true;
        default: return false;
        }
    }
    if (code == EN_CHANGE) {
        if (id == IDC_EDIT_MAX_SIGNATURE) {
            if (!filling_) applySignatureTextRule();
            return true;
        }
        if (std::find(kTextEdits.begin(), kTextEdits.end(), id) == kTextEdits.end()) return false;
        if (!filling_) storeText(id);
        return true;
    }
    if (code == EN_KILLFOCUS && id == IDC_EDIT_MAX_SIGNATURE) {
        applySignatureLimits();
        return true;
    }
    if (code != BN_CLICKED) return false;
    switch (id) {
    case IDC_CHECK_HEADER_PAGE: applyHeaderRule(); return true;
    case IDC_CHECK_SET_SEPARATORS: applySeparatorsRule(); return true;
    case IDC_CHECK_FREEFORM_COLOR: applyFreeformRule(); return true;
    case IDC_PAGE_HELP: showPageHelp(); return true;
    default: return false;
    }
}

// --- Rules ----------------------------------------------------------------------------

void JobSetup2Page::applyHeaderRule()
{
    saveMemoBox(IDC_CHECK_HEADER_PAGE, true);
    enableWithLabel(IDC_COMBO_HEADER_PAPER, isOn(IDC_CHECK_HEADER_PAGE), IDC_STATIC_HEADER_PAPER);
}

void JobSetup2Page::applyModel0SeparatorEnabling()
{
    const JobDocument& doc = document();
    if (doc.printerModel() != 0) return;
    const JobSetup1Page* setup1 = jobSetup1();
    const int mode = setup1 ? setup1->printingModeSelection() : doc.printingMode();
    const int exit = setup1 ? setup1->exitSelection() : doc.documentExit();
    const int stapling = setup1 ? setup1->staplingSelection() : doc.staplingMode();
    const bool collate = setup1 ? setup1->collateChecked() : doc.collate() != 0;
    EnableWindow(item(IDC_CHECK_SET_SEPARATORS), !(mode == kPamphlets && exit == 0) && stapling == 0 && collate);
}

void JobSetup2Page::applySeparatorsRule()
{
    if (!initialised()) return;
    applyModel0SeparatorEnabling();
    const bool on = isOn(IDC_CHECK_SET_SEPARATORS);
    enableWithLabel(IDC_COMBO_SEPAR_PAPER, on, IDC_STATIC_SEPAR_PAPER);
    // Stored through the memo rule, so that a box the finishing switched off
    // comes back checked when the finishing allows it again.
    saveMemoBox(IDC_CHECK_SET_SEPARATORS, false);
}

void JobSetup2Page::applyStatusRule()
{
    const int mode = statusMode_.selection();
    document().setStatusPageMode(static_cast<std::int16_t>(mode));
    enableWithLabel(IDC_COMBO_STATUS_PAPER, mode > 0 && restrictionFlags().permitted(IDC_COMBO_STATUS_PAPER),
                    IDC_STATIC_STATUS_PAGE_PAPER);
}

void JobSetup2Page::applySignatureTextRule()
{
    const int pages = static_cast<int>(GetDlgItemInt(hwnd(), IDC_EDIT_MAX_SIGNATURE, nullptr, FALSE));
    document().setMaxSignatureSize(static_cast<std::int16_t>(pages));
    const int sheets = (pages + 3) / 4;  // four pages to a folded sheet
    const std::string text =
        loadString(IDS_SIGNATURE_SHEETS_BEFORE) + std::to_string(sheets) +
        loadString(sheets == 1 ? IDS_SIGNATURE_ONE_SHEET_AFTER : IDS_SIGNATURE_SHEETS_AFTER);
    SetDlgItemTextA(hwnd(), IDC_STATIC_SIGNATURE_SHEETS, text.c_str());
}

void JobSetup2Page::applySignatureLimits()
{
    const int pages = static_cast<int>(GetDlgItemInt(hwnd(), IDC_EDIT_MAX_SIGNATURE, nullptr, FALSE));
    int limited = std::max(pages, kMinSignature);
    // Printer model 0 takes any size the three digits allow.
    if (document().printerModel() != 0) limited = std::min(limited, kMaxSignature);
    if (limited != pages) SetDlgItemTextA(hwnd(), IDC_EDIT_MAX_SIGNATURE, std::to_string(limited).c_str());
}

void JobSetup2Page::applySignatureRule()
{
    const JobSetup1Page* setup1 = jobSetup1();
    const int mode = setup1 ? setup1->printingModeSelection() : document().printingMode();
    for (int id : {IDC_EDIT_MAX_SIGNATURE, IDC_STATIC_MAX_SIGNATURE, IDC_STATIC_SIGNATURE_SHEETS})
        EnableWindow(item(id), mode == kPamphlets);
    if (JobSetup1Page* page = jobSetup1()) page->applyModeDependentEnabling(false);
}

void JobSetup2Page::applyFreeformRule()
{
    JobDocument& doc = document();
    const std::int16_t checked = isChecked(IDC_CHECK_FREEFORM_COLOR) ? 1 : 0;
    doc.setFreeformColor(checked);
    doc.setFreeformColorAtLoad(checked);
    // The document owns the colour-mapping availability and tells the tabs.
    doc.updateColourMappingTab();
}

void JobSetup2Page::storeText(int id)
{
    JobDocument& doc = document();
    const std::string text = editText(id);
    switch (id) {
    case IDC_EDIT_OPERATOR_MESSAGE: doc.setOperatorMessage(text); break;
    case IDC_EDIT_DELIVER_TO: doc.setDeliverTo(text); break;
    case IDC_EDIT_CHARGE_NUMBER: doc.setChargeNumber(text); break;
    case IDC_EDIT_EMAIL: doc.setEmailAddress(text); break;
    default: break;
    }
}

// --- Helpers -------------------------------------------------------------------------

JobDocument& JobSetup2Page::document() const { return *JobDocument::instance(); }

JobSetup1Page* JobSetup2Page::jobSetup1() const
{
    if (!host()) return nullptr;
    auto* page = dynamic_cast<JobSetup1Page*>(host()->page(kJobSetup1TabId));
    return page && page->initialised() ? page : nullptr;
}

bool JobSetup2Page::isChecked(int id) const { return IsDlgButtonChecked(hwnd(), id) == BST_CHECKED; }

bool JobSetup2Page::isOn(int id) const { return isChecked(id) && IsWindowEnabled(item(id)); }

std::string JobSetup2Page::editText(int id) const
{
    HWND edit = item(id);
    const int length = edit ? GetWindowTextLengthA(edit) : 0;
    if (length <= 0) return {};
    std::vector<char> buffer(static_cast<std::size_t>(length) + 1, '\0');
    GetWindowTextA(edit, buffer.data(), length + 1);
    return buffer.data();
}

std::string JobSetup2Page::loadString(unsigned id) const { return document().services().strings.load(id); }

void JobSetup2Page::enableWithLabel(int id, bool enable, int labelId)
{
    if (auto* combo = dynamic_cast<ItemEnablingComboBox*>(Control::fromWindow(item(id)))) combo->enableControl(enable);
    else EnableWindow(item(id), enable);
    EnableWindow(item(labelId), enable);
}

} // namespace orvox::ui
