// The Job Setup 1 page's edits and check boxes: copies, page range, proof
// wait time, chapter pages, collation and the proof set.
#include <algorithm>
#include <cstdlib>

#include "platform/messages.h"
#include "resources/resource.h"
#include "settings/job_document.h"
#include "ui/job_setup1_page.h"
#include "ui/portable/page_list_filter.h"

namespace orvox::ui {
namespace {

constexpr int kMaxCopiesModel0 = 99999;
constexpr int kMaxCopies = 65535;
constexpr int kMaxWaitMinutes = 60;
constexpr unsigned kWarning = platform::kMbOk | platform::kMbIconExclamation;

// The leading digits of a text, as far as they go; 0 when it starts otherwise.
int leadingNumber(const std::string& text)
{
    int value = 0;
    for (char c : text) {
        if (c < '0' || c > '9' || value > 99999) break;
        value = value * 10 + (c - '0');
    }
    return value;
}

} // namespace

void JobSetup1Page::resetEdit(int id, const std::string& text)
{
    setEditText(id, text);
    SetFocus(item(id));
    SendDlgItemMessageA(hwnd(), id, EM_SETSEL, 0, -1);
}

void JobSetup1Page::fillEmptyWithOne(int id)
{
    if (editText(id).empty()) setEditText(id, "1");
}

void JobSetup1Page::onCopiesChanged()
{
    const std::string text = editText(IDC_EDIT_NUMBER_COPIES);
    if (text.empty()) return;
    bool isNumber = false;
    const int copies = editNumber(IDC_EDIT_NUMBER_COPIES, &isNumber);
    if (!isNumber || copies <= 0) {
        showMessage(IDS_NOT_A_POSITIVE_NUMBER, kWarning);
        resetEdit(IDC_EDIT_NUMBER_COPIES, "1");
        return;
    }
    const bool model0 = isModel0();
    if (copies > (model0 ? kMaxCopiesModel0 : kMaxCopies)) {
        showMessage(model0 ? IDS_TOO_MANY_COPIES_MODEL0 : IDS_TOO_MANY_COPIES, kWarning);
        resetEdit(IDC_EDIT_NUMBER_COPIES, loadString(model0 ? IDS_MAX_COPIES_MODEL0_TEXT : IDS_MAX_COPIES_TEXT));
        return;
    }
    document().setCopyCount(copies);
}

void JobSetup1Page::onPageNumberChanged(int id)
{
    const std::string text = editText(id);
    if (text.empty()) return;
    bool isNumber = false;
    const int page = editNumber(id, &isNumber);
    if (!isNumber || page <= 0) {
        showMessage(IDS_NOT_A_POSITIVE_NUMBER, kWarning);
        resetEdit(id, "1");
        return;
    }
    if (id == IDC_EDIT_FROM) document().setPageRangeFrom(page);
    else document().setPageRangeTo(page);
}

void JobSetup1Page::onWaitTimeChanged()
{
    if (filteringWaitTime_) return;
    const std::string text = editText(IDC_EDIT_PROOF_WAIT_TIME);
    if (text.empty()) {
        setEditText(IDC_EDIT_PROOF_WAIT_TIME, "1");
        return;
    }
    if (!std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        // The letters go when the edit is left; the number before them stands.
        showMessage(IDS_DIGITS_ONLY, kWarning);
        return;
    }
    const int minutes = leadingNumber(text);
    if (minutes <= 0) {
        showMessage(IDS_NOT_A_POSITIVE_NUMBER, kWarning);
        resetEdit(IDC_EDIT_PROOF_WAIT_TIME, "1");
        return;
    }
    if (minutes > kMaxWaitMinutes) {
        showText(loadString(IDS_WAIT_TIME_TOO_LONG) + std::to_string(kMaxWaitMinutes) + ".", kWarning);
        resetEdit(IDC_EDIT_PROOF_WAIT_TIME, std::to_string(kMaxWaitMinutes));
        return;
    }
    document().setProofWaitTime(static_cast<std::int16_t>(minutes));
}

void JobSetup1Page::onWaitTimeLeft()
{
    const std::string text = editText(IDC_EDIT_PROOF_WAIT_TIME);
    const int minutes = std::clamp(leadingNumber(text), 1, kMaxWaitMinutes);
    document().setProofWaitTime(static_cast<std::int16_t>(minutes));
    std::string digits;
    std::copy_if(text.begin(), text.end(), std::back_inserter(digits), [](char c) { return c >= '0' && c <= '9'; });
    if (digits == text) return;
    DWORD caret = 0;
    SendDlgItemMessageA(hwnd(), IDC_EDIT_PROOF_WAIT_TIME, EM_GETSEL, reinterpret_cast<WPARAM>(&caret), 0);
    filteringWaitTime_ = true;
    setEditText(IDC_EDIT_PROOF_WAIT_TIME, digits);
    filteringWaitTime_ = false;
    const WPARAM back = caret > 0 ? caret - 1 : 0;
    SendDlgItemMessageA(hwnd(), IDC_EDIT_PROOF_WAIT_TIME, EM_SETSEL, back, static_cast<LPARAM>(back));
}

void JobSetup1Page::onChapterPagesUpdate()
{
    if (restoringChapterText_) return;
    const std::string text = editText(IDC_EDIT_CHAPTER_PAGES_LIST);
    if (passesPageListFilter(text, false)) {
        previousChapterText_ = text;
        return;
    }
    MessageBeep(MB_OK);
    DWORD caret = 0;
    SendDlgItemMessageA(hwnd(), IDC_EDIT_CHAPTER_PAGES_LIST, EM_GETSEL, reinterpret_cast<WPARAM>(&caret), 0);
    restoringChapterText_ = true;
    setEditText(IDC_EDIT_CHAPTER_PAGES_LIST, previousChapterText_);
    restoringChapterText_ = false;
    const WPARAM back = caret > 0 ? caret - 1 : 0;
    SendDlgItemMessageA(hwnd(), IDC_EDIT_CHAPTER_PAGES_LIST, EM_SETSEL, back, static_cast<LPARAM>(back));
}

void JobSetup1Page::onChapterPagesChanged()
{
    if (restoringChapterText_) return;
    document().setChapterPages(editText(IDC_EDIT_CHAPTER_PAGES_LIST));
}

void JobSetup1Page::applyCollateRule()
{
    const int m = printingMode_.selection();
    if (!isChecked(IDC_CHECK_COLLATE) && isModel0() && m >= 3 && m <= 5) {
        showMessage(IDS_COLLATE_REQUIRED, kWarning);
        setChecked(IDC_CHECK_COLLATE, true);
    }
    document().setCollate(isChecked(IDC_CHECK_COLLATE) ? 1 : 0);
    runSeparatorsRule();
}

void JobSetup1Page::applyProofSetRule()
{
    const bool checked = isChecked(IDC_CHECK_PRINT_PROOF_SET);
    document().setProofSet(checked ? 1 : 0);
    // The proof set of printer model 0 is a fixed command: nothing to choose.
    const bool on = checked && !isModel0();
    for (int id : {IDC_STATIC_WAIT_TIME, IDC_EDIT_PROOF_WAIT_TIME, IDC_STATIC_MINUTES, IDC_STATIC_PROOF_ACTION})
        EnableWindow(item(id), on);
    proofAction_.enableControl(on);
}

void JobSetup1Page::applyRangeRadios(bool emptyUnused)
{
    JobDocument& doc = document();
    const bool from = isChecked(IDC_RADIO_PRINT_RANGE_FROM);
    doc.setPrintAllPages(isChecked(IDC_RADIO_PRINT_RANGE) ? 1 : 0);
    doc.setPrintPageRange(from ? 1 : 0);
    for (int id : {IDC_EDIT_FROM, IDC_EDIT_TO, IDC_STATIC_TO}) EnableWindow(item(id), from);
    // Only a load empties the greyed range; a click on "All pages" keeps what
    // the operator typed for when the range is chosen again.
    if (!from && emptyUnused) {
        loading_ = true;
        setEditText(IDC_EDIT_FROM, "");
        setEditText(IDC_EDIT_TO, "");
        loading_ = false;
    }
}

} // namespace orvox::ui
