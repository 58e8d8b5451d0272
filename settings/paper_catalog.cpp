#include "settings/paper_catalog.h"

#include <algorithm>
#include <climits>
#include <set>

#include "ids_catalog.h"
#include "ids_core.h"
#include "settings/ini_rewrite.h"

namespace orvox {

namespace {

constexpr std::size_t kMaxText = PaperDefinition::kMaxText;
constexpr std::size_t kMaxVocabularyValue = 255;
constexpr std::size_t kMaxPaperLine = 511;
constexpr const char* kPaperKeyPrefix = "PaperDef";

// Section of each vocabulary list in the file, and what a placeholder there stands for.
constexpr unsigned kListSection[4] = {IDS_CATALOG_SIZE_SECTION, IDS_CATALOG_COLOR_SECTION,
                                      IDS_CATALOG_WEIGHT_SECTION, IDS_CATALOG_MEDIA_TYPE_SECTION};
constexpr unsigned kListDefault[4] = {IDS_CATALOG_DEFAULT_SIZE, IDS_CATALOG_DEFAULT_COLOR,
                                      IDS_CATALOG_DEFAULT_WEIGHT, IDS_CATALOG_DEFAULT_MEDIA_TYPE};

std::string bounded(std::string s, std::size_t max = kMaxText)
{
    if (s.size() > max) s.resize(max);
    return s;
}

char foldCase(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string folded(std::string s)
{
    for (char& c : s) c = foldCase(c);
    return s;
}

bool equalsIgnoringCase(const std::string& a, const std::string& b)
{
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (foldCase(a[i]) != foldCase(b[i])) return false;
    return true;
}

// A file value stands for "no value" when its first two characters are those of
// the marker (compared as C strings are) and it is at least as long as the
// marker. An empty marker marks nothing.
bool isPlaceholder(const std::string& value, const std::string& marker)
{
    if (marker.empty()) return false;
    for (std::size_t i = 0; i < 2; ++i) {
        const char a = i < value.size() ? value[i] : '\0';
        const char b = i < marker.size() ? marker[i] : '\0';
        if (a != b) return false;
        if (a == '\0') break;
    }
    return value.size() >= marker.size();
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

bool isCSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// Leading decimal digits of `s`, saturated at INT_MAX.
int leadingNumber(const std::string& s)
{
    long long v = 0;
    for (std::size_t i = 0; i < s.size() && isDigit(s[i]); ++i) {
        v = v * 10 + (s[i] - '0');
        if (v > INT_MAX) return INT_MAX;
    }
    return static_cast<int>(v);
}

// The catalog line "%[^,],%d,%[^,],%[^,],%[^,],%d" read as sscanf reads it:
// a text field needs at least one character, a number at least one digit
// (after blanks and a sign), and the first field that does not match ends the
// reading. Fields not reached stay empty or 0; texts are bounded to 255.
class LineScanner {
public:
    explicit LineScanner(const std::string& s) : s_(s) {}

    bool text(std::string& out)
    {
        std::size_t end = s_.find(',', pos_);
        if (end == std::string::npos) end = s_.size();
        if (end == pos_) return false;
        out = bounded(s_.substr(pos_, end - pos_));
        pos_ = end;
        return true;
    }
    bool comma()
    {
        if (pos_ >= s_.size() || s_[pos_] != ',') return false;
        ++pos_;
        return true;
    }
    bool number(std::int16_t& out)
    {
        std::size_t p = pos_;
        while (p < s_.size() && isCSpace(s_[p])) ++p;
        bool negative = false;
        if (p < s_.size() && (s_[p] == '+' || s_[p] == '-')) negative = s_[p++] == '-';
        if (p >= s_.size() || !isDigit(s_[p])) return false;
        long long v = 0;
        for (; p < s_.size() && isDigit(s_[p]); ++p)
            if (v <= INT_MAX) v = v * 10 + (s_[p] - '0');
        v = std::min<long long>(v, negative ? -static_cast<long long>(INT_MIN) : INT_MAX);
        const int value = static_cast<int>(negative ? -v : v);
        out = static_cast<std::int16_t>(value);  // the record's field is 16 bits wide
        pos_ = p;
        return true;
    }

private:
    const std::string& s_;
    std::size_t pos_ = 0;
};

PaperDefinition splitPaperLine(const std::string& line)
{
    PaperDefinition d;
    LineScanner in(line);
    (void)(in.text(d.name) && in.comma() && in.number(d.sizeCode) && in.comma() &&
           in.text(d.mediaText1) && in.comma() && in.text(d.weight) && in.comma() &&
           in.text(d.mediaText3) && in.comma() && in.number(d.flag));
    return d;
}

PaperDefinition boundedPaper(const PaperDefinition& p)
{
    PaperDefinition d = p;
    d.name = bounded(d.name);
    d.mediaText1 = bounded(d.mediaText1);
    d.weight = bounded(d.weight);
    d.mediaText3 = bounded(d.mediaText3);
    return d;
}

const std::vector<std::string> kNoList;
const PaperDefinition kNoPaper;

} // namespace

PaperCatalog::PaperCatalog(const platform::StringSource& strings, platform::Profile& profile,
                           platform::MessageSink& messages, std::string catalogFile)
    : strings_(strings), profile_(profile), messages_(messages), file_(std::move(catalogFile))
{
}

bool PaperCatalog::loadVocabularies()
{
    loaded_ = false;
    for (auto& l : lists_) l.clear();
    const std::string marker = strings_.load(IDS_CATALOG_PLACEHOLDER_MARKER);
    const std::string emptyEntry = bounded(strings_.load(IDS_CATALOG_EMPTY_ENTRY));

    bool ok = true;
    for (int list = kSizes; list <= kMediaTypes; ++list) {
        const std::string section = strings_.load(kListSection[list]);
        const int count = profile_.getInt(file_, section, "Num" + section, -1);
        if (count < 0) {
            ok = false;
            break;
        }
        // Entry keys are the section name without its last character plus the index.
        const std::string prefix = section.empty() ? section : section.substr(0, section.size() - 1);
        const std::string def = bounded(strings_.load(kListDefault[list]));
        std::vector<std::string>& entries = lists_[list];
        const int n = std::min(count, kMaxEntries);
        entries.reserve(static_cast<std::size_t>(n));
        for (int i = 0; i < n; ++i) {
            std::string v = profile_.getString(file_, section, prefix + std::to_string(i), std::string(),
                                               kMaxVocabularyValue);
            if (v.empty())
                v = emptyEntry;
            else if (isPlaceholder(v, marker))
                v = def;
            entries.push_back(bounded(std::move(v)));
        }
    }
    lists_[kOneSided] = {bounded(strings_.load(IDS_CATALOG_FLAG_TWO_SIDED)),
                         bounded(strings_.load(IDS_CATALOG_FLAG_ONE_SIDED))};
    loaded_ = ok;
    return ok;
}

const std::vector<std::string>& PaperCatalog::vocabulary(int list) const
{
    return (list >= 0 && list < kListCount) ? lists_[list] : kNoList;
}

void PaperCatalog::setVocabulary(int list, std::vector<std::string> entries)
{
    if (list < kSizes || list > kMediaTypes) return;
    if (entries.size() > static_cast<std::size_t>(kMaxEntries)) entries.resize(kMaxEntries);
    for (auto& e : entries) e = bounded(std::move(e));
    lists_[list] = std::move(entries);
}

bool PaperCatalog::saveVocabulary(int list)
{
    if (list < kColors || list > kMediaTypes || lists_[list].empty()) return false;
    IniRewrite rewrite(files_, file_);
    return rewrite.begin() && writeVocabulary(rewrite.path(), list) && rewrite.commit();
}

bool PaperCatalog::writeVocabulary(const std::string& path, int list)
{
    const std::string section = strings_.load(kListSection[list]);
    const std::vector<std::string>& entries = lists_[list];
    if (!profile_.writeString(path, section, "Num" + section, std::to_string(entries.size()))) return false;
    const std::string prefix = section.empty() ? section : section.substr(0, section.size() - 1);
    for (std::size_t i = 0; i < entries.size(); ++i)
        if (!profile_.writeString(path, section, prefix + std::to_string(i), entries[i])) return false;
    return true;
}

PaperCatalog::LoadResult PaperCatalog::loadCatalog()
{
    LoadResult result;
    papers_.clear();
    const std::string section = strings_.load(IDS_CATALOG_PAPER_SECTION);
    const int count = profile_.getInt(file_, section, strings_.load(IDS_CATALOG_COUNT_KEY), -1);
    result.bodyIndex = profile_.getInt(file_, section, strings_.load(IDS_CATALOG_BODY_PAPER_KEY), -1);

    const std::string marker = strings_.load(IDS_CATALOG_PLACEHOLDER_MARKER);
    const std::string defaultName = strings_.load(IDS_CATALOG_DEFAULT_PAPER_NAME);
    const std::string defaultColor = strings_.load(IDS_CATALOG_DEFAULT_COLOR);
    const std::string defaultWeight = strings_.load(IDS_CATALOG_DEFAULT_WEIGHT);
    const std::string defaultType = strings_.load(IDS_CATALOG_DEFAULT_MEDIA_TYPE);

    // A text that is a number v with 0 < v < size of its list names entry v.
    auto resolve = [this](std::string& text, int list) {
        if (text.empty() || !isDigit(text[0])) return;
        const int v = leadingNumber(text);
        if (v > 0 && static_cast<std::size_t>(v) < lists_[list].size()) text = lists_[list][v];
    };

    for (int i = 0; i < count; ++i) {
        const std::string line = profile_.getString(file_, section, kPaperKeyPrefix + std::to_string(i),
                                                    std::string(), kMaxPaperLine);
        PaperDefinition d = splitPaperLine(line);
        if (isPlaceholder(d.mediaText1, marker)) d.mediaText1 = defaultColor;
        if (isPlaceholder(d.mediaText3, marker)) d.mediaText3 = defaultType;
        if (isPlaceholder(d.weight, marker)) d.weight = defaultWeight;
        if (isPlaceholder(d.name, marker)) d.name = defaultName;
        resolve(d.mediaText1, kColors);
        resolve(d.weight, kWeights);
        resolve(d.mediaText3, kMediaTypes);
        if (!addPaper(d)) return result;
    }
    result.ok = true;
    return result;
}

bool PaperCatalog::saveCatalog(int bodyPaper)
{
    IniRewrite rewrite(files_, file_);
    if (rewrite.begin() && writePapers(rewrite.path(), bodyPaper) && rewrite.commit()) return true;
    reportWriteFailure();
    return false;
}

bool PaperCatalog::saveCatalogAndVocabularies(int bodyPaper)
{
    IniRewrite rewrite(files_, file_);
    bool ok = rewrite.begin();
    for (int list = kColors; ok && list <= kMediaTypes; ++list) {
        // An empty list is not written: its section keeps what the file has.
        if (!lists_[list].empty()) ok = writeVocabulary(rewrite.path(), list);
    }
    if (ok && writePapers(rewrite.path(), bodyPaper) && rewrite.commit()) return true;
    reportWriteFailure();
    return false;
}

bool PaperCatalog::writePapers(const std::string& path, int bodyPaper)
{
    const std::string section = strings_.load(IDS_CATALOG_PAPER_SECTION);
    if (!profile_.deleteSection(path, section)) return false;
    if (!profile_.writeString(path, section, strings_.load(IDS_CATALOG_COUNT_KEY), std::to_string(papers_.size())))
        return false;
    if (!profile_.writeString(path, section, strings_.load(IDS_CATALOG_BODY_PAPER_KEY), std::to_string(bodyPaper)))
        return false;
    for (std::size_t i = 0; i < papers_.size(); ++i) {
        const PaperDefinition& p = papers_[i];
        const std::string value = p.name + "," + std::to_string(p.sizeCode) + "," + p.mediaText1 + "," +
                                  p.weight + "," + p.mediaText3 + "," + std::to_string(p.flag);
        if (!profile_.writeString(path, section, kPaperKeyPrefix + std::to_string(i), value)) return false;
    }
    return true;
}

void PaperCatalog::reportWriteFailure()
{
    messages_.show(strings_.load(IDS_CATALOG_WRITE_FAILED) + strings_.load(IDS_CATALOG_FILE_NAME) +
                       strings_.load(IDS_CATALOG_WRITE_FAILED_TAIL),
                   platform::kMbOk | platform::kMbIconExclamation);
}

bool PaperCatalog::setPapers(const std::vector<PaperDefinition>& papers)
{
    if (papers.size() > static_cast<std::size_t>(kMaxEntries)) return false;
    papers_.clear();
    for (const PaperDefinition& p : papers) papers_.push_back(boundedPaper(p));
    return true;
}

const PaperDefinition& PaperCatalog::paper(int index) const
{
    if (index < 1 || index > paperCount()) return kNoPaper;
    return papers_[static_cast<std::size_t>(index - 1)];
}

std::string PaperCatalog::paperName(int index) const { return paper(index).name; }

int PaperCatalog::findPaper(const std::string& name) const
{
    if (name.empty()) return 0;
    for (std::size_t i = 0; i < papers_.size(); ++i)
        if (equalsIgnoringCase(papers_[i].name, name)) return static_cast<int>(i + 1);
    return 0;
}

bool PaperCatalog::addPaper(const PaperDefinition& paper)
{
    if (paperCount() >= kMaxEntries) return false;
    papers_.push_back(boundedPaper(paper));
    return true;
}

bool PaperCatalog::replacePaper(int index, const PaperDefinition& paper)
{
    if (index < 1 || index > paperCount()) return false;
    papers_[static_cast<std::size_t>(index - 1)] = boundedPaper(paper);
    return true;
}

bool PaperCatalog::removePaper(int index)
{
    if (index < 1 || index > paperCount()) return false;
    papers_.erase(papers_.begin() + (index - 1));
    return true;
}

void PaperCatalog::copyAttributesToBodySlot(int index)
{
    if (index < 1 || index > paperCount()) return;
    const PaperDefinition from = papers_[static_cast<std::size_t>(index - 1)];
    PaperDefinition& slot = papers_.front();
    slot.sizeCode = from.sizeCode;
    slot.mediaText1 = from.mediaText1;
    slot.weight = from.weight;
    slot.mediaText3 = from.mediaText3;
    slot.flag = from.flag;
}

bool PaperCatalog::hasEmptyName() const
{
    return std::any_of(papers_.begin(), papers_.end(), [](const PaperDefinition& p) { return p.name.empty(); });
}

bool PaperCatalog::hasDuplicateNames() const
{
    std::set<std::string> seen;
    for (const PaperDefinition& p : papers_)
        if (!seen.insert(folded(p.name)).second) return true;
    return false;
}

std::string PaperCatalog::catalogText() const
{
    std::string text;
    for (const auto& list : lists_) {
        for (const std::string& entry : list) {
            text += entry;
            text += '\n';
        }
        text += '\n';
    }
    for (const PaperDefinition& p : papers_) {
        text += p.name;
        text += ',';
        text += std::to_string(p.sizeCode);
        text += ',';
        text += p.mediaText1;
        text += ',';
        text += p.weight;
        text += ',';
        text += p.mediaText3;
        text += ',';
        text += std::to_string(p.flag);
        text += '\n';
    }
    return text;
}

} // namespace orvox
