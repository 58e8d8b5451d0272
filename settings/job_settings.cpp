#include "settings/job_settings.h"

#include <algorithm>
#include <cstring>

namespace orvox {

namespace {

constexpr ResetRule v(std::int16_t value) { return {ResetRule::kValue, value}; }
constexpr ResetRule kFullOnly{ResetRule::kFullOnly, 0};
constexpr ResetRule kKeep{ResetRule::kKeep, 0};

#define ORVOX_FIELD(name, kind, reset) \
    FieldInfo { #name, offsetof(JobSettings, name), sizeof(JobSettings::name), FieldKind::kind, reset }

constexpr FieldInfo kFields[] = {
    ORVOX_FIELD(reserved0000, kText, v(0)),
    ORVOX_FIELD(reserved0256, kInt16, v(0)),
    ORVOX_FIELD(modifyPrintFile, kInt16, kFullOnly),
    ORVOX_FIELD(reserved0260, kInt16, kFullOnly),
    ORVOX_FIELD(reserved0262, kInt16, v(1)),
    ORVOX_FIELD(reserved0264, kInt16, v(0)),
    ORVOX_FIELD(printToPrinter, kInt16, v(1)),
    ORVOX_FIELD(reserved0268, kInt16, v(0)),
    ORVOX_FIELD(saveAsFile, kInt16, v(0)),
    ORVOX_FIELD(reserved0276, kInt16, v(0)),
    ORVOX_FIELD(saveAsPath, kText, v(0)),
    ORVOX_FIELD(reserved0534, kInt16, v(0)),
    ORVOX_FIELD(useSpecificPrinter, kInt16, v(0)),
    ORVOX_FIELD(reserved0538, kInt16, v(0)),
    ORVOX_FIELD(specificPrinterName, kText, v(0)),
    ORVOX_FIELD(reserved0796, kInt16, v(0)),
    ORVOX_FIELD(printerModel, kInt16, kFullOnly),
    ORVOX_FIELD(reserved0800, kInt16, kFullOnly),
    ORVOX_FIELD(printerLanguage, kInt16, kFullOnly),
    ORVOX_FIELD(reserved0804, kInt16, kFullOnly),
    ORVOX_FIELD(reserved0806, kText, kKeep),
    ORVOX_FIELD(reserved1062, kInt16, v(0)),
    ORVOX_FIELD(legacyCopyCount, kInt16, kKeep),
    ORVOX_FIELD(reserved1066, kInt16, kKeep),
    ORVOX_FIELD(printingMode, kInt16, v(0)),
    ORVOX_FIELD(reserved1070, kInt16, v(0)),
    ORVOX_FIELD(collate, kInt16, v(1)),
    ORVOX_FIELD(reserved1074, kInt16, v(0)),
    ORVOX_FIELD(bodyPaper, kInt16, kKeep),
    ORVOX_FIELD(reserved1078, kInt16, kKeep),
    ORVOX_FIELD(reserved1080, kInt16, v(0)),
    ORVOX_FIELD(mismatchHandling, kInt16, v(0)),
    ORVOX_FIELD(reserved1086, kInt16, v(0)),
    ORVOX_FIELD(statusPageMode, kInt16, v(0)),
    ORVOX_FIELD(reserved1090, kInt16, v(0)),
    ORVOX_FIELD(statusPagePaper, kInt16, v(0)),
    ORVOX_FIELD(reserved1094, kInt16, v(0)),
    ORVOX_FIELD(finishChaptersSeparately, kInt16, v(0)),
    ORVOX_FIELD(reserved1098, kInt16, v(0)),
    ORVOX_FIELD(chapterPages, kText, v(0)),
    ORVOX_FIELD(reserved2128, kInt16, v(0)),
    ORVOX_FIELD(freeformColor, kInt16, v(1)),
    ORVOX_FIELD(reserved2132, kInt16, v(0)),
    ORVOX_FIELD(substitutionsActive, kInt16, v(1)),
    ORVOX_FIELD(reserved2136, kInt16, v(0)),
    ORVOX_FIELD(maxSignatureSize, kInt16, kKeep),
    ORVOX_FIELD(reserved2140, kInt16, v(0)),
    ORVOX_FIELD(reserved2142, kText, v(0)),
    ORVOX_FIELD(reserved2398, kInt16, v(0)),
    ORVOX_FIELD(documentExit, kInt16, kKeep),
    ORVOX_FIELD(reserved2402, kInt16, kKeep),
    ORVOX_FIELD(stackingMode, kInt16, v(0)),
    ORVOX_FIELD(reserved2406, kInt16, v(0)),
    ORVOX_FIELD(staplingMode, kInt16, v(0)),
    ORVOX_FIELD(reserved2410, kInt16, v(0)),
    ORVOX_FIELD(foldMode, kInt16, v(0)),
    ORVOX_FIELD(reserved2414, kInt16, v(0)),
    ORVOX_FIELD(frontCover, kInt16, v(0)),
    ORVOX_FIELD(reserved2418, kInt16, v(0)),
    ORVOX_FIELD(frontCoverPaper, kInt16, v(0)),
    ORVOX_FIELD(reserved2422, kInt16, v(0)),
    ORVOX_FIELD(backCover, kInt16, v(0)),
    ORVOX_FIELD(reserved2426, kInt16, v(0)),
    ORVOX_FIELD(backCoverPaper, kInt16, v(0)),
    ORVOX_FIELD(reserved2430, kInt16, v(0)),
    ORVOX_FIELD(headerPage, kInt16, v(0)),
    ORVOX_FIELD(headerPageForced, kInt16, v(0)),
    ORVOX_FIELD(headerPagePaper, kInt16, v(0)),
    ORVOX_FIELD(reserved2438, kInt16, v(0)),
    ORVOX_FIELD(separatorPages, kInt16, v(0)),
    ORVOX_FIELD(reserved2442, kInt16, v(0)),
    ORVOX_FIELD(separatorPaper, kInt16, v(0)),
    ORVOX_FIELD(separatorPagesForced, kInt16, v(0)),
    ORVOX_FIELD(reserved2448, kInt16, v(0)),
    ORVOX_FIELD(operatorMessage, kText, v(0)),
    ORVOX_FIELD(reserved2708, kInt16, v(0)),
    ORVOX_FIELD(deliverTo, kText, v(0)),
    ORVOX_FIELD(reserved2966, kInt16, v(0)),
    ORVOX_FIELD(chargeNumber, kText, v(0)),
    ORVOX_FIELD(reserved3224, kInt16, v(0)),
    ORVOX_FIELD(proofSet, kInt16, v(0)),
    ORVOX_FIELD(reserved3228, kInt16, v(0)),
    ORVOX_FIELD(proofWaitTime, kInt16, v(5)),
    ORVOX_FIELD(reserved3232, kInt16, v(0)),
    ORVOX_FIELD(proofSetAction, kInt16, v(2)),
    ORVOX_FIELD(reserved3236, kInt16, v(0)),
    ORVOX_FIELD(printAllPages, kInt16, v(1)),
    ORVOX_FIELD(reserved3240, kInt16, v(0)),
    ORVOX_FIELD(printPageRange, kInt16, v(0)),
    ORVOX_FIELD(reserved3244, kInt16, v(0)),
    ORVOX_FIELD(padding3246, kInt16, kKeep),
    ORVOX_FIELD(pageRangeFrom, kWord32, v(0)),
    ORVOX_FIELD(reserved3252, kInt16, v(0)),
    ORVOX_FIELD(padding3254, kInt16, kKeep),
    ORVOX_FIELD(pageRangeTo, kWord32, v(0)),
    ORVOX_FIELD(reserved3260, kInt16, v(0)),
    ORVOX_FIELD(padding3262, kInt16, kKeep),
    ORVOX_FIELD(scriptFilePath, kText, v(0)),
    ORVOX_FIELD(reserved3520, kInt16, v(0)),
    ORVOX_FIELD(customCommands, kText, v(0)),
    ORVOX_FIELD(reserved3778, kInt16, v(0)),
    ORVOX_FIELD(validateFile, kInt16, v(0)),
    ORVOX_FIELD(reserved3782, kInt16, v(0)),
    ORVOX_FIELD(bodyPaperName, kText, kKeep),
    ORVOX_FIELD(reserved4040, kInt16, kKeep),
    ORVOX_FIELD(reserved4042, kInt16, v(1)),
    ORVOX_FIELD(reserved4044, kInt16, v(0)),
    ORVOX_FIELD(reserved4046, kText, v(0)),
    ORVOX_FIELD(reserved4302, kInt16, v(0)),
    ORVOX_FIELD(reserved4308, kText, v(0)),
    ORVOX_FIELD(reserved4564, kInt16, v(0)),
    ORVOX_FIELD(reserved4566, kText, v(0)),
    ORVOX_FIELD(reserved4822, kInt16, v(0)),
    ORVOX_FIELD(reserved4824, kText, v(0)),
    ORVOX_FIELD(reserved5080, kInt16, v(0)),
    ORVOX_FIELD(reserved5082, kText, v(0)),
    ORVOX_FIELD(reserved5338, kInt16, v(0)),
    ORVOX_FIELD(reserved5352, kText, v(0)),
    ORVOX_FIELD(reserved5608, kInt16, v(0)),
    ORVOX_FIELD(reserved5610, kText, v(0)),
    ORVOX_FIELD(reserved5866, kInt16, v(0)),
    ORVOX_FIELD(editPaperName, kText, v(0)),
    ORVOX_FIELD(reserved6124, kInt16, v(0)),
    ORVOX_FIELD(editPaperSize, kInt16, v(0)),
    ORVOX_FIELD(reserved6128, kInt16, v(0)),
    ORVOX_FIELD(editPaperText1, kText, v(0)),
    ORVOX_FIELD(reserved6386, kInt16, v(0)),
    ORVOX_FIELD(editPaperWeight, kText, v(0)),
    ORVOX_FIELD(reserved6644, kInt16, v(0)),
    ORVOX_FIELD(editPaperText3, kText, v(0)),
    ORVOX_FIELD(reserved6902, kInt16, v(0)),
    ORVOX_FIELD(colorMapping, kInt16, v(0)),
    ORVOX_FIELD(reserved6948, kInt16, v(0)),
    ORVOX_FIELD(reserved6952, kWord32, kKeep),
    ORVOX_FIELD(currentTab, kWord32, kKeep),
    ORVOX_FIELD(paperCount, kWord32, kKeep),
    ORVOX_FIELD(trimEdges, kInt16, v(0)),
    ORVOX_FIELD(reserved6970, kInt16, v(0)),
    ORVOX_FIELD(emailAddress, kText, v(0)),
    ORVOX_FIELD(reserved7228, kInt16, v(0)),
    ORVOX_FIELD(padding7230, kInt16, kKeep),
    ORVOX_FIELD(copyCount, kWord32, v(1)),
    ORVOX_FIELD(reserved7236, kInt16, v(0)),
    ORVOX_FIELD(padding7238, kInt16, kKeep),
};

#undef ORVOX_FIELD

// The table must describe every byte exactly once, in order, with whole words.
constexpr bool coversTheRecord()
{
    std::size_t next = 0;
    for (const FieldInfo& f : kFields) {
        if (f.offset != next) return false;
        if (f.kind == FieldKind::kInt16 && f.size % 2 != 0) return false;
        if (f.kind == FieldKind::kWord32 && f.size % 4 != 0) return false;
        next = f.offset + f.size;
    }
    return next == kJobSettingsSize;
}
static_assert(coversTheRecord());

std::size_t wordSize(FieldKind kind)
{
    switch (kind) {
    case FieldKind::kInt16: return 2;
    case FieldKind::kWord32: return 4;
    case FieldKind::kText: break;
    }
    return 1;
}

void encodeField(const unsigned char* from, unsigned char* to, const FieldInfo& f)
{
    const std::size_t width = wordSize(f.kind);
    if (width == 1) {
        std::memcpy(to, from, f.size);
        return;
    }
    for (std::size_t at = 0; at < f.size; at += width) {
        std::uint32_t value = 0;
        if (width == 2) {
            std::uint16_t w;
            std::memcpy(&w, from + at, 2);
            value = w;
        } else {
            std::memcpy(&value, from + at, 4);
        }
        for (std::size_t b = 0; b < width; ++b) to[at + b] = static_cast<unsigned char>(value >> (8 * b));
    }
}

void decodeField(const unsigned char* from, unsigned char* to, const FieldInfo& f)
{
    const std::size_t width = wordSize(f.kind);
    if (width == 1) {
        std::memcpy(to, from, f.size);
        return;
    }
    for (std::size_t at = 0; at < f.size; at += width) {
        std::uint32_t value = 0;
        for (std::size_t b = 0; b < width; ++b) value |= std::uint32_t{from[at + b]} << (8 * b);
        if (width == 2) {
            const auto w = static_cast<std::uint16_t>(value);
            std::memcpy(to + at, &w, 2);
        } else {
            std::memcpy(to + at, &value, 4);
        }
    }
}

} // namespace

namespace {

char lowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

} // namespace

bool equalsIgnoringCase(std::string_view a, std::string_view b)
{
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return lowerAscii(x) == lowerAscii(y); });
}

