#include "settings/settings_file.h"

#include <array>
#include <fstream>
#include <iterator>
#include <optional>
#include <span>
#include <vector>

#include "platform/file_saving.h"
#include "resource.h"

namespace orvox {

namespace {

constexpr std::size_t kPaperNameSize = 256;
constexpr int kStoredPaperNames = 6;
constexpr std::size_t kPaperNamesSize = kStoredPaperNames * kPaperNameSize;
constexpr std::size_t kShortRecord = 6968;
constexpr std::size_t kVersion4Record = 7232;
// Nothing a reader uses lies beyond this: signature, marker, version, record,
// names, count, the largest list and the printer position.
constexpr std::size_t kLongestSignature = 256;
constexpr std::size_t kLongestFile = kLongestSignature + 4 + kJobSettingsSize + kPaperNamesSize + 2 +
                                     kMaxSubstitutions * kPaperSubstitutionSize + 4;

static_assert(kShortRecord == offsetof(JobSettings, trimEdges));
static_assert(kVersion4Record == offsetof(JobSettings, copyCount));

// Reads a byte image front to back; reads past the end give fewer bytes.
class ByteReader {
public:
    explicit ByteReader(std::span<const unsigned char> bytes) : bytes_(bytes) {}
    std::span<const unsigned char> take(std::size_t n)
    {
        n = std::min(n, bytes_.size() - pos_);
        const auto part = bytes_.subspan(pos_, n);
        pos_ += n;
        return part;
    }
    std::optional<std::uint16_t> word16()
    {
        const auto b = take(2);
        if (b.size() < 2) return std::nullopt;
        return static_cast<std::uint16_t>(b[0] | (b[1] << 8));
    }
    std::optional<std::int32_t> int32()
    {
        const auto b = take(4);
        if (b.size() < 4) return std::nullopt;
        const std::uint32_t v = std::uint32_t{b[0]} | (std::uint32_t{b[1]} << 8) | (std::uint32_t{b[2]} << 16) |
                                (std::uint32_t{b[3]} << 24);
        return static_cast<std::int32_t>(v);
    }

private:
    std::span<const unsigned char> bytes_;
    std::size_t pos_ = 0;
};

class ByteWriter {
public:
    void bytes(std::span<const unsigned char> b) { out_.insert(out_.end(), b.begin(), b.end()); }
    void text(const std::string& s) { out_.insert(out_.end(), s.begin(), s.end()); }
    void int16(std::int16_t v)
    {
        const auto u = static_cast<std::uint16_t>(v);
        out_.push_back(static_cast<unsigned char>(u & 0xff));
        out_.push_back(static_cast<unsigned char>(u >> 8));
    }
    void int32(std::int32_t v)
    {
        const auto u = static_cast<std::uint32_t>(v);
        for (int shift = 0; shift < 32; shift += 8) out_.push_back(static_cast<unsigned char>((u >> shift) & 0xff));
    }
    const std::vector<unsigned char>& data() const { return out_; }

private:
    std::vector<unsigned char> out_;
};

// Loading: setters store without marking the document, whatever way the operation ends.
class LoadingScope {
public:
    explicit LoadingScope(JobDocument& doc) : doc_(doc) { doc_.setLoading(true); }
    ~LoadingScope() { doc_.setLoading(false); }
    LoadingScope(const LoadingScope&) = delete;
    LoadingScope& operator=(const LoadingScope&) = delete;

private:
    JobDocument& doc_;
};

std::optional<std::vector<unsigned char>> readFileBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::vector<unsigned char> bytes(kLongestFile);
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    bytes.resize(static_cast<std::size_t>(in.gcount()));
    return bytes;
}

std::string textOf(std::span<const unsigned char> field)
{
    const auto* chars = reinterpret_cast<const char*>(field.data());
    return std::string(chars, boundedLength(chars, field.size()));
}

// Texts read from a file may fill their field without a terminator; they are cut
// so that no later reader runs into the next field. Reserved texts stay as read.
void terminateTexts(JobSettings& s)
{
    auto terminate = [](auto& field) {
        if (boundedLength(field, sizeof field) == sizeof field) field[sizeof field - 1] = '\0';
    };
    terminate(s.saveAsPath);
    terminate(s.specificPrinterName);
    terminate(s.chapterPages);
    terminate(s.operatorMessage);
    terminate(s.deliverTo);
    terminate(s.chargeNumber);
    terminate(s.scriptFilePath);
    terminate(s.customCommands);
    terminate(s.bodyPaperName);
    terminate(s.editPaperName);
    terminate(s.editPaperText1);
    terminate(s.editPaperWeight);
    terminate(s.editPaperText3);
    terminate(s.emailAddress);
}

void show(JobDocument& doc, const std::string& text, unsigned type)
{
    doc.services().messages.show(text, type);
}

std::string load(const JobDocument& doc, unsigned id) { return doc.services().strings.load(id); }

int notASettingsFile(JobDocument& doc, int result)
{
    show(doc, load(doc, IDS_NOT_A_SETTINGS_FILE) + doc.applicationTitle() + load(doc, IDS_NOT_A_SETTINGS_FILE_TAIL),
         platform::kMbOk | platform::kMbIconStop);
    return result;
}

// Renumbers a value; false when the value has no counterpart.
bool renumber(std::int16_t& value, std::initializer_list<std::pair<int, int>> map)
{
    for (const auto& [from, to] : map) {
        if (value == from) {
            value = static_cast<std::int16_t>(to);
            return true;
        }
    }
    return false;
}

// Records before version 4 number exits and covers differently and know only
// the second printer model's commands.
void upgradeBeforeVersion4(JobSettings& s)
{
    if (s.printerModel == 0) s.printerModel = 1;
    s.reserved0262 = 1;
    if (!renumber(s.documentExit, {{0, 1}, {1, 4}, {2, 2}, {3, 6}, {4, 3}})) return;
    if (!renumber(s.frontCover, {{0, 0}, {1, 3}, {2, 4}})) return;
    if (!renumber(s.backCover, {{0, 0}, {1, 3}, {2, 4}})) return;
    s.trimEdges = 0;
    s.reserved6970 = 1;
    copyToField(s.emailAddress, sizeof s.emailAddress, "");
}

// First catalog entry from 2 on with this name; 0 when only the body slot or none has it.
int findRealPaper(const PaperCatalog& catalog, const std::string& name)
{
    for (int i = 2; i <= catalog.paperCount(); ++i) {
        if (equalsIgnoringCase(catalog.paperName(i), name)) return i;
    }
    return 0;
}

// Matches the six paper references against the names stored with them; a name
// that moved in the catalog is followed, a missing one falls back to the first
// real paper. True when any reference had to fall back.
bool checkPaperReferences(JobDocument& doc, const std::array<std::string, kStoredPaperNames>& names)
{
    JobSettings& s = doc.record();
    const PaperCatalog& catalog = doc.catalog();
    bool replaced = false;
    if (s.bodyPaper == 0) {
        s.bodyPaper = 2;
        replaced = true;
    }
    std::int16_t* references[kStoredPaperNames] = {&s.bodyPaper,      &s.statusPagePaper, &s.frontCoverPaper,
                                                    &s.backCoverPaper, &s.separatorPaper,  &s.headerPagePaper};
    for (int i = 0; i < kStoredPaperNames; ++i) {
        if (names[i].empty()) continue;
        // The body paper holds a catalog index; the others hold index minus 1.
        const int offset = i == 0 ? 0 : 1;
        const int designated = *references[i] + offset;
        if (equalsIgnoringCase(catalog.paperName(designated), names[i])) continue;
        int found = findRealPaper(catalog, names[i]);
        if (found == 0) {
            found = 2;
            replaced = true;
        }
        *references[i] = static_cast<std::int16_t>(found - offset);
    }
    return replaced;
}

// Reads the substitution records; a record that the catalog knows under another
// position follows its name.
void readSubstitutions(JobDocument& doc, ByteReader& in, int count)
{
    const PaperCatalog& catalog = doc.catalog();
    std::vector<PaperSubstitution> list;
    for (int i = 0; i < count; ++i) {
        const auto bytes = in.take(kPaperSubstitutionSize);
        if (bytes.size() < kPaperSubstitutionSize) break;
        PaperSubstitution s = paperSubstitutionFromBytes(bytes.first<kPaperSubstitutionSize>());
        s.paperName[sizeof s.paperName - 1] = '\0';
        s.pageList[sizeof s.pageList - 1] = '\0';
        const std::string catalogName = catalog.paperName(s.paperIndex);
        if (!equalsIgnoringCase(catalogName, s.paperName)) {
            if (!catalogName.empty()) {
                const int found = catalog.findPaper(s.paperName);
                s.paperIndex = static_cast<std::int16_t>(found == 0 ? 1 : found);
            } else {
                s.paperIndex = 1;
                doc.setPapersReplaced(true);
            }
        }
        list.push_back(s);
    }
    doc.replaceSubstitutions(std::move(list));
}

void restoreCatalog(PaperCatalog& catalog, const std::vector<PaperDefinition>& papers)
{
    catalog.clearPapers();
    for (const PaperDefinition& p : papers) catalog.addPaper(p);
}

} // namespace

