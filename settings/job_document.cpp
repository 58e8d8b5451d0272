#include "settings/job_document.h"

#include <algorithm>
#include <cstring>

#include "resource.h"
#include "settings/page_list.h"

namespace orvox {

namespace {

JobDocument* gInstance = nullptr;

} // namespace

JobDocument::JobDocument(const platform::Services& services, std::string installationFolder)
    : services_(services),
      folder_(std::move(installationFolder)),
      catalog_(services.strings, services.profile, services.messages,
               folder_ + services.strings.load(IDS_CATALOG_FILE_NAME))
{
    gInstance = this;
    catalog_.setFileSystem(&services_.files);
    // Room for the quotes the password is written in; they are not part of it.
    adminPassword_ = services_.profile.getString(configFilePath(), services_.strings.load(IDS_CONFIG_ADMIN_SECTION),
                                                 services_.strings.load(IDS_CONFIG_PASSWORD_KEY), "",
                                                 kMaxPasswordChars + 2);
    adminPassword_.resize(std::min(adminPassword_.size(), kMaxPasswordChars));
    loadCatalogFile();
    // Every field holds a sound value from the start; the body paper stays the
    // one the catalog file names.
    resetRecord(true);
    modified_ = false;
}

JobDocument::~JobDocument()
{
    if (gInstance == this) gInstance = nullptr;
}

JobDocument* JobDocument::instance() { return gInstance; }

std::string JobDocument::configFilePath() const
{
    return folder_ + services_.strings.load(IDS_CONFIG_FILE_NAME);
}

bool JobDocument::setAdminPassword(const std::string& password)
{
    const std::string stored = password.substr(0, kMaxPasswordChars);
    // In quotes, so that blanks at either end and quotes of the password's own
    // survive the reading, which takes away one pair of surrounding quotes and
    // the blanks around a value. The copy changes only with the file.
    if (!services_.profile.writeString(configFilePath(), services_.strings.load(IDS_CONFIG_ADMIN_SECTION),
                                       services_.strings.load(IDS_CONFIG_PASSWORD_KEY), "\"" + stored + "\""))
        return false;
    adminPassword_ = stored;
    return true;
}

// --- Record -------------------------------------------------------------------

void JobDocument::changed()
{
    if (!loading_) markModified(true);
}

void JobDocument::storeTextIn(char* field, std::size_t size, std::string_view text)
{
    text = text.substr(0, std::min({text.size(), size - 1, text.find('\0')}));
    const std::size_t stored = boundedLength(field, size);
    if (std::string_view(field, stored) == text) return;
    copyToField(field, size, text);
    changed();
}

std::int16_t JobDocument::colorMapping(int colour) const
{
    if (colour < 0 || colour >= static_cast<int>(std::size(settings_.colorMapping))) return 0;
    return settings_.colorMapping[colour].printerColor;
}

void JobDocument::setColorMapping(int colour, std::int16_t printerColour)
{
    if (colour < 0 || colour >= static_cast<int>(std::size(settings_.colorMapping))) return;
    storeValue(settings_.colorMapping[colour].printerColor, printerColour);
}

// --- Papers -------------------------------------------------------------------

bool JobDocument::loadCatalogFile()
{
    if (!catalog_.loadVocabularies()) return false;
    const PaperCatalog::LoadResult result = catalog_.loadCatalog();
    const bool wasModified = modified_;
    copyToField(settings_.bodyPaperName, sizeof settings_.bodyPaperName, "");
    settings_.bodyPaper = 0;
    settings_.reserved1078 = 0;
    setBodyPaper(result.bodyIndex);
    markModified(wasModified);
    if (ui_) ui_->refreshPages();
    return true;
}

void JobDocument::setBodyPaper(int index)
{
    const int count = catalog_.paperCount();
    if (count < 2 || index == settings_.bodyPaper) return;
    index = std::clamp(index, 2, count);
    settings_.bodyPaper = static_cast<std::int16_t>(index);
    copyToField(settings_.bodyPaperName, sizeof settings_.bodyPaperName, catalog_.paperName(index));
    catalog_.copyAttributesToBodySlot(index);
    changed();
}

bool JobDocument::isBodyPaperOneSided() const
{
    return catalog_.paperCount() >= 1 && catalog_.paper(1).flag != 0;
}

bool JobDocument::isPaperOneSided(int reference) const
{
    const int index = reference == -1 ? settings_.bodyPaper : reference + 1;
    if (index < 1 || index > catalog_.paperCount()) return false;
    return catalog_.paper(index).flag != 0;
}

bool JobDocument::addPaper(const PaperDefinition& paper)
{
    if (!catalog_.addPaper(paper)) return false;
    changed();
    return true;
}

bool JobDocument::replacePaper(int index, const PaperDefinition& paper)
{
    if (!catalog_.replacePaper(index, paper)) return false;
    changed();
    return true;
}

bool JobDocument::deletePaper(const std::string& name)
{
    const int removed = catalog_.findPaper(name);
    // Entry 1 is the body-paper slot that every body-paper choice writes into.
    if (removed < 2 || !catalog_.removePaper(removed)) return false;
    // References keep designating the same papers: those after the removed one move down.
    if (removed < settings_.bodyPaper) setBodyPaper(settings_.bodyPaper - 1);
    if (removed <= settings_.frontCoverPaper) --settings_.frontCoverPaper;
    for (PaperSubstitution& s : substitutions_) {
        if (s.paperIndex > removed) --s.paperIndex;
    }
    changed();
    return true;
}

bool JobDocument::isPaperUsed(const std::string& name) const
{
    if (name.empty()) return false;
    if (equalsIgnoringCase(name, catalog_.paperName(settings_.bodyPaper)) ||
        equalsIgnoringCase(name, bodyPaperName())) {
        return true;
    }
    if (settings_.substitutionsActive == 0 && settings_.frontCover != stored(CoverMode::None) &&
        equalsIgnoringCase(name, catalog_.paperName(settings_.frontCoverPaper + 1))) {
        return true;
    }
    return std::any_of(substitutions_.begin(), substitutions_.end(), [&](const PaperSubstitution& s) {
        return equalsIgnoringCase(name, catalog_.paperName(s.paperIndex));
    });
}

bool JobDocument::tooManyPapers() const
{
    constexpr std::size_t kMostPapers = 4;
    const int last = std::max(1, catalog_.paperCount());
    std::vector<int> used;
    const int body = std::clamp<int>(settings_.bodyPaper, 1, last);
    auto use = [&](int index) {
        index = std::clamp(index, 1, last);
        // Entry 1 is the body-paper slot: it carries the body paper, not a paper of its own.
        if (index == 1) index = body;
        if (std::find(used.begin(), used.end(), index) == used.end()) used.push_back(index);
    };
    use(settings_.bodyPaper);
    if (settings_.substitutionsActive == 1) {
        for (const PaperSubstitution& s : substitutions_) use(s.paperIndex);
    }
    if (settings_.substitutionsActive == 0 && settings_.frontCover != stored(CoverMode::None)) {
        use(settings_.frontCoverPaper + 1);
    }
    return used.size() > kMostPapers;
}

// --- Defaults and checks ----------------------------------------------------------

bool JobDocument::resetToDefaults(bool full)
{
    if (!catalog_.catalogLoaded() && !loadCatalogFile()) return false;
    // A reset is no edit: it never marks the document modified.
    const bool wasLoading = loading_;
    loading_ = true;
    setBodyPaper(2);
    copyPaperToBodySlot(1);
    resetRecord(full);
    loading_ = wasLoading;
    return true;
}

void JobDocument::resetRecord(bool full)
{
    resetFields(settings_, full);
    if (settings_.printerModel == 0) {
        settings_.maxSignatureSize = 88;
        settings_.documentExit = stored(DocumentExit::Stacker);
    } else {
        settings_.maxSignatureSize = 60;
        settings_.documentExit = stored(DocumentExit::Finisher);
        settings_.reserved2402 = 0;
    }
    if (full) substitutions_.clear();
    freeformColorAtLoad_ = 1;
}

bool JobDocument::applyModelDefaults()
{
    if (!catalog_.catalogLoaded() && !loadCatalogFile()) return false;
    if (settings_.reserved1074 != 0) {
        storeValue<std::int16_t>(settings_.reserved1074, 0);
        storeValue<std::int16_t>(settings_.collate, 1);
    }
    const bool modelZero = settings_.printerModel == 0;
    storeValue(settings_.documentExit, stored(modelZero ? DocumentExit::Stacker : DocumentExit::Finisher));
    storeValue<std::int16_t>(settings_.reserved2402, 0);
    storeValue<std::int16_t>(settings_.printAllPages, 1);
    for (std::int16_t* field : {&settings_.printPageRange, &settings_.reserved3240, &settings_.reserved3244,
                                &settings_.reserved3252, &settings_.reserved3260}) {
        storeValue<std::int16_t>(*field, 0);
    }
    storeValue<std::int32_t>(settings_.pageRangeFrom, 0);
    storeValue<std::int32_t>(settings_.pageRangeTo, 0);
    storeValue(settings_.printerLanguage, stored(PrinterLanguage::PostScript));
    storeValue<std::int16_t>(settings_.reserved0804, 0);
    storeValue<std::int16_t>(settings_.maxSignatureSize, modelZero ? 88 : 60);
    return true;
}

int JobDocument::validatePageList(std::string& text, bool noLastKeyword) const
{
    // Pamphlet jobs on the first printer model have no way to mark pages.
    const bool caretsAllowed =
        !(settings_.printerModel == 0 && settings_.printingMode == stored(PrintingMode::Pamphlets));
    return orvox::validatePageList(text, noLastKeyword, caretsAllowed);
}

bool JobDocument::isValidFileName(const std::string& text)
{
    constexpr std::size_t kMaxComponent = 260;
    std::size_t component = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (std::strchr("\t*+,;<>?|", c) != nullptr && c != '\0') return false;
        if (c == ':' && i != 1) return false;
        if (c == '\\' || c == '.') {
            component = 0;
        } else if (++component > kMaxComponent) {
            return false;
        }
    }
    return true;
}

