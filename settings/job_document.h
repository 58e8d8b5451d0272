#pragma once
// The one job settings document: the settings record, the paper catalog, the
// paper substitutions, the file the document came from and its modified state.
// The tab pages, the settings file, the XML import and the print run all work
// on it through the operations below.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/services.h"
#include "platform/ui_state.h"
#include "settings/job_settings.h"
#include "settings/paper_catalog.h"

namespace orvox {

// Told whenever the title or the modified state that the host shows changes.
class DocumentStateListener {
public:
    virtual ~DocumentStateListener() = default;
    // `title`: the document's display name; `caption`: the application title.
    virtual void documentStateChanged(const std::string& title, const std::string& caption, bool modified) = 0;
};

// The most substitutions a settings file can carry.
inline constexpr int kMaxSubstitutions = 512;

#define ORVOX_INT16_FIELD(field, Name)                                  \
    std::int16_t field() const { return settings_.field; }              \
    void set##Name(std::int16_t value) { storeValue(settings_.field, value); }
#define ORVOX_INT32_FIELD(field, Name)                                  \
    std::int32_t field() const { return settings_.field; }              \
    void set##Name(std::int32_t value) { storeValue(settings_.field, value); }
#define ORVOX_TEXT_FIELD(field, Name)                                   \
    std::string field() const { return fieldText(settings_.field); }    \
    void set##Name(std::string_view text) { storeText(settings_.field, text); }

class JobDocument {
public:
    // Reads the catalog and its vocabularies from the installation folder and
    // the administration password from the configuration file there.
    // `installationFolder` ends with a separator.
    JobDocument(const platform::Services& services, std::string installationFolder);
    ~JobDocument();
    JobDocument(const JobDocument&) = delete;
    JobDocument& operator=(const JobDocument&) = delete;

    // The document of the process, for code that is handed no reference; null
    // while none exists.
    static JobDocument* instance();

    void setListener(DocumentStateListener* listener) { listener_ = listener; }
    void setUiState(platform::UiState* ui) { ui_ = ui; }
    platform::UiState* uiState() const { return ui_; }
    // The caption reported with the title: the branding's application title.
    void setApplicationTitle(std::string title) { appTitle_ = std::move(title); }
    const std::string& applicationTitle() const { return appTitle_; }
    const platform::Services& services() const { return services_; }
    const std::string& installationFolder() const { return folder_; }
    std::string configFilePath() const;

    // --- The record -------------------------------------------------------
    const JobSettings& settings() const { return settings_; }
    // Direct access for the settings file and the reset; no modified mark.
    JobSettings& record() { return settings_; }

    ORVOX_INT16_FIELD(modifyPrintFile, ModifyPrintFile)
    ORVOX_INT16_FIELD(printToPrinter, PrintToPrinter)
    ORVOX_INT16_FIELD(saveAsFile, SaveAsFile)
    ORVOX_INT16_FIELD(useSpecificPrinter, UseSpecificPrinter)
    ORVOX_INT16_FIELD(printerModel, PrinterModel)
    ORVOX_INT16_FIELD(printerLanguage, PrinterLanguage)
    ORVOX_INT16_FIELD(printingMode, PrintingMode)
    ORVOX_INT16_FIELD(collate, Collate)
    ORVOX_INT16_FIELD(mismatchHandling, MismatchHandling)
    ORVOX_INT16_FIELD(statusPageMode, StatusPageMode)
    ORVOX_INT16_FIELD(statusPagePaper, StatusPagePaper)
    ORVOX_INT16_FIELD(finishChaptersSeparately, FinishChaptersSeparately)
    ORVOX_INT16_FIELD(freeformColor, FreeformColor)
    ORVOX_INT16_FIELD(substitutionsActive, SubstitutionsActive)
    ORVOX_INT16_FIELD(maxSignatureSize, MaxSignatureSize)
    ORVOX_INT16_FIELD(documentExit, DocumentExit)
    ORVOX_INT16_FIELD(stackingMode, StackingMode)
    ORVOX_INT16_FIELD(staplingMode, StaplingMode)
    ORVOX_INT16_FIELD(foldMode, FoldMode)
    ORVOX_INT16_FIELD(frontCover, FrontCover)
    ORVOX_INT16_FIELD(frontCoverPaper, FrontCoverPaper)
    ORVOX_INT16_FIELD(backCover, BackCover)
    ORVOX_INT16_FIELD(backCoverPaper, BackCoverPaper)
    ORVOX_INT16_FIELD(headerPage, HeaderPage)
    ORVOX_INT16_FIELD(headerPageForced, HeaderPageForced)
    ORVOX_INT16_FIELD(headerPagePaper, HeaderPagePaper)
    ORVOX_INT16_FIELD(separatorPages, SeparatorPages)
    ORVOX_INT16_FIELD(separatorPaper, SeparatorPaper)
    ORVOX_INT16_FIELD(separatorPagesForced, SeparatorPagesForced)
    ORVOX_INT16_FIELD(proofSet, ProofSet)
    ORVOX_INT16_FIELD(proofWaitTime, ProofWaitTime)
    ORVOX_INT16_FIELD(proofSetAction, ProofSetAction)
    ORVOX_INT16_FIELD(printAllPages, PrintAllPages)
    ORVOX_INT16_FIELD(printPageRange, PrintPageRange)
    ORVOX_INT16_FIELD(validateFile, ValidateFile)
    ORVOX_INT16_FIELD(editPaperSize, EditPaperSize)
    ORVOX_INT16_FIELD(trimEdges, TrimEdges)
    ORVOX_INT32_FIELD(pageRangeFrom, PageRangeFrom)
    ORVOX_INT32_FIELD(pageRangeTo, PageRangeTo)
    ORVOX_INT32_FIELD(copyCount, CopyCount)

