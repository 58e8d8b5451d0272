// The finishing rules of the Job Setup 1 page: which of exit, stacking,
// stapling, folding, covers and chapters the printer can do together, and the
// availability of paper substitutions.
#include "platform/messages.h"
#include "resources/resource.h"
#include "settings/job_document.h"
#include "ui/job_setup1_page.h"
#include "ui/job_setup2_page.h"
#include "ui/tab_host.h"

namespace orvox::ui {
namespace {

constexpr int kSubstitutionsTabId = IDS_TAB_PAPER_SUBSTITUTIONS;
constexpr COLORREF kLinkActiveColour = 255;
constexpr COLORREF kLinkGreyColour = 0x7D7D7D;

enum Exit : int { kBookletMaker = 0, kFinisher = 1, kPostProcessor = 2, kSideExit = 3, kStacker = 4, kStapler = 5, kTopExit = 6 };
enum Mode : int { kOneSided = 0, kTwoSidedLong = 1, kTwoSidedShort = 2, kBlankInterleaves = 3, kPrintedInterleaves = 4, kPamphlets = 5 };
constexpr int kSaddleStitch = 5;
constexpr int kSaddleFold = 2;
constexpr int kNoOffset = 1;

bool isPlainSides(int mode) { return mode >= kOneSided && mode <= kTwoSidedShort; }
bool isInterleaves(int mode) { return mode == kBlankInterleaves || mode == kPrintedInterleaves; }

} // namespace

void JobSetup1Page::applyExitRule()
{
    JobDocument& doc = document();
    const int e = exit_.selection();
    // The saddle stitch greyed for a previous stapler exit must be offered
    // again before the booklet maker chooses it, or the choice is refused.
    applySaddleStitchItem();
    if (isModel0() && e == kBookletMaker) {
        stapling_.selectItem(indexFromResource(IDS_INDEX_SADDLE_STITCH));
        fold_.selectItem(indexFromResource(IDS_INDEX_SADDLE_FOLD));
    }
    if (!isModel0() && !(e == kFinisher && permitted(IDC_COMBO_FOLD_MODE)))
        fold_.selectItem(indexFromResource(IDS_INDEX_NO_FOLD));
    doc.setDocumentExit(static_cast<std::int16_t>(e));

    const bool stackingOn = e != kPostProcessor && e != kSideExit && e != kTopExit && permitted(IDC_COMBO_STACK_MODE);
    enableWithLabel(IDC_COMBO_STACK_MODE, stackingOn, IDC_STATIC_STACK_MODE);
    if (!stackingOn) {
        stacking_.forceSelection(kNoOffset);
        doc.setStackingMode(kNoOffset);
    }
    const bool staplingOn = e != kPostProcessor && e != kSideExit && e != kStacker && e != kTopExit &&
                            permitted(IDC_COMBO_STAPLE_MODE);
    enableWithLabel(IDC_COMBO_STAPLE_MODE, staplingOn, IDC_STATIC_STAPLE_MODE);
    enableWithLabel(IDC_COMBO_FOLD_MODE, e == kFinisher && permitted(IDC_COMBO_FOLD_MODE), IDC_STATIC_FOLD_MODE);

    applyStackingRule();
    applyStaplingRule();
    applyFoldRule();
    EnableWindow(item(IDC_CHECK_TRIM_EDGES), isModel0() && e == kBookletMaker);
    applySubstitutionsAvailability();
    applyFrontCoverRule();
    applyBackCoverRule();
}

void JobSetup1Page::applyStackingRule()
{
    if (isModel0()) {
        // The booklet maker does not offset either; the post-processor and the
        // side exit keep the "no offset" the exit rule set, or the choice
        // offered here would be gone at the next load.
        const int e = exit_.selection();
        enableWithLabel(IDC_COMBO_STACK_MODE,
                        e != kBookletMaker && e != kTopExit && e != kPostProcessor && e != kSideExit &&
                            permitted(IDC_COMBO_STACK_MODE),
                        IDC_STATIC_STACK_MODE);
    }
    document().setStackingMode(static_cast<std::int16_t>(stacking_.selection()));
}

void JobSetup1Page::applyStaplingRule()
{
    JobDocument& doc = document();
    applySaddleStitchItem();
    if (isModel0()) {
        const int e = exit_.selection();
        if (e == kStacker || e == kTopExit) {
            enableWithLabel(IDC_COMBO_STAPLE_MODE, false, IDC_STATIC_STAPLE_MODE);
            stapling_.selectItem(indexFromResource(IDS_INDEX_NO_STAPLING));
        }
    }
    const int s = stapling_.selection();
    doc.setStaplingMode(static_cast<std::int16_t>(s));
    // Saddle stitching and saddle folding go together; one level deep only.
    if (s == kSaddleStitch) fold_.selectItem(kSaddleFold);
    else if (fold_.selection() == kSaddleFold) fold_.selectItem(0);
    doc.setFoldMode(static_cast<std::int16_t>(fold_.selection()));
    runSeparatorsRule();
}

void JobSetup1Page::applySaddleStitchItem()
{
    // Model 0's stapler exit cannot saddle stitch; every other exit of model 0
    // can. Other models leave the item to their restriction list, but the
    // greying model 0 did for its stapler is taken back, or a printer change
    // would carry it over to a model that saddle stitches.
    const int saddle = indexFromResource(IDS_INDEX_SADDLE_STITCH);
    if (isModel0() && exit_.selection() == kStapler) {
        stapling_.setItemEnabled(saddle, false);
        saddleGreyedForStapler_ = true;
    } else if (isModel0() || saddleGreyedForStapler_) {
        stapling_.setItemEnabled(saddle, true);
        saddleGreyedForStapler_ = false;
    }
}

void JobSetup1Page::applyFoldRule()
{
    JobDocument& doc = document();
    if (isModel0()) {
        enableWithLabel(IDC_COMBO_FOLD_MODE, exit_.selection() == kBookletMaker && permitted(IDC_COMBO_FOLD_MODE),
                        IDC_STATIC_FOLD_MODE);
        runSeparatorsRule();
    }
    const int f = fold_.selection();
    doc.setFoldMode(static_cast<std::int16_t>(f));
    if (f == kSaddleFold) {
        applySaddleStitchItem();
        stapling_.selectItem(kSaddleStitch);
    } else if (stapling_.selection() == kSaddleStitch) {
        stapling_.selectItem(0);
    }
    doc.setStaplingMode(static_cast<std::int16_t>(stapling_.selection()));
}

void JobSetup1Page::applyPrintingModeRule()
{
    JobDocument& doc = document();
    const int m = printingMode_.selection();
    if (m == kPamphlets && doc.isBodyPaperOneSided())
        showMessage(IDS_PAMPHLETS_ONE_SIDED_BODY, platform::kMbOk | platform::kMbIconInformation);
    doc.setPrintingMode(static_cast<std::int16_t>(m));
    applyModeDependentEnabling(true);
    if (host()) {
        if (m >= kBlankInterleaves) host()->disableTab(kSubstitutionsTabId);
        else host()->enableTab(kSubstitutionsTabId);
    }
    applyPamphletCoverItems(m);
    modeText_ = printingMode_.selectedText();
    applySubstitutionsAvailability();
    if (isModel0()) applyModel0ModeRule(m);
    applyStackingRule();
    applyStaplingRule();
    applyFoldRule();
    applyFrontCoverRule();
    applyLinkColourRule();
    runSeparatorsRule();
}

void JobSetup1Page::applyPamphletCoverItems(int mode)
{
    JobDocument& doc = document();
    const int coverA = indexFromResource(IDS_INDEX_PAMPHLET_COVER_A);
    const int coverB = indexFromResource(IDS_INDEX_PAMPHLET_COVER_B);
    if (mode == kPamphlets) {
        frontCover_.setItemEnabled(coverA, false);
        frontCover_.setItemEnabled(coverB, false);
        doc.setSubstitutionsActive(0);
        SetDlgItemTextA(hwnd(), IDC_STATIC_FRONT_COVER, loadString(IDS_PAMPHLET_COVER_LABEL).c_str());
    } else {
        frontCover_.setItemEnabled(coverA, true);
        if (isModel0()) frontCover_.setItemEnabled(coverB, true);
        doc.setSubstitutionsActive(1);
        SetDlgItemTextA(hwnd(), IDC_STATIC_FRONT_COVER, loadString(IDS_FRONT_COVER_LABEL).c_str());
    }
}

void JobSetup1Page::applyModel0ModeRule(int m)
{
    JobDocument& doc = document();
    if (m >= kBlankInterleaves) {
        setChecked(IDC_CHECK_COLLATE, true);
        doc.setCollate(1);
    }
    const int noCover = indexFromResource(IDS_INDEX_NO_COVER);
    if (m == kPamphlets || isInterleaves(m)) backCover_.selectItem(noCover);
    if (isInterleaves(m)) frontCover_.selectItem(noCover);
    doc.setFrontCover(static_cast<std::int16_t>(frontCover_.selection()));
    doc.setBackCover(static_cast<std::int16_t>(backCover_.selection()));
    enableWithLabel(IDC_EDIT_CHAPTER_PAGES_LIST,
                    (isPlainSides(m) || m == kPamphlets) && permitted(IDC_EDIT_CHAPTER_PAGES_LIST),
                    IDC_STATIC_CHAPTER_PAGES);
    EnableWindow(item(IDC_CHECK_FINISH_CHAPTERS_SEPARATELY),
                 isPlainSides(m) && permitted(IDC_CHECK_FINISH_CHAPTERS_SEPARATELY));
}

void JobSetup1Page::applyModeDependentEnabling(bool withCoverRules)
{
    const int m = printingMode_.selection();
    const bool model0 = isModel0();
    const bool chapters = (m == kTwoSidedLong || m == kTwoSidedShort || (model0 && (isPlainSides(m) || m == kPamphlets))) &&
                          permitted(IDC_EDIT_CHAPTER_PAGES_LIST);
    enableWithLabel(IDC_EDIT_CHAPTER_PAGES_LIST, chapters, IDC_STATIC_CHAPTER_PAGES);
    EnableWindow(item(IDC_CHECK_FINISH_CHAPTERS_SEPARATELY),
                 chapters && (!model0 || isPlainSides(m)) && permitted(IDC_CHECK_FINISH_CHAPTERS_SEPARATELY));

    const bool front = !isInterleaves(m) && permitted(IDC_COMBO_FRONT_COVER);
    const bool back = !isInterleaves(m) && m != kPamphlets && permitted(IDC_COMBO_BACK_COVER);
    enableWithLabel(IDC_COMBO_FRONT_COVER, front, IDC_STATIC_FRONT_COVER);
    enableWithLabel(IDC_COMBO_BACK_COVER, back, IDC_STATIC_BACK_COVER);
    enableWithLabel(IDC_COMBO_FRONT_COVER_PAPER, coverPaperEnabled(frontCover_, IDC_COMBO_FRONT_COVER_PAPER),
                    IDC_STATIC_FRONT_COVER_PAPER);
    enableWithLabel(IDC_COMBO_BACK_COVER_PAPER, coverPaperEnabled(backCover_, IDC_COMBO_BACK_COVER_PAPER),
                    IDC_STATIC_BACK_COVER_PAPER);
    EnableWindow(item(IDC_STATIC_COVERS_GROUPBOX), front || back);
    if (!withCoverRules) return;
    if (front) applyFrontCoverRule();
    if (back) applyBackCoverRule();
}

bool JobSetup1Page::coverPaperEnabled(const ItemEnablingComboBox& cover, int paperId) const
{
    // The cover's "none" item is told by its index: the two cover combos share
    // one item table, so comparing captions with another text would misjudge it.
    const int selected = cover.selection();
    return cover.isEnabled() && selected >= 0 && selected != indexFromResource(IDS_INDEX_NO_COVER) &&
           permitted(paperId);
}

void JobSetup1Page::applyFrontCoverRule()
{
    document().setFrontCover(static_cast<std::int16_t>(frontCover_.selection()));
    enableWithLabel(IDC_COMBO_FRONT_COVER_PAPER, coverPaperEnabled(frontCover_, IDC_COMBO_FRONT_COVER_PAPER),
                    IDC_STATIC_FRONT_COVER_PAPER);
    applyBackCoverRule();
}

void JobSetup1Page::applyBackCoverRule()
{
    document().setBackCover(static_cast<std::int16_t>(backCover_.selection()));
    enableWithLabel(IDC_COMBO_BACK_COVER_PAPER, coverPaperEnabled(backCover_, IDC_COMBO_BACK_COVER_PAPER),
                    IDC_STATIC_BACK_COVER_PAPER);
}

void JobSetup1Page::applySubstitutionsAvailability()
{
    const JobDocument& doc = document();
    const int m = printingMode_.selection();
    const bool available = (m == kPamphlets && isModel0()) ||
                           (isPlainSides(m) && doc.modifyPrintFile() == stored(ModifyPrintFile::Yes));
    if (available) {
        if (host()) host()->enableTab(kSubstitutionsTabId);
        applyLinkColourRule();
        return;
    }
    if (host()) host()->disableTab(kSubstitutionsTabId);
    substitutionsLink_.setTextColour(kLinkGreyColour);
}

void JobSetup1Page::applyLinkColourRule()
{
    const bool tabOn = host() && !host()->isTabDisabled(kSubstitutionsTabId);
    substitutionsLink_.setTextColour(document().substitutionCount() > 0 && tabOn ? kLinkActiveColour
                                                                                 : kLinkGreyColour);
    InvalidateRect(substitutionsLink_.hwnd(), nullptr, TRUE);
}

void JobSetup1Page::applyBodyPaperRule()
{
    JobDocument& doc = document();
    const bool plain = _stricmp(doc.paperName(doc.bodyPaper()).c_str(), loadString(IDS_PLAIN_PAPER).c_str()) == 0;
    if (doc.substitutionCount() == 0 || plain) {
        doc.setBodyPaper(bodyPaper_.selection() + 2);
        applyPrintingModeRule();
        return;
    }
    showMessage(IDS_BODY_PAPER_LOCKED, platform::kMbOk | platform::kMbIconExclamation);
    bodyPaper_.forceSelection(doc.bodyPaper() - 2);
}

void JobSetup1Page::runSeparatorsRule()
{
    if (JobSetup2Page* page = jobSetup2()) page->applySeparatorsRule();
}

} // namespace orvox::ui
