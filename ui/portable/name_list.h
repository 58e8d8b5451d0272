#pragma once
// One of the catalog's attribute name lists (colours, weights or media types)
// as its editor changes it: entries added, renamed, removed and reordered.
// Every entry must survive a round trip through the catalog file, where papers
// name their attributes in comma-separated lines.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace orvox::ui {

class NameList {
public:
    // What the list holds; the numbers are the editor's modes.
    enum Mode { kWeights = 0, kColours = 1, kMediaTypes = 2 };
    enum class Refusal {
        kNone,
        kNoSelection,
        kEmpty,
        kComma,       // the catalog file separates a paper's fields by commas
        kDuplicate,   // an entry of that name, ignoring case, is there already
        kNoNumber,    // a weight begins with its number
        kLastEntry,   // a list is never left empty
    };
    // An entry is at most this long: a paper's line in the catalog file holds
    // three entries and is read back with at most 511 characters.
    static constexpr std::size_t kMaxEntryLength = 63;

    NameList(std::vector<std::string> entries, Mode mode);

    const std::vector<std::string>& entries() const { return entries_; }
    int size() const { return static_cast<int>(entries_.size()); }
    Mode mode() const { return mode_; }
    // True when the entries differ from those the list started with.
    bool changed() const { return entries_ != original_; }
    // The position of an entry, ignoring case; -1 when none.
    int find(std::string_view text) const;

    // Checks a typed entry; `except` is the position being renamed (-1 none).
    Refusal check(std::string_view text, int except = -1) const;
    // Appends; the new position is put in `position`.
    Refusal add(std::string_view text, int& position);
    Refusal rename(int position, std::string_view text);
    Refusal remove(int position);
    bool move(int position, int delta);

    // Surrounding blanks are lost by the catalog file, so they never get in;
    // the text is cut to the longest entry.
    static std::string clean(std::string_view typed);

private:
    bool valid(int position) const { return position >= 0 && position < size(); }

    std::vector<std::string> entries_;
    std::vector<std::string> original_;
    Mode mode_;
};

} // namespace orvox::ui
