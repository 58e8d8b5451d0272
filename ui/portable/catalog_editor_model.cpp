#include "ui/portable/catalog_editor_model.h"

#include <algorithm>
#include <utility>

#include "settings/job_settings.h"

namespace orvox::ui {

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t'; }

const PaperDefinition kNoPaper;
const std::vector<std::string> kNoList;

int listSlot(int which)
{
    return (which >= PaperCatalog::kColors && which <= PaperCatalog::kMediaTypes) ? which - PaperCatalog::kColors
                                                                                   : -1;
}

} // namespace

std::string cleanPaperName(std::string_view typed)
{
    std::string name;
    for (char c : typed)
        if (c != ',') name += c;
    std::size_t first = 0;
    while (first < name.size() && isBlank(name[first])) ++first;
    name.erase(0, first);
    if (name.size() > kMaxPaperNameLength) name.resize(kMaxPaperNameLength);
    while (!name.empty() && isBlank(name.back())) name.pop_back();
    return name;
}

bool weightSuggestsOneSided(std::string_view weight)
{
    constexpr long kHeaviestTwoSided = 105;
    long value = 0;
    for (char c : weight) {
        if (c < '0' || c > '9') break;
        value = value * 10 + (c - '0');
        if (value > kHeaviestTwoSided) return true;
    }
    return false;
}

CatalogEditorModel::CatalogEditorModel(const JobDocument& doc)
{
    const PaperCatalog& catalog = doc.catalog();
    originalCount_ = catalog.paperCount();
    for (int index = 1; index <= originalCount_; ++index) {
        papers_.push_back(catalog.paper(index));
        origins_.push_back(index);
        if (index >= 2 && doc.isPaperUsed(catalog.paperName(index))) usedOrigins_.insert(index);
    }
    // The body-paper slot is there even in a catalog that lost it.
    if (papers_.empty()) {
        papers_.emplace_back();
        origins_.push_back(0);
    }
    substitutions_ = doc.substitutions();
    for (int which = PaperCatalog::kColors; which <= PaperCatalog::kMediaTypes; ++which)
        lists_[listSlot(which)] = catalog.vocabulary(which);
    bodyOrigin_ = doc.bodyPaper();
    bodyName_ = doc.bodyPaperName();
}

const PaperDefinition& CatalogEditorModel::row(int r) const
{
    return validRow(r) ? papers_[static_cast<std::size_t>(indexOfRow(r) - 1)] : kNoPaper;
}

int CatalogEditorModel::findRow(const std::string& name) const
{
    if (name.empty()) return -1;
    for (int r = 0; r < rowCount(); ++r)
        if (equalsIgnoringCase(row(r).name, name)) return r;
    return -1;
}

bool CatalogEditorModel::isSlotName(const std::string& name) const
{
    return !name.empty() && equalsIgnoringCase(papers_.front().name, name);
}

bool CatalogEditorModel::isRowUsed(int r) const
{
    return validRow(r) && usedOrigins_.count(origins_[static_cast<std::size_t>(indexOfRow(r) - 1)]) != 0;
}

bool CatalogEditorModel::isRowBody(int r) const
{
    return validRow(r) && bodyOrigin_ >= 2 && origins_[static_cast<std::size_t>(indexOfRow(r) - 1)] == bodyOrigin_;
}

int CatalogEditorModel::bodyRow() const
{
    for (int r = 0; r < rowCount(); ++r)
        if (isRowBody(r)) return r;
    return -1;
}

int CatalogEditorModel::addRow(const PaperDefinition& paper, Refusal* why)
{
    Refusal refusal = Refusal::kNone;
    if (paper.name.empty())
        refusal = Refusal::kEmptyName;
    else if (findRow(paper.name) >= 0 || isSlotName(paper.name))
        refusal = Refusal::kNameTaken;
    else if (papers_.size() >= static_cast<std::size_t>(PaperCatalog::kMaxEntries))
        refusal = Refusal::kFull;
    if (why) *why = refusal;
    if (refusal != Refusal::kNone) return -1;
    papers_.push_back(paper);
    origins_.push_back(0);
    modified_ = true;
    return rowCount() - 1;
}

bool CatalogEditorModel::renameNeedsConsent(int r, const std::string& newName) const
{
    return validRow(r) && row(r).name != newName && isRowUsed(r);
}

CatalogEditorModel::Refusal CatalogEditorModel::modifyRow(int r, const PaperDefinition& paper)
{
    if (!validRow(r)) return Refusal::kNoRow;
    if (paper.name.empty()) return Refusal::kEmptyName;
    const int other = findRow(paper.name);
    if ((other >= 0 && other != r) || isSlotName(paper.name)) return Refusal::kNameTaken;
    papers_[static_cast<std::size_t>(indexOfRow(r) - 1)] = paper;
    modified_ = true;
    return Refusal::kNone;
}

CatalogEditorModel::Refusal CatalogEditorModel::canDelete(int r) const
{
    if (!validRow(r)) return Refusal::kNoRow;
    // The body paper is in use as well; its own message says more.
    if (isRowBody(r)) return Refusal::kBodyPaper;
    if (isRowUsed(r)) return Refusal::kInUse;
    return Refusal::kNone;
}

