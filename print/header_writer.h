#pragma once
// The state one job-header build shares between its parts (the main order of
// JobHeaderBuilder and the paper handling block): the open header file, the
// work string, the templates, the insert list and the names of papers.
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "platform/strings.h"
#include "platform/ui_state.h"
#include "print/command_templates.h"
#include "settings/job_settings.h"
#include "settings/paper_catalog.h"

namespace orvox {

// Results of a build and of its parts.
enum HeaderResult : std::int16_t {
    kHeaderOk = 0,
    kHeaderNoMemory = 1,       // a page list could not be rewritten (paper handling only)
    kHeaderWriteFailed = 2,
    kHeaderScriptMissing = 3,
    kHeaderNotWritten = 4,     // no catalog, no header file, or the paper handling failed
};

// Output kinds: the three printer languages and a PDF batch made from TIFF files.
enum OutputKind : int { kOutputPostScript = 0, kOutputPcl = 1, kOutputPdf = 2, kOutputPdfFromTiff = 3 };

// What one build reads. The record is only read: the header gets fixed-up
// copies of the user texts, the document keeps what the operator typed.
struct HeaderSources {
    const JobSettings& settings;
    const PaperCatalog& catalog;
    const std::vector<PaperSubstitution>& substitutions;
    const platform::UiState* ui = nullptr;
};

// The printer-dependent availability the pages show, read once per build.
struct HeaderControls {
    bool frontCover = true;
    bool backCover = true;
    bool backCoverPaper = true;
    bool stackMode = true;
    bool foldMode = true;
    bool chapterPages = true;
    bool headerPaper = true;
    bool separatorPaper = true;
    bool substitutionsTab = true;

    static HeaderControls read(const platform::UiState* ui);
};

// A sheet the printer inserts without printing on it: side 0 before the
// first page (front cover), 1 after the last (back cover).
struct CoverInsert {
    std::string paperName;
    std::int16_t side = 0;
};

// `text` with the bytes that the printer reads otherwise (hyphen, grave accent
// and the typographic quotes) replaced in one pass. With `keepHyphens` every
// soft hyphen is made a hyphen afterwards, so hyphens stay what they were.
// The header gets the copy; the text it was made from stays as typed.
std::string fixedUpCopy(std::string text, bool keepHyphens = false);

// A text of the header with that fix-up undone, as far as it can be (an
// apostrophe stays one): the text as typed, for comparing names read back
// from a header with names the operator and the printer know.
std::string typedCopy(std::string text);

class HeaderWriter {
public:
    HeaderWriter(const HeaderSources& sources, const CommandTemplates& templates,
                 const platform::StringSource& strings, std::vector<CoverInsert>& inserts, std::FILE* file,
                 bool escape);

    const JobSettings& settings() const { return sources_.settings; }
    const PaperCatalog& catalog() const { return sources_.catalog; }
    const std::vector<PaperSubstitution>& substitutions() const { return sources_.substitutions; }
    const HeaderControls& controls() const { return controls_; }
    const CommandTemplates& templates() const { return templates_; }
    const platform::StringSource& strings() const { return strings_; }
    std::vector<CoverInsert>& inserts() { return inserts_; }
    bool escape() const { return escape_; }
    const std::string& bodyName() const { return bodyName_; }

    // The cover modes as far as their combos are enabled.
    std::int16_t frontCoverMode() const { return controls_.frontCover ? sources_.settings.frontCover : 0; }
    std::int16_t backCoverMode() const { return controls_.backCover ? sources_.settings.backCover : 0; }

    // Name of catalog entry `index`; empty outside 1..count.
    std::string paperName(int index) const { return sources_.catalog.paperName(index); }
    // Name of the paper a cover, header, separator or status field refers to.
    std::string referenceName(int reference) const { return paperName(reference + 1); }
    // Name of catalog entry `bodyPaper`.
    std::string bodyEntryName() const { return paperName(sources_.settings.bodyPaper); }

    // Writes one segment; in PCL a ticket line gets the PJL prefix after its
    // line feed. 0, or 2 once a write has failed (nothing is written after that).
    std::int16_t emit(std::string_view segment);
    std::int16_t emitWork() { return emit(work); }
    // Bytes copied as they are (the script file).
    std::int16_t emitRaw(std::string_view bytes);
    // A rewritten page list in its segments; nothing when `tabDependent` and
    // the paper-substitutions tab is off.
    std::int16_t writePageList(std::string_view text, bool tabDependent);

    std::string work;

private:
    HeaderSources sources_;
    HeaderControls controls_;
    const CommandTemplates& templates_;
    const platform::StringSource& strings_;
    std::vector<CoverInsert>& inserts_;
    std::FILE* file_;
    bool escape_;
    bool failed_ = false;
    std::string bodyName_;
};

} // namespace orvox
