// One job, one raw document: the job file and then the print file, with a
// header the print file carries cut off and its end-of-job bytes dropped when asked.
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>

#include "output_fixture.h"
#include "platform/posix/memory_spooler.h"
#include "print/spooler_output.h"
#include "resource.h"

namespace orvox {
namespace {

using test::readBytes;
using test::writeBytes;

constexpr int kModifyYes = 0;

class SpoolerOutputTest : public ::testing::Test {
protected:
    SpoolerOutputTest()
    {
        spooler.addQueue("Queue");
        printer = spooler.open("Queue", nullptr);
        writeBytes(jobFile, "@PJL JOB NAME=\"ours\"\r\n");
    }
    ~SpoolerOutputTest() override { setRemoveCtrlD(false); }

    bool send(const std::string& data, int modify = kModifyYes)
    {
        writeBytes(dataFile, data);
        return output.send(jobFile, dataFile, *printer, modify);
    }
    const platform::SpooledDocument& document() const { return spooler.documents.at(0); }
    std::string marker(unsigned id) const { return test::shippedStrings().load(id); }
    // A header as a print file saved with an earlier job header carries it.
    std::string carriedHeader() const
    {
        return "\r\n " + marker(IDS_HEADER_MARKER_START) + "NAME=\"old\"\r\n@PJL SET COPIES=3\r\n" +
               marker(IDS_HEADER_MARKER_END) + marker(IDS_HEADER_MARKER_TAIL1) + "\r\n";
    }