CatalogEditorModel::Refusal CatalogEditorModel::deleteRow(int r)
{
    const Refusal refusal = canDelete(r);
    if (refusal != Refusal::kNone) return refusal;
    const auto at = static_cast<std::ptrdiff_t>(indexOfRow(r) - 1);
    papers_.erase(papers_.begin() + at);
    origins_.erase(origins_.begin() + at);
    modified_ = true;
    return Refusal::kNone;
}

bool CatalogEditorModel::moveRow(int r, int delta)
{
    const int to = r + delta;
    if ((delta != -1 && delta != 1) || !validRow(r) || !validRow(to)) return false;
    const auto a = static_cast<std::size_t>(indexOfRow(r) - 1);
    const auto b = static_cast<std::size_t>(indexOfRow(to) - 1);
    std::swap(papers_[a], papers_[b]);
    std::swap(origins_[a], origins_[b]);
    modified_ = true;
    return true;
}

CatalogButtons CatalogEditorModel::buttons(int selectedRow, bool nameEmpty, bool changed) const
{
    CatalogButtons b;
    const bool selected = validRow(selectedRow);
    b.add = !nameEmpty;
    b.modify = changed && !nameEmpty;
    b.remove = selected && !isRowUsed(selectedRow) && !isRowBody(selectedRow);
    b.moveUp = selected && rowCount() >= 2 && selectedRow > 0;
    b.moveDown = selected && rowCount() >= 2 && selectedRow < rowCount() - 1;
    return b;
}

const std::vector<std::string>& CatalogEditorModel::list(int which) const
{
    const int slot = listSlot(which);
    return slot >= 0 ? lists_[slot] : kNoList;
}

void CatalogEditorModel::setList(int which, std::vector<std::string> entries)
{
    const int slot = listSlot(which);
    if (slot < 0 || lists_[slot] == entries) return;
    lists_[slot] = std::move(entries);
    modified_ = true;
}

bool CatalogEditorModel::hasEmptyName() const
{
    return std::any_of(papers_.begin(), papers_.end(), [](const PaperDefinition& p) { return p.name.empty(); });
}

bool CatalogEditorModel::hasDuplicateNames() const
{
    for (std::size_t i = 0; i < papers_.size(); ++i)
        for (std::size_t j = i + 1; j < papers_.size(); ++j)
            if (equalsIgnoringCase(papers_[i].name, papers_[j].name)) return true;
    return false;
}

int CatalogEditorModel::currentIndexOf(int origin) const
{
    if (origin < 1) return 0;
    for (std::size_t i = 0; i < origins_.size(); ++i)
        if (origins_[i] == origin) return static_cast<int>(i + 1);
    return 0;
}

int CatalogEditorModel::bodyIndex() const
{
    if (const int index = currentIndexOf(bodyOrigin_); index >= 2) return index;
    // A body paper index the catalog never had: the paper of the remembered name.
    if (const int r = findRow(bodyName_); r >= 0) return indexOfRow(r);
    return 2;
}

std::vector<PaperSubstitution> CatalogEditorModel::substitutions() const
{
    std::vector<PaperSubstitution> list = substitutions_;
    for (PaperSubstitution& s : list) {
        if (s.paperIndex < 1 || s.paperIndex > originalCount_) continue;
        const int now = currentIndexOf(s.paperIndex);
        // Papers in use cannot be deleted; the first entry is what a lost paper becomes.
        s.paperIndex = static_cast<std::int16_t>(now > 0 ? now : 1);
    }
    return list;
}

void CatalogEditorModel::applyTo(JobDocument& doc) const
{
    JobSettings& record = doc.record();
    // These fields hold catalog index minus 1; a reference to a paper that is
    // gone falls back to the body paper (0). One the catalog never had is left.
    for (std::int16_t* reference : {&record.frontCoverPaper, &record.backCoverPaper, &record.headerPagePaper,
                                    &record.separatorPaper, &record.statusPagePaper}) {
        const int old = *reference + 1;
        if (old < 1 || old > originalCount_) continue;
        const int now = currentIndexOf(old);
        *reference = static_cast<std::int16_t>(now > 0 ? now - 1 : 0);
    }
    PaperCatalog& catalog = doc.catalog();
    catalog.setPapers(papers_);
    for (int which = PaperCatalog::kColors; which <= PaperCatalog::kMediaTypes; ++which)
        catalog.setVocabulary(which, lists_[listSlot(which)]);
    const int body = std::min(bodyIndex(), catalog.paperCount());
    if (body >= 2) {
        record.bodyPaper = static_cast<std::int16_t>(body);
        copyToField(record.bodyPaperName, sizeof record.bodyPaperName, catalog.paperName(body));
        catalog.copyAttributesToBodySlot(body);
    }
    doc.replaceSubstitutions(substitutions());
    doc.markModified(true);
}

} // namespace orvox::ui
