#pragma once
// The paper catalog editor's working copy: the papers, the substitutions and
// the three attribute name lists, edited without touching the document until
// the administrator confirms. Each working paper remembers where it stood in
// the document's catalog, so that on confirming every reference of the job
// (body paper, covers, header, separator and status papers, substitutions)
// follows its paper through renames, moves and deletions of other papers.
// Free of the window system so the rules can be tested on their own.
#include <cstddef>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "settings/job_document.h"

namespace orvox::ui {

// The name edit takes this many characters; a name is one field of a catalog
// file line, so it may not contain the field separator.
inline constexpr std::size_t kMaxPaperNameLength = 16;
// A typed name as the catalog can keep it: commas dropped, surrounding blanks
// (which the catalog file would lose) trimmed, cut to the edit's length.
std::string cleanPaperName(std::string_view typed);
// Heavy papers go through the printer one-sided: a weight whose leading
// number (its digits before the first blank) is above 105.
bool weightSuggestsOneSided(std::string_view weight);

struct CatalogButtons {
    bool add = false;
    bool modify = false;
    bool remove = false;
    bool moveUp = false;
    bool moveDown = false;
};

class CatalogEditorModel {
public:
    enum class Refusal {
        kNone,
        kNoRow,       // no row selected
        kEmptyName,   // 383
        kNameTaken,   // 104: another paper, or the body-paper slot, has the name
        kInUse,       // 116: the job uses the paper
        kBodyPaper,   // 380
        kFull,        // the catalog holds as many papers as it can
    };

    explicit CatalogEditorModel(const JobDocument& doc);

    // Rows are the papers after the body-paper slot: row r is catalog index r + 2.
    int rowCount() const { return static_cast<int>(papers_.size()) - 1; }
    const PaperDefinition& row(int r) const;
    // The row of the paper with that name, ignoring case; -1 when none.
    int findRow(const std::string& name) const;
    // The name is the body-paper slot's own, which is never listed.
    bool isSlotName(const std::string& name) const;
    bool isRowUsed(int r) const;
    bool isRowBody(int r) const;
    // The body paper's row; -1 when it is not in the catalog.
    int bodyRow() const;

    // Appends a paper; its row, or -1 (with the reason) when refused.
    int addRow(const PaperDefinition& paper, Refusal* why = nullptr);
    // Renaming a paper the job uses needs the administrator's consent first.
    bool renameNeedsConsent(int r, const std::string& newName) const;
    // Rewrites row `r`; refused for no row, an empty name or a name another
    // paper has. Renaming a paper in use is the caller's question to ask.
    Refusal modifyRow(int r, const PaperDefinition& paper);
    Refusal canDelete(int r) const;
    Refusal deleteRow(int r);
    // Swaps row `r` with its neighbour `delta` (-1 or +1) rows away.
    bool moveRow(int r, int delta);

    CatalogButtons buttons(int selectedRow, bool nameEmpty, bool changed) const;

    // Colour, weight and type lists (PaperCatalog::kColors .. kMediaTypes).
    const std::vector<std::string>& list(int which) const;
    void setList(int which, std::vector<std::string> entries);

    // The working copy differs from the document.
    bool modified() const { return modified_; }

    // Every paper of the working copy, the body-paper slot first.
    const std::vector<PaperDefinition>& papers() const { return papers_; }
    bool hasEmptyName() const;
    bool hasDuplicateNames() const;
    // Catalog index of the body paper in the working copy (2 when it is gone).
    int bodyIndex() const;
    // The substitutions with their papers renumbered to the working copy.
    std::vector<PaperSubstitution> substitutions() const;

    // Puts the working copy into the document: catalog, lists, substitutions
    // and every paper reference of the job, marking the document modified.
    void applyTo(JobDocument& doc) const;

private:
    // Catalog index in the working copy of the paper that stood at `origin`
    // when the editor opened; 0 when it was deleted (or never existed).
    int currentIndexOf(int origin) const;
    bool validRow(int r) const { return r >= 0 && r < rowCount(); }
    int indexOfRow(int r) const { return r + 2; }

    std::vector<PaperDefinition> papers_;   // slot first, as in the catalog
    std::vector<int> origins_;              // parallel: the catalog index at opening, 0 for new papers
    std::vector<PaperSubstitution> substitutions_;
    std::vector<std::string> lists_[3];
    std::set<int> usedOrigins_;
    int bodyOrigin_ = 0;
    std::string bodyName_;
    int originalCount_ = 0;
    bool modified_ = false;
};

} // namespace orvox::ui
