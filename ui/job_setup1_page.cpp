#include "ui/job_setup1_page.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <vector>

#include "platform/messages.h"
#include "resources/resource.h"
#include "settings/job_document.h"
#include "ui/job_setup2_page.h"
#include "ui/portable/restriction_flags.h"
#include "ui/tab_host.h"

namespace orvox::ui {
namespace {

constexpr std::array<ComboItemRow, 7> kPrintingModeItems{{
    {IDS_PrintingMode_OneSided, nullptr},
    {IDS_PrintingMode_TwoSidedLong, nullptr},
    {IDS_PrintingMode_TwoSidedShort, nullptr},
    {IDS_PrintingMode_InterleavesBlank, nullptr},
    {IDS_PrintingMode_InterleavesPrinted, nullptr},
    {IDS_PrintingMode_Pamphlets, nullptr},
    {0, nullptr},
}};
constexpr std::array<ComboItemRow, 8> kExitItems{{
    {IDS_Exit_BookletMaker, nullptr},
    {IDS_Exit_Finisher, nullptr},
    {IDS_Exit_PostProcessor, nullptr},
    {IDS_Exit_SideExit, nullptr},
    {IDS_Exit_Stacker, nullptr},
    {IDS_Exit_Stapler, nullptr},
    {IDS_Exit_TopExit, nullptr},
    {0, nullptr},
}};
constexpr std::array<ComboItemRow, 3> kStackingItems{{
    {IDS_Stack_Offset, nullptr}, {IDS_Stack_NoOffset, nullptr}, {0, nullptr}}};
constexpr std::array<ComboItemRow, 7> kStaplingItems{{
    {IDS_Stapler_None, nullptr},
    {IDS_Stapler_Top, nullptr},
    {IDS_Stapler_Bottom, nullptr},
    {IDS_Stapler_Both, nullptr},
    {IDS_Stapler_ThreeLeft, nullptr},
    {IDS_Stapler_SaddleStitch, nullptr},
    {0, nullptr},
}};
constexpr std::array<ComboItemRow, 4> kFoldItems{{
    {IDS_Fold_None, nullptr}, {IDS_Fold_ZFold, nullptr}, {IDS_Fold_SaddleFold, nullptr}, {0, nullptr}}};
constexpr std::array<ComboItemRow, 6> kCoverItems{{
    {IDS_Cover_None, nullptr},
    {IDS_Cover_PrintSide1, nullptr},
    {IDS_Cover_PrintSide2, nullptr},
    {IDS_Cover_PrintBothSides, nullptr},
    {IDS_Cover_PrePrintedBlank, nullptr},
    {0, nullptr},
}};
constexpr std::array<ComboItemRow, 3> kProofActionItems{{
    {IDS_ProofSet_Continue, nullptr}, {IDS_ProofSet_Cancel, nullptr}, {0, nullptr}}};

constexpr COLORREF kLinkStartColour = 0x4B4B4B;

} // namespace

BOOL JobSetup1Page::onInitDialog()
{
    HCURSOR previous = SetCursor(LoadCursor(nullptr, IDC_WAIT));
    attachControls();
    fillCombos();
    fillPaperCombos();
    for (const auto& [id, limit] : std::array<std::pair<int, int>, 5>{
             {{IDC_EDIT_NUMBER_COPIES, 5}, {IDC_EDIT_FROM, 5}, {IDC_EDIT_TO, 5},
              {IDC_EDIT_CHAPTER_PAGES_LIST, 1024}, {IDC_EDIT_PROOF_WAIT_TIME, 2}}})
        SendDlgItemMessageA(hwnd(), id, EM_LIMITTEXT, static_cast<WPARAM>(limit), 0);
    SetCursor(previous);
    return TabPage::onInitDialog();
}

void JobSetup1Page::attachControls()
{
    printingMode_.attach(hwnd(), IDC_COMBO_PRINTING_MODE);
    exit_.attach(hwnd(), IDC_COMBO_EXIT_MODE);
    stacking_.attach(hwnd(), IDC_COMBO_STACK_MODE);
    stapling_.attach(hwnd(), IDC_COMBO_STAPLE_MODE);
    fold_.attach(hwnd(), IDC_COMBO_FOLD_MODE);
    frontCover_.attach(hwnd(), IDC_COMBO_FRONT_COVER);
    backCover_.attach(hwnd(), IDC_COMBO_BACK_COVER);
    proofAction_.attach(hwnd(), IDC_COMBO_PROOF_SET_ACTION);
    bodyPaper_.attach(hwnd(), IDC_COMBO_BODY_PAPER);
    frontCoverPaper_.attach(hwnd(), IDC_COMBO_FRONT_COVER_PAPER);
    backCoverPaper_.attach(hwnd(), IDC_COMBO_BACK_COVER_PAPER);
    if (paperPanel_.create(hwnd()))
        for (PaperComboBox* combo : {&bodyPaper_, &frontCoverPaper_, &backCoverPaper_}) paperPanel_.serve(*combo, document());
    if (substitutionsLink_.attach(hwnd(), IDC_LINK_PAPER_SUBSTITUTIONS)) {
        substitutionsLink_.setCaption(loadString(IDS_PAPER_SUBSTITUTIONS_LINK));
        substitutionsLink_.setTextColour(kLinkStartColour);
    }
}

void JobSetup1Page::fillCombos()
{
    const platform::StringSource& strings = document().services().strings;
    printingMode_.fill(kPrintingModeItems, 0, true, strings);
    exit_.fill(kExitItems, 0, true, strings);
    stacking_.fill(kStackingItems, 0, true, strings);
    stapling_.fill(kStaplingItems, 0, true, strings);
    fold_.fill(kFoldItems, 0, true, strings);
    frontCover_.fill(kCoverItems, 0, true, strings);
    backCover_.fill(kCoverItems, 0, true, strings);
    proofAction_.fill(kProofActionItems, 0, true, strings);
}

void JobSetup1Page::fillPaperCombos()
{
    const JobDocument& doc = document();
    // The body paper is chosen among the catalog's papers after entry 1, which
    // is the slot holding the body paper's own attributes.
    bodyPaper_.clear();
    frontCoverPaper_.clear();
    backCoverPaper_.clear();
    for (int index = 1; index <= doc.paperCount(); ++index) {
        const std::string name = doc.paperName(index);
        if (index >= 2) bodyPaper_.addItem(name, true);
        frontCoverPaper_.addItem(name, true);
        backCoverPaper_.addItem(name, true);
    }
    for (PaperComboBox* combo : {&bodyPaper_, &frontCoverPaper_, &backCoverPaper_}) {
        combo->send(CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), ItemEnablingComboBox::kSelectionFieldHeight);
        combo->selectItem(0);
    }
}

