#include "print/job_header_builder.h"

#include <cctype>
#include <cstdio>
#include <memory>

#include "print/paper_handling.h"
#include "print/stdio_file.h"
#include "resource.h"
#include "settings/job_document.h"

namespace orvox {

namespace {

constexpr std::size_t kScriptChunk = 255;

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

// The print file's name without its folder: that is what the printer shows.
std::string_view fileNamePart(std::string_view path)
{
    const std::size_t sep = path.find_last_of("\\/");
    return sep == std::string_view::npos ? path : path.substr(sep + 1);
}

template <std::size_t N>
std::string fieldText(const char (&field)[N])
{
    return std::string(field, boundedLength(field, N));
}

// Rounded up, also for the negative values a record might hold.
int quarterRoundedUp(int value) { return value >= 0 ? (value + 3) / 4 : value / 4; }

} // namespace

JobHeaderBuilder::JobHeaderBuilder(const platform::StringSource& strings, platform::MessageSink& messages,
                                   const platform::MachineInfo* machine)
    : strings_(strings), messages_(messages), machine_(machine)
{
}

bool JobHeaderBuilder::buildJobHeader(JobDocument& doc, std::string_view dataName, std::string& headerPath,
                                      bool fromTiff, const std::function<std::string()>& newJobFileName)
{
    if (doc.printerModel() != 0 && doc.printerLanguage() == stored(PrinterLanguage::PDF)) {
        doc.setPrinterLanguage(stored(PrinterLanguage::PostScript));
    }
    headerPath = newJobFileName ? newJobFileName() : std::string();
    const int kind = fromTiff ? static_cast<int>(kOutputPdfFromTiff) : doc.printerLanguage();
    const HeaderSources sources{doc.record(), doc.catalog(), doc.substitutions(), doc.uiState()};
    return writeJobHeader(dataName, headerPath, sources, kind) == kHeaderOk;
}

std::int16_t JobHeaderBuilder::writeJobHeader(std::string_view dataName, const std::string& headerPath,
                                              const HeaderSources& sources, int outputKind)
{
    try {
        const std::int16_t modify = sources.settings.modifyPrintFile;
        if (modify == stored(ModifyPrintFile::No)) return kHeaderOk;
        inserts_.clear();
        if (!sources.catalog.catalogLoaded()) return kHeaderNotWritten;
        // A model without a template block gets its print data as it stands.
        if (templates_.load(sources.settings.printerModel, strings_) != 0) return kHeaderOk;
        FilePtr file(std::fopen(headerPath.c_str(), "w+b"));
        if (!file) return kHeaderNotWritten;
        HeaderWriter w(sources, templates_, strings_, inserts_, file.get(), outputKind == kOutputPcl);
        std::int16_t result = kHeaderOk;
        if (modify == stored(ModifyPrintFile::Yes)) {
            result = writeFull(w, dataName, outputKind);
        } else if (modify == stored(ModifyPrintFile::Custom)) {
            result = writeCustomPart(w, false);
        }
        // A failure that only shows when the buffered rest reaches the disk is a
        // failed write too: a job must never go out without its header.
        if (!closeWrittenFile(file.release(), headerPath) && result == kHeaderOk) result = kHeaderWriteFailed;
        return result;
    } catch (const std::exception&) {
        return kHeaderNotWritten;
    }
}

std::int16_t JobHeaderBuilder::writeFull(HeaderWriter& w, std::string_view dataName, int outputKind)
{
    if (const auto r = writeOpening(w, dataName, outputKind)) return r;
    if (const auto r = writeFinishing(w)) return r;
    if (const auto r = writeMedia(w)) return r;
    if (const auto r = writeUserTexts(w)) return r;
    if (const auto r = writeJobOptions(w)) return r;
    switch (writePaperHandling(w)) {
    case kHeaderOk: break;
    case kHeaderWriteFailed: return kHeaderWriteFailed;
    default: return kHeaderNotWritten;
    }
    if (const auto r = writeDestination(w, outputKind)) return r;
    if (const auto r = writeCustomPart(w, true)) return r;
    const auto& t = templates_;
    for (int n : {2, 52}) {
        if (const auto r = w.emit(t.format(n))) return r;
    }
    if (outputKind == kOutputPcl) {
        if (const auto r = w.emit(t.format(53))) return r;
        if (const auto r = w.emit("\n")) return r;
    }
    return kHeaderOk;
}

std::int16_t JobHeaderBuilder::writeOpening(HeaderWriter& w, std::string_view dataName, int outputKind)
{
    const auto& t = templates_;
    const JobSettings& s = w.settings();
    const std::string opening =
        outputKind == kOutputPcl ? t.format(4, {TemplateArg::character('\x1B')}) : t.text(3);
    if (const auto r = w.emit(opening)) return r;
    if (const auto r = w.emit(t.format(1))) return r;
    if (s.printerModel == 0) {
        // Model 0 reads copies and finishing before the job information as well.
        if (const auto r = w.emit(t.format(173))) return r;
        if (const auto r = w.emit(t.format(9, {s.copyCount}))) return r;
        if (const auto r = writeFinishing(w)) return r;
    }
    if (const auto r = w.emit(t.format(131, {""}))) return r;
    if (const auto r = w.emit(t.format(7, {TemplateArg::userText(fileNamePart(dataName))}))) return r;
    if (const auto r = w.emit(t.format(8))) return r;
    return w.emit(t.format(9, {s.copyCount}));
}

std::int16_t JobHeaderBuilder::writeFinishing(HeaderWriter& w)
{
    const auto& t = templates_;
    const JobSettings& s = w.settings();
    const int exit = s.documentExit;
    if (s.staplingMode >= 0) {
        std::string word;
        if (exit == stored(DocumentExit::BookletMaker) || exit == stored(DocumentExit::Finisher) ||
            exit == stored(DocumentExit::Stapler)) {
            if (s.staplingMode <= stored(StaplingMode::Saddle)) word = t.text(54 + s.staplingMode);
        } else if (exit == stored(DocumentExit::PostProcessor) || exit == stored(DocumentExit::SideExit) ||
                   exit == stored(DocumentExit::Stacker) || exit == stored(DocumentExit::TopExit)) {
            if (s.staplingMode == stored(StaplingMode::None) || s.printerModel == 1) word = t.text(54);
        }
        if (const auto r = w.emit(t.format(10, {word}))) return r;
    }
    if (w.controls().foldMode || s.printerModel == 0) {
        static constexpr int kFoldWords[] = {54, 60, 59};
        const std::string word = s.foldMode >= 0 && s.foldMode <= 2 ? t.text(kFoldWords[s.foldMode]) : "";
        if (const auto r = w.emit(t.format(11, {word}))) return r;
    }
    const bool bodyTwoSided = !w.bodyName().empty() && w.catalog().paper(s.bodyPaper).flag == 0;
    int sides = 132;
    if (s.printingMode == stored(PrintingMode::TwoSidedFlipShort)) {
        sides = bodyTwoSided ? 12 : 132;
    } else if (s.printingMode == stored(PrintingMode::TwoSidedFlipLong)) {
        sides = bodyTwoSided ? 13 : 132;
    } else if (s.printingMode == stored(PrintingMode::Pamphlets)) {
        sides = 13;
    }
    if (const auto r = w.emit(t.format(sides))) return r;
    if (const auto r = w.emit(t.format(s.collate == 1 ? 14 : 15))) return r;
    if (w.controls().stackMode) {
        if (const auto r = w.emit(t.format(s.stackingMode == stored(StackingMode::Offset) ? 135 : 134))) return r;
    } else if (s.printerModel != 0) {
        return kHeaderOk;
    } else if (exit == stored(DocumentExit::TopExit)) {
        if (const auto r = w.emit(t.format(134))) return r;
    }
    if (s.printerModel == 0 && exit == stored(DocumentExit::BookletMaker)) {
        return w.emit(t.format(s.trimEdges != 0 ? 168 : 169));
    }
    return kHeaderOk;
}

std::string JobHeaderBuilder::mediaText(const std::string& text, unsigned anyId) const
{
    // Catalog texts are typed by an administrator: encoded, they cannot close the
    // parentheses, and cut, a media entry of four of them still fits its line.
    return equalsIgnoringCase(text, strings_.load(anyId)) ? "()"
                                                          : formatTemplate("(%.60s)", {TemplateArg::userText(text)});
}

std::string JobHeaderBuilder::mediaEntry(int n, const std::string& name, const PaperDefinition& paper) const
{
    const std::string weight =
        equalsIgnoringCase(paper.weight, strings_.load(IDS_MEDIA_ANY_WEIGHT)) ? "0" : paper.weight.substr(0, 3);
    return templates_.format(n, {TemplateArg::userText(name), CommandTemplates::paperSizeText(paper.sizeCode),
                                 TemplateArg::userText(weight),
                                 mediaText(paper.mediaText1, IDS_MEDIA_ANY_COLOR),
                                 mediaText(paper.mediaText3, IDS_MEDIA_ANY_TYPE)});
}

bool JobHeaderBuilder::isPaperReferenced(HeaderWriter& w, const std::string& name) const
{
    const JobSettings& s = w.settings();
    const HeaderControls& c = w.controls();
    if (equalsIgnoringCase(w.bodyEntryName(), name)) return true;
    if (w.frontCoverMode() != 0 && w.referenceName(s.frontCoverPaper) == name) return true;
    if (c.substitutionsTab) {
        for (const PaperSubstitution& sub : w.substitutions()) {
            if (equalsIgnoringCase(w.paperName(sub.paperIndex), name)) return true;
        }
    }
    if (s.statusPageMode != stored(StatusPageMode::None) && w.referenceName(s.statusPagePaper) == name) return true;
    const int back = c.backCoverPaper ? s.backCoverPaper : s.frontCoverPaper;
    if (s.substitutionsActive != 0 && w.backCoverMode() != 0 && w.referenceName(back) == name) return true;
    if (c.separatorPaper && s.separatorPages == 1 && w.referenceName(s.separatorPaper) == name) return true;
    return c.headerPaper && s.headerPagePaper != 0 && w.referenceName(s.headerPagePaper) == name;
}

std::int16_t JobHeaderBuilder::writeMedia(HeaderWriter& w)
{
    const JobSettings& s = w.settings();
    const PaperCatalog& catalog = w.catalog();
    const bool bodyExists = s.bodyPaper >= 1 && s.bodyPaper <= catalog.paperCount();
    const std::string first =
        bodyExists ? mediaEntry(25, w.bodyName(), catalog.paper(s.bodyPaper)) : templates_.format(26);
    if (const auto r = w.emit(first)) return r;
    for (int i = 2; i <= catalog.paperCount(); ++i) {
        if (i == s.bodyPaper) continue;
        const PaperDefinition& paper = catalog.paper(i);
        if (!isPaperReferenced(w, paper.name)) continue;
        if (const auto r = w.emit(mediaEntry(27, paper.name, paper))) return r;
    }
    if (s.printingMode == stored(PrintingMode::InterleavesBlank) ||
        s.printingMode == stored(PrintingMode::InterleavesPrinted)) {
        PaperDefinition interleaf;
        const int bodySize = catalog.paper(s.bodyPaper).sizeCode;
        interleaf.sizeCode = static_cast<std::int16_t>(bodySize >= 0 && bodySize <= 6 ? bodySize : 0);
        interleaf.weight = strings_.load(IDS_MEDIA_ANY_WEIGHT);
        interleaf.mediaText1 = strings_.load(IDS_MEDIA_ANY_COLOR);
        interleaf.mediaText3 = strings_.load(IDS_MEDIA_INTERLEAVE_TYPE);
        if (const auto r = w.emit(mediaEntry(27, strings_.load(IDS_INTERLEAVE_PAPER_NAME), interleaf))) return r;
    }
    return kHeaderOk;
}

std::int16_t JobHeaderBuilder::writeUserTexts(HeaderWriter& w)
{
    const JobSettings& s = w.settings();
    struct UserText {
        std::string text;
        int templateNumber;
        bool keepHyphens;
    };
    const UserText texts[] = {
        {fieldText(s.deliverTo), 6, false},
        {fieldText(s.operatorMessage), 17, false},
        {fieldText(s.chargeNumber), 18, true},
        {s.printerModel == 0 ? fieldText(s.emailAddress) : std::string(), 165, false},
    };
    for (const UserText& text : texts) {
        if (text.text.empty()) continue;
        const std::string value = fixedUpCopy(text.text, text.keepHyphens);
        if (const auto r = w.emit(templates_.format(text.templateNumber, {TemplateArg::userText(value)}))) return r;
    }
    if (s.printPageRange == 1) {
        return w.emit(templates_.format(20, {s.pageRangeFrom, s.pageRangeTo}));
    }
    return kHeaderOk;
}

std::int16_t JobHeaderBuilder::writeJobOptions(HeaderWriter& w)
{
    const auto& t = templates_;
    const JobSettings& s = w.settings();
    if (s.proofSet != 0) {
        if (s.printerModel == 0) {
            if (const auto r = w.emit(strings_.load(IDS_MODEL0_PROOF_SET))) return r;
        } else {
            const std::string action = s.proofSetAction == stored(ProofSetAction::Continue) ? t.text(93)
                                       : s.proofSetAction == stored(ProofSetAction::Cancel) ? t.text(94)
                                                                                             : std::string();
            // Minutes to seconds in full width: a long wait must not wrap to a negative one.
            const int seconds = s.proofWaitTime * 60;
            if (const auto r = w.emit(t.format(21, {seconds, action}))) return r;
        }
    }
    static constexpr int kMismatch[] = {24, 23, 150, 22};
    if (s.mismatchHandling >= 0 && s.mismatchHandling <= 3) {
        if (const auto r = w.emit(t.format(kMismatch[s.mismatchHandling]))) return r;
    }
    return w.emit(t.format(s.validateFile == 1 ? 28 : 29, {TemplateArg::userText(w.bodyName())}));
}

std::int16_t JobHeaderBuilder::writeDestination(HeaderWriter& w, int outputKind)
{
    const auto& t = templates_;
    const JobSettings& s = w.settings();

    std::string statusPaper = s.statusPagePaper == 0 ? std::string() : w.referenceName(s.statusPagePaper);
    if (statusPaper.empty()) statusPaper = w.bodyEntryName();
    if (statusPaper.empty()) statusPaper = w.bodyName();
    static constexpr int kStatusWords[] = {62, 63, 61, 64};
    const std::string statusWord =
        s.statusPageMode >= 0 && s.statusPageMode <= 3 ? t.text(kStatusWords[s.statusPageMode]) : "";
    const std::string status = s.statusPageMode == stored(StatusPageMode::None)
                                   ? t.format(19, {statusWord})
                                   : t.format(133, {statusWord, TemplateArg::userText(statusPaper)});
    if (const auto r = w.emit(status)) return r;

    if (s.substitutionsActive == 0) {
        if (const auto r = w.emit(t.format(37, {quarterRoundedUp(s.maxSignatureSize)}))) return r;
    }

    if (s.freeformColor == 1 && s.printerModel != 0) {
        w.work = t.format(38);
        for (int i = 0; i < 8; ++i) {
            const int v = s.colorMapping[i].printerColor;
            if (v <= 0) continue;
            w.work += ' ' + t.text(39 + i) + ' ' + (v <= 5 ? t.text(87 + v) : std::string()) + ' ';
        }
        if (!w.work.empty()) {
            if (const auto r = w.emitWork()) return r;
        }
    } else if (const auto r = w.emit(t.format(161))) {
        return r;
    }

    if (s.reserved0262 == 1) {
        if (const auto r = writeServerGroup(w)) return r;
    }

    static constexpr int kKinds[] = {50, 51, 172, 178};
    if (outputKind >= 0 && outputKind <= 3) {
        if (const auto r = w.emit(t.format(kKinds[outputKind]))) return r;
    }

    std::string headerPage = t.format(151, {t.text(153), ""});
    if (s.headerPage == 1) {
        std::string name = s.headerPagePaper == 0 ? w.bodyEntryName() : w.referenceName(s.headerPagePaper);
        if (name.empty()) name = w.bodyName();
        headerPage = t.format(151, {t.text(152), mediaText(name, IDS_MEDIA_ANY_TYPE)});
    }
    if (const auto r = w.emit(headerPage)) return r;

    static constexpr int kExits[] = {167, 154, 158, 157, 156, 166, 155};
    if (s.documentExit >= 0 && s.documentExit <= 6) {
        if (const auto r = w.emit(t.format(kExits[s.documentExit]))) return r;
    }
    return w.emit(t.format(s.finishChaptersSeparately == 1 ? 160 : 159));
}

std::int16_t JobHeaderBuilder::writeServerGroup(HeaderWriter& w)
{
    const auto& t = templates_;
    const JobSettings& s = w.settings();
    if (s.printToPrinter == 1) {
        const std::string machine = s.printerModel == 0 ? machineString() : std::string();
        if (!machine.empty()) {
            // The registry value is outside input like a user text, and cut to fit its line.
            const std::string line = "\n" + strings_.load(IDS_CLIENT_SYSTEM_LABEL) + " " +
                                     formatTemplate("%.200s", {TemplateArg::userText(machine)});
            if (const auto r = w.emit(line)) return r;
        }
        const std::string name = fixedUpCopy(fieldText(s.specificPrinterName));
        const std::string printer = s.useSpecificPrinter == 1
                                        ? t.format(47, {TemplateArg::userText(name), t.text(162)})
                                        : t.format(48, {t.text(162)});
        if (const auto r = w.emit(printer)) return r;
    }
    std::string save = t.format(163);
    if (s.saveAsFile == 1) {
        const std::string path = fixedUpCopy(fieldText(s.saveAsPath));
        save = t.format(49, {s.printToPrinter == 1 ? t.text(93) : std::string(), TemplateArg::userText(path)});
    }
    return w.emit(save);
}

std::int16_t JobHeaderBuilder::writeCustomPart(HeaderWriter& w, bool full)
{
    const JobSettings& s = w.settings();
    std::string commands = fieldText(s.customCommands);
    if (!commands.empty()) {
        if (full) {
            commands = commandLines(commands);
        } else if (commands.back() != '\n') {
            commands += '\n';
        }
        if (const auto r = w.emit(commands)) return r;
    }
    const std::string script = fieldText(s.scriptFilePath);
    if (script.empty()) return kHeaderOk;
    if (full) {
        if (const auto r = w.emit("\n")) return r;
    }
    return copyScript(w, script);
}

std::string JobHeaderBuilder::commandLines(std::string_view text) const
{
    // Inside a full header the custom commands share the printer's job-control
    // part: each line stays one line of it. A printer command line is passed on
    // with its control bytes made blanks; any other line, and a language switch
    // that would end the job-control part before our own lines, is written
    // through template 16 as a user text.
    static constexpr std::string_view kCommandPrefix = "@PJL";
    std::string out;
    std::size_t at = 0;
    while (at < text.size()) {
        std::size_t end = text.find('\n', at);
        if (end == std::string_view::npos) end = text.size();
        std::string line(text.substr(at, end - at));
        at = end + 1;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        for (char& c : line) {
            if (static_cast<unsigned char>(c) < 0x20 || c == '\x7F') c = ' ';
        }
        if (line.find_first_not_of(' ') == std::string::npos) continue;
        std::string upper = line;
        for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        const bool command = line.rfind(kCommandPrefix, 0) == 0 &&
                             (line.size() == kCommandPrefix.size() || line[kCommandPrefix.size()] == ' ');
        const std::size_t word = upper.find_first_not_of(' ', kCommandPrefix.size());
        const bool entersLanguage = command && word != std::string::npos && upper.compare(word, 5, "ENTER") == 0;
        out += command && !entersLanguage ? "\n" + line : templates_.format(16, {TemplateArg::userText(line)});
    }
    return out;
}

std::int16_t JobHeaderBuilder::copyScript(HeaderWriter& w, const std::string& path)
{
    FilePtr file(std::fopen(path.c_str(), "rb"));
    if (!file) {
        messages_.show(strings_.load(IDS_SCRIPT_FILE_OPEN_FAILED), platform::kMbOk);
        return kHeaderScriptMissing;
    }
    char chunk[kScriptChunk];
    for (;;) {
        const std::size_t got = std::fread(chunk, 1, sizeof chunk, file.get());
        if (got < sizeof chunk && std::ferror(file.get())) {
            messages_.show(strings_.load(IDS_SCRIPT_FILE_OPEN_FAILED), platform::kMbOk);
            return kHeaderScriptMissing;
        }
        // The next segment starts its own line; the script's final line end would double it.
        std::size_t length = got;
        if (got > 0 && got < sizeof chunk && chunk[got - 1] == '\n') --length;
        if (const auto r = w.emitRaw(std::string_view(chunk, length))) return r;
        if (got < sizeof chunk) return kHeaderOk;
    }
}

std::string JobHeaderBuilder::machineString() const
{
    if (!machine_) return {};
    const unsigned system = machine_->isNtVersion4OrLater() ? IDS_MACHINE_KEY_NT : IDS_MACHINE_KEY_OTHER;
    const std::string key =
        strings_.load(IDS_MACHINE_KEY_ROOT) + strings_.load(system) + strings_.load(IDS_MACHINE_KEY_TAIL);
    return machine_->localMachineValue(key, strings_.load(IDS_MACHINE_VALUE_NAME));
}

} // namespace orvox
