// Settings files as other versions wrote them, built byte by byte from the file
// layout, and as this version writes them; damaged files never harm the document.
#include <filesystem>
#include <fstream>
#include <iterator>

#include <gtest/gtest.h>

#include "document_fixture.h"
#include "settings/settings_file.h"

namespace orvox {
namespace {

using Bytes = std::vector<unsigned char>;

void put16(Bytes& b, std::size_t at, int v)
{
    b[at] = static_cast<unsigned char>(v & 0xff);
    b[at + 1] = static_cast<unsigned char>((v >> 8) & 0xff);
}
void put32(Bytes& b, std::size_t at, std::int32_t v)
{
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<unsigned char>((static_cast<std::uint32_t>(v) >> (8 * i)) & 0xff);
}
void putText(Bytes& b, std::size_t at, const std::string& text) { std::copy(text.begin(), text.end(), b.begin() + at); }

struct Substitution {
    std::string name;
    std::string pages;
    int index;
    int kind = 0;
};

// A settings file: signature, marker, version, the record, and from version 2 on
// the six paper names, the substitutions and (from version 3) the printer position.
struct FileImage {
    std::string signature = test::shippedStrings().load(IDS_SETTINGS_SIGNATURE);
    int marker = 26;
    int version = 5;
    Bytes record;
    std::vector<std::string> names = std::vector<std::string>(6);
    std::vector<Substitution> substitutions;
    int countOverride = -1;
    std::int32_t printerPosition = 0;

