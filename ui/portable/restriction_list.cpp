#include "ui/portable/restriction_list.h"

#include <climits>
#include <fstream>
#include <optional>
#include <string>

#include "ui/portable/resource_names.h"

namespace orvox::ui {
namespace {

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

char lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool equalsIgnoringCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (lower(a[i]) != lower(b[i])) return false;
    return true;
}

std::string_view trimmed(std::string_view s)
{
    while (!s.empty() && isBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back())) s.remove_suffix(1);
    return s;
}

// "All" withdraws every item; "None" or nothing withdraws none.
void readItemList(std::string_view value, RestrictionEntry& entry, const platform::StringSource& strings)
{
    entry.items.clear();
    if (equalsIgnoringCase(value, "All")) {
        entry.itemCount = -1;
        return;
    }
    if (value.empty() || equalsIgnoringCase(value, "None")) {
        entry.itemCount = 0;
        return;
    }
    std::size_t start = 0;
    for (;;) {
        const std::size_t comma = value.find(',', start);
        const std::string_view item = value.substr(start, comma == std::string_view::npos ? value.npos : comma - start);
        entry.items.push_back(resolveRestrictionValue(trimmed(item), strings));
        if (comma == std::string_view::npos) break;
        start = comma + 1;
    }
    entry.itemCount = static_cast<int>(entry.items.size());
}

class Reader {
public:
    explicit Reader(const platform::StringSource& strings) : strings_(strings) {}

    // False when the line makes the whole file unusable. `text` is the line
    // as far as it is kept; `cutShort` says that characters other than blanks
    // followed beyond kMaxLineLength.
    bool line(std::string_view text, bool cutShort)
    {
        if (!text.empty() && text.back() == '\r') text.remove_suffix(1);
        // Comments may run on as long as they like; they are skipped unread.
        if (!text.empty() && (text.front() == ';' || text.front() == 'M')) return true;
        // Hand-edited files carry blank lines with stray spaces; they mean nothing.
        if (trimmed(text).empty() && !cutShort) return true;
        if (cutShort) return false;

        const std::size_t eq = text.find('=');
        if (eq == std::string_view::npos) return false;
        const std::string_view key = text.substr(0, eq);
        const std::string_view value = text.substr(eq + 1);

        if (key == "WPrinterID") {
            if (value.size() > RestrictionSet::kMaxNameLength) return false;
            return startSection(value);
        }
        if (equalsIgnoringCase(key, "WCtrlID")) return controlLine(key.front() == 'W', value);

        RestrictionEntry* entry = currentEntry();
        if (equalsIgnoringCase(key, "WTabID")) {
            if (entry) entry->templateId = resolveRestrictionValue(value, strings_);
        } else if (equalsIgnoringCase(key, "Type")) {
            if (entry) entry->kind = static_cast<std::int16_t>(leadingDecimal(value));
        } else if (equalsIgnoringCase(key, "State")) {
            if (entry) entry->state = static_cast<std::int16_t>(leadingDecimal(value));
        } else if (equalsIgnoringCase(key, "DisabledItems")) {
            if (entry) readItemList(value, *entry, strings_);
        } else {
            return false;
        }
        return true;
    }

    std::vector<PrinterRestrictions> sections;

private:
    bool startSection(std::string_view name)
    {
        if (sections.size() >= RestrictionSet::kMaxSections) return false;
        const std::optional<int> id = lookupResourceName(name);
        if (!id) return false;
        std::string displayName = strings_.load(static_cast<unsigned>(*id));
        if (displayName.empty()) return false;
        sections.push_back({std::move(displayName), {}});
        return true;
    }

    // Only an upper-case W starts an entry; "wCtrlID" corrects the control id
    // of the entry being read.
    bool controlLine(bool startsEntry, std::string_view value)
    {
        if (startsEntry) {
            if (sections.empty()) return false;  // an entry outside any printer section cannot be kept
            auto& entries = sections.back().entries;
            if (entries.size() >= RestrictionSet::kMaxEntries) return false;
            entries.emplace_back();
        }
        if (RestrictionEntry* entry = currentEntry()) entry->controlId = resolveRestrictionValue(value, strings_);
        return true;
    }

