#include "print/ipp_job_attributes.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <map>
#include <optional>
#include <utility>

#include "print/header_writer.h"
#include "print/template_format.h"
#include "resource.h"

namespace orvox {

namespace {

using ipp::Attribute;
using ipp::Tag;
using ipp::Value;

constexpr std::int32_t kLastPossiblePage = std::numeric_limits<std::int32_t>::max();

// Unicode of the bytes 0x80..0x9F of the single-byte Windows text; the five
// unassigned ones keep their own value, as the system's conversion does.
constexpr std::uint16_t kWindowsHigh[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

void appendUtf8(std::string& out, std::uint32_t cp)
{
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

// A number of the header; a weight may carry its unit ("80 g" is written "80 ").
std::optional<std::int32_t> leadingNumber(std::string_view s)
{
    std::int32_t v = 0;
    const auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    if (ec != std::errc()) return std::nullopt;
    (void)p;
    return v;
}

std::optional<std::int32_t> number(std::string_view s)
{
    std::int32_t v = 0;
    const auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    if (ec != std::errc() || p != s.data() + s.size()) return std::nullopt;
    return v;
}

std::string lowerDashed(std::string_view text)
{
    std::string out;
    for (const char c : text) {
        if (c == ' ' || c == '_') {
            if (!out.empty() && out.back() != '-') out += '-';
        } else {
            out += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        }
    }
    while (!out.empty() && out.back() == '-') out.pop_back();
    return out;
}

// A paper as its media entry describes it; empty texts and zeros mean any.
struct Paper {
    std::string name;
    int width = 0;   // points
    int height = 0;  // points
    int weight = 0;  // grams per square metre
    std::string colour;
    std::string type;
};

// Exact sizes, in hundredths of millimetres, of the sizes the header names.
struct NamedSize {
    const char* name;
    int x;
    int y;
};
constexpr NamedSize kNamedSizes[] = {
    {"LETTER", 21590, 27940}, {"LEGAL", 21590, 35560}, {"LEDGER", 27940, 43180}, {"EXECUTIVE", 18415, 26670},
    {"A3", 29700, 42000},     {"A4", 21000, 29700},    {"A5", 14800, 21000},     {"B4", 25000, 35300},
    {"B5", 17600, 25000},     {"JISB4", 25700, 36400}, {"JISB5", 18200, 25700}};

// Printers compare sizes exactly, so a size within the header's tolerance of a
// standard one is sent as that size, not as the rounded points.
std::pair<int, int> mediaSize(const Paper& p)
{
    const std::string name = paperSizeName(std::to_string(p.width) + " " + std::to_string(p.height));
    for (const NamedSize& s : kNamedSizes)
        if (name == s.name) return {s.x, s.y};
    auto hundredths = [](int points) { return static_cast<int>(std::lround(points * 2540.0 / 72.0)); };
    const int a = hundredths(p.width);
    const int b = hundredths(p.height);
    return {std::min(a, b), std::max(a, b)};
}

Value keywordOrName(const std::string& keyword, const std::string& name, bool isKeyword)
{
    return isKeyword ? Value::string(Tag::Keyword, keyword) : Value::string(Tag::Name, ippText(name));
}

Value mediaColour(const std::string& colour)
{
    static constexpr const char* kColours[] = {"white", "pink", "yellow", "blue", "green", "buff", "goldenrod",
                                               "red", "gray", "ivory", "orange", "black", "clear", "silver",
                                               "gold", "violet", "turquoise", "brown", "no-color"};
    std::string k = lowerDashed(colour);
    if (k == "grey") k = "gray";
    const bool known = std::find(std::begin(kColours), std::end(kColours), k) != std::end(kColours);
    return keywordOrName(k, colour, known);
}

Value mediaType(const std::string& type)
{
    static const std::map<std::string, std::string> kByHeaderName = {
        {"PLAIN", "stationery"},
        {"COLOR", "stationery"},
        {"TRANSPARENCY", "transparency"},
        {"LABELS", "labels"},
        {"LETTERHEAD", "stationery-letterhead"},
        {"PREPRINTED", "stationery-preprinted"},
        {"PREPUNCHED", "stationery-prepunched"},
        {"CARDSTOCK", "cardstock"}};
    const auto it = kByHeaderName.find(mediaTypeName(type));
    if (it != kByHeaderName.end()) return Value::string(Tag::Keyword, it->second);
    const std::string k = lowerDashed(type);
    if (k == "coated-gloss" || k == "coated-matte" || k == "coated") return Value::string(Tag::Keyword, "stationery-coated");
    if (k == "tab-stock" || k == "tabstock") return Value::string(Tag::Keyword, "tab-stock");
    return Value::string(Tag::Name, ippText(type));
}

Attribute member(std::string name, Value v) { return Attribute{std::move(name), {std::move(v)}}; }

Value mediaCol(const Paper& p)
{
    std::vector<Attribute> members;
    if (!p.name.empty()) members.push_back(member("media-key", Value::string(Tag::Name, ippText(p.name))));
    if (p.width > 0 && p.height > 0) {
        const auto [x, y] = mediaSize(p);
        members.push_back(member("media-size", Value::collection({member("x-dimension", Value::integerValue(x)),
                                                                  member("y-dimension", Value::integerValue(y))})));
    }
    if (p.weight > 0) members.push_back(member("media-weight-metric", Value::integerValue(p.weight)));
    if (!p.colour.empty()) members.push_back(member("media-color", mediaColour(p.colour)));
    if (!p.type.empty()) members.push_back(member("media-type", mediaType(p.type)));
    return Value::collection(std::move(members));
}


class Mapper {
public:
    Mapper(const JobTicket& t, const platform::StringSource& s) : ticket_(t), strings_(s) {}

    IppJobSettings run()
    {
        readPapers();
        copies();
        collate();
        sides();
        finishings();
        outputBin();
        bodyMedia();
        covers();
        inserts();
        separators();
        pageExceptions();
        pageRange();
        proof();
        texts();
        withoutAttribute();
        if (const TicketEntry* e = ticket_.first("data-format"); e && !e->fields.empty())
            out_.dataFormat = e->fields[0].text;
        return std::move(out_);
    }

private:
    std::string words(unsigned id, const std::vector<std::string>& args = {}) const
    {
        return fillIn(strings_.load(id), args);
    }
    void add(unsigned wordsId, const std::vector<std::string>& args, std::string attribute, Value v)
    {
        out_.settings.push_back({words(wordsId, args), std::move(attribute), std::move(v)});
    }
    void addUnsayable(unsigned wordsId, const std::vector<std::string>& args = {})
    {
        out_.settings.push_back({words(wordsId, args), std::string(), Value()});
    }
    static std::string field(const TicketEntry* e, std::size_t i)
    {
        return e && i < e->fields.size() ? e->fields[i].text : std::string();
    }

    void readPapers()
    {
        for (const TicketEntry* e : ticket_.all("media")) {
            Paper p;
            p.name = typedCopy(field(e, 0));
            p.width = number(field(e, 1)).value_or(0);
            p.height = number(field(e, 2)).value_or(0);
            p.weight = leadingNumber(field(e, 3)).value_or(0);
            p.colour = typedCopy(field(e, 4));
            p.type = typedCopy(field(e, 5));
            papers_.push_back(p);
        }
    }
    Paper paper(const std::string& headerName) const
    {
        const std::string name = typedCopy(headerName);
        for (const Paper& p : papers_)
            if (p.name == name) return p;
        Paper unknown;
        unknown.name = name;
        return unknown;
    }
    // A paper as the operator knows it: its colour and weight, or its name.
    std::string paperWords(const Paper& p) const
    {
        std::string w = p.colour;
        if (p.weight > 0) {
            if (!w.empty()) w += ' ';
            w += words(IDS_IPP_WORDS_WEIGHT, {std::to_string(p.weight)});
        }
        return ippText(w.empty() ? p.name : w, 1023);
    }

    void copies()
    {
        const auto n = number(ticket_.variable("QTY"));
        if (n && *n >= 1) add(IDS_IPP_WORDS_COPIES, {std::to_string(*n)}, "copies", Value::integerValue(*n));
    }
    void collate()
    {
        const std::string w = field(ticket_.first("collate"), 0);
        if (w == "on")
            add(IDS_IPP_WORDS_COLLATED, {}, "multiple-document-handling",
                Value::string(Tag::Keyword, "separate-documents-collated-copies"));
        else if (w == "off")
            add(IDS_IPP_WORDS_UNCOLLATED, {}, "multiple-document-handling",
                Value::string(Tag::Keyword, "separate-documents-uncollated-copies"));
    }
    void sides()
    {
        const std::string duplex = ticket_.variable("DUPLEX");
        if (duplex == "OFF") {
            sides_ = "one-sided";
            add(IDS_IPP_WORDS_ONE_SIDED, {}, "sides", Value::string(Tag::Keyword, sides_));
        } else if (duplex == "ON") {
            const bool shortEdge = ticket_.variable("BINDING") == "SHORTEDGE";
            sides_ = shortEdge ? "two-sided-short-edge" : "two-sided-long-edge";
            add(shortEdge ? IDS_IPP_WORDS_TWO_SIDED_SHORT : IDS_IPP_WORDS_TWO_SIDED_LONG, {}, "sides",
                Value::string(Tag::Keyword, sides_));
        }
    }
    void finishings()
    {
        const std::size_t before = out_.settings.size();
        auto finish = [&](unsigned id, int value) { add(id, {}, "finishings", Value::enumValue(value)); };
        const std::string staple = field(ticket_.first("staple"), 0);
        if (staple == "top") finish(IDS_IPP_WORDS_STAPLE_TOP, finishing::kStapleTopLeft);
        if (staple == "bottom") finish(IDS_IPP_WORDS_STAPLE_BOTTOM, finishing::kStapleBottomLeft);
        if (staple == "dual-left") finish(IDS_IPP_WORDS_STAPLE_DUAL, finishing::kStapleDualLeft);
        if (staple == "triple-left") finish(IDS_IPP_WORDS_STAPLE_TRIPLE, finishing::kStapleTripleLeft);
        if (staple == "saddle") finish(IDS_IPP_WORDS_SADDLE_STITCH, finishing::kSaddleStitch);
        const std::string fold = field(ticket_.first("fold"), 0);
        if (fold == "z-fold") finish(IDS_IPP_WORDS_FOLD_Z, finishing::kFoldZ);
        if (fold == "saddle") finish(IDS_IPP_WORDS_FOLD_HALF, finishing::kFoldHalf);
        if (field(ticket_.first("trim"), 0) == "on") finish(IDS_IPP_WORDS_TRIM, finishing::kTrim);
        // A pamphlet signature, or the booklet maker as the exit, makes booklets.
        if (leadingNumber(field(ticket_.first("signature-sheets"), 0)).value_or(0) > 0 ||
            field(ticket_.first("exit"), 0) == "booklet-maker")
            finish(IDS_IPP_WORDS_BOOKLET, finishing::kBookletMaker);
        if (ticket_.variable("JOBOFFSET") == "ON") finish(IDS_IPP_WORDS_OFFSET, finishing::kJogOffset);
        // No finishing asked for is said as such, so a printer's default
        // finishing does not apply to the job.
        if (out_.settings.size() == before)
            out_.settings.push_back({std::string(), "finishings", Value::enumValue(finishing::kNone)});
    }
    void outputBin()
    {
        const std::string exit = field(ticket_.first("exit"), 0);
        if (exit.empty()) return;
        std::string spoken = exit;
        std::replace(spoken.begin(), spoken.end(), '-', ' ');
        add(IDS_IPP_WORDS_OUTPUT_BIN, {spoken}, "output-bin", Value::string(Tag::Keyword, exit));
    }
    void bodyMedia()
    {
        if (papers_.empty()) return;
        const Paper& body = papers_.front();
        if (body.name.empty() && body.width == 0 && body.weight == 0 && body.colour.empty() && body.type.empty())
            return;
        add(IDS_IPP_WORDS_PAPER, {paperWords(body)}, "media-col", mediaCol(body));
    }
    void cover(bool front, const Paper& p, const std::string& coverType)
    {
        add(front ? IDS_IPP_WORDS_FRONT_COVER : IDS_IPP_WORDS_BACK_COVER, {paperWords(p)},
            front ? "cover-front" : "cover-back",
            Value::collection({member("cover-type", Value::string(Tag::Keyword, coverType)),
                               member("media-col", mediaCol(p))}));
        (front ? frontCover_ : backCover_) = true;
    }
    void covers()
    {
        const TicketEntry* e = ticket_.first("cover");
        if (!e) return;
        // Triples of (paper) which side-word.
        for (std::size_t i = 0; i + 2 < e->fields.size(); i += 3) {
            const Paper p = paper(e->fields[i].text);
            const std::string which = e->fields[i + 1].text;
            const std::string side = e->fields[i + 2].text;
            auto type = [&](bool front) -> std::string {
                if (side == "print-both") return "print-both";
                if (side == "print-side-1") return "print-front";
                if (side == "print-side-2") return "print-back";
                // Printed outside: the front of the front cover, the back of the back cover.
                return front ? "print-front" : "print-back";
            };
            if (which == "front" || which == "both") cover(true, p, type(true));
            if (which == "back" || which == "both") cover(false, p, type(false));
        }
    }
    void inserts()
    {
        const TicketEntry* e = ticket_.first("inserts");
        if (!e) return;
        Paper p;
        for (const TicketField& f : e->fields) {
            if (f.quoted) {
                p = paper(f.text);
                continue;
            }
            const std::string words = paperWords(p);
            // A sheet before the first page or after the last is an unprinted cover.
            if (f.text == "0" && !frontCover_) {
                cover(true, p, "print-none");
                continue;
            }
            if (f.text == "lastpage") {
                if (!backCover_)
                    cover(false, p, "print-none");
                else
                    addUnsayable(IDS_IPP_WORDS_INSERT, {words, words_(IDS_IPP_WORDS_LAST_PAGE)});
                continue;
            }
            const auto page = number(f.text);
            if (!page || *page < 0) continue;
            add(IDS_IPP_WORDS_INSERT, {words, f.text}, "insert-sheet",
                Value::collection({member("insert-after-page-number", Value::integerValue(*page)),
                                   member("insert-count", Value::integerValue(1)), member("media-col", mediaCol(p))}));
        }
    }
    std::string words_(unsigned id) const { return strings_.load(id); }
    void separators()
    {
        const TicketEntry* e = ticket_.first("separator");
        if (!e || e->fields.empty() || e->fields[0].text.empty()) return;
        const Paper p = paper(e->fields[0].text);
        add(IDS_IPP_WORDS_SEPARATORS, {paperWords(p)}, "separator-sheets",
            Value::collection({member("separator-sheets-type", Value::string(Tag::Keyword, "slip-sheets")),
                               member("media-col", mediaCol(p))}));
    }
    void pageExceptions()
    {
        for (const TicketEntry* e : ticket_.all("page-media")) {
            if (e->fields.size() < 2) continue;
            const Paper p = paper(e->fields[0].text);
            const bool duplex = e->fields[1].text == "duplex";
            // A two-sided exception names the front of each sheet.
            const std::int32_t span = duplex ? 2 : 1;
            std::vector<std::pair<std::int32_t, std::int32_t>> ranges;
            bool lastPage = false;
            for (std::size_t i = 2; i < e->fields.size(); ++i) {
                const std::string& w = e->fields[i].text;
                if (w == "lastpage") {
                    lastPage = true;
                    continue;
                }
                const std::size_t dots = w.find("..");
                const auto from = number(std::string_view(w).substr(0, dots));
                if (!from || *from < 1) continue;
                std::int32_t to = *from > kLastPossiblePage - (span - 1) ? kLastPossiblePage : *from + span - 1;
                if (dots != std::string::npos) to = kLastPossiblePage;
                ranges.emplace_back(*from, to);
            }
            ranges = joined(std::move(ranges));
            const std::string paperText = paperWords(p);
            if (!ranges.empty()) {
                std::vector<Value> pages;
                std::string spoken;
                for (const auto& [a, b] : ranges) {
                    pages.push_back(Value::range(a, b));
                    if (!spoken.empty()) spoken += ", ";
                    if (b == kLastPossiblePage)
                        spoken += words(IDS_IPP_WORDS_FROM_PAGE, {std::to_string(a)});
                    else
                        spoken += a == b ? std::to_string(a) : std::to_string(a) + "-" + std::to_string(b);
                }
                std::vector<Attribute> members{Attribute{"pages", std::move(pages)}, member("media-col", mediaCol(p))};
                const std::string sides =
                    !duplex ? "one-sided" : (sides_.rfind("two-sided", 0) == 0 ? sides_ : "two-sided-long-edge");
                members.push_back(member("sides", Value::string(Tag::Keyword, sides)));
                add(IDS_IPP_WORDS_PAGE_EXCEPTION, {spoken, paperText}, "overrides",
                    Value::collection(std::move(members)));
            }
            // Pages are numbered in an override; the last page has no number before the job is printed.
            if (lastPage) addUnsayable(IDS_IPP_WORDS_PAGE_EXCEPTION, {words_(IDS_IPP_WORDS_LAST_PAGE), paperText});
        }
    }
    // Pages in the order of the page numbers, touching and overlapping ones
    // made one: a page list need not be sorted, and a page before an earlier
    // range must not be swallowed by it.
    static std::vector<std::pair<std::int32_t, std::int32_t>> joined(std::vector<std::pair<std::int32_t, std::int32_t>> ranges)
    {
        std::sort(ranges.begin(), ranges.end());
        std::vector<std::pair<std::int32_t, std::int32_t>> out;
        for (const auto& r : ranges) {
            // Compared in 64 bits: a range to the last page ends at the largest page number.
            if (!out.empty() && static_cast<std::int64_t>(r.first) <= static_cast<std::int64_t>(out.back().second) + 1)
                out.back().second = std::max(out.back().second, r.second);
            else
                out.push_back(r);
        }
        return out;
    }
    void pageRange()
    {
        const TicketEntry* e = ticket_.first("page-range");
        const auto from = number(field(e, 0));
        const auto to = number(field(e, 1));
        if (!from || !to || *from < 1 || *to < *from) return;
        add(IDS_IPP_WORDS_PAGE_RANGE, {std::to_string(*from), std::to_string(*to)}, "page-ranges",
            Value::range(*from, *to));
    }
    void proof()
    {
        if (!ticket_.first("proof-set") && ticket_.variable("HOLD") != "PROOF") return;
        add(IDS_IPP_WORDS_PROOF, {}, "job-hold-until", Value::string(Tag::Keyword, "indefinite"));
    }
    void texts()
    {
        const std::string message = field(ticket_.first("operator-message"), 0);
        if (!message.empty())
            add(IDS_IPP_WORDS_OPERATOR, {}, "job-message-to-operator", Value::string(Tag::Text, ippText(message, 1023)));
        const std::string recipient = field(ticket_.first("deliver-to"), 0);
        if (!recipient.empty())
            add(IDS_IPP_WORDS_DELIVER_TO, {ippText(recipient)}, "job-recipient-name",
                Value::string(Tag::Name, ippText(recipient)));
        const std::string account = field(ticket_.first("account"), 0);
        if (!account.empty())
            add(IDS_IPP_WORDS_ACCOUNT, {ippText(account)}, "job-account-id", Value::string(Tag::Name, ippText(account)));
    }
    // Settings no IPP attribute carries: the operator is told they cannot be
    // done, never left to find out from the print.
    void withoutAttribute()
    {
        const std::string email = field(ticket_.first("notify-email"), 0);
        if (!email.empty()) addUnsayable(IDS_IPP_WORDS_EMAIL, {ippText(email)});
        if (const TicketEntry* e = ticket_.first("chapters"); e && !e->fields.empty()) addUnsayable(IDS_IPP_WORDS_CHAPTERS);
        if (ticket_.first("interleave")) addUnsayable(IDS_IPP_WORDS_INTERLEAVES);
        if (const std::string w = field(ticket_.first("status-page"), 0); !w.empty() && w != "none")
            addUnsayable(IDS_IPP_WORDS_STATUS_PAGE);
        if (field(ticket_.first("header-page"), 0) == "on")
            add(IDS_IPP_WORDS_HEADER_PAGE, {}, "job-sheets", Value::string(Tag::Keyword, "standard"));
        if (const TicketEntry* e = ticket_.first("colour-map"); e && !e->fields.empty())
            addUnsayable(IDS_IPP_WORDS_COLOUR_MAP);
        if (ticket_.first("custom") || !ticket_.otherLines.empty()) addUnsayable(IDS_IPP_WORDS_CUSTOM);
        if (ticket_.first("save-as")) addUnsayable(IDS_IPP_WORDS_SAVE_AS);
        if (ticket_.first("finish-chapters")) addUnsayable(IDS_IPP_WORDS_FINISH_CHAPTERS);
    }

    const JobTicket& ticket_;
    const platform::StringSource& strings_;
    std::vector<Paper> papers_;
    std::string sides_;
    bool frontCover_ = false;
    bool backCover_ = false;
    IppJobSettings out_;
};

} // namespace

std::string fillIn(std::string text, const std::vector<std::string>& args)
{
    std::size_t at = 0;
    for (const std::string& arg : args) {
        at = text.find("%s", at);
        if (at == std::string::npos) break;
        text.replace(at, 2, arg);
        at += arg.size();
    }
    return text;
}

std::string ippText(std::string_view headerText, std::size_t maxBytes)
{
    const std::string typed = typedCopy(std::string(headerText));
    std::string out;
    for (const char ch : typed) {
        const auto b = static_cast<unsigned char>(ch);
        const std::size_t before = out.size();
        if (b < 0x20 || b == 0x7F)
            out += ' ';
        else if (b >= 0x80 && b < 0xA0)
            appendUtf8(out, kWindowsHigh[b - 0x80]);
        else
            appendUtf8(out, b);
        if (out.size() > maxBytes) {
            out.resize(before);
            break;
        }
    }
    return out;
}

IppJobSettings ippJobSettings(const JobTicket& ticket, const platform::StringSource& strings)
{
    return Mapper(ticket, strings).run();
}

std::vector<Attribute> ippJobAttributes(const std::vector<IppSetting>& settings, const std::vector<bool>* keep)
{
    std::vector<Attribute> out;
    for (std::size_t i = 0; i < settings.size(); ++i) {
        const IppSetting& s = settings[i];
        if (s.attribute.empty() || (keep && !(*keep)[i])) continue;
        auto it = std::find_if(out.begin(), out.end(), [&](const Attribute& a) { return a.name == s.attribute; });
        if (it == out.end()) {
            out.push_back(Attribute{s.attribute, {}});
            it = out.end() - 1;
        }
        it->values.push_back(s.value);
    }
    return out;
}

} // namespace orvox