// --- Availability ---------------------------------------------------------------

bool JobDocument::updateSubstitutionsTab()
{
    const std::int16_t mode = settings_.printingMode;
    const bool plainSides = mode == stored(PrintingMode::OneSided) || mode == stored(PrintingMode::TwoSidedFlipLong) ||
                            mode == stored(PrintingMode::TwoSidedFlipShort);
    const bool enabled = (settings_.modifyPrintFile == stored(ModifyPrintFile::Yes) && plainSides) ||
                         (mode == stored(PrintingMode::Pamphlets) && settings_.printerModel == 0);
    if (ui_) ui_->setTabEnabled(platform::kTabPaperSubstitutions, enabled);
    return enabled;
}

bool JobDocument::updateColourMappingTab()
{
    const bool enabled = settings_.printerModel != 0 && settings_.modifyPrintFile == stored(ModifyPrintFile::Yes) &&
                         freeformColorAtLoad_ != 0;
    if (ui_) ui_->setTabEnabled(platform::kTabColourMapping, enabled);
    return enabled;
}

bool JobDocument::enableForOtherModels(int controlId)
{
    const bool enabled = settings_.printerModel != 0 && settings_.modifyPrintFile == stored(ModifyPrintFile::Yes);
    if (ui_) ui_->setControlEnabled(controlId, enabled);
    return enabled;
}

// --- Modified state and file ------------------------------------------------------

void JobDocument::markModified(bool state)
{
    const bool changedState = modified_ != state;
    modified_ = state;
    if (changedState && !loading_) reportDocumentState();
}

std::string JobDocument::displayName() const
{
    return fileName_.empty() ? services_.strings.load(IDS_UNTITLED) : fileName_;
}

void JobDocument::reportDocumentState()
{
    // While a file is read or a new document made, the state is not yet the document's.
    if (listener_) listener_->documentStateChanged(displayName(), appTitle_, modified_ && !loading_);
}

void JobDocument::reportLoadStart()
{
    if (listener_) listener_->documentStateChanged(displayName(), appTitle_, modified_);
}

void JobDocument::setSettingsFile(const std::string& path)
{
    filePath_ = path;
    // Either separator ends a folder name on the platforms the library runs on.
    const std::size_t slash = path.find_last_of("\\/");
    fileName_ = slash == std::string::npos ? path : path.substr(slash + 1);
    fileFailedToLoad_ = false;
}

void JobDocument::clearSettingsFile()
{
    fileName_.clear();
    filePath_.clear();
    fileFailedToLoad_ = false;
}

} // namespace orvox