    explicit FileImage(int v, std::size_t recordLength) : version(v), record(recordLength, 0)
    {
        put16(record, 798, 6);      // printer model 0
        put16(record, 1076, 2);     // body paper
        put16(record, 1064, 1);     // legacy copy count
    }
    Bytes bytes() const
    {
        Bytes out(signature.begin(), signature.end());
        Bytes head(4);
        put16(head, 0, marker);
        put16(head, 2, version);
        out.insert(out.end(), head.begin(), head.end());
        out.insert(out.end(), record.begin(), record.end());
        if (version < 2) return out;
        for (const std::string& name : names) {
            Bytes field(256, 0);
            putText(field, 0, name);
            out.insert(out.end(), field.begin(), field.end());
        }
        Bytes count(2);
        put16(count, 0, countOverride >= 0 ? countOverride : static_cast<int>(substitutions.size()));
        out.insert(out.end(), count.begin(), count.end());
        for (const Substitution& s : substitutions) {
            Bytes rec(516, 0);
            putText(rec, 0, s.name);
            putText(rec, 256, s.pages);
            put16(rec, 512, s.index);
            put16(rec, 514, s.kind);
            out.insert(out.end(), rec.begin(), rec.end());
        }
        if (version >= 3) {
            Bytes pos(4);
            put32(pos, 0, printerPosition);
            out.insert(out.end(), pos.begin(), pos.end());
        }
        return out;
    }
};

class SettingsFileTest : public test::DocumentTest {
protected:
    std::string write(const Bytes& bytes, const std::string& name = "job.ovx")
    {
        const std::string path = dir.file(name);
        std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
        return path;
    }
    int read(const Bytes& bytes) { return readSettingsFile(doc(), write(bytes)); }
    // The document still takes changes and can be saved and read again.
    void expectUsable()
    {
        EXPECT_FALSE(doc().isLoading());
        doc().markModified(false);
        doc().setCopyCount(doc().copyCount() + 1);
        EXPECT_TRUE(doc().isModified());
        const std::string path = dir.file("again.ovx");
        ASSERT_EQ(writeSettingsFile(doc(), path), kSettingsOk);
        EXPECT_EQ(readSettingsFile(doc(), path), kSettingsOk);
    }
};

TEST_F(SettingsFileTest, SavedDocumentReadsBackTheSame)
{
    JobSettings& s = doc().record();
    auto* raw = reinterpret_cast<unsigned char*>(&s);
    for (std::size_t i = 0; i < sizeof s; ++i) raw[i] = static_cast<unsigned char>(i * 7 + 3);
    for (std::int16_t* ref : {&s.statusPagePaper, &s.frontCoverPaper, &s.backCoverPaper, &s.separatorPaper,
                              &s.headerPagePaper}) {
        *ref = 2;
    }
    s.bodyPaper = 3;
    copyToField(s.bodyPaperName, sizeof s.bodyPaperName, "Paper 3");
    for (char* text : {s.saveAsPath, s.specificPrinterName, s.operatorMessage, s.deliverTo, s.chargeNumber,
                       s.scriptFilePath, s.customCommands, s.editPaperName, s.editPaperText1, s.editPaperWeight,
                       s.editPaperText3, s.emailAddress}) {
        text[255] = '\0';
    }
    s.chapterPages[1027] = '\0';
    s.printerModel = 1;
    s.currentTab = 3;
    doc().addSubstitution(4, 7, "2..5");
    doc().addSubstitution(6, 0, "last");
    doc().setPrinterPosition(9);
    const JobSettings written = s;

    const std::string path = dir.file("round.ovx");
    ASSERT_EQ(writeSettingsFile(doc(), path), kSettingsOk);
    EXPECT_EQ(doc().settingsFileName(), "round.ovx");
    rebuild();
    doc().setCurrentTab(1);
    ASSERT_EQ(readSettingsFile(doc(), path), kSettingsOk);

    const JobSettingsBytes before = toBytes(written);
    const JobSettingsBytes after = toBytes(doc().settings());
    for (std::size_t i = 0; i < kJobSettingsSize; ++i) {
        if (i >= offsetof(JobSettings, reserved6952) && i < offsetof(JobSettings, trimEdges)) continue;
        ASSERT_EQ(before[i], after[i]) << "byte " << i;
    }
    EXPECT_EQ(doc().currentTab(), 1);
    EXPECT_EQ(doc().settings().paperCount, 6);
    ASSERT_EQ(doc().substitutionCount(), 2);
    EXPECT_STREQ(doc().substitution(0).paperName, "Paper 4");
    EXPECT_EQ(doc().substitution(0).kind, 7);
    EXPECT_STREQ(doc().substitution(1).pageList, "last");
    EXPECT_EQ(doc().printerPosition(), 9);
    EXPECT_FALSE(doc().isModified());
    EXPECT_FALSE(doc().isLoading());
    EXPECT_EQ(doc().freeformColorAtLoad(), doc().freeformColor());
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(SettingsFileTest, WriterShiftsTheModelAndBlanksTheSpareWords)
{
    doc().setPrinterModel(1);
    doc().record().reserved6952[0] = 0xDEADBEEF;
    const std::string path = dir.file("w.ovx");
    ASSERT_EQ(writeSettingsFile(doc(), path), kSettingsOk);
    std::ifstream in(path, std::ios::binary);
    const Bytes file((std::istreambuf_iterator<char>(in)), {});
    const std::size_t S = test::shippedStrings().load(IDS_SETTINGS_SIGNATURE).size();
    EXPECT_EQ(file.size(), S + 4 + 7240 + 1536 + 2 + 4);
    EXPECT_EQ(file[S], 26);
    EXPECT_EQ(file[S + 2], 5);
    EXPECT_EQ(file[S + 4 + 798], 7);
    EXPECT_EQ(file[S + 4 + 6952], 0);
    EXPECT_EQ(file[S + 4 + 7240], 'P') << "the body paper's name follows the record";
    EXPECT_EQ(doc().printerModel(), 1);
}

TEST_F(SettingsFileTest, VersionFourTakesTheCopyCountOver)
{
    FileImage f(4, 7232);
    put16(f.record, 1064, 3);
    put16(f.record, 798, 7);
    put16(f.record, 2400, 2);
    put16(f.record, 6968, 1);
    putText(f.record, 6972, "ops@example.org");
    ASSERT_EQ(read(f.bytes()), kSettingsOk);
    EXPECT_EQ(doc().copyCount(), 3);
    EXPECT_EQ(doc().settings().legacyCopyCount, 0);
    EXPECT_EQ(doc().printerModel(), 1);
    EXPECT_EQ(doc().documentExit(), 2);
    EXPECT_EQ(doc().trimEdges(), 1);
    EXPECT_EQ(doc().emailAddress(), "ops@example.org");
    EXPECT_TRUE(messages.anyContains(test::shippedStrings().load(IDS_SETTINGS_FILE_COPIES_TAKEN_OVER)));
}

TEST_F(SettingsFileTest, VersionThreeIsUpgraded)
{
    doc().setEmailAddress("before@example.org");
    FileImage f(3, 6968);
    put16(f.record, 1064, 5);
    put16(f.record, 2400, 1);   // old Finisher
    put16(f.record, 2416, 1);
    put16(f.record, 2424, 2);
    f.names[0] = "Paper 2";
    f.substitutions = {{"Paper 5", "1..3", 5}};
    f.printerPosition = 4;
    ASSERT_EQ(read(f.bytes()), kSettingsOk);
    EXPECT_EQ(doc().printerModel(), 1);
    EXPECT_EQ(doc().settings().reserved0262, 1);
    EXPECT_EQ(doc().documentExit(), stored(DocumentExit::Stacker));
    EXPECT_EQ(doc().frontCover(), stored(CoverMode::PrintBothSides));
    EXPECT_EQ(doc().backCover(), stored(CoverMode::PrePrintedBlank));
    EXPECT_EQ(doc().settings().reserved6970, 1);
    EXPECT_EQ(doc().emailAddress(), "");
    EXPECT_EQ(doc().copyCount(), 5);
    EXPECT_EQ(doc().substitutionCount(), 1);
    EXPECT_EQ(doc().printerPosition(), 4);
    EXPECT_TRUE(messages.anyContains(test::shippedStrings().load(IDS_OLD_SETTINGS_FILE_CONVERTED)));

    // An exit without counterpart ends the upgrade before the covers.
    put16(f.record, 2400, 5);
    ASSERT_EQ(read(f.bytes()), kSettingsOk);
    EXPECT_EQ(doc().documentExit(), 5);
    EXPECT_EQ(doc().frontCover(), 1);
    EXPECT_EQ(doc().settings().reserved6970, 0);
}

TEST_F(SettingsFileTest, VersionOneKeepsReferencesAndHasNoSubstitutions)
{
    doc().addSubstitution(3, 0, "1");
    doc().setPrinterPosition(7);
    FileImage f(1, 6968);
    put16(f.record, 2420, 4);
    put16(f.record, 1076, 5);
    ASSERT_EQ(read(f.bytes()), kSettingsOk);
    EXPECT_EQ(doc().frontCoverPaper(), 4);
    EXPECT_EQ(doc().bodyPaper(), 5);
    EXPECT_EQ(doc().bodyPaperName(), "Paper 5");
    EXPECT_EQ(doc().substitutionCount(), 0);
    EXPECT_EQ(doc().printerPosition(), 7);
}

TEST_F(SettingsFileTest, PapersAreFoundAgainByName)
{
    FileImage f(5, 7240);
    putText(f.record, 3784, "paper 5");  // bodyPaperName; the index says 2
    put16(f.record, 2420, 1);            // front cover: entry 2, but stored under another name
    put16(f.record, 2428, 2);
    put16(f.record, 2436, 40);           // beyond the catalog, no name: kept
    f.names = {"Paper 5", "", "Paper 4", "Gone", "", ""};
    f.substitutions = {{"Paper 6", "1", 3}, {"Nowhere", "2", 2}, {"Paper 2", "3", 300}, {"paper 3", "4", 3}};
    ASSERT_EQ(read(f.bytes()), kSettingsOk);
    EXPECT_EQ(doc().bodyPaper(), 5);
    EXPECT_EQ(doc().bodyPaperName(), "Paper 5");
    EXPECT_EQ(doc().catalog().paper(1).sizeCode, doc().catalog().paper(5).sizeCode);
    EXPECT_EQ(doc().frontCoverPaper(), 3);
    EXPECT_EQ(doc().backCoverPaper(), 1) << "a lost paper falls back to the first real paper";
    EXPECT_EQ(doc().headerPagePaper(), 40);
    EXPECT_TRUE(messages.anyContains("\"Paper 2\""));
    ASSERT_EQ(doc().substitutionCount(), 4);
    EXPECT_EQ(doc().substitution(0).paperIndex, 6);
    EXPECT_EQ(doc().substitution(1).paperIndex, 1);
    EXPECT_EQ(doc().substitution(2).paperIndex, 1);
    EXPECT_EQ(doc().substitution(3).paperIndex, 3);
    EXPECT_TRUE(doc().papersReplaced());
}

TEST_F(SettingsFileTest, UnknownPrinterModelFallsBackToTheSecond)
{
    doc().setUiState(&ui);
    ui.models = 2;
    FileImage f(5, 7240);
    put16(f.record, 798, 6 + 5);
    ASSERT_EQ(read(f.bytes()), kSettingsOk);
    EXPECT_EQ(doc().printerModel(), 1);
    EXPECT_TRUE(messages.anyContains(test::shippedStrings().load(IDS_UNKNOWN_PRINTER_MODEL)));
    EXPECT_GT(ui.refreshes, 0);
    put16(f.record, 798, 6);
    ASSERT_EQ(read(f.bytes()), kSettingsOk);
    EXPECT_EQ(doc().printerModel(), 0);
}

TEST_F(SettingsFileTest, AlternativeSignatureIsKeptOnWrite)
{
    FileImage f(5, 7240);
    f.signature = test::shippedStrings().load(IDS_SETTINGS_SIGNATURE_ALTERNATIVE);
    ASSERT_EQ(f.signature.size(), test::shippedStrings().load(IDS_SETTINGS_SIGNATURE).size());
    ASSERT_EQ(read(f.bytes()), kSettingsOk);
    EXPECT_TRUE(doc().alternativeSignature());
    const std::string path = dir.file("alt.ovx");
    ASSERT_EQ(writeSettingsFile(doc(), path), kSettingsOk);
    std::ifstream in(path, std::ios::binary);
    std::string head(f.signature.size(), '\0');
    in.read(head.data(), head.size());
    EXPECT_EQ(head, f.signature);
    ASSERT_EQ(newSettings(doc()), kSettingsOk);
    EXPECT_FALSE(doc().alternativeSignature());
}

TEST_F(SettingsFileTest, FilesThatAreNoSettingsFilesAreRefused)
{
    FileImage good(5, 7240);
    FileImage badMarker = good;
    badMarker.marker = 27;
    FileImage version0 = good;
    version0.version = 0;
    FileImage version6 = good;
    version6.version = 6;
    const Bytes garbage(5000, 0x41);
    EXPECT_EQ(readSettingsFile(doc(), dir.file("missing.ovx")), kSettingsCannotOpen);
    EXPECT_EQ(doc().settingsFileName(), "missing.ovx");
    EXPECT_EQ(read({}), kSettingsNotASettingsFile);
    EXPECT_EQ(read(garbage), kSettingsNotASettingsFile);
    EXPECT_EQ(read(badMarker.bytes()), kSettingsNotASettingsFile);
    EXPECT_EQ(read(version0.bytes()), kSettingsUnsupportedVersion);
    EXPECT_EQ(read(version6.bytes()), kSettingsUnsupportedVersion);
    ASSERT_FALSE(messages.shown.empty());
    EXPECT_NE(messages.shown.back().text.find("Orvox Test"), std::string::npos);
    EXPECT_EQ(messages.shown.back().type & 0xF0, platform::kMbIconStop);
    expectUsable();
}

TEST_F(SettingsFileTest, TruncatedFilesKeepTheResetValuesBeyondTheEnd)
{
    FileImage f(5, 7240);
    put16(f.record, 1068, 3);
    put32(f.record, 7232, 12);
    f.substitutions = {{"Paper 3", "1", 3}, {"Paper 4", "2", 4}};
    f.printerPosition = 5;
    const Bytes full = f.bytes();
    const std::size_t header = f.signature.size() + 4;
    for (std::size_t n = 0; n <= full.size(); n += (n < header + 8 || n > full.size() - 1100) ? 1 : 97) {
        const int result = read(Bytes(full.begin(), full.begin() + n));
        ASSERT_TRUE(result == kSettingsOk || result == kSettingsNotASettingsFile || result == kSettingsUnsupportedVersion)
            << n;
        ASSERT_FALSE(doc().isLoading());
        if (result != kSettingsOk) continue;
        EXPECT_EQ(doc().copyCount(), n >= header + 7236 ? 12 : 1) << n;
        EXPECT_EQ(doc().printingMode(), n >= header + 1070 ? 3 : 0) << n;
        EXPECT_LE(doc().substitutionCount(), 2);
    }
    EXPECT_EQ(doc().substitutionCount(), 2);
    expectUsable();
}

TEST_F(SettingsFileTest, OverlongSubstitutionCountsSkipTheList)
{
    for (int count : {513, 65535}) {
        FileImage f(5, 7240);
        f.substitutions = {{"Paper 3", "1", 3}};
        f.countOverride = count;
        f.printerPosition = 99;
        doc().setPrinterPosition(2);
        ASSERT_EQ(read(f.bytes()), kSettingsOk) << count;
        EXPECT_EQ(doc().substitutionCount(), 0);
        EXPECT_EQ(doc().printerPosition(), 2);
    }
    expectUsable();
}

TEST_F(SettingsFileTest, OddIndicesAndUnterminatedTextsAreContained)
{
    FileImage f(5, 7240);
    put16(f.record, 1076, -3);
    put16(f.record, 1092, -5);
    put16(f.record, 2444, 32767);
    putText(f.record, 1100, std::string(1028, '7'));
    putText(f.record, 2452, std::string(256, 'a'));
    f.names = {"", "Paper 3", "", "", "", ""};
    f.substitutions = {{std::string(256, 'y'), std::string(256, '1'), -32768}};
    ASSERT_EQ(read(f.bytes()), kSettingsOk);
    EXPECT_EQ(doc().bodyPaper(), -3);
    EXPECT_EQ(doc().paperName(doc().bodyPaper()), "");
    EXPECT_EQ(doc().statusPagePaper(), 2);
    EXPECT_EQ(doc().separatorPaper(), 32767);
    EXPECT_EQ(doc().chapterPages(), std::string(1027, '7'));
    EXPECT_EQ(doc().operatorMessage(), std::string(255, 'a'));
    EXPECT_EQ(std::string(doc().substitution(0).pageList), std::string(255, '1'));
    EXPECT_EQ(doc().substitution(0).paperIndex, 1);
    EXPECT_FALSE(doc().tooManyPapers());
    EXPECT_FALSE(doc().isPaperOneSided(-1));
    expectUsable();
}

TEST_F(SettingsFileTest, WriteFailuresAreReported)
{
    const std::string nowhere = dir.file("no/such/folder/x.ovx");
    EXPECT_EQ(writeSettingsFile(doc(), nowhere), kSettingsCannotWrite);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, test::shippedStrings().load(IDS_SETTINGS_FILE_WRITE_FAILED) + nowhere +
                                          test::shippedStrings().load(IDS_SETTINGS_FILE_WRITE_FAILED_TAIL));
    PaperDefinition twin = doc().catalog().paper(3);
    twin.name = "PAPER 2";
    doc().replacePaper(3, twin);
    EXPECT_EQ(writeSettingsFile(doc(), dir.file("d.ovx")), kSettingsBadPaperNames);
    twin.name = "";
    doc().replacePaper(3, twin);
    EXPECT_EQ(writeSettingsFile(doc(), dir.file("e.ovx")), kSettingsBadPaperNames);
    EXPECT_EQ(messages.shown.size(), 3u);
    EXPECT_FALSE(std::filesystem::exists(dir.file("d.ovx")));
}

TEST_F(SettingsFileTest, NewSettingsStartsAnUntitledDocument)
{
    ASSERT_EQ(readSettingsFile(doc(), write(FileImage(5, 7240).bytes())), kSettingsOk);
    doc().setCurrentTab(2);
    doc().setCollate(0);
    ASSERT_EQ(newSettings(doc()), kSettingsOk);
    EXPECT_EQ(doc().settingsFileName(), "");
    EXPECT_EQ(doc().collate(), 1);
    EXPECT_EQ(doc().currentTab(), 2);
    EXPECT_FALSE(doc().isModified());
    EXPECT_EQ(listener.calls.back().title, test::shippedStrings().load(IDS_UNTITLED));

    std::remove(dir.file(catalogName()).c_str());
    EXPECT_EQ(newSettings(doc()), kSettingsCatalogMissing);
    EXPECT_FALSE(doc().isLoading());
}

TEST_F(SettingsFileTest, InitialisationFailsOnACatalogWithoutVocabularies)
{
    std::ofstream(dir.file(catalogName())) << "[nothing]\n";
    EXPECT_EQ(newSettings(doc()), kSettingsInitFailed);
    EXPECT_EQ(readSettingsFile(doc(), write(FileImage(5, 7240).bytes())), kSettingsResetFailed);
    EXPECT_FALSE(doc().isLoading());
}

TEST_F(SettingsFileTest, SaveQuestionAndSave)
{
    int saves = 0;
    auto save = [&] { ++saves; return true; };
    EXPECT_TRUE(askSaveChanges(doc(), save));
    EXPECT_TRUE(messages.shown.empty());

    doc().setCollate(0);
    messages.answer = platform::kIdCancel;
    EXPECT_FALSE(askSaveChanges(doc(), save));
    ASSERT_FALSE(messages.shown.empty());
    EXPECT_EQ(messages.shown.back().text,
              test::shippedStrings().load(IDS_SAVE_CHANGES_QUESTION) + " " + doc().displayName() + " ?");
    messages.answer = platform::kIdNo;
    EXPECT_TRUE(askSaveChanges(doc(), save));
    messages.answer = platform::kIdYes;
    EXPECT_TRUE(askSaveChanges(doc(), save));
    EXPECT_EQ(saves, 1);

    // Without a file name the save becomes a Save As; a read-only file or
    // pages with bad input are not saved.
    EXPECT_TRUE(saveDocument(doc(), save));
    EXPECT_EQ(saves, 2);
    ASSERT_EQ(writeSettingsFile(doc(), dir.file("s.ovx")), kSettingsOk);
    doc().setCollate(1);
    EXPECT_TRUE(saveDocument(doc(), save));
    EXPECT_FALSE(doc().isModified());
    doc().setCollate(0);
    doc().setReadOnly(true);
    EXPECT_FALSE(saveDocument(doc(), save));
    doc().setReadOnly(false);
    doc().setUiState(&ui);
    ui.pagesValid = false;
    EXPECT_FALSE(saveDocument(doc(), save));
    EXPECT_TRUE(doc().isModified());
}

TEST_F(SettingsFileTest, AFileThatFailedToLoadIsNeverSavedOverWithoutSaveAs)
{
    int saveAsRuns = 0;
    auto saveAs = [&] { ++saveAsRuns; return false; };
    FileImage newer(5, 7240);
    newer.version = 6;
    const Bytes original = newer.bytes();
    const std::string path = write(original, "newer.ovx");
    auto bytesOnDisk = [&] {
        std::ifstream in(path, std::ios::binary);
        return Bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    };

    ASSERT_EQ(readSettingsFile(doc(), path), kSettingsUnsupportedVersion);
    EXPECT_EQ(doc().settingsFileName(), "newer.ovx") << "the reset document carries the file's name";
    EXPECT_TRUE(doc().fileFailedToLoad());
    doc().setCollate(0);
    ASSERT_TRUE(doc().isModified());
    EXPECT_FALSE(saveDocument(doc(), saveAs));
    EXPECT_EQ(saveAsRuns, 1) << "the operator names the file again";
    messages.answer = platform::kIdYes;  // the Yes of the save question at exit
    EXPECT_FALSE(askSaveChanges(doc(), [&] { return saveDocument(doc(), saveAs); }));
    EXPECT_EQ(saveAsRuns, 2);
    EXPECT_EQ(bytesOnDisk(), original);

    // A file that is not there at all is treated the same way.
    EXPECT_EQ(readSettingsFile(doc(), dir.file("gone.ovx")), kSettingsCannotOpen);
    doc().setCollate(0);
    EXPECT_FALSE(saveDocument(doc(), saveAs));
    EXPECT_EQ(saveAsRuns, 3);
    EXPECT_FALSE(std::filesystem::exists(dir.file("gone.ovx")));

    // Once saved under a name, or read from a good file, plain saving works again.
    ASSERT_EQ(writeSettingsFile(doc(), dir.file("named.ovx")), kSettingsOk);
    EXPECT_FALSE(doc().fileFailedToLoad());
    doc().setCollate(1);
    EXPECT_TRUE(saveDocument(doc(), saveAs));
    EXPECT_EQ(saveAsRuns, 3);
    ASSERT_EQ(readSettingsFile(doc(), dir.file("gone.ovx")), kSettingsCannotOpen);
    ASSERT_EQ(readSettingsFile(doc(), dir.file("named.ovx")), kSettingsOk);
    EXPECT_FALSE(doc().fileFailedToLoad());
    ASSERT_EQ(readSettingsFile(doc(), dir.file("gone.ovx")), kSettingsCannotOpen);
    ASSERT_EQ(newSettings(doc()), kSettingsOk);
    EXPECT_FALSE(doc().fileFailedToLoad());
}

TEST_F(SettingsFileTest, TheHostHearsNoModifiedStateWhileALoadOrNewDocumentRuns)
{
    const std::string path = write(FileImage(5, 7240).bytes());
    for (int round = 0; round < 2; ++round) {
        doc().setCollate(doc().collate() == 0 ? 1 : 0);
        ASSERT_TRUE(doc().isModified());
        listener.calls.clear();
        if (round == 0) ASSERT_EQ(readSettingsFile(doc(), path), kSettingsOk);
        else ASSERT_EQ(newSettings(doc()), kSettingsOk);
        ASSERT_FALSE(listener.calls.empty());
        // A load first names its file with the state the document is still in.
        const std::size_t first = round == 0 ? 1 : 0;
        for (std::size_t i = first; i < listener.calls.size(); ++i)
            EXPECT_FALSE(listener.calls[i].modified) << "round " << round << ": " << listener.calls[i].title;
    }
}

TEST_F(SettingsFileTest, ALoadStartsByNamingItsFileWithTheCurrentModifiedState)
{
    const std::string path = write(FileImage(5, 7240).bytes(), "week.ovx");
    for (const bool modified : {true, false}) {
        doc().setCollate(doc().collate() == 0 ? 1 : 0);
        doc().markModified(modified);
        listener.calls.clear();
        ASSERT_EQ(readSettingsFile(doc(), path), kSettingsOk);
        ASSERT_FALSE(listener.calls.empty());
        EXPECT_EQ(listener.calls.front().title, "week.ovx");
        EXPECT_EQ(listener.calls.front().modified, modified);
    }
    // Also when the file then cannot be read.
    doc().setCollate(doc().collate() == 0 ? 1 : 0);
    ASSERT_TRUE(doc().isModified());
    listener.calls.clear();
    ASSERT_EQ(readSettingsFile(doc(), dir.file("missing.ovx")), kSettingsCannotOpen);
    ASSERT_FALSE(listener.calls.empty());
    EXPECT_EQ(listener.calls.front().title, "missing.ovx");
    EXPECT_TRUE(listener.calls.front().modified);
}

TEST_F(SettingsFileTest, ReadsAndNewDocumentsMakeThePagesFollowTheModel)
{
    doc().setUiState(&ui);
    ASSERT_EQ(newSettings(doc()), kSettingsOk);
    EXPECT_EQ(ui.modelsFollowed, 1);
    FileImage model1(5, 7240);
    put16(model1.record, 798, 6 + 1);
    ASSERT_EQ(read(model1.bytes()), kSettingsOk);
    EXPECT_EQ(doc().printerModel(), 1);
    EXPECT_EQ(ui.modelsFollowed, 2);
    // The pages follow while the load is still running, so what they store is no change of the operator's.
    EXPECT_FALSE(doc().isModified());
}

TEST_F(SettingsFileTest, SaveAsAddsTheExtensionUnlessTheNameEndsWithIt)
{
    EXPECT_EQ(withSettingsExtension("c:\\jobs\\week", "ovx"), "c:\\jobs\\week.ovx");
    EXPECT_EQ(withSettingsExtension("c:\\jobs\\week.2", "ovx"), "c:\\jobs\\week.2.ovx");
    EXPECT_EQ(withSettingsExtension("c:\\jobs\\week.txt", "ovx"), "c:\\jobs\\week.txt.ovx");
    EXPECT_EQ(withSettingsExtension("c:\\jobs\\week.OVX", "ovx"), "c:\\jobs\\week.OVX");
    EXPECT_EQ(withSettingsExtension("c:\\v1.ovx\\week", "ovx"), "c:\\v1.ovx\\week.ovx") << "a folder's name does not count";
    EXPECT_EQ(withSettingsExtension("week.ovxa", "ovx"), "week.ovxa.ovx");
    EXPECT_EQ(withSettingsExtension("week", ""), "week");
}

} // namespace
} // namespace orvox