std::size_t boundedLength(const char* field, std::size_t size)
{
    const void* zero = std::memchr(field, '\0', size);
    return zero ? static_cast<std::size_t>(static_cast<const char*>(zero) - field) : size;
}

void copyToField(char* field, std::size_t size, std::string_view text)
{
    // A text never runs into the next field: it is cut to leave room for its terminator.
    const std::size_t length = std::min({text.size(), size - 1, text.find('\0')});
    std::memcpy(field, text.data(), length);
    std::memset(field + length, 0, size - length);
}

std::span<const FieldInfo> jobSettingsFields() { return kFields; }

JobSettingsBytes toBytes(const JobSettings& s)
{
    JobSettingsBytes out{};
    const auto* base = reinterpret_cast<const unsigned char*>(&s);
    for (const FieldInfo& f : kFields) encodeField(base + f.offset, out.data() + f.offset, f);
    return out;
}

void fromBytes(std::span<const unsigned char> bytes, JobSettings& s)
{
    auto* base = reinterpret_cast<unsigned char*>(&s);
    for (const FieldInfo& f : kFields) {
        if (f.offset >= bytes.size()) break;
        const std::size_t available = bytes.size() - f.offset;
        if (available >= f.size) {
            decodeField(bytes.data() + f.offset, base + f.offset, f);
        } else if (f.kind == FieldKind::kText) {
            std::memcpy(base + f.offset, bytes.data() + f.offset, available);
        }
    }
}