bool JobSetup1Page::loadFromDocument()
{
    // Filling the edits raises their change notifications; they are not the user's.
    loading_ = true;
    enableHelpButton(IDC_PAGE_HELP);
    loadControls(document());
    loading_ = false;
    runLoadRules();
    return true;
}

void JobSetup1Page::loadControls(JobDocument& doc)
{
    setEditText(IDC_EDIT_NUMBER_COPIES, std::to_string(doc.copyCount()));
    printingMode_.forceSelection(doc.printingMode());
    setChecked(IDC_CHECK_COLLATE, doc.collate() != 0);
    setChecked(IDC_CHECK_FINISH_CHAPTERS_SEPARATELY, doc.finishChaptersSeparately() != 0);
    previousChapterText_ = doc.chapterPages();
    setEditText(IDC_EDIT_CHAPTER_PAGES_LIST, previousChapterText_);
    setChecked(IDC_CHECK_TRIM_EDGES, doc.trimEdges() != 0);
    exit_.forceSelection(doc.documentExit());
    stacking_.forceSelection(doc.stackingMode());
    stapling_.forceSelection(doc.staplingMode());

    const bool all = doc.printAllPages() != 0 || doc.printPageRange() == 0;
    setChecked(IDC_RADIO_PRINT_RANGE, all);
    setChecked(IDC_RADIO_PRINT_RANGE_FROM, !all);
    setEditText(IDC_EDIT_FROM, doc.pageRangeFrom() > 0 ? std::to_string(doc.pageRangeFrom()) : std::string());
    setEditText(IDC_EDIT_TO, doc.pageRangeTo() > 0 ? std::to_string(doc.pageRangeTo()) : std::string());

    fillPaperCombos();
    bodyPaper_.forceSelection(doc.bodyPaper() - 2);
    frontCover_.forceSelection(doc.frontCover());
    frontCoverPaper_.forceSelection(doc.frontCoverPaper());
    backCover_.forceSelection(doc.backCover());
    backCoverPaper_.forceSelection(doc.backCoverPaper());

    setChecked(IDC_CHECK_PRINT_PROOF_SET, doc.proofSet() != 0);
    setEditText(IDC_EDIT_PROOF_WAIT_TIME, std::to_string(doc.proofWaitTime()));
    proofAction_.forceSelection(doc.proofSetAction() - 1);
    fold_.forceSelection(doc.foldMode());
}

