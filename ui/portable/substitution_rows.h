#pragma once
// The window-free rules of the paper substitutions page: what a row of its list
// says, which buttons may be pressed, what a row's kind leaves editable, the
// attribute texts of a paper, and the pending-edit state of the edit area.
#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace orvox {
class JobDocument;
}

namespace orvox::ui {

// Row text: paper name, tab, page list, tab, kind text.
std::string substitutionRowText(std::string_view paperName, std::string_view pageList, std::string_view kindText);
// The row of substitution `position` of the document.
std::string substitutionRowText(const JobDocument& doc, int position);

struct SubstitutionRowParts {
    std::string paperName;
    std::string pageList;
};
// Split at the first and the last tab; the text after the last tab is the kind.
// A row without a tab (the blank new row) is all paper name and no pages.
SubstitutionRowParts splitSubstitutionRow(std::string_view row);

struct SubstitutionButtons {
    int selection = -1;  // the row to select: the given one, or 0 when none was selected
    bool modify = false;
    bool remove = false;
    bool moveUp = false;
    bool moveDown = false;
};
// `rowCount` includes the blank new row, which is always last; `selection` is
// -1 when no row is selected.
SubstitutionButtons substitutionButtons(int rowCount, int selection, bool dirty, bool pageListEmpty);

// What the edit area offers for a row of the given kind.
struct SubstitutionEditArea {
    bool paperEnabled = true;
    bool pageListEnabled = true;
    bool paperIsBodySlot = false;  // the paper is the first catalog entry, fixed
};
SubstitutionEditArea substitutionEditArea(int kind);

// Size, colour, weight, type and sides of catalog entry `index`; none when the
// catalog has no such entry. A one-sided text equal to `oneSidedFlagText`
// (ignoring case) is shown as `oneSidedShownText`.
std::optional<std::array<std::string, 5>> paperAttributeTexts(const JobDocument& doc, int index,
                                                              std::string_view oneSidedFlagText,
                                                              std::string_view oneSidedShownText);

// The edit area's pending state. Dirty: the operator changed the paper or the
// page list without adding or modifying yet. Programmatic: the page itself is
// writing the page list, which never makes the area dirty.
class SubstitutionEditState {
public:
    bool dirty() const { return dirty_; }
    bool programmatic() const { return programmatic_; }
    void setProgrammatic(bool on) { programmatic_ = on; }
    const std::string& previousText() const { return previous_; }

    // Before a new page-list text is shown. False: the text fails the typing
    // filter and the previous text must be put back; the pending state stays
    // as it was, since the previous text is what is still in the edit.
    bool acceptTyping(std::string_view text);
    // After the page-list text changed.
    void pageListChanged(std::string_view text);
    // Another paper was chosen while the list shows rows.
    void paperChosen() { dirty_ = true; }
    // Added, modified, a row was shown or the page was loaded: nothing pending.
    void clear() { dirty_ = false; }

private:
    std::string previous_;
    bool dirty_ = false;
    bool programmatic_ = false;
};

} // namespace orvox::ui