    test::OutputServices env;
    platform::MemorySpooler spooler;
    std::unique_ptr<platform::Printer> printer;
    SpoolerOutput output{env.services, "ovx"};
    std::string jobFile = env.work.file("job.zjt");
    std::string dataFile = env.work.file("print.ps");
};

TEST_F(SpoolerOutputTest, OneDocumentOfOnePageCarriesTheJobFileThenTheData)
{
    const std::string data = "%!PS\n" + std::string(5000, 'x') + "\nshowpage\n";
    ASSERT_TRUE(send(data));
    ASSERT_EQ(spooler.documents.size(), 1u);
    const auto& doc = document();
#ifdef _WIN32
    EXPECT_EQ(doc.name, "print.ps");
#else
    EXPECT_EQ(doc.name, dataFile);  // no backslash in the path: the whole path
#endif
    EXPECT_EQ(doc.bytes, readBytes(jobFile) + data);
    EXPECT_EQ(doc.pagesStarted, 1);
    EXPECT_EQ(doc.pagesEnded, 1);
    EXPECT_TRUE(doc.ended);
    // The small job file and the print file go out in one write each.
    EXPECT_EQ(doc.writeSizes, (std::vector<std::size_t>{readBytes(jobFile).size(), data.size()}));
    EXPECT_TRUE(env.messages.shown.empty());
}

TEST_F(SpoolerOutputTest, DocumentNameIsThePartAfterTheLastBackslash)
{
#ifdef _WIN32
    GTEST_SKIP() << "a backslash separates folders here; the test above covers it";
#endif
    dataFile = env.work.file("folder\\sub\\report.ps");  // a plain file name on this system
    ASSERT_TRUE(send("%!PS\n"));
    EXPECT_EQ(document().name, "report.ps");
}

TEST_F(SpoolerOutputTest, CtrlDIsDroppedAtTheStartAndInTheLastChunkOnlyWhenSwitchedOn)
{
    const std::string body = "%!PS\n\x04 inside stays\nshowpage\n";
    const std::string data = "\x04\x04\x04" + body + "\x04\x04";
    ASSERT_TRUE(send(data, kModifyPrintFileNo));
    EXPECT_EQ(document().bytes, data);

    setRemoveCtrlD(true);
    ASSERT_TRUE(send(data, kModifyPrintFileNo));
    EXPECT_EQ(spooler.documents.at(1).bytes, body);

    // A file that fills its last chunk ends with an empty read: its trailing
    // Ctrl-D is in a full chunk and stays.
    const std::string exact = std::string(4095, 'a') + "\x04";
    ASSERT_TRUE(send(exact, kModifyPrintFileNo));
    EXPECT_EQ(spooler.documents.at(2).bytes, exact);
    EXPECT_EQ(spooler.documents.at(2).writeSizes, (std::vector<std::size_t>{4096}));
}

// What the queue must receive when Ctrl-D bytes are dropped: those leading the
// first 2048-byte chunk, and those ending the last chunk when it is short.
std::string withoutCtrlD(const std::string& data)
{
    const std::size_t firstChunk = std::min(data.size(), kSpoolChunkSize);
    std::size_t begin = 0;
    while (begin < firstChunk && data[begin] == kCtrlD) ++begin;
    const std::size_t lastChunkStart = data.size() - data.size() % kSpoolChunkSize;
    std::size_t end = data.size();
    while (end > std::max(begin, lastChunkStart) && data[end - 1] == kCtrlD) --end;
    return data.substr(begin, end - begin);
}

TEST_F(SpoolerOutputTest, GatheredWritesCarryTheChunksBytesAcrossEveryBoundary)
{
    setRemoveCtrlD(true);
    const std::size_t sizes[] = {0, 1, 2047, 2048, 2049, kSpoolWriteSize - 1, kSpoolWriteSize, kSpoolWriteSize + 1,
                                 kSpoolWriteSize + kSpoolChunkSize, 3 * kSpoolWriteSize + 5};
    for (std::size_t size : sizes) {
        for (const char fill : {'\x04', 'x'}) {
            // Ctrl-D runs at the start, at every chunk and write boundary and at the end.
            std::string data(size, fill);
            for (std::size_t i = 0; i < size; ++i)
                if (i < 3 || i % 7 == 3 || i % kSpoolChunkSize == kSpoolChunkSize - 1 || i + 2 >= size)
                    data[i] = kCtrlD;
            spooler.documents.clear();
            ASSERT_TRUE(send(data, kModifyPrintFileNo)) << size;
            const auto& doc = document();
            EXPECT_EQ(doc.bytes, withoutCtrlD(data)) << size << " " << int(fill);
            ASSERT_FALSE(doc.writeSizes.empty()) << "the last write goes out, empty or not";
            for (std::size_t written : doc.writeSizes) EXPECT_LE(written, kSpoolWriteSize) << size;
            EXPECT_LE(doc.writeSizes.size(), size / kSpoolWriteSize + 2) << size;
        }
    }
    // A leading run longer than a chunk loses only the part in the first chunk.
    const std::string longRun = std::string(3000, kCtrlD) + "%!PS\n";
    spooler.documents.clear();
    ASSERT_TRUE(send(longRun, kModifyPrintFileNo));
    EXPECT_EQ(document().bytes, std::string(3000 - kSpoolChunkSize, kCtrlD) + "%!PS\n");
}

TEST_F(SpoolerOutputTest, AFailedGatheredWriteEndsTheCopy)
{
    spooler.failures.failWriteNumber = 3;
    std::string data;
    for (std::size_t i = 0; i < 4 * kSpoolWriteSize; ++i) data += static_cast<char>('a' + i % 23);
    EXPECT_FALSE(send(data, kModifyPrintFileNo));
    const auto& doc = document();
    EXPECT_EQ(doc.writeSizes, (std::vector<std::size_t>(3, kSpoolWriteSize))) << "nothing is written after the failure";
    EXPECT_EQ(doc.bytes, data.substr(0, 2 * kSpoolWriteSize));
    EXPECT_EQ(doc.pagesEnded, 1);
    EXPECT_TRUE(doc.ended);
}

TEST_F(SpoolerOutputTest, CarriedHeaderIsCutAndTheCopyRemoved)
{
    const std::string body = "%!PS-Adobe-3.0\nshowpage\n";
    ASSERT_TRUE(send(carriedHeader() + body + std::string(3000, 'z')));
    EXPECT_EQ(document().bytes, readBytes(jobFile) + body + std::string(3000, 'z'));
    EXPECT_TRUE(env.tempFiles().empty());
}

TEST_F(SpoolerOutputTest, HeaderIsKeptWhenItIsIncompleteOrNotToBeModified)
{
    // The job line without the language switch is no header to cut.
    const std::string noEnd = marker(IDS_HEADER_MARKER_START) + "NAME=\"x\"\r\n%!PS\n";
    ASSERT_TRUE(send(noEnd));
    EXPECT_EQ(document().bytes, readBytes(jobFile) + noEnd);

    // A header that does not end in the first chunk stays.
    const std::string late = marker(IDS_HEADER_MARKER_START) + std::string(2100, ' ') +
                             marker(IDS_HEADER_MARKER_END) + "\n%!PS\n";
    ASSERT_TRUE(send(late));
    EXPECT_EQ(spooler.documents.at(1).bytes, readBytes(jobFile) + late);

    // Not modifying the print file: neither our job file nor any cut.
    ASSERT_TRUE(send(carriedHeader() + "%!PS\n", kModifyPrintFileNo));
    EXPECT_EQ(spooler.documents.at(2).bytes, carriedHeader() + "%!PS\n");
    EXPECT_TRUE(env.tempFiles().empty());
}

TEST_F(SpoolerOutputTest, DataStartsRightAfterTheEndMarkerWhenNoLanguageFollows)
{
    std::string data = marker(IDS_HEADER_MARKER_START) + "NAME=\"x\"\n";
    data += std::string(100 - data.size() - marker(IDS_HEADER_MARKER_END).size(), '.');
    data += marker(IDS_HEADER_MARKER_END);
    ASSERT_EQ(data.size(), 100u);
    data += "DATA FROM BYTE 100";
    ASSERT_TRUE(send(data));
    EXPECT_EQ(document().bytes, readBytes(jobFile) + "DATA FROM BYTE 100");
}

// Headers as Windows PostScript and PCL drivers write them: the universal exit,
// a job line, settings, and the language switch with or without blanks around
// "=", lines ended by CR LF or by LF alone.
std::string driverHeader(const std::string& language, const std::string& equals, const std::string& eol)
{
    return "\x1B%-12345X@PJL JOB NAME=\"Report\"" + eol + "@PJL SET RESOLUTION=600" + eol +
           "@PJL SET DUPLEX=OFF" + eol + "@PJL ENTER LANGUAGE" + equals + language + eol;
}

TEST_F(SpoolerOutputTest, DriverHeadersAreCutExactlyInEveryForm)
{
    const std::string postscript = "%!PS-Adobe-3.0\n%%Title: (=) POSTSCRIPT=\n/x 1 def\nshowpage\n";
    const std::string pcl = "\x1B" "E\x1B&l0O PCL text = PCL\r\n\x1B" "E\x1B%-12345X@PJL EOJ\r\n\x1B%-12345X";
    std::size_t n = 0;
    for (const std::string eol : {"\r\n", "\n"}) {
        for (const std::string equals : {"=", " = "}) {
            for (const auto& [language, data] : {std::pair{std::string("POSTSCRIPT"), postscript},
                                                 std::pair{std::string("PCL"), pcl}}) {
                SCOPED_TRACE(language + " '" + equals + "' " + (eol.size() == 2 ? "CR LF" : "LF"));
                ASSERT_TRUE(send(driverHeader(language, equals, eol) + data));
                const std::string& sent = spooler.documents.at(n++).bytes;
                EXPECT_EQ(sent, readBytes(jobFile) + data);
            }
        }
    }
    EXPECT_TRUE(env.tempFiles().empty());
}

TEST_F(SpoolerOutputTest, FilesWithoutADriverHeaderArriveUnchanged)
{
    const std::string files[] = {
        "%!PS-Adobe-3.0\n/Helvetica findfont 12 scalefont setfont (ENTER LANGUAGE) show showpage\n",
        // PCL that only ends with a job-control trailer.
        "\x1B" "E\x1B&l0O text\x1B" "E\x1B%-12345X@PJL EOJ\r\n\x1B%-12345X",
        "%PDF-1.4\n1 0 obj << /Type /Catalog >> endobj\ntrailer << /Root 1 0 R >>\n%%EOF\n",
        // Job-control lines without a language switch: nothing to cut.
        "\x1B%-12345X@PJL JOB\r\n@PJL SET QTY=2\r\n%!PS\nshowpage\n",
        std::string(3000, 'A') + "\x1B%-12345X@PJL ENTER LANGUAGE=PCL\n",  // beyond the first chunk
    };
    std::size_t n = 0;
    for (const std::string& data : files) {
        ASSERT_TRUE(send(data));
        EXPECT_EQ(spooler.documents.at(n++).bytes, readBytes(jobFile) + data) << data.substr(0, 40);
    }
}

TEST(HeaderMarker, LastCharacterIsAWildcardAndMatchesStayInTheChunk)
{
    EXPECT_EQ(findHeaderMarker("xxABCz", 0, "ABCD"), 6u);
    EXPECT_EQ(findHeaderMarker("xxABCzABC?", 3, "ABCD"), 10u);
    // The wildcard byte lies beyond the chunk: the position stops at its end.
    EXPECT_EQ(findHeaderMarker("xxABC", 0, "ABCD"), 5u);
    EXPECT_EQ(findHeaderMarker("xxAB", 0, "ABCD"), std::nullopt);
    EXPECT_EQ(findHeaderMarker("ABC", 0, ""), std::nullopt);
    EXPECT_EQ(findHeaderMarker("ABC", 7, "ABCD"), std::nullopt);
}

TEST_F(SpoolerOutputTest, FailuresAreReportedWhereTheyHappen)
{
    spooler.failures.startDocument = true;
    EXPECT_FALSE(send("%!PS\n"));
    ASSERT_EQ(env.messages.shown.size(), 1u);
    EXPECT_EQ(env.messages.shown[0].text,
              marker(IDS_PRINT_START_FAILED) + "\n\n" + printer->lastErrorText());
    EXPECT_EQ(env.messages.shown[0].type, unsigned(platform::kMbIconStop));
    EXPECT_TRUE(spooler.documents.empty());

    // A page that does not start ends the document, silently.
    spooler.failures = {};
    spooler.failures.startPage = true;
    EXPECT_FALSE(send("%!PS\n"));
    EXPECT_TRUE(spooler.documents.back().ended);
    EXPECT_EQ(env.messages.shown.size(), 1u);

    // A job file that cannot be read: named, and the data is not sent.
    spooler.failures = {};
    jobFile = env.work.file("missing.zjt");
    EXPECT_FALSE(send("%!PS\n"));
    EXPECT_EQ(env.messages.shown.back().text, "Failed to print file:\n\n[" + dataFile + "]");
    EXPECT_EQ(env.messages.shown.back().type, unsigned(platform::kMbOk));
    EXPECT_EQ(spooler.documents.back().bytes, "");
    EXPECT_EQ(spooler.documents.back().pagesEnded, 1);
    EXPECT_TRUE(spooler.documents.back().ended);
}

TEST_F(SpoolerOutputTest, APrintFileGoneSinceItWasListedSendsNothing)
{
    EXPECT_FALSE(output.send(jobFile, env.work.file("gone.ps"), *printer, kModifyYes));
    EXPECT_TRUE(spooler.documents.empty()) << "no job header may reach the queue without its data";
    EXPECT_TRUE(env.messages.shown.empty());
    EXPECT_TRUE(env.tempFiles().empty());
}

TEST_F(SpoolerOutputTest, DataThatDoesNotReachTheQueueFailsTheSend)
{
    spooler.failures.failWriteNumber = 2;  // the first data chunk
    EXPECT_FALSE(send(carriedHeader() + "%!PS\n"));
    EXPECT_TRUE(document().ended);
    EXPECT_TRUE(env.tempFiles().empty());

    // A document the spooler refuses to end has not been printed.
    spooler.failures = {};
    spooler.failures.endDocument = true;
    EXPECT_FALSE(send("%!PS\n"));
    EXPECT_TRUE(env.messages.shown.empty());
}

// Counts the temporary files asked for, over the scratch folder's file system.
class CountingFiles : public platform::FileSystem {
public:
    explicit CountingFiles(platform::FileSystem& real) : real_(real) {}
    std::string hostProgramFolder() const override { return real_.hostProgramFolder(); }
    std::string tempFolder() const override { return real_.tempFolder(); }
    std::string uniqueTempFile(const std::string& prefix) override
    {
        ++made;
        return real_.uniqueTempFile(prefix);
    }
    std::optional<std::uint64_t> freeDiskSpace(const std::string& folder) const override
    {
        return real_.freeDiskSpace(folder);
    }
    bool fileExists(const std::string& path) const override { return real_.fileExists(path); }
    bool removeFile(const std::string& path) override { return real_.removeFile(path); }
    bool isReadOnly(const std::string& path) const override { return real_.isReadOnly(path); }
    bool writeNewFile(const std::string& path, std::string_view bytes) override
    {
        return real_.writeNewFile(path, bytes);
    }
    bool replaceFile(const std::string& replacement, const std::string& target) override
    {
        return real_.replaceFile(replacement, target);
    }
    int made = 0;

private:
    platform::FileSystem& real_;
};

TEST_F(SpoolerOutputTest, OnlyAFileThatCarriesAHeaderIsCopiedAndTheCopyKeepsEveryChunkAfterIt)
{
    CountingFiles files(env.files);
    const platform::Services services{env.services.strings, env.profile, env.messages, files};
    SpoolerOutput counted(services, "ovx");
    // Many chunks with a distinct byte each, so that a chunk lost, doubled or
    // moved in the copy shows.
    std::string tail;
    for (int chunk = 0; chunk < 40; ++chunk) tail += std::string(kSpoolChunkSize, static_cast<char>('A' + chunk % 26));
    tail += "END";

    writeBytes(dataFile, "%!PS\n" + tail);
    ASSERT_TRUE(counted.send(jobFile, dataFile, *printer, kModifyYes));
    EXPECT_EQ(files.made, 0) << "no temporary copy for a file without a header";
    EXPECT_EQ(document().bytes, readBytes(jobFile) + "%!PS\n" + tail);

    writeBytes(dataFile, carriedHeader() + tail);
    ASSERT_TRUE(counted.send(jobFile, dataFile, *printer, kModifyYes));
    EXPECT_EQ(files.made, 1);
    const auto& cut = spooler.documents.at(1);
    EXPECT_EQ(cut.bytes, readBytes(jobFile) + tail);
    // The copy goes out in full gathered writes, then the rest.
    const std::size_t jobWrites = 1;
    ASSERT_GT(cut.writeSizes.size(), jobWrites);
    const std::vector<std::size_t> dataWrites(cut.writeSizes.begin() + static_cast<long>(jobWrites),
                                              cut.writeSizes.end());
    const std::size_t copied = tail.size();
    ASSERT_EQ(dataWrites.size(), copied / kSpoolWriteSize + 1);
    for (std::size_t i = 0; i + 1 < dataWrites.size(); ++i) EXPECT_EQ(dataWrites[i], kSpoolWriteSize) << i;
    EXPECT_EQ(dataWrites.back(), copied % kSpoolWriteSize);
    EXPECT_TRUE(env.tempFiles().empty());
}

} // namespace
} // namespace orvox