std::size_t recordLengthOfVersion(int version)
{
    if (version >= 1 && version <= 3) return kShortRecord;
    if (version == 4) return kVersion4Record;
    return kJobSettingsSize;
}

int readSettingsFile(JobDocument& doc, const std::string& quotedPath)
{
    LoadingScope loading(doc);
    doc.setAlternativeSignature(false);
    std::string path = quotedPath;
    if (!path.empty() && path.front() == '"') {
        path.erase(0, 1);
        if (!path.empty()) path.pop_back();
    }

    std::vector<PaperDefinition> papers;
    for (int i = 1; i <= doc.catalog().paperCount(); ++i) papers.push_back(doc.catalog().paper(i));

    doc.setSettingsFile(path);
    // Until the whole file has been taken over, the name is not a file to save to.
    doc.setFileFailedToLoad(true);
    doc.reportLoadStart();
    const std::int32_t currentTab = doc.currentTab();
    if (!doc.resetToDefaults(true)) return kSettingsResetFailed;

    const auto file = readFileBytes(path);
    if (!file) return kSettingsCannotOpen;
    ByteReader in(*file);

    const std::string alternative = load(doc, IDS_SETTINGS_SIGNATURE_ALTERNATIVE);
    const std::string current = load(doc, IDS_SETTINGS_SIGNATURE);
    auto startsWith = [&](const std::string& sig) {
        return !sig.empty() && file->size() >= sig.size() && std::equal(sig.begin(), sig.end(), file->begin());
    };
    if (startsWith(alternative)) {
        doc.setAlternativeSignature(true);
        in.take(alternative.size());
    } else if (startsWith(current)) {
        in.take(current.size());
    } else {
        return notASettingsFile(doc, kSettingsNotASettingsFile);
    }
    if (in.word16() != std::uint16_t{kSettingsFileMarker}) return notASettingsFile(doc, kSettingsNotASettingsFile);
    const auto version = in.word16();
    if (!version || *version < 1 || *version > kSettingsFileVersion) {
        return notASettingsFile(doc, kSettingsUnsupportedVersion);
    }

    if (*version <= 3) show(doc, load(doc, IDS_OLD_SETTINGS_FILE_CONVERTED), platform::kMbOk | platform::kMbIconInformation);
    if (*version == 4) {
        show(doc, load(doc, IDS_SETTINGS_FILE_COPIES_TAKEN_OVER), platform::kMbOk | platform::kMbIconInformation);
    }
    JobSettings& s = doc.record();
    fromBytes(in.take(recordLengthOfVersion(*version)), s);
    terminateTexts(s);

    restoreCatalog(doc.catalog(), papers);
    const std::string bodyName = doc.bodyPaperName();
    if (!bodyName.empty()) s.bodyPaper = static_cast<std::int16_t>(doc.findPaper(bodyName));

    // Version 1 stored neither paper names nor substitutions: the references
    // are kept as they are and the list starts empty.
    std::array<std::string, kStoredPaperNames> names;
    doc.replaceSubstitutions({});
    if (*version >= 2) {
        doc.setPapersReplaced(false);
        const auto nameBytes = in.take(kPaperNamesSize);
        for (int i = 0; i < kStoredPaperNames; ++i) {
            const std::size_t from = i * kPaperNameSize;
            if (from < nameBytes.size()) {
                names[i] = textOf(nameBytes.subspan(from, std::min(kPaperNameSize, nameBytes.size() - from)))
                               .substr(0, kPaperNameSize - 1);
            }
        }
        // The count is never negative; a count beyond the limit means the list was not stored.
        const auto count = in.word16();
        if (count && *count <= kMaxSubstitutions) {
            readSubstitutions(doc, in, *count);
            if (*version >= 3) {
                if (const auto position = in.int32()) doc.setPrinterPosition(*position);
            }
        }
    }

    s.printerModel = static_cast<std::int16_t>(s.printerModel - kStoredModelShift);
    if (platform::UiState* ui = doc.uiState()) {
        const std::optional<int> models = ui->printerModelCount();
        if (models && (s.printerModel < 0 || s.printerModel >= *models)) {
            show(doc, load(doc, IDS_UNKNOWN_PRINTER_MODEL), platform::kMbOk | platform::kMbIconInformation);
            s.printerModel = 1;
        }
    }

    s.currentTab = currentTab;
    if (*version < 4) upgradeBeforeVersion4(s);
    if (*version < 5) {
        s.copyCount = s.legacyCopyCount;
        s.legacyCopyCount = 0;
    }

    if (checkPaperReferences(doc, names)) {
        show(doc,
             load(doc, IDS_PAPERS_REPLACED) + " \"" + doc.paperName(2) + "\" " + load(doc, IDS_PAPERS_REPLACED_TAIL),
             platform::kMbOk | platform::kMbIconExclamation);
    }
    // The body-paper slot and name follow the paper the file selected, so that
    // the job is built with that paper's attributes.
    if (s.bodyPaper >= 2 && s.bodyPaper <= doc.paperCount()) {
        doc.copyPaperToBodySlot(s.bodyPaper);
        copyToField(s.bodyPaperName, sizeof s.bodyPaperName, doc.paperName(s.bodyPaper));
    }
    if (platform::UiState* ui = doc.uiState()) ui->followPrinterModel();

    doc.setFileFailedToLoad(false);
    doc.setLoading(false);
    doc.markModified(false);
    doc.setFreeformColorAtLoad(s.freeformColor);
    return kSettingsOk;
}

