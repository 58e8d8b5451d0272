#include "print/paper_handling.h"

#include "print/page_list_expression.h"
#include "resource.h"

namespace orvox {

namespace {

enum class CoverKind { kNone, kPrinted, kInserted };

struct Cover {
    CoverKind kind = CoverKind::kNone;
    int sideTemplate = -1;  // the side word of a printed cover
};

Cover coverOf(std::int16_t mode, std::int16_t printerModel)
{
    const bool model0 = printerModel == 0;
    switch (mode) {
    case stored(CoverMode::PrintSide1): return {CoverKind::kPrinted, model0 ? 170 : 137};
    case stored(CoverMode::PrintSide2): return {CoverKind::kPrinted, model0 ? 171 : 138};
    case stored(CoverMode::PrintBothSides): return {CoverKind::kPrinted, 138};
    case stored(CoverMode::PrePrintedBlank): return {CoverKind::kInserted, -1};
    default: return {};
    }
}

// Paper names are typed by users: encoded, they stay one token of their line,
// and cut, a line holding one still fits the printer's line buffer.
std::string parenthesised(const std::string& name)
{
    return formatTemplate("(%.60s)", {TemplateArg::userText(name)});
}

// The name a substitution's paper is written with: fixed up, in parentheses.
std::string substitutionPaper(HeaderWriter& w, const PaperSubstitution& s)
{
    std::string name = w.paperName(s.paperIndex);
    if (name.empty() || s.paperIndex == 1) name = w.bodyName();
    return parenthesised(fixedUpCopy(std::move(name)));
}

std::string pageListOf(const PaperSubstitution& s)
{
    return normalisePageList(std::string_view(s.pageList, boundedLength(s.pageList, sizeof s.pageList)));
}

std::int16_t writeCovers(HeaderWriter& w)
{
    const JobSettings& s = w.settings();
    const auto& t = w.templates();
    auto nameOf = [&](int reference) {
        std::string name = reference == 0 ? w.bodyEntryName() : w.referenceName(reference);
        return name.empty() ? w.bodyName() : name;
    };
    const std::string frontName = nameOf(s.frontCoverPaper);
    const std::string backName = nameOf(w.controls().backCoverPaper ? s.backCoverPaper : s.frontCoverPaper);
    const Cover front = coverOf(w.frontCoverMode(), s.printerModel);
    const Cover back = coverOf(w.backCoverMode(), s.printerModel);
    auto word = [&](int n) { return t.text(n); };
    const TemplateArg frontArg = TemplateArg::userText(frontName);
    const TemplateArg backArg = TemplateArg::userText(backName);
    auto insert = [&](const std::string& name, std::int16_t side) { w.inserts().push_back({name, side}); };

    w.work = t.text(142);
    if (s.substitutionsActive == 0) {
        if (front.kind == CoverKind::kPrinted) {
            w.work = t.format(144, {frontArg, word(147), ""});
        } else if (front.kind == CoverKind::kInserted) {
            w.work.clear();
            insert(frontName, 0);
        }
        return w.emitWork();
    }
    if (front.kind == CoverKind::kInserted) insert(frontName, 0);
    if (front.kind == CoverKind::kPrinted && back.kind == CoverKind::kPrinted) {
        if (frontName == backName && (front.sideTemplate == back.sideTemplate || s.printerModel != 0)) {
            w.work = t.format(144, {frontArg, word(147), word(front.sideTemplate)});
        } else {
            const std::string both = t.format(120, {frontArg, word(146), word(front.sideTemplate),
                                                    w.escape() ? word(5) : std::string(), backArg, word(145),
                                                    word(back.sideTemplate)});
            // The start segment's own line end would split the combined line.
            for (std::size_t i = w.work.size(); i > 1 && (w.work[i - 1] == '\r' || w.work[i - 1] == '\n'); --i) {
                w.work[i - 1] = ' ';
            }
            w.work += both;
        }
    } else if (front.kind == CoverKind::kPrinted) {
        w.work = t.format(144, {frontArg, word(146), word(front.sideTemplate)});
    } else if (back.kind == CoverKind::kPrinted) {
        w.work = t.format(144, {backArg, word(145), word(back.sideTemplate)});
    }
    if (back.kind == CoverKind::kInserted) insert(backName, 1);
    return w.emitWork();
}

std::int16_t writeSeparators(HeaderWriter& w)
{
    const JobSettings& s = w.settings();
    if (s.separatorPages == 1) {
        std::string name = s.separatorPaper == 0 ? std::string() : w.referenceName(s.separatorPaper);
        if (name.empty()) name = w.bodyName();
        w.work = w.templates().format(107, {TemplateArg::userText(name)});
    } else if (s.printerModel == 1) {
        w.work.clear();
    } else {
        w.work = w.templates().format(107, {""});
    }
    return w.emitWork();
}

std::int16_t writeInterleaves(HeaderWriter& w)
{
    const JobSettings& s = w.settings();
    const bool blank = s.printingMode == stored(PrintingMode::InterleavesBlank);
    if (!blank && s.printingMode != stored(PrintingMode::InterleavesPrinted)) return kHeaderOk;
    const auto& t = w.templates();
    w.work = t.format(124, {TemplateArg::userText(w.bodyName()), t.text(blank ? 123 : 122),
                            TemplateArg::userText(w.strings().load(IDS_INTERLEAVE_PAPER_NAME))});
    return w.emitWork();
}

std::int16_t writeChapters(HeaderWriter& w)
{
    const JobSettings& s = w.settings();
    std::string text;
    if (w.controls().chapterPages) text.assign(s.chapterPages, boundedLength(s.chapterPages, sizeof s.chapterPages));
    if (text.empty()) {
        w.work = w.templates().text(126);
        return w.emitWork();
    }
    std::string lines;
    if (rewritePageList(normalisePageList(text), lines, false, false, w.templates()) != 0) return kHeaderNoMemory;
    w.work = w.templates().format(108, {""});
    if (const auto r = w.emitWork()) return r;
    return w.writePageList(lines, false);
}

std::int16_t writePageExceptions(HeaderWriter& w)
{
    if (!w.controls().substitutionsTab) return kHeaderOk;
    const auto& t = w.templates();
    bool first = true;
    for (const PaperSubstitution& sub : w.substitutions()) {
        const PaperDefinition& paper = w.catalog().paper(sub.paperIndex);
        const bool oneSided = paper.flag != 0 || w.settings().printingMode == stored(PrintingMode::OneSided);
        const int side = oneSided ? 111 : 112;
        std::string lines;
        if (rewritePageList(pageListOf(sub), lines, false, !oneSided, t) != 0) return kHeaderNoMemory;
        if (lines.empty()) continue;
        w.work = t.format(first ? 127 : 128, {substitutionPaper(w, sub), t.text(side), ""});
        first = false;
        if (const auto r = w.emitWork()) return r;
        if (const auto r = w.writePageList(lines, true)) return r;
    }
    return kHeaderOk;
}

std::int16_t writeInserts(HeaderWriter& w)
{
    const bool tab = w.controls().substitutionsTab;
    if (!tab && (w.settings().substitutionsActive != 0 || w.frontCoverMode() != stored(CoverMode::PrePrintedBlank))) {
        return kHeaderOk;
    }
    const auto& t = w.templates();
    bool wroteLine = false;
    if (tab) {
        for (const PaperSubstitution& sub : w.substitutions()) {
            std::string carets;
            if (rewritePageList(pageListOf(sub), carets, true, false, t) != 0) return kHeaderNoMemory;
            if (carets.empty()) continue;
            w.work = t.format(wroteLine ? 129 : 98, {substitutionPaper(w, sub), ""});
            wroteLine = true;
            if (const auto r = w.emitWork()) return r;
            if (const auto r = w.writePageList(carets, true)) return r;
        }
    }
    for (const CoverInsert& insert : w.inserts()) {
        const std::string side = insert.side == 0 ? std::string("0") : t.text(143);
        // Quoted like the substitution papers before it, so a reader tells papers from pages.
        w.work = t.format(wroteLine ? 129 : 98, {parenthesised(insert.paperName), side});
        wroteLine = true;
        if (const auto r = w.emitWork()) return r;
    }
    return kHeaderOk;
}

} // namespace

std::int16_t writePaperHandling(HeaderWriter& writer)
{
    for (auto part : {writeCovers, writeSeparators, writeInterleaves, writeChapters, writePageExceptions,
                      writeInserts}) {
        if (const auto r = part(writer)) return r;
    }
    return kHeaderOk;
}

} // namespace orvox
