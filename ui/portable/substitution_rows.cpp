#include "ui/portable/substitution_rows.h"

#include "settings/job_document.h"
#include "ui/portable/page_list_filter.h"

namespace orvox::ui {
namespace {

// Kinds from this one on fix the page list; kind 10 fixes the paper instead.
constexpr int kFirstKindWithFixedPages = 3;
constexpr int kBodyPaperKind = 10;

template <std::size_t N>
std::string fieldText(const char (&field)[N])
{
    return std::string(field, boundedLength(field, N));
}

} // namespace

std::string substitutionRowText(std::string_view paperName, std::string_view pageList, std::string_view kindText)
{
    std::string row;
    row.reserve(paperName.size() + pageList.size() + kindText.size() + 2);
    row.append(paperName).append(1, '\t').append(pageList).append(1, '\t').append(kindText);
    return row;
}

std::string substitutionRowText(const JobDocument& doc, int position)
{
    const PaperSubstitution& s = doc.substitution(position);
    // A record whose paper is no longer in the catalog still shows the name it was saved with.
    std::string name = doc.paperName(s.paperIndex);
    if (name.empty()) name = fieldText(s.paperName);
    return substitutionRowText(name, fieldText(s.pageList), doc.kindText(s.kind));
}

SubstitutionRowParts splitSubstitutionRow(std::string_view row)
{
    const auto first = row.find('\t');
    if (first == std::string_view::npos) return {std::string(row), {}};
    const auto last = row.rfind('\t');
    if (last == first) return {std::string(row.substr(0, first)), std::string(row.substr(first + 1))};
    return {std::string(row.substr(0, first)), std::string(row.substr(first + 1, last - first - 1))};
}

SubstitutionButtons substitutionButtons(int rowCount, int selection, bool dirty, bool pageListEmpty)
{
    SubstitutionButtons b;
    b.selection = selection < 0 && rowCount > 0 ? 0 : selection;
    const int sel = b.selection;
    const int newRow = rowCount - 1;
    b.modify = dirty && rowCount > 0 && !pageListEmpty;
    b.remove = rowCount > 1 && sel >= 0 && sel != newRow;
    b.moveUp = rowCount > 2 && sel > 0 && sel != newRow;
    b.moveDown = rowCount > 2 && sel >= 0 && sel < rowCount - 2;
    return b;
}

SubstitutionEditArea substitutionEditArea(int kind)
{
    SubstitutionEditArea area;
    if (kind == kBodyPaperKind) {
        area.paperEnabled = false;
        area.paperIsBodySlot = true;
        return area;
    }
    area.pageListEnabled = kind < kFirstKindWithFixedPages;
    return area;
}

std::optional<std::array<std::string, 5>> paperAttributeTexts(const JobDocument& doc, int index,
                                                              std::string_view oneSidedFlagText,
                                                              std::string_view oneSidedShownText)
{
    if (index < 1 || index > doc.paperCount()) return std::nullopt;
    const PaperDefinition& paper = doc.catalog().paper(index);
    auto entry = [&](int list, int position) -> std::string {
        const auto& words = doc.catalog().vocabulary(list);
        return position >= 0 && position < static_cast<int>(words.size()) ? words[static_cast<std::size_t>(position)]
                                                                           : std::string();
    };
    std::string sides = entry(PaperCatalog::kOneSided, paper.flag != 0 ? 1 : 0);
    if (!oneSidedFlagText.empty() && equalsIgnoringCase(sides, oneSidedFlagText)) sides = oneSidedShownText;
    return std::array<std::string, 5>{entry(PaperCatalog::kSizes, paper.sizeCode - 1), paper.mediaText1,
                                      paper.weight, paper.mediaText3, sides};
}

bool SubstitutionEditState::acceptTyping(std::string_view text)
{
    // What the page writes itself (a stored row, the emptied edit) is shown as it is.
    if (!programmatic_ && !passesPageListFilter(text, true)) return false;
    previous_ = std::string(text);
    if (!text.empty() && !programmatic_) dirty_ = true;
    return true;
}

void SubstitutionEditState::pageListChanged(std::string_view text) { dirty_ = !text.empty() && !programmatic_; }

} // namespace orvox::ui