void JobSetup1Page::runLoadRules()
{
    JobDocument& doc = document();
    applyExitRule();
    applyFrontCoverRule();
    applyBackCoverRule();
    applyPrintingModeRule();
    applyCollateRule();
    doc.setFinishChaptersSeparately(isChecked(IDC_CHECK_FINISH_CHAPTERS_SEPARATELY) ? 1 : 0);
    doc.setTrimEdges(isChecked(IDC_CHECK_TRIM_EDGES) ? 1 : 0);
    applyProofSetRule();
    applyModeDependentEnabling(true);
    applyLinkColourRule();
    applyStaplingRule();
    applyRangeRadios(true);
    applySubstitutionsAvailability();
}

bool JobSetup1Page::saveToDocument()
{
    JobDocument& doc = document();
    const bool copiesOn = IsWindowEnabled(item(IDC_EDIT_NUMBER_COPIES)) != FALSE;
    doc.setCopyCount(copiesOn ? std::max(1, editNumber(IDC_EDIT_NUMBER_COPIES)) : 0);
    // A switch the printer does not offer is never sent as set.
    const auto checkedAndOn = [this](int id) -> std::int16_t {
        return isChecked(id) && IsWindowEnabled(item(id)) ? 1 : 0;
    };
    doc.setCollate(checkedAndOn(IDC_CHECK_COLLATE));
    doc.setFinishChaptersSeparately(checkedAndOn(IDC_CHECK_FINISH_CHAPTERS_SEPARATELY));
    doc.setTrimEdges(checkedAndOn(IDC_CHECK_TRIM_EDGES));
    doc.setProofSet(checkedAndOn(IDC_CHECK_PRINT_PROOF_SET));
    doc.setPrintingMode(static_cast<std::int16_t>(printingMode_.selection()));
    doc.setChapterPages(editText(IDC_EDIT_CHAPTER_PAGES_LIST));
    doc.setDocumentExit(static_cast<std::int16_t>(exit_.selection()));
    doc.setStackingMode(static_cast<std::int16_t>(stacking_.selection()));
    doc.setStaplingMode(static_cast<std::int16_t>(stapling_.selection()));
    doc.setFoldMode(static_cast<std::int16_t>(fold_.selection()));
    doc.setPrintAllPages(isChecked(IDC_RADIO_PRINT_RANGE) ? 1 : 0);
    doc.setPrintPageRange(isChecked(IDC_RADIO_PRINT_RANGE_FROM) ? 1 : 0);
    doc.setPageRangeFrom(editNumber(IDC_EDIT_FROM));
    doc.setPageRangeTo(editNumber(IDC_EDIT_TO));
    doc.setFrontCover(static_cast<std::int16_t>(frontCover_.selection()));
    doc.setFrontCoverPaper(static_cast<std::int16_t>(frontCoverPaper_.selection()));
    doc.setBackCover(static_cast<std::int16_t>(backCover_.selection()));
    doc.setBackCoverPaper(static_cast<std::int16_t>(backCoverPaper_.selection()));
    doc.setProofWaitTime(static_cast<std::int16_t>(std::clamp(editNumber(IDC_EDIT_PROOF_WAIT_TIME), 1, 60)));
    doc.setProofSetAction(static_cast<std::int16_t>(proofAction_.selection() + 1));
    return true;
}

