#pragma once
// The job settings record: every setting of the next print job in one plain,
// fixed-layout record. The same bytes form the body of a settings file, so every
// offset and width below is part of the file format; reserved fields carry no
// meaning here but are kept byte for byte so that files survive a round trip.
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace orvox {

// Values as stored; they follow the order of the choices offered to the user.
enum class PrintingMode : std::int16_t {
    OneSided = 0, TwoSidedFlipLong = 1, TwoSidedFlipShort = 2,
    InterleavesBlank = 3, InterleavesPrinted = 4, Pamphlets = 5,
};
enum class DocumentExit : std::int16_t {
    BookletMaker = 0, Finisher = 1, PostProcessor = 2, SideExit = 3, Stacker = 4, Stapler = 5, TopExit = 6,
};
enum class StackingMode : std::int16_t { Offset = 0, NoOffset = 1 };
enum class StaplingMode : std::int16_t { None = 0, Top = 1, Bottom = 2, Both = 3, Three = 4, Saddle = 5 };
enum class FoldMode : std::int16_t { None = 0, ZFold = 1, SaddleFold = 2 };
enum class CoverMode : std::int16_t {
    None = 0, PrintSide1 = 1, PrintSide2 = 2, PrintBothSides = 3, PrePrintedBlank = 4,
};
enum class MismatchHandling : std::int16_t { AutoSubstitute = 0, NotifySubstitute = 1, NotifyWait = 2, CancelJob = 3 };
enum class StatusPageMode : std::int16_t { None = 0, OnlyOnError = 1, Always = 2, SinglePage = 3 };
enum class ProofSetAction : std::int16_t { Continue = 1, Cancel = 2 };
enum class PrinterLanguage : std::int16_t { PostScript = 0, PCL = 1, PDF = 2 };
enum class ModifyPrintFile : std::int16_t { Yes = 0, Custom = 1, No = 2 };

// Converts an enumeration to the value the record stores.
template <typename E>
constexpr std::int16_t stored(E e) { return static_cast<std::int16_t>(e); }

// Document colour k (red, green, blue, cyan, magenta, yellow, black, all bitmaps)
// maps to a printer colour 0..5; the second word is unused.
struct ColorMappingEntry {
    std::int16_t printerColor;
    std::int16_t spare;
};

inline constexpr std::size_t kJobSettingsSize = 7240;
inline constexpr std::size_t kTextFieldSize = 256;
inline constexpr std::size_t kChapterPagesSize = 1028;

// Paper references: bodyPaper holds a catalog index (2..count); the status-page,
// cover, header-page and separator papers hold catalog index minus 1, so that 0
// designates the body-paper slot. Integers are little-endian in the byte form;
// texts are zero-terminated, the bytes after the terminator are undefined.
struct JobSettings {
    char reserved0000[256];
    std::int16_t reserved0256;
    std::int16_t modifyPrintFile;
    std::int16_t reserved0260;
    std::int16_t reserved0262;
    std::int16_t reserved0264;
    std::int16_t printToPrinter;
    std::int16_t reserved0268[3];
    std::int16_t saveAsFile;
    std::int16_t reserved0276;
    char saveAsPath[256];
    std::int16_t reserved0534;
    std::int16_t useSpecificPrinter;
    std::int16_t reserved0538;
    char specificPrinterName[256];
    std::int16_t reserved0796;
    std::int16_t printerModel;
    std::int16_t reserved0800;
    std::int16_t printerLanguage;
    std::int16_t reserved0804;
    char reserved0806[256];
    std::int16_t reserved1062;
    std::int16_t legacyCopyCount;
    std::int16_t reserved1066;
    std::int16_t printingMode;
    std::int16_t reserved1070;
    std::int16_t collate;
    std::int16_t reserved1074;
    std::int16_t bodyPaper;
    std::int16_t reserved1078;
    std::int16_t reserved1080[2];
    std::int16_t mismatchHandling;
    std::int16_t reserved1086;
    std::int16_t statusPageMode;
    std::int16_t reserved1090;
    std::int16_t statusPagePaper;
    std::int16_t reserved1094;
    std::int16_t finishChaptersSeparately;
    std::int16_t reserved1098;
    char chapterPages[1028];
    std::int16_t reserved2128;
    std::int16_t freeformColor;
    std::int16_t reserved2132;
    std::int16_t substitutionsActive;
    std::int16_t reserved2136;
    std::int16_t maxSignatureSize;
    std::int16_t reserved2140;
    char reserved2142[256];
    std::int16_t reserved2398;
    std::int16_t documentExit;
    std::int16_t reserved2402;
    std::int16_t stackingMode;
    std::int16_t reserved2406;
    std::int16_t staplingMode;
    std::int16_t reserved2410;
    std::int16_t foldMode;
    std::int16_t reserved2414;
    std::int16_t frontCover;
    std::int16_t reserved2418;
    std::int16_t frontCoverPaper;
    std::int16_t reserved2422;
    std::int16_t backCover;
    std::int16_t reserved2426;
    std::int16_t backCoverPaper;
    std::int16_t reserved2430;
    std::int16_t headerPage;
    std::int16_t headerPageForced;
    std::int16_t headerPagePaper;
    std::int16_t reserved2438;
    std::int16_t separatorPages;
    std::int16_t reserved2442;
    std::int16_t separatorPaper;
    std::int16_t separatorPagesForced;
    std::int16_t reserved2448[2];
    char operatorMessage[256];
    std::int16_t reserved2708;
    char deliverTo[256];
    std::int16_t reserved2966;
    char chargeNumber[256];
    std::int16_t reserved3224;
    std::int16_t proofSet;
    std::int16_t reserved3228;
    std::int16_t proofWaitTime;
    std::int16_t reserved3232;
    std::int16_t proofSetAction;
    std::int16_t reserved3236;
    std::int16_t printAllPages;
    std::int16_t reserved3240;
    std::int16_t printPageRange;
    std::int16_t reserved3244;
    std::int16_t padding3246;
    std::int32_t pageRangeFrom;
    std::int16_t reserved3252;
    std::int16_t padding3254;
    std::int32_t pageRangeTo;
    std::int16_t reserved3260;
    std::int16_t padding3262;
    char scriptFilePath[256];
    std::int16_t reserved3520;
    char customCommands[256];
    std::int16_t reserved3778;
    std::int16_t validateFile;
    std::int16_t reserved3782;
    char bodyPaperName[256];
    std::int16_t reserved4040;
    std::int16_t reserved4042;
    std::int16_t reserved4044;
    char reserved4046[256];
    std::int16_t reserved4302[3];
    char reserved4308[256];
    std::int16_t reserved4564;
    char reserved4566[256];
    std::int16_t reserved4822;
    char reserved4824[256];
    std::int16_t reserved5080;
    char reserved5082[256];
    std::int16_t reserved5338[7];
    char reserved5352[256];
    std::int16_t reserved5608;
    char reserved5610[256];
    std::int16_t reserved5866;
    char editPaperName[256];
    std::int16_t reserved6124;
    std::int16_t editPaperSize;
    std::int16_t reserved6128;
    char editPaperText1[256];
    std::int16_t reserved6386;
    char editPaperWeight[256];
    std::int16_t reserved6644;
    char editPaperText3[256];
    std::int16_t reserved6902[7];
    ColorMappingEntry colorMapping[8];
    std::int16_t reserved6948[2];
    std::uint32_t reserved6952[2];
    std::int32_t currentTab;
    std::int32_t paperCount;
    std::int16_t trimEdges;
    std::int16_t reserved6970;
    char emailAddress[256];
    std::int16_t reserved7228;
    std::int16_t padding7230;
    std::int32_t copyCount;
    std::int16_t reserved7236;
    std::int16_t padding7238;
};

// Length of the text in a fixed field; a field without terminator ends at its size.
std::size_t boundedLength(const char* field, std::size_t size);

// Copies a text into a fixed, zero-terminated field, cut to fit; the rest of
// the field is cleared.
void copyToField(char* field, std::size_t size, std::string_view text);

// Compares two texts ignoring the case of ASCII letters, as names are compared.
bool equalsIgnoringCase(std::string_view a, std::string_view b);

using JobSettingsBytes = std::array<unsigned char, kJobSettingsSize>;

// The record as bytes, field by field, little-endian whatever the host's order.
JobSettingsBytes toBytes(const JobSettings& s);
// Fills the fields that lie wholly within `bytes` (older, shorter records); a text
// field cut by the end takes the bytes there are. Fields beyond keep their values.
void fromBytes(std::span<const unsigned char> bytes, JobSettings& s);

// A page range that takes another paper, also the record of a settings file.
struct PaperSubstitution {
    char paperName[256];   // filled from the catalog when a file is written
    char pageList[256];
    std::int16_t paperIndex;  // catalog index, 1-based
    std::int16_t kind;        // 0..13; made here always 0, read ones keep theirs
};

inline constexpr std::size_t kPaperSubstitutionSize = 516;
using PaperSubstitutionBytes = std::array<unsigned char, kPaperSubstitutionSize>;

PaperSubstitutionBytes toBytes(const PaperSubstitution& s);
PaperSubstitution paperSubstitutionFromBytes(std::span<const unsigned char, kPaperSubstitutionSize> bytes);

// How resetToDefaults treats a field.
struct ResetRule {
    enum Kind : std::uint8_t { kValue, kFullOnly, kKeep };
    Kind kind;
    std::int16_t value;  // for kValue; kFullOnly fields reset to 0
};
enum class FieldKind : std::uint8_t { kText, kInt16, kWord32 };
struct FieldInfo {
    const char* name;
    std::size_t offset;
    std::size_t size;
    FieldKind kind;
    ResetRule reset;
};
// Every field of the record in offset order, padding included.
std::span<const FieldInfo> jobSettingsFields();

// The values of a reset; `full` also resets the fields kept by a partial reset.
// Fields whose reset depends on the catalog or the printer model are left alone.
void resetFields(JobSettings& s, bool full);

static_assert(sizeof(JobSettings) == kJobSettingsSize);
static_assert(sizeof(PaperSubstitution) == kPaperSubstitutionSize);
static_assert(sizeof(ColorMappingEntry) == 4);
static_assert(offsetof(JobSettings, reserved0000) == 0);
static_assert(offsetof(JobSettings, reserved0256) == 256);
static_assert(offsetof(JobSettings, modifyPrintFile) == 258);
static_assert(offsetof(JobSettings, reserved0260) == 260);
static_assert(offsetof(JobSettings, reserved0262) == 262);
static_assert(offsetof(JobSettings, reserved0264) == 264);
static_assert(offsetof(JobSettings, printToPrinter) == 266);
static_assert(offsetof(JobSettings, reserved0268) == 268);
static_assert(offsetof(JobSettings, saveAsFile) == 274);
static_assert(offsetof(JobSettings, reserved0276) == 276);
static_assert(offsetof(JobSettings, saveAsPath) == 278);
static_assert(offsetof(JobSettings, reserved0534) == 534);
static_assert(offsetof(JobSettings, useSpecificPrinter) == 536);
static_assert(offsetof(JobSettings, reserved0538) == 538);
static_assert(offsetof(JobSettings, specificPrinterName) == 540);
static_assert(offsetof(JobSettings, reserved0796) == 796);
static_assert(offsetof(JobSettings, printerModel) == 798);
static_assert(offsetof(JobSettings, reserved0800) == 800);
static_assert(offsetof(JobSettings, printerLanguage) == 802);
static_assert(offsetof(JobSettings, reserved0804) == 804);
static_assert(offsetof(JobSettings, reserved0806) == 806);
static_assert(offsetof(JobSettings, reserved1062) == 1062);
static_assert(offsetof(JobSettings, legacyCopyCount) == 1064);
static_assert(offsetof(JobSettings, reserved1066) == 1066);
static_assert(offsetof(JobSettings, printingMode) == 1068);
static_assert(offsetof(JobSettings, reserved1070) == 1070);
static_assert(offsetof(JobSettings, collate) == 1072);
static_assert(offsetof(JobSettings, reserved1074) == 1074);
static_assert(offsetof(JobSettings, bodyPaper) == 1076);
static_assert(offsetof(JobSettings, reserved1078) == 1078);
static_assert(offsetof(JobSettings, reserved1080) == 1080);
static_assert(offsetof(JobSettings, mismatchHandling) == 1084);
static_assert(offsetof(JobSettings, reserved1086) == 1086);
static_assert(offsetof(JobSettings, statusPageMode) == 1088);
static_assert(offsetof(JobSettings, reserved1090) == 1090);
static_assert(offsetof(JobSettings, statusPagePaper) == 1092);
static_assert(offsetof(JobSettings, reserved1094) == 1094);
static_assert(offsetof(JobSettings, finishChaptersSeparately) == 1096);
static_assert(offsetof(JobSettings, reserved1098) == 1098);
static_assert(offsetof(JobSettings, chapterPages) == 1100);
static_assert(offsetof(JobSettings, reserved2128) == 2128);
static_assert(offsetof(JobSettings, freeformColor) == 2130);
static_assert(offsetof(JobSettings, reserved2132) == 2132);
static_assert(offsetof(JobSettings, substitutionsActive) == 2134);
static_assert(offsetof(JobSettings, reserved2136) == 2136);
static_assert(offsetof(JobSettings, maxSignatureSize) == 2138);
static_assert(offsetof(JobSettings, reserved2140) == 2140);
static_assert(offsetof(JobSettings, reserved2142) == 2142);
static_assert(offsetof(JobSettings, reserved2398) == 2398);
static_assert(offsetof(JobSettings, documentExit) == 2400);
static_assert(offsetof(JobSettings, reserved2402) == 2402);
static_assert(offsetof(JobSettings, stackingMode) == 2404);
static_assert(offsetof(JobSettings, reserved2406) == 2406);
static_assert(offsetof(JobSettings, staplingMode) == 2408);
static_assert(offsetof(JobSettings, reserved2410) == 2410);
static_assert(offsetof(JobSettings, foldMode) == 2412);
static_assert(offsetof(JobSettings, reserved2414) == 2414);
static_assert(offsetof(JobSettings, frontCover) == 2416);
static_assert(offsetof(JobSettings, reserved2418) == 2418);
static_assert(offsetof(JobSettings, frontCoverPaper) == 2420);
static_assert(offsetof(JobSettings, reserved2422) == 2422);
static_assert(offsetof(JobSettings, backCover) == 2424);
static_assert(offsetof(JobSettings, reserved2426) == 2426);
static_assert(offsetof(JobSettings, backCoverPaper) == 2428);
static_assert(offsetof(JobSettings, reserved2430) == 2430);
static_assert(offsetof(JobSettings, headerPage) == 2432);
static_assert(offsetof(JobSettings, headerPageForced) == 2434);
static_assert(offsetof(JobSettings, headerPagePaper) == 2436);
static_assert(offsetof(JobSettings, reserved2438) == 2438);
static_assert(offsetof(JobSettings, separatorPages) == 2440);
static_assert(offsetof(JobSettings, reserved2442) == 2442);
static_assert(offsetof(JobSettings, separatorPaper) == 2444);
static_assert(offsetof(JobSettings, separatorPagesForced) == 2446);
static_assert(offsetof(JobSettings, reserved2448) == 2448);
static_assert(offsetof(JobSettings, operatorMessage) == 2452);
static_assert(offsetof(JobSettings, reserved2708) == 2708);
static_assert(offsetof(JobSettings, deliverTo) == 2710);
static_assert(offsetof(JobSettings, reserved2966) == 2966);
static_assert(offsetof(JobSettings, chargeNumber) == 2968);
static_assert(offsetof(JobSettings, reserved3224) == 3224);
static_assert(offsetof(JobSettings, proofSet) == 3226);
static_assert(offsetof(JobSettings, reserved3228) == 3228);
static_assert(offsetof(JobSettings, proofWaitTime) == 3230);
static_assert(offsetof(JobSettings, reserved3232) == 3232);
static_assert(offsetof(JobSettings, proofSetAction) == 3234);
static_assert(offsetof(JobSettings, reserved3236) == 3236);
static_assert(offsetof(JobSettings, printAllPages) == 3238);
static_assert(offsetof(JobSettings, reserved3240) == 3240);
static_assert(offsetof(JobSettings, printPageRange) == 3242);
static_assert(offsetof(JobSettings, reserved3244) == 3244);
static_assert(offsetof(JobSettings, padding3246) == 3246);
static_assert(offsetof(JobSettings, pageRangeFrom) == 3248);
static_assert(offsetof(JobSettings, reserved3252) == 3252);
static_assert(offsetof(JobSettings, padding3254) == 3254);
static_assert(offsetof(JobSettings, pageRangeTo) == 3256);
static_assert(offsetof(JobSettings, reserved3260) == 3260);
static_assert(offsetof(JobSettings, padding3262) == 3262);
static_assert(offsetof(JobSettings, scriptFilePath) == 3264);
static_assert(offsetof(JobSettings, reserved3520) == 3520);
static_assert(offsetof(JobSettings, customCommands) == 3522);
static_assert(offsetof(JobSettings, reserved3778) == 3778);
static_assert(offsetof(JobSettings, validateFile) == 3780);
static_assert(offsetof(JobSettings, reserved3782) == 3782);
static_assert(offsetof(JobSettings, bodyPaperName) == 3784);
static_assert(offsetof(JobSettings, reserved4040) == 4040);
static_assert(offsetof(JobSettings, reserved4042) == 4042);
static_assert(offsetof(JobSettings, reserved4044) == 4044);
static_assert(offsetof(JobSettings, reserved4046) == 4046);
static_assert(offsetof(JobSettings, reserved4302) == 4302);
static_assert(offsetof(JobSettings, reserved4308) == 4308);
static_assert(offsetof(JobSettings, reserved4564) == 4564);
static_assert(offsetof(JobSettings, reserved4566) == 4566);
static_assert(offsetof(JobSettings, reserved4822) == 4822);
static_assert(offsetof(JobSettings, reserved4824) == 4824);
static_assert(offsetof(JobSettings, reserved5080) == 5080);
static_assert(offsetof(JobSettings, reserved5082) == 5082);
static_assert(offsetof(JobSettings, reserved5338) == 5338);
static_assert(offsetof(JobSettings, reserved5352) == 5352);
static_assert(offsetof(JobSettings, reserved5608) == 5608);
static_assert(offsetof(JobSettings, reserved5610) == 5610);
static_assert(offsetof(JobSettings, reserved5866) == 5866);
static_assert(offsetof(JobSettings, editPaperName) == 5868);
static_assert(offsetof(JobSettings, reserved6124) == 6124);
static_assert(offsetof(JobSettings, editPaperSize) == 6126);
static_assert(offsetof(JobSettings, reserved6128) == 6128);
static_assert(offsetof(JobSettings, editPaperText1) == 6130);
static_assert(offsetof(JobSettings, reserved6386) == 6386);
static_assert(offsetof(JobSettings, editPaperWeight) == 6388);
static_assert(offsetof(JobSettings, reserved6644) == 6644);
static_assert(offsetof(JobSettings, editPaperText3) == 6646);
static_assert(offsetof(JobSettings, reserved6902) == 6902);
static_assert(offsetof(JobSettings, colorMapping) == 6916);
static_assert(offsetof(JobSettings, reserved6948) == 6948);
static_assert(offsetof(JobSettings, reserved6952) == 6952);
static_assert(offsetof(JobSettings, currentTab) == 6960);
static_assert(offsetof(JobSettings, paperCount) == 6964);
static_assert(offsetof(JobSettings, trimEdges) == 6968);
static_assert(offsetof(JobSettings, reserved6970) == 6970);
static_assert(offsetof(JobSettings, emailAddress) == 6972);
static_assert(offsetof(JobSettings, reserved7228) == 7228);
static_assert(offsetof(JobSettings, padding7230) == 7230);
static_assert(offsetof(JobSettings, copyCount) == 7232);
static_assert(offsetof(JobSettings, reserved7236) == 7236);
static_assert(offsetof(JobSettings, padding7238) == 7238);
static_assert(offsetof(PaperSubstitution, paperName) == 0);
static_assert(offsetof(PaperSubstitution, pageList) == 256);
static_assert(offsetof(PaperSubstitution, paperIndex) == 512);
static_assert(offsetof(PaperSubstitution, kind) == 514);

} // namespace orvox