    ORVOX_TEXT_FIELD(saveAsPath, SaveAsPath)
    ORVOX_TEXT_FIELD(specificPrinterName, SpecificPrinterName)
    ORVOX_TEXT_FIELD(operatorMessage, OperatorMessage)
    ORVOX_TEXT_FIELD(deliverTo, DeliverTo)
    ORVOX_TEXT_FIELD(chargeNumber, ChargeNumber)
    ORVOX_TEXT_FIELD(emailAddress, EmailAddress)
    ORVOX_TEXT_FIELD(scriptFilePath, ScriptFilePath)
    ORVOX_TEXT_FIELD(customCommands, CustomCommands)
    ORVOX_TEXT_FIELD(chapterPages, ChapterPages)
    ORVOX_TEXT_FIELD(editPaperName, EditPaperName)
    ORVOX_TEXT_FIELD(editPaperText1, EditPaperText1)
    ORVOX_TEXT_FIELD(editPaperWeight, EditPaperWeight)
    ORVOX_TEXT_FIELD(editPaperText3, EditPaperText3)

    std::int16_t bodyPaper() const { return settings_.bodyPaper; }
    std::string bodyPaperName() const { return fieldText(settings_.bodyPaperName); }
    // Document colour 0..7 to printer colour; 0 for other positions.
    std::int16_t colorMapping(int colour) const;
    void setColorMapping(int colour, std::int16_t printerColour);
    // The tab page that was current when the pages were last saved; not a
    // setting, so it never marks the document modified.
    std::int32_t currentTab() const { return settings_.currentTab; }
    void setCurrentTab(std::int32_t tab) { settings_.currentTab = tab; }

    // --- Papers -----------------------------------------------------------
    PaperCatalog& catalog() { return catalog_; }
    const PaperCatalog& catalog() const { return catalog_; }
    // Reads the vocabularies and the papers and selects the body paper the
    // catalog file names; the modified state is kept. False when the
    // vocabularies cannot be read.
    bool loadCatalogFile();
    // Selects catalog entry `index` (clamped to 2..count) as the body paper.
    void setBodyPaper(int index);
    void copyPaperToBodySlot(int index) { catalog_.copyAttributesToBodySlot(index); }
    int paperCount() const { return catalog_.paperCount(); }
    std::string paperName(int index) const { return catalog_.paperName(index); }
    int findPaper(const std::string& name) const { return catalog_.findPaper(name); }
    bool isBodyPaperOneSided() const;
    // `reference` as stored in the cover, header, separator and status paper
    // fields, or -1 for the body paper.
    bool isPaperOneSided(int reference) const;
    bool addPaper(const PaperDefinition& paper);
    bool replacePaper(int index, const PaperDefinition& paper);
    // Removes the paper (never the body-paper slot) and renumbers the references that follow it.
    bool deletePaper(const std::string& name);
    bool isPaperUsed(const std::string& name) const;
    // Five or more distinct papers in use are more than the printer can feed.
    bool tooManyPapers() const;

    // --- Paper substitutions ------------------------------------------------
    // Positions are 0-based unless the name says otherwise.
    bool addSubstitution(int paperIndex, int kind, std::string_view pageList);
    bool setSubstitutionPaper(int position, int paperIndex);
    bool setSubstitutionPages(int position, std::string_view pageList);
    // Checks the record's page list in place (the "last" keyword is rewritten
    // in lower case there); 0 or the error kind of the first bad token.
    int validateSubstitutionPages(int position);
    bool removeSubstitution(int position);
    bool moveSubstitutionUp(int oneBasedPosition);
    bool moveSubstitutionDown(int oneBasedPosition);
    int substitutionCount() const { return static_cast<int>(substitutions_.size()); }
    // An empty record for positions past the end.
    const PaperSubstitution& substitution(int position) const;
    int substitutionKind(int position) const;
    std::string kindText(int kind) const;
    // Which choices of the substitutions page are taken; `ignorePosition` leaves
    // one record out (the one being edited).
    int substitutionKindMask(int ignorePosition = -1) const;
    const std::vector<PaperSubstitution>& substitutions() const { return substitutions_; }
    // Replaces the whole list; for the settings file.
    void replaceSubstitutions(std::vector<PaperSubstitution> list) { substitutions_ = std::move(list); }
    // The substitutions page holds a paper or page list the operator has not
    // added or modified yet; no print run starts meanwhile. Not a setting.
    bool editingSubstitutions() const { return editingSubstitutions_; }
    void setEditingSubstitutions(bool editing) { editingSubstitutions_ = editing; }