int writeSettingsFile(JobDocument& doc, const std::string& path)
{
    const PaperCatalog& catalog = doc.catalog();
    if (catalog.hasDuplicateNames()) {
        show(doc, load(doc, IDS_CATALOG_DUPLICATE_NAMES), platform::kMbOk | platform::kMbIconInformation);
        return kSettingsBadPaperNames;
    }
    if (catalog.hasEmptyName()) {
        show(doc, load(doc, IDS_CATALOG_EMPTY_NAME), platform::kMbOk | platform::kMbIconInformation);
        return kSettingsBadPaperNames;
    }

    JobSettings& s = doc.record();
    ByteWriter out;
    out.text(load(doc, doc.alternativeSignature() ? IDS_SETTINGS_SIGNATURE_ALTERNATIVE : IDS_SETTINGS_SIGNATURE));
    out.int16(kSettingsFileMarker);
    out.int16(kSettingsFileVersion);

    s.paperCount = catalog.paperCount();
    JobSettingsBytes record = toBytes(s);
    // The model is stored shifted and the two spare words carry nothing.
    const auto model = static_cast<std::int16_t>(s.printerModel + kStoredModelShift);
    record[offsetof(JobSettings, printerModel)] = static_cast<unsigned char>(static_cast<std::uint16_t>(model) & 0xff);
    record[offsetof(JobSettings, printerModel) + 1] = static_cast<unsigned char>(static_cast<std::uint16_t>(model) >> 8);
    std::fill_n(record.begin() + offsetof(JobSettings, reserved6952), sizeof s.reserved6952, 0);
    out.bytes(record);

    const int references[kStoredPaperNames] = {s.bodyPaper,          s.statusPagePaper + 1, s.frontCoverPaper + 1,
                                               s.backCoverPaper + 1, s.separatorPaper + 1,  s.headerPagePaper + 1};
    for (int index : references) {
        std::array<unsigned char, kPaperNameSize> name{};
        copyToField(reinterpret_cast<char*>(name.data()), name.size(), catalog.paperName(index));
        out.bytes(name);
    }

    const int count = doc.substitutionCount();
    out.int16(static_cast<std::int16_t>(count));
    std::vector<PaperSubstitution> list = doc.substitutions();
    if (count <= kMaxSubstitutions) {
        for (PaperSubstitution& sub : list) {
            const std::string name = catalog.paperName(sub.paperIndex);
            if (!name.empty()) copyToField(sub.paperName, sizeof sub.paperName, name);
            out.bytes(toBytes(sub));
        }
        out.int32(doc.printerPosition());
    }

    // The new file is written beside the old one and replaces it only when it is
    // complete, so a full disk or a killed process never costs the saved settings.
    const std::vector<unsigned char>& bytes = out.data();
    const platform::SaveOutcome saved = platform::saveWholeFile(
        doc.services().files, path, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
    if (saved == platform::SaveOutcome::kReadOnly) {
        show(doc, load(doc, IDS_SETTINGS_FILE_READ_ONLY) + "\n" + path, platform::kMbOk | platform::kMbIconExclamation);
        return kSettingsCannotWrite;
    }
    if (saved != platform::SaveOutcome::kSaved) {
        show(doc, load(doc, IDS_SETTINGS_FILE_WRITE_FAILED) + path + load(doc, IDS_SETTINGS_FILE_WRITE_FAILED_TAIL),
             platform::kMbOk | platform::kMbIconStop);
        return kSettingsCannotWrite;
    }

    doc.replaceSubstitutions(std::move(list));
    if (count <= kMaxSubstitutions) doc.markModified(false);
    doc.setSettingsFile(path);
    doc.reportDocumentState();
    if (platform::UiState* ui = doc.uiState()) ui->refreshPages();
    return kSettingsOk;
}

int newSettings(JobDocument& doc)
{
    LoadingScope loading(doc);
    doc.setAlternativeSignature(false);
    const std::int32_t currentTab = doc.currentTab();

    if (!std::ifstream(doc.catalog().catalogFile())) {
        show(doc, load(doc, IDS_CATALOG_FILE_MISSING) + load(doc, IDS_CATALOG_FILE_NAME),
             platform::kMbOk | platform::kMbIconStop);
        return kSettingsCatalogMissing;
    }
    if (!doc.resetToDefaults(true)) {
        show(doc,
             load(doc, IDS_DOCUMENT_INIT_FAILED) + load(doc, IDS_CATALOG_FILE_NAME) +
                 load(doc, IDS_DOCUMENT_INIT_FAILED_TAIL),
             platform::kMbOk | platform::kMbIconStop);
        return kSettingsInitFailed;
    }
    doc.clearSettingsFile();
    doc.reportDocumentState();
    doc.markModified(true);
    doc.setCurrentTab(currentTab);
    if (platform::UiState* ui = doc.uiState()) ui->followPrinterModel();

    doc.setLoading(false);
    doc.markModified(false);
    return kSettingsOk;
}

std::string withSettingsExtension(const std::string& path, const std::string& extension)
{
    if (extension.empty()) return path;
    const std::string ending = "." + extension;
    const std::size_t slash = path.find_last_of("\\/");
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    if (name.size() > ending.size() && equalsIgnoringCase(name.substr(name.size() - ending.size()), ending))
        return path;
    return path + ending;
}

bool askSaveChanges(JobDocument& doc, const std::function<bool()>& save)
{
    if (!doc.isModified()) return true;
    const int answer = doc.services().messages.show(
        load(doc, IDS_SAVE_CHANGES_QUESTION) + " " + doc.displayName() + " ?",
        platform::kMbYesNoCancel | platform::kMbIconQuestion);
    if (answer == platform::kIdYes) return save ? save() : false;
    return answer == platform::kIdNo;
}

bool saveDocument(JobDocument& doc, const std::function<bool()>& saveAs)
{
    if (platform::UiState* ui = doc.uiState(); ui && !ui->validatePages()) return false;
    // A file that failed to load is never overwritten by a plain save.
    if (doc.settingsFileName().empty() || doc.fileFailedToLoad()) return saveAs ? saveAs() : false;
    if (doc.isReadOnly()) {
        show(doc, load(doc, IDS_SETTINGS_FILE_READ_ONLY) + "\n" + doc.displayName(),
             platform::kMbOk | platform::kMbIconExclamation);
        return false;
    }
    if (!doc.isModified()) return true;
    if (writeSettingsFile(doc, doc.settingsFilePath()) != kSettingsOk) return false;
    doc.markModified(false);
    return true;
}

} // namespace orvox
