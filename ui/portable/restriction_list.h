#pragma once
// Per-printer-model restrictions of the tab pages, read once from the
// restriction file of the installation folder. Each printer section lists
// controls to enable or disable, combo items the model cannot do and check
// boxes it forces; the tab host applies the section of the current model
// whenever a page is shown.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/strings.h"
#include "ui/portable/restriction_flags.h"

namespace orvox::ui {

enum : std::int16_t { kRestrictCombo = 0, kRestrictCheckBox = 2 };

struct RestrictionEntry {
    int templateId = 0;          // dialog template of the page the entry is for
    int controlId = 0;
    std::int16_t kind = kRestrictCombo;
    std::int16_t state = 0;      // nonzero: the control is enabled
    int itemCount = 0;           // -1: every item
    std::vector<int> items;      // combo positions, or the forced check state
};

struct PrinterRestrictions {
    std::string displayName;     // as the printer-model list shows it
    std::vector<RestrictionEntry> entries;
};

// A control as the restriction lists see it; the Win32 layer implements it.
class RestrictedControl {
public:
    virtual ~RestrictedControl() = default;
    // Only meaningful for item-enabling combo boxes; other controls ignore them.
    virtual void setAllItemsEnabled(bool enabled) = 0;
    virtual void setItemEnabled(int position, bool enabled) = 0;
    virtual void setChecked(bool checked) = 0;
    virtual void setEnabled(bool enabled) = 0;
};

// The page a section is applied to.
class RestrictionTarget {
public:
    virtual ~RestrictionTarget() = default;
    virtual bool pageExists() const = 0;
    // The control on the page itself, else on Job Setup 2, else on Job Setup 1
    // (the two pages share the finishing controls); null when none has it.
    virtual std::unique_ptr<RestrictedControl> findControl(int controlId) = 0;
};

class RestrictionSet {
public:
    static constexpr std::size_t kMaxSections = 8;
    static constexpr std::size_t kMaxEntries = 100;
    // The printer name of a section is at most this long.
    static constexpr std::size_t kMaxNameLength = 256;
    // A line holds at most this many characters that mean something: room for
    // an item list naming every item of a combo by its resource name, with
    // blanks. The file is read a line at a time, so its size does not matter;
    // a longer line that is neither a comment nor blank fails the read.
    static constexpr std::size_t kMaxLineLength = 4096;
    static constexpr int kFreeformColorCheck = 1094;

    // The whole file or nothing: on failure the set is left empty.
    bool read(const std::string& path, const platform::StringSource& strings);
    bool parse(std::string_view text, const platform::StringSource& strings);
    // 1-based line that made the last read fail; 0 after success or when the
    // file could not be opened.
    int failedLine() const { return failedLine_; }

    const std::vector<PrinterRestrictions>& sections() const { return sections_; }
    const PrinterRestrictions* find(std::string_view displayName) const;

    // Applies the entries for one page template of the named model's section.
    // A model without a section changes nothing. Every entry is tried even
    // after one fails; true only when all succeeded.
    bool apply(int templateId, std::string_view modelName, RestrictionTarget& target,
               RestrictionFlags& flags) const;

private:
    std::vector<PrinterRestrictions> sections_;
    int failedLine_ = 0;
};

// A number written in the file, or the name of a resource string that holds it;
// 0 when neither gives a number.
int resolveRestrictionValue(std::string_view text, const platform::StringSource& strings);

// Leading decimal integer as the C library reads it (leading blanks, optional
// sign), saturated instead of overflowing; 0 when there is none.
int leadingDecimal(std::string_view text);

} // namespace orvox::ui
