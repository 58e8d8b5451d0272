#include "settings/xml_import.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>

#include "settings/job_document.h"
#include "settings/page_list.h"

namespace orvox {

namespace {

// Tag numbers: positions in the tag table below.
enum XmlTag : int {
    kTagPrinterSettings,
    kTagBodyPaper,
    kTagPrintingMode,
    kTagDocumentExit,
    kTagTrimEdges,
    kTagCollate,
    kTagOffsetStacking,
    kTagProofSet,
    kTagWaitTime,
    kTagAction,
    kTagStapling,
    kTagChapterPages,
    kTagPaperSubstitutions,
    kTagPaperSubstitutionItem,
    kTagPageRange,
    kTagPaper,
    kTagPrinter,
    kTagPrinterModel,
    kTagPrinterLanguage,
    kTagFilesToPrint,
    kTagFile,
    kTagModifyPrintFile,
    kTagPrintServerOptions,
    kTagPrint,
    kTagSaveAs,
    kTagSaveAsString,
    kTagSpecificPrinter,
    kTagSpecificPrinterString,
    kTagReplaceFiles,
    kTagCount
};

constexpr std::array<std::string_view, kTagCount> kTagNames = {
    "PRINTER_SETTINGS", "BODY_PAPER",      "PRINTING_MODE",
    "DOCUMENT_EXIT",    "TRIM_EDGES",      "COLLATE",
    "OFFSET_STACKING",  "PROOF_SET",       "WAIT_TIME",
    "ACTION",           "STAPLING",        "CHAPTER_PAGES",
    "PAPER_SUBSTITUTIONS", "PAPER_SUBSTITUTION_ITEM", "PAGE_RANGE",
    "PAPER",            "PRINTER",         "PRINTER_MODEL",
    "PRINTER_LANGUAGE", "FILES_TO_PRINT",  "FILE",
    "MODIFY_PRINT_FILE", "PRINT_SERVER_OPTIONS", "PRINT",
    "SAVE_AS",          "SAVE_AS_STRING",  "SPECIFIC_PRINTER",
    "SPECIFIC_PRINTER_STRING", "REPLACE_FILES",
};

// Keyword groups, named by the table entry they start at.
constexpr int kOnOff = 4;
constexpr int kPrintingModes = 6;
constexpr int kDocumentExits = 12;
constexpr int kStackingModes = 19;
constexpr int kProofActions = 21;
constexpr int kStaplingModes = 23;
constexpr int kPrinterModels = 29;
constexpr int kPrinterLanguages = 37;
constexpr int kModifyModes = 40;

constexpr std::array<int, kTagCount> kKinds = {
    kXmlContainer, kXmlNumber,    kPrintingModes, kDocumentExits, kOnOff,
    kOnOff,        kStackingModes, kOnOff,        kXmlNumber,     kProofActions,
    kStaplingModes, kXmlString,   kXmlContainer,  kXmlContainer,  kXmlString,
    kXmlNumber,    kXmlString,    kPrinterModels, kPrinterLanguages, kXmlContainer,
    kXmlString,    kModifyModes,  kXmlContainer,  kOnOff,         kOnOff,
    kXmlString,    kOnOff,        kXmlString,     kOnOff,
};

constexpr XmlKeyword kEmptyGroup{0, "", true};

// Entries 0..3 stand for the kinds that are not keyword groups; 31..36 are
// groups no tag uses any more. The last entry closes the table.
constexpr std::array<XmlKeyword, 44> kKeywords = {{
    kEmptyGroup, kEmptyGroup, kEmptyGroup, kEmptyGroup,
    {0, "OFF", true}, {1, "ON", false},
    {0, "ID_ONE_SIDED", true}, {1, "ID_TWO_SIDED_FLIP_LONG", false}, {2, "ID_TWO_SIDED_FLIP_SHORT", false},
    {3, "ID_INTERLEAVES_BLANK", false}, {4, "ID_INTERLEAVES_PRINTED", false}, {5, "ID_PAMPHLETS", false},
    {0, "ID_OUTPUT_DEVICE_BOOKLETMAKER", true}, {1, "ID_OUTPUT_DEVICE_FINISHER", false},
    {2, "ID_OUTPUT_DEVICE_POSTPROCESSOR", false}, {3, "ID_OUTPUT_DEVICE_SIDE", false},
    {4, "ID_OUTPUT_DEVICE_STACKER", false}, {5, "ID_OUTPUT_DEVICE_STAPLER", false},
    {6, "ID_OUTPUT_DEVICE_TOP", false},
    {0, "ID_STACK_MODE_OFFSET", true}, {1, "ID_STACK_MODE_NO_OFFSET", false},
    {1, "ID_PROOFSET_CONTINUE", true}, {2, "ID_PROOFSET_CANCEL", false},
    {0, "ID_STAPLE_MODE_NONE", true}, {1, "ID_STAPLE_MODE_TOP", false}, {2, "ID_STAPLE_MODE_BOTTOM", false},
    {3, "ID_STAPLE_MODE_BOTH", false}, {4, "ID_STAPLE_MODE_THREE", false}, {5, "ID_STAPLE_MODE_SADDLE", false},
    {0, "ID_PRINTERMODEL_SELVO", true}, {1, "ID_PRINTERMODEL_OTHER", false},
    kEmptyGroup, kEmptyGroup, kEmptyGroup, kEmptyGroup, kEmptyGroup, kEmptyGroup,
    {0, "ID_FILE_TYPE_PS", true}, {1, "ID_FILE_TYPE_PCL", false}, {2, "ID_FILE_TYPE_PDF", false},
    {0, "ID_MODIFY_FILE_YES", true}, {1, "ID_MODIFY_FILE_CUS", false}, {2, "ID_MODIFY_FILE_NO", false},
    kEmptyGroup,
}};

constexpr int kEnd = kModelEnd;
constexpr int kStop = kModelMayStop;

// The content models, each a run of alternatives closed by 0; where an
// alternative continues is in kModelNext at the index of its 0.
constexpr std::array<int, 83> kModelTags = {
    kEnd,
    // 1: the root takes any of its children, in any order and number
    kTagBodyPaper, 0, kTagPrintingMode, 0, kTagDocumentExit, 0, kTagTrimEdges, 0, kTagCollate, 0,
    kTagOffsetStacking, 0, kTagProofSet, 0, kTagStapling, 0, kTagChapterPages, 0, kTagPaperSubstitutions, 0,
    kTagPrinter, 0, kTagPrinterModel, 0, kTagPrinterLanguage, 0, kTagFilesToPrint, 0, kTagModifyPrintFile, 0,
    kTagPrintServerOptions, 0, kStop, 0, kEnd,
    // 36: "PROOF_SET": optional wait time, then optional action
    kTagWaitTime, 0, kTagAction, 0, kStop, 0, kEnd,
    // 43: "PAPER_SUBSTITUTIONS": any number of items
    kTagPaperSubstitutionItem, 0, kStop, 0, kEnd,
    // 48: an item: exactly the page range, then the paper
    kTagPageRange, kTagPaper, 0, kEnd,
    // 52: "FILES_TO_PRINT": any number of files
    kTagFile, 0, kStop, 0, kEnd,
    // 57: "PRINT_SERVER_OPTIONS": optional print, save-as, specific printer, in that order
    kTagPrint, 0, kTagSaveAs, 0, kTagSpecificPrinter, 0, kStop, 0, kEnd,
    // 66: "SAVE_AS": optional path
    kTagSaveAsString, 0, kStop, 0, kEnd,
    // 71: "SPECIFIC_PRINTER": optional name
    kTagSpecificPrinterString, 0, kStop, 0, kEnd,
    // 76: "FILES_TO_PRINT" as it starts: "REPLACE_FILES" may come first, then
    // the files as at 52
    kTagReplaceFiles, 0, kTagFile, 0, kStop, 0, kEnd,
};

constexpr std::array<int, 83> kModelNext = [] {
    std::array<int, 83> next{};
    for (int i = 2; i <= 32; i += 2) next[i] = 1;
    next[37] = 38;
    next[44] = 43;
    next[53] = 52;
    next[58] = 59;
    next[60] = 61;
    next[77] = 52;
    next[79] = 52;
    return next;
}();

constexpr std::array<int, kTagCount> kModelStart = [] {
    std::array<int, kTagCount> start{};
    start[kTagPrinterSettings] = 1;
    start[kTagProofSet] = 36;
    start[kTagPaperSubstitutions] = 43;
    start[kTagPaperSubstitutionItem] = 48;
    start[kTagFilesToPrint] = 76;
    start[kTagPrintServerOptions] = 57;
    start[kTagSaveAs] = 66;
    start[kTagSpecificPrinter] = 71;
    return start;
}();

const XmlVocabulary kVocabulary{kTagNames, kKinds, kKeywords, kModelTags, kModelNext, kModelStart};

// What an element contributes during the walk.
enum class Apply { kNone, kNumber, kText, kRememberText };

Apply applyKind(int tag)
{
    switch (tag) {
    case kTagPrinterSettings:
    case kTagPaperSubstitutions:
    case kTagPaperSubstitutionItem:
    case kTagFilesToPrint:
    case kTagPrintServerOptions:
        return Apply::kNone;
    case kTagChapterPages:
    case kTagPrinter:
    case kTagFile:
    case kTagSaveAsString:
    case kTagSpecificPrinterString:
        return Apply::kText;
    case kTagPageRange:
        return Apply::kRememberText;
    default:
        return Apply::kNumber;
    }
}

// The printer page edits the save-as path and the specific printer name in
// 31 characters; a longer text is not taken rather than taken cut short.
constexpr std::size_t kMaxServerText = 31;

// Room in the record for page lists, the terminating zero left out.
constexpr std::size_t kMaxChapterPages = sizeof(JobSettings::chapterPages) - 1;
constexpr std::size_t kMaxSubstitutionPages = sizeof(PaperSubstitution::pageList) - 1;

class Applier {
public:
    Applier(JobDocument& doc, platform::XmlTargets* targets) : doc_(doc), targets_(targets) {}

