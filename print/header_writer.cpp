#include "print/header_writer.h"

#include "print/page_list_expression.h"
#include "resource.h"

namespace orvox {

namespace {

// A longer continuation text could never shorten a line it continues.
constexpr std::size_t kMaxContinuation = 64;

} // namespace

HeaderControls HeaderControls::read(const platform::UiState* ui)
{
    HeaderControls c;
    if (!ui) return c;
    c.frontCover = ui->isControlEnabled(IDC_COMBO_FRONT_COVER);
    c.backCover = ui->isControlEnabled(IDC_COMBO_BACK_COVER);
    c.backCoverPaper = ui->isControlEnabled(IDC_COMBO_BACK_COVER_PAPER);
    c.stackMode = ui->isControlEnabled(IDC_COMBO_STACK_MODE);
    c.foldMode = ui->isControlEnabled(IDC_COMBO_FOLD_MODE);
    c.chapterPages = ui->isControlEnabled(IDC_EDIT_CHAPTER_PAGES_LIST);
    c.headerPaper = ui->isControlEnabled(IDC_COMBO_HEADER_PAPER);
    c.separatorPaper = ui->isControlEnabled(IDC_COMBO_SEPAR_PAPER);
    c.substitutionsTab = ui->isTabAvailable(platform::kTabPaperSubstitutions);
    return c;
}

std::string fixedUpCopy(std::string text, bool keepHyphens)
{
    for (char& c : text) {
        switch (static_cast<unsigned char>(c)) {
        case 0x2D: c = '\xAD'; break;
        case 0x60: c = '\x91'; break;
        case 0x88: c = '\x93'; break;
        case 0x91: c = '\x60'; break;
        case 0x92: c = '\x27'; break;
        case 0x98: c = '\x94'; break;
        default: break;
        }
    }
    if (keepHyphens) {
        for (char& c : text) {
            if (c == '\xAD') c = '-';
        }
    }
    return text;
}

std::string typedCopy(std::string text)
{
    for (char& c : text) {
        switch (static_cast<unsigned char>(c)) {
        case 0xAD: c = '-'; break;
        case 0x91: c = '\x60'; break;
        case 0x60: c = '\x91'; break;
        case 0x93: c = '\x88'; break;
        case 0x94: c = '\x98'; break;
        default: break;
        }
    }
    return text;
}

HeaderWriter::HeaderWriter(const HeaderSources& sources, const CommandTemplates& templates,
                           const platform::StringSource& strings, std::vector<CoverInsert>& inserts,
                           std::FILE* file, bool escape)
    : sources_(sources), controls_(HeaderControls::read(sources.ui)), templates_(templates), strings_(strings),
      inserts_(inserts), file_(file), escape_(escape)
{
    const int body = sources.settings.bodyPaper;
    if (body >= 1 && body <= sources.catalog.paperCount()) bodyName_ = sources.catalog.paperName(body);
}

std::int16_t HeaderWriter::emit(std::string_view segment)
{
    if (escape_ && segment.size() >= 2 && segment[0] == '\n' && segment[1] == '%') {
        std::string line = "\n" + templates_.text(5);
        line += segment.substr(1);
        return emitRaw(line);
    }
    return emitRaw(segment);
}

std::int16_t HeaderWriter::emitRaw(std::string_view bytes)
{
    if (failed_) return kHeaderWriteFailed;
    if (bytes.empty()) return kHeaderOk;
    if (std::fwrite(bytes.data(), 1, bytes.size(), file_) != bytes.size()) {
        failed_ = true;
        return kHeaderWriteFailed;
    }
    return kHeaderOk;
}

std::int16_t HeaderWriter::writePageList(std::string_view text, bool tabDependent)
{
    if (tabDependent && !controls_.substitutionsTab) return kHeaderOk;
    std::string continuation = strings_.load(IDS_PAGE_LIST_CONTINUATION);
    if (continuation.size() > kMaxContinuation) continuation.resize(kMaxContinuation);
    for (const std::string& segment : pageListSegments(text, templates_, continuation)) {
        if (const auto r = emit(segment)) return r;
    }
    return kHeaderOk;
}

} // namespace orvox