bool JobSetup1Page::commitOnLeaving()
{
    document().setCollate(isChecked(IDC_CHECK_COLLATE) && IsWindowEnabled(item(IDC_CHECK_COLLATE)) ? 1 : 0);
    // Re-selecting leaves an item that has been greyed meanwhile.
    bodyPaper_.selectItem(bodyPaper_.selection());
    bodyPaper_.validateSelection();
    return true;
}

bool JobSetup1Page::editHasSelection() const
{
    static constexpr int kEdits[] = {IDC_EDIT_NUMBER_COPIES, IDC_EDIT_FROM, IDC_EDIT_TO, IDC_EDIT_PROOF_WAIT_TIME,
                                     IDC_EDIT_CHAPTER_PAGES_LIST};
    return focusedEditHasSelection(kEdits);
}

void JobSetup1Page::printerChanged()
{
    // The new model's restriction list decides the saddle stitch, not the
    // stapler exit of model 0.
    if (!isModel0() && saddleGreyedForStapler_) applySaddleStitchItem();
    TabPage::printerChanged();
    for (ItemEnablingComboBox* combo :
         {&exit_, &stacking_, &stapling_, &fold_, &frontCover_, &backCover_, &printingMode_})
        combo->validateSelection();
}

bool JobSetup1Page::onCommand(int id, int code, HWND /*control*/)
{
    if (!initialised()) return false;
    if (code == CBN_SELCHANGE) {
        switch (id) {
        case IDC_COMBO_EXIT_MODE: applyExitRule(); return true;
        case IDC_COMBO_STACK_MODE: applyStackingRule(); return true;
        case IDC_COMBO_STAPLE_MODE: applyStaplingRule(); return true;
        case IDC_COMBO_FOLD_MODE: applyFoldRule(); return true;
        case IDC_COMBO_FRONT_COVER: applyFrontCoverRule(); return true;
        case IDC_COMBO_BACK_COVER: applyBackCoverRule(); return true;
        case IDC_COMBO_PRINTING_MODE: applyPrintingModeRule(); return true;
        case IDC_COMBO_BODY_PAPER: applyBodyPaperRule(); return true;
        case IDC_COMBO_FRONT_COVER_PAPER:
            document().setFrontCoverPaper(static_cast<std::int16_t>(frontCoverPaper_.selection()));
            return true;
        case IDC_COMBO_BACK_COVER_PAPER:
            document().setBackCoverPaper(static_cast<std::int16_t>(backCoverPaper_.selection()));
            return true;
        case IDC_COMBO_PROOF_SET_ACTION:
            document().setProofSetAction(static_cast<std::int16_t>(proofAction_.selection() + 1));
            return true;
        default: return false;
        }
    }
    if (code == EN_CHANGE || code == EN_KILLFOCUS || code == EN_UPDATE) {
        if (loading_) return true;
        const bool left = code == EN_KILLFOCUS;
        switch (id) {
        case IDC_EDIT_NUMBER_COPIES:
            if (left) fillEmptyWithOne(id);
            else if (code == EN_CHANGE) onCopiesChanged();
            return true;
        case IDC_EDIT_FROM:
        case IDC_EDIT_TO:
            if (left) fillEmptyWithOne(id);
            else if (code == EN_CHANGE) onPageNumberChanged(id);
            return true;
        case IDC_EDIT_PROOF_WAIT_TIME:
            if (left) onWaitTimeLeft();
            else if (code == EN_CHANGE) onWaitTimeChanged();
            return true;
        case IDC_EDIT_CHAPTER_PAGES_LIST:
            if (code == EN_UPDATE) onChapterPagesUpdate();
            else if (code == EN_CHANGE) onChapterPagesChanged();
            return true;
        default: return false;
        }
    }
    if (code != BN_CLICKED) return false;
    switch (id) {
    case IDC_CHECK_PRINT_PROOF_SET: applyProofSetRule(); return true;
    case IDC_CHECK_COLLATE: applyCollateRule(); return true;
    case IDC_CHECK_FINISH_CHAPTERS_SEPARATELY:
        document().setFinishChaptersSeparately(isChecked(id) ? 1 : 0);
        return true;
    case IDC_CHECK_TRIM_EDGES: document().setTrimEdges(isChecked(id) ? 1 : 0); return true;
    case IDC_PAGE_HELP: showPageHelp(); return true;
    case IDC_RADIO_PRINT_RANGE:
    case IDC_RADIO_PRINT_RANGE_FROM:
        applyRangeRadios(false);
        if (id == IDC_RADIO_PRINT_RANGE_FROM) SetFocus(item(IDC_EDIT_FROM));
        return true;
    default: return false;
    }
}

