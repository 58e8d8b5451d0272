#include "print/ipp_supported.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <utility>

namespace orvox {

namespace {

using ipp::Attribute;
using ipp::Tag;
using ipp::Value;

bool isString(Tag t) { return static_cast<int>(t) >= 0x40 || t == Tag::TextWithLanguage || t == Tag::NameWithLanguage; }

const Attribute* memberOf(const Value& collection, std::string_view name)
{
    for (const Attribute& m : collection.members)
        if (m.name == name) return &m;
    return nullptr;
}

// Whether one listed value admits `v`: equal strings, equal numbers, a number
// within a range, or a true boolean.
bool admits(const Value& listed, const Value& v)
{
    if (isString(listed.tag) && isString(v.tag)) return listed.text == v.text;
    if (listed.tag == Tag::RangeOfInteger && (v.tag == Tag::Integer || v.tag == Tag::Enum))
        return v.integer >= listed.integer && v.integer <= listed.upper;
    if (listed.tag == Tag::RangeOfInteger && v.tag == Tag::RangeOfInteger)
        return v.integer >= listed.integer && v.upper <= listed.upper;
    if ((listed.tag == Tag::Integer || listed.tag == Tag::Enum) && (v.tag == Tag::Integer || v.tag == Tag::Enum))
        return listed.integer == v.integer;
    return false;
}

bool anyAdmits(const Attribute* listed, const Value& v)
{
    return listed && std::any_of(listed->values.begin(), listed->values.end(),
                                 [&](const Value& l) { return admits(l, v); });
}

bool listsKeyword(const Attribute* listed, std::string_view keyword)
{
    return anyAdmits(listed, Value::string(Tag::Keyword, keyword));
}

// A boolean *-supported that says no.
bool saysNo(const Attribute* a)
{
    return a && !a->values.empty() && a->values[0].tag == Tag::Boolean && a->values[0].integer == 0;
}

class Judge {
public:
    explicit Judge(const ipp::Group& p) : p_(p) {}

    bool setting(const IppSetting& s) const
    {
        if (s.attribute.empty()) return false;
        if (!accepted(s.attribute)) return false;
        const std::string& a = s.attribute;
        if (a == "media-col") return media(s.value);
        if (a == "cover-front" || a == "cover-back") return cover(a, s.value);
        if (a == "insert-sheet") return collection(a, s.value);
        if (a == "separator-sheets") return collection(a, s.value) && typeListed(s.value, "separator-sheets-type");
        if (a == "overrides") return overrides(s.value);
        if (a == "page-ranges") return !saysNo(find("page-ranges-supported"));
        const Attribute* supported = find(a + "-supported");
        if (a == "job-message-to-operator" || a == "job-recipient-name" || a == "job-account-id")
            return !saysNo(supported);
        // copies, sides, multiple-document-handling, finishings, output-bin,
        // job-hold-until, job-sheets: the value must be listed.
        return anyAdmits(supported, s.value);
    }

    bool media(const Value& col) const
    {
        const Attribute* members = find("media-col-supported");
        for (const Attribute& m : col.members) {
            if (m.name == "media-key") continue;  // sent only when the printer knows it
            if (!listsKeyword(members, m.name)) return false;
        }
        if (const Attribute* database = find("media-col-database")) {
            return std::any_of(database->values.begin(), database->values.end(),
                               [&](const Value& entry) { return paperMatches(entry, col); });
        }
        return paperMatches(Value::collection({}), col);
    }

private:
    const Attribute* find(const std::string& name) const { return p_.find(name); }

    // The printer takes the attribute at job creation. A printer that does not
    // say which it takes is judged by the attribute's *-supported alone.
    bool accepted(const std::string& name) const
    {
        if (const Attribute* creation = find("job-creation-attributes-supported")) return listsKeyword(creation, name);
        return find(name + "-supported") != nullptr;
    }

    // Each member of our paper that the database entry describes is equal to
    // it; a member the entry leaves open is judged by its *-supported values.
    bool paperMatches(const Value& entry, const Value& col) const
    {
        for (const Attribute& m : col.members) {
            if (m.name == "media-key" || m.values.empty()) continue;
            const Value& ours = m.values[0];
            const Attribute* theirs = memberOf(entry, m.name);
            if (m.name == "media-size") {
                if (theirs && !theirs->values.empty()) {
                    if (!sizeAdmits(theirs->values[0], ours)) return false;
                } else if (const Attribute* sizes = find("media-size-supported")) {
                    if (std::none_of(sizes->values.begin(), sizes->values.end(),
                                     [&](const Value& s) { return sizeAdmits(s, ours); }))
                        return false;
                }
                continue;
            }
            if (theirs) {
                if (!anyAdmits(theirs, ours)) return false;
            } else if (const Attribute* supported = find(m.name + "-supported")) {
                // A boolean or a range list of weights, or the keywords of colours and types.
                const bool yes = !supported->values.empty() && supported->values[0].tag == Tag::Boolean && !saysNo(supported);
                if (!anyAdmits(supported, ours) && !yes)
                    return false;
            }
        }
        return true;
    }