    // False when the element could not take effect and the walk must stop.
    bool apply(const XmlNode& node)
    {
        switch (applyKind(node.tag)) {
        case Apply::kNone:
            return true;
        case Apply::kRememberText:
            text_ = node.text;
            return true;
        case Apply::kText:
            text_ = node.text;
            return applyText(node.tag);
        case Apply::kNumber:
            number_ = node.value;
            return applyNumber(node.tag);
        }
        return true;
    }

private:
    bool applyNumber(int tag)
    {
        const auto n = static_cast<std::int16_t>(number_);
        switch (tag) {
        case kTagBodyPaper:
            // Papers count from 1 after the body-paper slot; 0 names none.
            if (number_ >= 1) doc_.setBodyPaper(number_ + 1);
            return true;
        case kTagPrintingMode: doc_.setPrintingMode(n); return true;
        case kTagDocumentExit: doc_.setDocumentExit(n); return true;
        case kTagTrimEdges: doc_.setTrimEdges(n); return true;
        case kTagCollate: doc_.setCollate(n); return true;
        case kTagOffsetStacking: doc_.setStackingMode(n); return true;
        case kTagProofSet: doc_.setProofSet(n); return true;
        case kTagWaitTime:
            // Minutes the printer waits for the operator to judge the proof.
            doc_.setProofWaitTime(static_cast<std::int16_t>(number_ == 0 ? 1 : std::min(number_, 60)));
            return true;
        case kTagAction: doc_.setProofSetAction(n); return true;
        case kTagStapling: doc_.setStaplingMode(n); return true;
        case kTagPaper: return addSubstitution();
        case kTagPrinterModel:
            doc_.setPrinterModel(n);
            modelGiven_ = true;
            if (targets_) targets_->showPrinterModel(number_);
            return true;
        case kTagPrinterLanguage: doc_.setPrinterLanguage(n); return true;
        case kTagModifyPrintFile: doc_.setModifyPrintFile(n); return true;
        case kTagPrint: doc_.setPrintToPrinter(n); return true;
        case kTagSaveAs: doc_.setSaveAsFile(n); return true;
        case kTagSpecificPrinter: doc_.setUseSpecificPrinter(n); return true;
        case kTagReplaceFiles:
            // The files that follow take the place of those listed, rather
            // than joining them: a host printing job after job in one start
            // of the library would otherwise print earlier jobs' files again.
            if (number_ != 0 && targets_) targets_->clearFilesToPrint();
            return true;
        default: return true;
        }
    }

