// The paper substitutions of the document: page ranges printed on another paper.
#include "settings/job_document.h"

#include "settings/page_list.h"

namespace orvox {

namespace {

// Kind texts are consecutive resource strings from this id, for kinds 0 to 12.
constexpr unsigned kKindTextBase = 166;
constexpr int kLastKindWithText = 12;

bool inRange(int position, std::size_t size) { return position >= 0 && static_cast<std::size_t>(position) < size; }

} // namespace

bool JobDocument::addSubstitution(int paperIndex, int kind, std::string_view pageList)
{
    // A settings file holds at most this many; a longer list could not be saved.
    if (substitutionCount() >= kMaxSubstitutions) return false;
    PaperSubstitution s{};
    copyToField(s.pageList, sizeof s.pageList, pageList);
    s.paperIndex = static_cast<std::int16_t>(paperIndex);
    s.kind = static_cast<std::int16_t>(kind);
    substitutions_.push_back(s);
    changed();
    return true;
}

bool JobDocument::setSubstitutionPaper(int position, int paperIndex)
{
    if (!inRange(position, substitutions_.size())) return false;
    storeValue(substitutions_[position].paperIndex, static_cast<std::int16_t>(paperIndex));
    return true;
}

bool JobDocument::setSubstitutionPages(int position, std::string_view pageList)
{
    if (!inRange(position, substitutions_.size())) return false;
    char* field = substitutions_[position].pageList;
    const std::string current(field, boundedLength(field, sizeof substitutions_[position].pageList));
    std::string_view cut = pageList.substr(0, std::min(pageList.find('\0'), sizeof substitutions_[position].pageList - 1));
    if (equalsIgnoringCase(current, cut)) return true;
    copyToField(field, sizeof substitutions_[position].pageList, cut);
    changed();
    return true;
}

int JobDocument::validateSubstitutionPages(int position)
{
    if (!inRange(position, substitutions_.size())) return kPageListOk;
    char* field = substitutions_[position].pageList;
    std::string pages(field, boundedLength(field, sizeof substitutions_[position].pageList));
    const int result = validatePageList(pages, false);
    // The check writes the keyword as the printer wants it; that is the same
    // list, so the document is not marked modified.
    if (pages.size() < sizeof substitutions_[position].pageList) copyToField(field, sizeof substitutions_[position].pageList, pages);
    return result;
}

bool JobDocument::removeSubstitution(int position)
{
    if (!inRange(position, substitutions_.size())) return false;
    substitutions_.erase(substitutions_.begin() + position);
    changed();
    return true;
}

bool JobDocument::moveSubstitutionUp(int oneBasedPosition)
{
    if (oneBasedPosition <= 1 || oneBasedPosition > substitutionCount()) return false;
    std::swap(substitutions_[oneBasedPosition - 1], substitutions_[oneBasedPosition - 2]);
    changed();
    return true;
}

bool JobDocument::moveSubstitutionDown(int oneBasedPosition)
{
    if (oneBasedPosition < 1 || oneBasedPosition > substitutionCount()) return false;
    // The last record stays last.
    if (oneBasedPosition == substitutionCount()) return true;
    std::swap(substitutions_[oneBasedPosition - 1], substitutions_[oneBasedPosition]);
    changed();
    return true;
}

const PaperSubstitution& JobDocument::substitution(int position) const
{
    static const PaperSubstitution kNone{};
    return inRange(position, substitutions_.size()) ? substitutions_[position] : kNone;
}

int JobDocument::substitutionKind(int position) const
{
    return inRange(position, substitutions_.size()) ? substitutions_[position].kind : 0;
}

std::string JobDocument::kindText(int kind) const
{
    if (kind < 0 || kind > kLastKindWithText) return {};
    return services_.strings.load(kKindTextBase + static_cast<unsigned>(kind));
}

int JobDocument::substitutionKindMask(int ignorePosition) const
{
    int mask = 0;
    for (int i = 0; i < substitutionCount(); ++i) {
        if (i == ignorePosition) continue;
        switch (substitutions_[i].kind) {
        case 3: case 6: mask |= 90; break;
        case 4: case 7: mask |= 108; break;
        case 5: case 8: mask |= 126; break;
        case 11: case 12: mask |= 384; break;
        default: break;
        }
    }
    return mask;
}

} // namespace orvox