    RestrictionEntry* currentEntry()
    {
        if (sections.empty() || sections.back().entries.empty()) return nullptr;
        return &sections.back().entries.back();
    }

    const platform::StringSource& strings_;
};

} // namespace

int leadingDecimal(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size() && isBlank(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    long long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > static_cast<long long>(INT_MAX) + 1) value = static_cast<long long>(INT_MAX) + 1;
    }
    if (negative) value = -value;
    if (value > INT_MAX) value = INT_MAX;
    return static_cast<int>(value);
}

int resolveRestrictionValue(std::string_view text, const platform::StringSource& strings)
{
    if (const int number = leadingDecimal(text); number != 0) return number;
    const std::optional<int> id = lookupResourceName(text);
    if (!id) return 0;
    return leadingDecimal(strings.load(static_cast<unsigned>(*id)));
}

bool RestrictionSet::read(const std::string& path, const platform::StringSource& strings)
{
    sections_.clear();
    failedLine_ = 0;
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    Reader reader(strings);
    std::string text;
    text.reserve(kMaxLineLength);
    int lineNumber = 0;
    std::streambuf& file = *in.rdbuf();
    for (int c = file.sgetc(); c != std::char_traits<char>::eof(); c = file.sgetc()) {
        // One line, keeping at most kMaxLineLength characters of it.
        text.clear();
        bool cutShort = false;
        for (c = file.sbumpc(); c != std::char_traits<char>::eof() && c != '\n'; c = file.sbumpc()) {
            if (text.size() < kMaxLineLength) text.push_back(static_cast<char>(c));
            else if (!isBlank(static_cast<char>(c))) cutShort = true;
        }
        ++lineNumber;
        if (!reader.line(text, cutShort)) {
            failedLine_ = lineNumber;
            return false;
        }
    }
    sections_ = std::move(reader.sections);
    return true;
}

bool RestrictionSet::parse(std::string_view text, const platform::StringSource& strings)
{
    sections_.clear();
    failedLine_ = 0;
    Reader reader(strings);
    int lineNumber = 0;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        ++lineNumber;
        std::string_view line = text.substr(start, end - start);
        bool cutShort = false;
        if (line.size() > kMaxLineLength) {
            cutShort = !trimmed(line.substr(kMaxLineLength)).empty();
            line = line.substr(0, kMaxLineLength);
        }
        if (!reader.line(line, cutShort)) {
            failedLine_ = lineNumber;
            return false;
        }
        start = end + 1;
    }
    sections_ = std::move(reader.sections);
    return true;
}

const PrinterRestrictions* RestrictionSet::find(std::string_view displayName) const
{
    for (const auto& section : sections_)
        if (section.displayName == displayName) return &section;
    return nullptr;
}

namespace {

bool applyEntry(const RestrictionEntry& entry, int templateId, RestrictionTarget& target, RestrictionFlags& flags)
{
    if (entry.templateId != templateId || !target.pageExists()) return true;
    const std::unique_ptr<RestrictedControl> control = target.findControl(entry.controlId);
    if (!control) return false;
    if (entry.kind == kRestrictCombo) {
        if (entry.itemCount == -1) {
            control->setAllItemsEnabled(false);
        } else {
            control->setAllItemsEnabled(true);
            for (int position : entry.items) control->setItemEnabled(position, false);
        }
    } else if (entry.kind == kRestrictCheckBox) {
        // The free-form colour choice belongs to the user even where a model
        // restricts it; only its enabled state follows the list.
        if (!entry.items.empty() && entry.controlId != RestrictionSet::kFreeformColorCheck)
            control->setChecked(entry.items.front() == 0);
    }
    const bool enabled = entry.state != 0;
    control->setEnabled(enabled);
    flags.setPermitted(entry.controlId, enabled);
    return true;
}

} // namespace

bool RestrictionSet::apply(int templateId, std::string_view modelName, RestrictionTarget& target,
                           RestrictionFlags& flags) const
{
    const PrinterRestrictions* section = find(modelName);
    if (!section) return true;
    bool allApplied = true;
    for (const auto& entry : section->entries)
        allApplied = applyEntry(entry, templateId, target, flags) && allApplied;
    return allApplied;
}

} // namespace orvox::ui