void resetFields(JobSettings& s, bool full)
{
    auto* base = reinterpret_cast<unsigned char*>(&s);
    for (const FieldInfo& f : kFields) {
        if (f.reset.kind == ResetRule::kKeep) continue;
        if (f.reset.kind == ResetRule::kFullOnly && !full) continue;
        std::memset(base + f.offset, 0, f.size);
        if (f.reset.value == 0) continue;
        // Non-zero reset values belong to single integer fields only.
        if (f.kind == FieldKind::kWord32) {
            const std::int32_t value = f.reset.value;
            std::memcpy(base + f.offset, &value, sizeof value);
        } else {
            std::memcpy(base + f.offset, &f.reset.value, sizeof f.reset.value);
        }
    }
}

namespace {

void putInt16(unsigned char* to, std::int16_t value)
{
    to[0] = static_cast<unsigned char>(value & 0xff);
    to[1] = static_cast<unsigned char>((static_cast<std::uint16_t>(value) >> 8) & 0xff);
}

std::int16_t getInt16(const unsigned char* from)
{
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(from[0] | (from[1] << 8)));
}

} // namespace

PaperSubstitutionBytes toBytes(const PaperSubstitution& s)
{
    PaperSubstitutionBytes out{};
    std::memcpy(out.data(), s.paperName, sizeof s.paperName);
    std::memcpy(out.data() + 256, s.pageList, sizeof s.pageList);
    putInt16(out.data() + 512, s.paperIndex);
    putInt16(out.data() + 514, s.kind);
    return out;
}

PaperSubstitution paperSubstitutionFromBytes(std::span<const unsigned char, kPaperSubstitutionSize> bytes)
{
    PaperSubstitution s{};
    std::memcpy(s.paperName, bytes.data(), sizeof s.paperName);
    std::memcpy(s.pageList, bytes.data() + 256, sizeof s.pageList);
    s.paperIndex = getInt16(bytes.data() + 512);
    s.kind = getInt16(bytes.data() + 514);
    return s;
}

} // namespace orvox
