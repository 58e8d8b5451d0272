#include "ui/portable/name_list.h"

#include <utility>

#include "settings/job_settings.h"

namespace orvox::ui {

namespace {
bool isBlank(char c) { return c == ' ' || c == '\t'; }
} // namespace

NameList::NameList(std::vector<std::string> entries, Mode mode)
    : entries_(std::move(entries)), original_(entries_), mode_(mode)
{
}

std::string NameList::clean(std::string_view typed)
{
    std::size_t first = 0;
    std::size_t last = typed.size();
    while (first < last && isBlank(typed[first])) ++first;
    std::string text(typed.substr(first, last - first));
    if (text.size() > kMaxEntryLength) text.resize(kMaxEntryLength);
    while (!text.empty() && isBlank(text.back())) text.pop_back();
    return text;
}

int NameList::find(std::string_view text) const
{
    for (int i = 0; i < size(); ++i)
        if (equalsIgnoringCase(entries_[static_cast<std::size_t>(i)], text)) return i;
    return -1;
}

NameList::Refusal NameList::check(std::string_view typed, int except) const
{
    const std::string text = clean(typed);
    if (text.empty()) return Refusal::kEmpty;
    if (typed.find(',') != std::string_view::npos) return Refusal::kComma;
    if (mode_ == kWeights && !(text[0] >= '0' && text[0] <= '9')) return Refusal::kNoNumber;
    const int other = find(text);
    if (other >= 0 && other != except) return Refusal::kDuplicate;
    return Refusal::kNone;
}

NameList::Refusal NameList::add(std::string_view text, int& position)
{
    const Refusal refusal = check(text);
    if (refusal != Refusal::kNone) return refusal;
    entries_.push_back(clean(text));
    position = size() - 1;
    return Refusal::kNone;
}

NameList::Refusal NameList::rename(int position, std::string_view text)
{
    if (!valid(position)) return Refusal::kNoSelection;
    const Refusal refusal = check(text, position);
    if (refusal != Refusal::kNone) return refusal;
    entries_[static_cast<std::size_t>(position)] = clean(text);
    return Refusal::kNone;
}

NameList::Refusal NameList::remove(int position)
{
    if (!valid(position)) return Refusal::kNoSelection;
    if (size() == 1) return Refusal::kLastEntry;
    entries_.erase(entries_.begin() + position);
    return Refusal::kNone;
}

bool NameList::move(int position, int delta)
{
    const int to = position + delta;
    if ((delta != -1 && delta != 1) || !valid(position) || !valid(to)) return false;
    std::swap(entries_[static_cast<std::size_t>(position)], entries_[static_cast<std::size_t>(to)]);
    return true;
}

} // namespace orvox::ui