    // --- Defaults and checks -------------------------------------------------
    // False when the catalog cannot be read.
    bool resetToDefaults(bool full);
    bool applyModelDefaults();
    // Carets are allowed unless this is a pamphlet job on printer model 0.
    int validatePageList(std::string& text, bool noLastKeyword) const;
    static bool isValidFileName(const std::string& text);

    // --- Availability of tabs and controls ------------------------------------
    bool updateSubstitutionsTab();
    bool updateColourMappingTab();
    bool enableForOtherModels(int controlId);

    // --- Modified state, loading, file ----------------------------------------
    void markModified(bool state);
    bool isModified() const { return modified_; }
    // While loading, setters store without marking the document modified.
    void setLoading(bool loading) { loading_ = loading; }
    bool isLoading() const { return loading_; }
    std::string displayName() const;
    // Reports the title, caption and modified state to the listener.
    void reportDocumentState();
    // A load begins: the host hears the new name with the modified state the
    // document still has, since nothing has been replaced yet.
    void reportLoadStart();
    const std::string& settingsFileName() const { return fileName_; }
    const std::string& settingsFilePath() const { return filePath_; }
    // The path and its part after the last folder separator.
    void setSettingsFile(const std::string& path);
    void clearSettingsFile();
    // The document carries the name of a file that could not be read: saving
    // must not replace that file without the operator naming it again.
    bool fileFailedToLoad() const { return fileFailedToLoad_; }
    void setFileFailedToLoad(bool failed) { fileFailedToLoad_ = failed; }

    bool papersReplaced() const { return papersReplaced_; }
    void setPapersReplaced(bool replaced) { papersReplaced_ = replaced; }
    std::int32_t freeformColorAtLoad() const { return freeformColorAtLoad_; }
    void setFreeformColorAtLoad(std::int32_t value) { freeformColorAtLoad_ = value; }
    // The file last read carried the alternative signature; writes keep it.
    bool alternativeSignature() const { return alternativeSignature_; }
    void setAlternativeSignature(bool alternative) { alternativeSignature_ = alternative; }
    bool isReadOnly() const { return readOnly_; }
    void setReadOnly(bool readOnly) { readOnly_ = readOnly; }
    // Position of the selected printer in the printer page's list.
    std::int32_t printerPosition() const { return printerPosition_; }
    void setPrinterPosition(std::int32_t position) { storeValue(printerPosition_, position); }

    // The longest administration password; the password edits take no more.
    static constexpr std::size_t kMaxPasswordChars = 260;
    // The password the administration commands compare with.
    const std::string& adminPassword() const { return adminPassword_; }
    // Stores the new password and writes it back to the configuration file.
    bool setAdminPassword(const std::string& password);

private:
    template <typename T>
    void storeValue(T& field, T value)
    {
        if (field == value) return;
        field = value;
        changed();
    }
    template <std::size_t N>
    static std::string fieldText(const char (&field)[N])
    {
        return std::string(field, boundedLength(field, N));
    }
    template <std::size_t N>
    void storeText(char (&field)[N], std::string_view text) { storeTextIn(field, N, text); }
    // The record's reset values and the list, without the catalog steps.
    void resetRecord(bool full);
    void storeTextIn(char* field, std::size_t size, std::string_view text);
    // A real change: mark modified unless loading.
    void changed();

    platform::Services services_;
    std::string folder_;
    JobSettings settings_{};
    PaperCatalog catalog_;
    std::vector<PaperSubstitution> substitutions_;
    DocumentStateListener* listener_ = nullptr;
    platform::UiState* ui_ = nullptr;
    std::string appTitle_;
    std::string fileName_;
    std::string filePath_;
    std::string adminPassword_;
    bool modified_ = false;
    bool loading_ = false;
    bool papersReplaced_ = false;
    bool alternativeSignature_ = false;
    bool readOnly_ = false;
    bool fileFailedToLoad_ = false;
    bool editingSubstitutions_ = false;
    std::int32_t freeformColorAtLoad_ = 1;
    std::int32_t printerPosition_ = 0;
};

#undef ORVOX_INT16_FIELD
#undef ORVOX_INT32_FIELD
#undef ORVOX_TEXT_FIELD

} // namespace orvox