// --- Helpers -------------------------------------------------------------------------

JobDocument& JobSetup1Page::document() const { return *JobDocument::instance(); }

JobSetup2Page* JobSetup1Page::jobSetup2() const
{
    if (!host()) return nullptr;
    auto* page = dynamic_cast<JobSetup2Page*>(host()->page(kJobSetup2TabId));
    return page && page->initialised() ? page : nullptr;
}

bool JobSetup1Page::isModel0() const { return document().printerModel() == 0; }

bool JobSetup1Page::permitted(int controlId) const { return restrictionFlags().permitted(controlId); }

bool JobSetup1Page::isChecked(int id) const { return IsDlgButtonChecked(hwnd(), id) == BST_CHECKED; }

bool JobSetup1Page::collateChecked() const { return isChecked(IDC_CHECK_COLLATE); }

void JobSetup1Page::setChecked(int id, bool checked) const
{
    CheckDlgButton(hwnd(), id, checked ? BST_CHECKED : BST_UNCHECKED);
}

void JobSetup1Page::enableWithLabel(int id, bool enable, int labelId)
{
    if (Control* wrapper = Control::fromWindow(item(id)))
        if (auto* combo = dynamic_cast<ItemEnablingComboBox*>(wrapper)) {
            combo->enableControl(enable);
            if (labelId) EnableWindow(item(labelId), enable);
            return;
        }
    EnableWindow(item(id), enable);
    if (labelId) EnableWindow(item(labelId), enable);
}

std::string JobSetup1Page::loadString(unsigned id) const { return document().services().strings.load(id); }

int JobSetup1Page::indexFromResource(unsigned id) const { return std::atoi(loadString(id).c_str()); }

int JobSetup1Page::showText(const std::string& text, unsigned type) const
{
    return document().services().messages.show(text, type);
}

int JobSetup1Page::showMessage(unsigned id, unsigned type) const { return showText(loadString(id), type); }

std::string JobSetup1Page::editText(int id) const
{
    HWND edit = item(id);
    const int length = edit ? GetWindowTextLengthA(edit) : 0;
    if (length <= 0) return {};
    std::vector<char> buffer(static_cast<std::size_t>(length) + 1, '\0');
    GetWindowTextA(edit, buffer.data(), length + 1);
    return buffer.data();
}

int JobSetup1Page::editNumber(int id, bool* isNumber) const
{
    const std::string text = editText(id);
    const bool digits = !text.empty() && text.size() <= 9 &&
                        std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
    if (isNumber) *isNumber = digits;
    return digits ? std::atoi(text.c_str()) : 0;
}

void JobSetup1Page::setEditText(int id, const std::string& text) { SetDlgItemTextA(hwnd(), id, text.c_str()); }

} // namespace orvox::ui
