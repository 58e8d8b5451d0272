// The checks of the Job Setup 1 page before a job is sent: combinations of
// finishing, covers and paper sizes the printer cannot carry out.
#include <algorithm>
#include <initializer_list>
#include <set>

#include "platform/messages.h"
#include "resources/resource.h"
#include "settings/job_document.h"
#include "ui/job_setup1_page.h"
#include "ui/tab_host.h"

namespace orvox::ui {
namespace {

enum Cover : int { kPrintSide1 = 1, kPrintSide2 = 2, kPrintBothSides = 3 };

using SizeSet = std::set<int>;

bool containsAny(const SizeSet& sizes, std::initializer_list<int> wanted)
{
    return std::any_of(wanted.begin(), wanted.end(), [&](int size) { return sizes.count(size) != 0; });
}

bool printsSide2(int cover) { return cover == kPrintSide2 || cover == kPrintBothSides; }

} // namespace

bool JobSetup1Page::failValidation(unsigned messageId) const
{
    showMessage(messageId, platform::kMbOk | platform::kMbIconExclamation);
    return false;
}

bool JobSetup1Page::validateForPrint(bool skip)
{
    if (skip) return true;
    return isModel0() ? validateModel0() : validateCommonRules();
}

bool JobSetup1Page::validateCommonRules()
{
    const JobDocument& doc = document();
    const bool frontOn = isControlEnabled(IDC_COMBO_FRONT_COVER);
    const bool backOn = isControlEnabled(IDC_COMBO_BACK_COVER);
    const int front = frontCover_.selection();
    const int back = backCover_.selection();
    const int m = printingMode_.selection();
    if (!isModel0()) {
        if (front == kPrintSide1 && back == kPrintBothSides && frontOn && backOn)
            return failValidation(IDS_CHECK_COVERS_BACK_BOTH);
        if (front == kPrintBothSides && back == kPrintSide1 && frontOn && backOn)
            return failValidation(IDS_CHECK_COVERS_FRONT_BOTH);
    }
    if ((m == 1 || m == 2 || m == 5) && doc.isBodyPaperOneSided()) return failValidation(IDS_CHECK_DUPLEX_ONE_SIDED);
    if (printsSide2(front) && frontOn && doc.isPaperOneSided(frontCoverPaper_.selection()))
        return failValidation(IDS_CHECK_FRONT_COVER_ONE_SIDED);
    if (printsSide2(back) && backOn && isControlEnabled(IDC_COMBO_BACK_COVER_PAPER) &&
        doc.isPaperOneSided(backCoverPaper_.selection()))
        return failValidation(IDS_CHECK_BACK_COVER_ONE_SIDED);
    if (exit_.selection() == 0 && m == 0) return failValidation(IDS_CHECK_BOOKLET_ONE_SIDED);
    return true;
}

bool JobSetup1Page::validateModel0()
{
    const JobDocument& doc = document();
    const PaperCatalog& catalog = doc.catalog();
    const auto sizeOf = [&](int catalogIndex) { return static_cast<int>(catalog.paper(catalogIndex).sizeCode); };
    const auto typeOf = [&](int catalogIndex) { return catalog.paper(catalogIndex).mediaText3; };

    // Cover, header, separator and status papers are stored as catalog index - 1.
    const bool frontPaperOn = isControlEnabled(IDC_COMBO_FRONT_COVER_PAPER);
    const bool backPaperOn = isControlEnabled(IDC_COMBO_BACK_COVER_PAPER);
    const int body = doc.bodyPaper();
    const int frontPaper = frontCoverPaper_.selection() + 1;
    SizeSet covered{sizeOf(body)};
    if (frontPaperOn) covered.insert(sizeOf(frontPaper));
    if (backPaperOn) covered.insert(sizeOf(backCoverPaper_.selection() + 1));
    SizeSet used = covered;
    const TabPage* setup2 = host() ? host()->page(kJobSetup2TabId) : nullptr;
    const auto setup2Enabled = [&](int id) { return setup2 && setup2->item(id) && IsWindowEnabled(setup2->item(id)); };
    if (setup2Enabled(IDC_COMBO_HEADER_PAPER)) used.insert(sizeOf(doc.headerPagePaper() + 1));
    if (setup2Enabled(IDC_COMBO_SEPAR_PAPER)) used.insert(sizeOf(doc.separatorPaper() + 1));
    if (setup2Enabled(IDC_COMBO_STATUS_PAPER)) used.insert(sizeOf(doc.statusPagePaper() + 1));
    SizeSet substituted;
    if (host() && !host()->isTabDisabled(IDS_TAB_PAPER_SUBSTITUTIONS))
        for (const PaperSubstitution& s : doc.substitutions()) substituted.insert(sizeOf(s.paperIndex));

    const int m = printingMode_.selection();
    const int e = exit_.selection();
    const int s = stapling_.selection();
    const bool exitOn = isControlEnabled(IDC_COMBO_EXIT_MODE);
    const bool staplingOn = isControlEnabled(IDC_COMBO_STAPLE_MODE);
    const bool separators = setup2 && setup2->item(IDC_CHECK_SET_SEPARATORS)
                                ? IsDlgButtonChecked(setup2->hwnd(), IDC_CHECK_SET_SEPARATORS) == BST_CHECKED
                                : doc.separatorPages() != 0;
    const bool separatorsOn = setup2Enabled(IDC_CHECK_SET_SEPARATORS);

    if (m == 5 && isChecked(IDC_CHECK_FINISH_CHAPTERS_SEPARATELY) && isControlEnabled(IDC_COMBO_PRINTING_MODE) &&
        isControlEnabled(IDC_CHECK_FINISH_CHAPTERS_SEPARATELY))
        return failValidation(IDS_CHECK_PAMPHLET_CHAPTERS);
    if (e == 5 && staplingOn && (containsAny(used, {1, 7}) || containsAny(substituted, {1, 7})))
        return failValidation(IDS_CHECK_STAPLER_SIZE);
    if (e == 5 && ((containsAny(substituted, {1, 2, 3, 4, 7}) && containsAny(substituted, {1, 4, 5, 6, 7})) ||
                   (containsAny(used, {1, 2, 3, 4, 7}) && containsAny(used, {1, 4, 5, 6, 7}) &&
                    containsAny(used, {1, 2, 3, 5, 6, 7}))))
        return failValidation(IDS_CHECK_STAPLER_MIXED_SIZES);
    const bool booklet = e == 0 && exitOn;
    const bool oneFoldableSize = covered.size() == 1 && containsAny(covered, {5, 7, 2, 1});
    if (booklet && !oneFoldableSize) return failValidation(IDS_CHECK_BOOKLET_ONE_SIZE);
    const std::string plain = loadString(IDS_PLAIN_PAPER);
    const auto isPlain = [&](int index) { return _stricmp(typeOf(index).c_str(), plain.c_str()) == 0; };
    if (booklet && (isPlain(body) || (frontPaperOn && isPlain(frontPaper))))
        return failValidation(IDS_CHECK_BOOKLET_PLAIN);
    if (booklet && frontPaperOn && sizeOf(frontPaper) != sizeOf(body))
        return failValidation(IDS_CHECK_BOOKLET_COVER_SIZE);
    if (booklet && separators && separatorsOn) return failValidation(IDS_CHECK_BOOKLET_SEPARATORS);
    if (s != 0 && separators && staplingOn && separatorsOn) return failValidation(IDS_CHECK_STAPLING_SEPARATORS);
    if (m == 5 && frontPaperOn && !containsAny(SizeSet{sizeOf(frontPaper)}, {5, 7, 1, 2}))
        return failValidation(IDS_CHECK_PAMPHLET_COVER_SIZE);
    return validateCommonRules();
}

} // namespace orvox::ui