    bool applyText(int tag)
    {
        switch (tag) {
        case kTagChapterPages:
            // A page list cut short would mark other chapters than the host asked for.
            if (text_.size() <= kMaxChapterPages) doc_.setChapterPages(text_);
            return true;
        case kTagPrinter:
            if (targets_) targets_->selectPrinter(text_);
            return true;
        case kTagFile:
            if (targets_) targets_->addFileToPrint(text_);
            return true;
        case kTagSaveAsString:
            if (text_.size() <= kMaxServerText) doc_.setSaveAsPath(text_);
            return true;
        case kTagSpecificPrinterString:
            if (text_.size() <= kMaxServerText) doc_.setSpecificPrinterName(text_);
            return true;
        default:
            return true;
        }
    }

    // The remembered text is the page list of the item's "PAGE_RANGE".
    bool addSubstitution()
    {
        std::string pages = text_;
        if (doc_.validatePageList(pages, false) != kPageListOk) return true;
        // Lists that do not fit the record, and a catalog without papers, give
        // nothing to print on; such items are skipped like invalid lists.
        const int count = doc_.paperCount();
        if (pages.size() > kMaxSubstitutionPages || count < 1) return true;
        return doc_.addSubstitution(number_ < count ? number_ + 1 : count, 0, pages);
    }

public:
    bool modelGiven() const { return modelGiven_; }

private:
    JobDocument& doc_;
    platform::XmlTargets* targets_;
    int number_ = 0;
    std::string text_;
    bool modelGiven_ = false;
};

int applyXml(JobDocument& doc, XmlReader& reader, int& errorLine, platform::XmlTargets* targets)
{
    if (!reader.parse() || !reader.checkStructure()) {
        errorLine = reader.errorLine();
        return reader.errorCode();
    }
    // The nodes are kept in the order of their start tags: each node comes
    // before its children, which is the order the elements take effect in.
    Applier applier(doc, targets);
    int result = 0;
    errorLine = 0;
    for (const XmlNode& node : reader.nodes()) {
        if (!applier.apply(node)) {
            result = kXmlUnknownError;
            errorLine = node.line;
            break;
        }
    }
    if (targets) targets->importFinished();
    if (platform::UiState* ui = doc.uiState()) {
        // A model named by the host brings its restrictions, as the operator's choice would.
        if (applier.modelGiven()) ui->followPrinterModel();
        else ui->refreshPages();
    }
    return result;
}

} // namespace

const XmlVocabulary& jobSettingsVocabulary() { return kVocabulary; }

int importXmlSettings(JobDocument& doc, std::string_view xml, int& errorLine, platform::XmlTargets* targets)
{
    XmlReader reader(kVocabulary, xml);
    return applyXml(doc, reader, errorLine, targets);
}

int importXmlSettings(JobDocument& doc, const char* xml, int& errorLine, platform::XmlTargets* targets)
{
    XmlReader reader(kVocabulary, xml);
    return applyXml(doc, reader, errorLine, targets);
}

} // namespace orvox