    static bool sizeAdmits(const Value& listed, const Value& ours)
    {
        const Attribute* lx = memberOf(listed, "x-dimension");
        const Attribute* ly = memberOf(listed, "y-dimension");
        const Attribute* ox = memberOf(ours, "x-dimension");
        const Attribute* oy = memberOf(ours, "y-dimension");
        if (!lx || !ly || !ox || !oy || ox->values.empty() || oy->values.empty()) return false;
        return anyAdmits(lx, ox->values[0]) && anyAdmits(ly, oy->values[0]);
    }

    // The printer takes every member we send in this collection attribute.
    bool collection(const std::string& name, const Value& v) const
    {
        const Attribute* members = find(name + "-supported");
        for (const Attribute& m : v.members) {
            if (m.name == "media-col") {
                if (!listsKeyword(members, "media-col") && !listsKeyword(members, "media")) return false;
                if (!m.values.empty() && !media(m.values[0])) return false;
                continue;
            }
            if (!listsKeyword(members, m.name)) return false;
        }
        return true;
    }

    bool typeListed(const Value& v, const std::string& member) const
    {
        const Attribute* m = memberOf(v, member);
        return m && !m->values.empty() && anyAdmits(find(member + "-supported"), m->values[0]);
    }

    bool cover(const std::string& name, const Value& v) const
    {
        return collection(name, v) && typeListed(v, "cover-type");
    }

    bool overrides(const Value& v) const
    {
        if (!collection("overrides", v)) return false;
        const Attribute* sides = memberOf(v, "sides");
        return !sides || sides->values.empty() || anyAdmits(find("sides-supported"), sides->values[0]);
    }

    const ipp::Group& p_;
};

} // namespace

bool printerSupports(const ipp::Group& printer, const IppSetting& setting) { return Judge(printer).setting(setting); }

namespace {

// The sizes the printer lists: its database's and media-size-supported's,
// exact ones only (ranges take any size).
std::vector<std::pair<int, int>> listedSizes(const ipp::Group& printer)
{
    std::vector<std::pair<int, int>> sizes;
    auto add = [&](const Value& size) {
        const Attribute* x = memberOf(size, "x-dimension");
        const Attribute* y = memberOf(size, "y-dimension");
        if (x && y && !x->values.empty() && !y->values.empty() && x->values[0].tag == Tag::Integer &&
            y->values[0].tag == Tag::Integer)
            sizes.emplace_back(x->values[0].integer, y->values[0].integer);
    };
    if (const Attribute* database = printer.find("media-col-database"))
        for (const Value& entry : database->values)
            if (const Attribute* size = memberOf(entry, "media-size"); size && !size->values.empty())
                add(size->values[0]);
    if (const Attribute* supported = printer.find("media-size-supported"))
        for (const Value& size : supported->values) add(size);
    return sizes;
}

Value adaptedSize(const ipp::Group& printer, const Value& size)
{
    const Attribute* x = memberOf(size, "x-dimension");
    const Attribute* y = memberOf(size, "y-dimension");
    if (!x || !y || x->values.empty() || y->values.empty()) return size;
    const int ox = x->values[0].integer;
    const int oy = y->values[0].integer;
    for (const auto& [lx, ly] : listedSizes(printer)) {
        if (lx == ox && ly == oy) return size;
    }
    for (const auto& [lx, ly] : listedSizes(printer)) {
        // The printer's numbers may be anything: compared in a wider type.
        if (std::llabs(std::int64_t{lx} - ox) <= kSizeTolerance && std::llabs(std::int64_t{ly} - oy) <= kSizeTolerance)
            return Value::collection({{"x-dimension", {Value::integerValue(lx)}}, {"y-dimension", {Value::integerValue(ly)}}});
    }
    return size;
}

} // namespace

Value adaptedToPrinter(const ipp::Group& printer, const Value& value, bool isMediaCol)
{
    if (value.tag != Tag::BegCollection) return value;
    Value out = value;
    out.members.clear();
    for (const Attribute& m : value.members) {
        if (isMediaCol && m.name == "media-key") {
            const Attribute* database = printer.find("media-col-database");
            const bool known = database && !m.values.empty() &&
                               std::any_of(database->values.begin(), database->values.end(), [&](const Value& e) {
                                   const Attribute* key = memberOf(e, "media-key");
                                   return key && anyAdmits(key, m.values[0]);
                               });
            if (!known) continue;
        }
        Attribute copy{m.name, {}};
        for (const Value& mv : m.values) {
            if (isMediaCol && m.name == "media-size")
                copy.values.push_back(adaptedSize(printer, mv));
            else
                copy.values.push_back(adaptedToPrinter(printer, mv, m.name == "media-col"));
        }
        out.members.push_back(std::move(copy));
    }
    return out;
}

const std::vector<std::string>& printerAttributesAsked()
{
    static const std::vector<std::string> asked = {
        "job-creation-attributes-supported", "document-format-supported", "copies-supported", "sides-supported",
        "multiple-document-handling-supported", "finishings-supported", "output-bin-supported",
        "media-col-supported", "media-col-database", "media-size-supported", "media-type-supported",
        "media-color-supported", "media-weight-metric-supported", "cover-front-supported", "cover-back-supported",
        "cover-type-supported", "insert-sheet-supported", "separator-sheets-supported",
        "separator-sheets-type-supported", "overrides-supported", "page-ranges-supported", "job-hold-until-supported",
        "job-message-to-operator-supported", "job-recipient-name-supported", "job-account-id-supported",
        "job-sheets-supported", "printer-is-accepting-jobs", "printer-state"};
    return asked;
}

} // namespace orvox
