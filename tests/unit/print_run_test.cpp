// The print run over the memory spooler: which jobs reach the queue, in which
// order and with which header, and which requests are refused before anything
// is sent.
#include <algorithm>
#include <cstdlib>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <fstream>
#include <vector>

#include <gtest/gtest.h>
#include <tiffio.h>

#include "document_fixture.h"
#include "output_fixture.h"
#include "platform/posix/folder_files.h"
#include "platform/posix/memory_spooler.h"
#include "print/job_header_builder.h"
#include "print/pdf_batch.h"
#include "print/print_run.h"

namespace orvox {
namespace {

class FakePages : public platform::PrintPages {
public:
    std::optional<int> printerRowCount() const override { return rows; }
    std::string selectedPrinterDevice() const override { return device; }
    bool selectedPrinterIsIpp() const override { return ipp; }
    void showPrintersTab() override { ++printersTabShown; }
    std::optional<std::vector<std::string>> filesToPrint() const override { return files; }
    bool commitJobSetup2() override { return true; }
    bool commitAndValidateJobSetup() override { return true; }
    std::string locateMissingFile(const std::string&, const std::string& title) override
    {
        locateTitles.push_back(title);
        if (onLocate) onLocate();
        return {};
    }

    std::optional<int> rows = 1;
    std::string device = "Queue";
    bool ipp = false;
    std::optional<std::vector<std::string>> files;
    std::vector<std::string> locateTitles;
    std::function<void()> onLocate;
    int printersTabShown = 0;
};

// An IPP printer as the run sees it: answers from a script, and what it was
// asked is recorded (the job file is read when it is handed over, since the
// run removes it afterwards).
struct IppScript {
    struct Sent {
        std::string jobFileBytes;
        std::string dataFile;
        std::string jobName;
        int modifyPrintFile;
        bool dropUnsupported;
    };
    bool queryAnswers = true;
    std::vector<std::string> unsupported;
    std::function<IppJobOutcome(int sendNumber)> outcome = [](int n) {
        IppJobOutcome o;
        o.sent = true;
        o.jobId = 100 + n;
        return o;
    };
    std::vector<std::string> madeFor;  // printer addresses, one per target made
    int queries = 0;
    int unsupportedQuestions = 0;
    std::vector<Sent> sent;
};

class ScriptedIppTarget : public IppJobTarget {
public:
    explicit ScriptedIppTarget(IppScript& script) : script_(script) {}
    bool queryPrinter(std::string* error) override
    {
        ++script_.queries;
        if (!script_.queryAnswers && error) *error = "connection refused";
        return script_.queryAnswers;
    }
    std::vector<std::string> unsupportedSettings(const std::string&) const override
    {
        ++script_.unsupportedQuestions;
        return script_.unsupported;
    }
    IppJobOutcome send(const std::string& jobFile, const std::string& dataFile, const std::string& jobName,
                       int modifyPrintFile, bool dropUnsupported) override
    {
        script_.sent.push_back({test::readBytes(jobFile), dataFile, jobName, modifyPrintFile, dropUnsupported});
        return script_.outcome(static_cast<int>(script_.sent.size()));
    }

private:
    IppScript& script_;
};

class RecordingStatus : public platform::StatusDisplay {
public:
    void setStatusText(const std::string& text) override
    {
        texts.push_back(text);
        if (onText) onText(text);
    }
    std::vector<std::string> texts;
    std::function<void(const std::string&)> onText;
};

// A bilevel 8 x 8 image at 300 dpi.
void writeSmallTiff(const std::string& path)
{
    TIFF* tiff = TIFFOpen(path.c_str(), "w");
    ASSERT_NE(tiff, nullptr);
    TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, 8);
    TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, 8);
    TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, 1);
    TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, 1);
    TIFFSetField(tiff, TIFFTAG_COMPRESSION, COMPRESSION_NONE);
    TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISWHITE);
    TIFFSetField(tiff, TIFFTAG_XRESOLUTION, 300.0f);
    TIFFSetField(tiff, TIFFTAG_YRESOLUTION, 300.0f);
    TIFFSetField(tiff, TIFFTAG_RESOLUTIONUNIT, RESUNIT_INCH);
    TIFFSetField(tiff, TIFFTAG_ROWSPERSTRIP, 8);
    for (std::uint32_t y = 0; y < 8; ++y) {
        unsigned char line = static_cast<unsigned char>(0x80 >> y);
        ASSERT_GE(TIFFWriteScanline(tiff, &line, y, 0), 0);
    }
    TIFFClose(tiff);
}

class PrintRunTest : public test::DocumentTest {
protected:
    PrintRunTest()
    {
        spooler.addQueue("Queue");
        std::ofstream(dir.file(Branding::kFileName)) << "[" << Branding::kSectionName << "]\nTypeFilter=1\n";
        branding.load(dir.folder(), profile, test::shippedStrings());
        doc();
    }

    int print()
    {
        PrintRunEnvironment env{runServices, spooler, pages, status, branding, nullptr, printing, "OrvoxTest",
                                work.file("host.ini"), {}};
        env.ippPrinters = &ippPrinters;
        env.ippTarget = [this](const IppPrinter& printer) -> std::unique_ptr<IppJobTarget> {
            ipp.madeFor.push_back(printer.uri);
            return std::make_unique<ScriptedIppTarget>(ipp);
        };
        PrintRun run(doc(), std::move(env));
        return run.request();
    }

    // Selects the IPP printer "Finisher" the way the Printers page does.
    void selectIppPrinter()
    {
        ippPrinters = {{"Other", "ipp://127.0.0.1:8641/ipp/print"}, {"Finisher", "ipp://127.0.0.1:8642/ipp/print"}};
        pages.device = "finisher";
        pages.ipp = true;
    }

    std::string file(const std::string& name, const std::string& bytes)
    {
        test::writeBytes(work.file(name), bytes);
        return work.file(name);
    }
    std::string tiff(const std::string& name)
    {
        writeSmallTiff(work.file(name));
        return work.file(name);
    }

    // The header the run must put ahead of `dataName`, built on its own.
    std::string expectedHeader(const std::string& dataName, int kind)
    {
        JobHeaderBuilder builder(test::shippedStrings(), messages);
        const std::string path = work.file("expected.zjt");
        EXPECT_EQ(builder.writeJobHeader(dataName, path,
                                         {doc().record(), doc().catalog(), doc().substitutions(), doc().uiState()},
                                         kind),
                  0);
        return test::readBytes(path);
    }

    std::vector<std::string> tempFiles() const
    {
        std::vector<std::string> names;
        for (const auto& e : std::filesystem::directory_iterator(temp.folder())) names.push_back(e.path().string());
        return names;
    }

    test::ScratchDir temp;
    test::ScratchDir work;
    platform::FolderFileSystem runFiles{temp.folder()};
    platform::Services runServices{test::shippedStrings(), profile, messages, runFiles};
    platform::MemorySpooler spooler;
    FakePages pages;
    RecordingStatus status;
    Branding branding;
    bool printing = false;
    std::vector<IppPrinter> ippPrinters;
    IppScript ipp;
};

const std::string kPostScript = "%!PS-Adobe-3.0\n/Helvetica findfont 12 scalefont setfont\nshowpage\n";

TEST_F(PrintRunTest, PostScriptFileGoesOutAsOneJobBehindItsHeaderAndLeavesNoTempFile)
{
    const std::string ps = file("report.ps", kPostScript);
    pages.files = {{ps}};
    ASSERT_EQ(print(), kRunOk);

    ASSERT_EQ(spooler.documents.size(), 1u);
    const std::string header = expectedHeader(ps, kOutputPostScript);
    EXPECT_FALSE(header.empty());
    EXPECT_EQ(spooler.documents[0].bytes, header + kPostScript);
    EXPECT_TRUE(spooler.documents[0].ended);
    EXPECT_EQ(spooler.openPrinters, 0);
    EXPECT_FALSE(printing);
    EXPECT_TRUE(tempFiles().empty());
    EXPECT_EQ(status.texts.back(), "Sent: " + ps);

#ifndef _WIN32
    // The job as the printer gets it must be one an interpreter accepts
    // (Ghostscript runs natively only).
    const std::string job = work.file("job.bin");
    test::writeBytes(job, spooler.documents[0].bytes);
    EXPECT_EQ(std::system(("gs -q -dSAFER -dBATCH -dNOPAUSE -sDEVICE=nullpage " + job + " >/dev/null 2>&1").c_str()), 0);
#endif
}

TEST_F(PrintRunTest, TempFilesStayWhenTheHostProfileKeepsThem)
{
    profile.writeString(work.file("host.ini"), kDebugSection, kKeepTempFilesKey, "1");
    pages.files = {{file("report.ps", kPostScript)}};
    ASSERT_EQ(print(), kRunOk);
    EXPECT_EQ(tempFiles().size(), 1u);
}

// Files a killed run left in the temporary folder go when the next run
// starts; files of a run still going (held), files of other forms and the
// run's own files (marked, held, removed at its end) are told apart.
TEST_F(PrintRunTest, TheNextRunRemovesRunFilesNoRunHoldsAndOnlyThose)
{
    const std::string stale = temp.folder() + "OrvoxTest.orvox-run-9.tmp";
    const std::string foreign = temp.folder() + "Orv9.tmp";
    test::writeBytes(stale, "job file of a killed run");
    test::writeBytes(foreign, "another program's");
    const std::string live = runFiles.newRunFile("OtherHost");
    ASSERT_FALSE(live.empty());

    std::vector<std::string> during;
    status.onText = [&](const std::string& text) {
        if (text.rfind("Sent", 0) != 0) return;
        for (const std::string& path : tempFiles()) {
            const std::string name = std::filesystem::path(path).filename().string();
            if (path != live && path != foreign) during.push_back(name);
        }
    };
    pages.files = {{tiff("a.tif"), file("b.ps", kPostScript)}};
    ASSERT_EQ(print(), kRunOk);
    ASSERT_EQ(spooler.documents.size(), 2u);
    ASSERT_FALSE(during.empty());
    for (const std::string& name : during) {
        EXPECT_TRUE(platform::isRunFileName(name)) << name;
        EXPECT_EQ(name.rfind("OrvoxTest.orvox-run-", 0), 0u) << name;
    }
    auto left = tempFiles();
    std::sort(left.begin(), left.end());
    EXPECT_EQ(left, (std::vector<std::string>{foreign, live}));

    // With the host's profile keeping temporary files, nothing is swept.
    runFiles.releaseRunFile(live, true);
    test::writeBytes(stale, "job file of a killed run");
    profile.writeString(work.file("host.ini"), kDebugSection, kKeepTempFilesKey, "1");
    pages.files = {{file("c.ps", kPostScript)}};
    ASSERT_EQ(print(), kRunOk);
    EXPECT_TRUE(std::filesystem::exists(stale));
    EXPECT_TRUE(std::filesystem::exists(live));
}

TEST(RunFileNames, CarryTheMarkAndNothingElseIsTakenForOne)
{
    EXPECT_TRUE(platform::isRunFileName(platform::runFileName("OrvoxTest", "1f-2")));
    EXPECT_TRUE(platform::isRunFileName("~TM.orvox-run-3.tmp"));
    // A prefix from a branding text or a long program name stays one short file name.
    EXPECT_EQ(platform::runFileName("*.ovx", "1"), "_.ovx.orvox-run-1.tmp");
    EXPECT_EQ(platform::runFileName("a\\b/c:d?\"e<f>g|h", "2"), "a_b_c_d__e_f_g_h.orvox-run-2.tmp");
    EXPECT_EQ(platform::runFileName(std::string(40, 'p'), "3"), std::string(32, 'p') + ".orvox-run-3.tmp");
    for (const char* other : {"Orv1A2B.tmp", "a.orvox-run-1.txt", ".orvox-run-.tmp", "x.orvox-run.tmp",
                              "sub\\a.orvox-run-1.tmp", "a.orvox-run-1.tmp.bak"})
        EXPECT_FALSE(platform::isRunFileName(other)) << other;
}

TEST_F(PrintRunTest, ConsecutiveTiffFilesShareOneBatchEachBatchIsOneJob)
{
    const std::string ps = file("middle.ps", kPostScript);
    pages.files = {{tiff("a.tif"), tiff("b.TIFF"), ps, tiff("c.tif")}};
    ASSERT_EQ(print(), kRunOk);

    ASSERT_EQ(spooler.documents.size(), 3u);
    const std::string firstHeader = expectedHeader("a.tif,b.TIFF", kOutputPdfFromTiff);
    const std::string& first = spooler.documents[0].bytes;
    ASSERT_EQ(first.compare(0, firstHeader.size(), firstHeader), 0);
    EXPECT_EQ(first.compare(firstHeader.size(), 5, "%PDF-"), 0);
    EXPECT_NE(first.find("/Count 2"), std::string::npos);
    EXPECT_EQ(spooler.documents[1].bytes, expectedHeader(ps, kOutputPostScript) + kPostScript);
    EXPECT_NE(spooler.documents[2].bytes.find("/Count 1"), std::string::npos);
    EXPECT_NE(std::find(status.texts.begin(), status.texts.end(), "Sent: a.tif,b.TIFF"), status.texts.end());
    EXPECT_TRUE(tempFiles().empty());
}

TEST_F(PrintRunTest, FailedSendIsReportedButTheOtherFilesStillGoOut)
{
    pages.files = {{file("1.ps", kPostScript), file("2.ps", kPostScript), file("3.ps", kPostScript)}};
    spooler.failures.failWriteNumber = 1;
    status.onText = [&](const std::string& text) {
        if (text.rfind("Not sent", 0) == 0) spooler.failures.failWriteNumber = 0;
    };
    EXPECT_EQ(print(), kRunSendFailed);
    ASSERT_EQ(spooler.documents.size(), 3u);
    EXPECT_EQ(spooler.documents[0].bytes, "");
    EXPECT_TRUE(spooler.documents[1].ended);
    EXPECT_TRUE(spooler.documents[2].ended);
    EXPECT_TRUE(tempFiles().empty());
}

TEST_F(PrintRunTest, MissingFileIsSkippedWhenNotLocatedAndEscapeEndsTheRun)
{
    const std::string missing = work.file("gone.ps");
    pages.files = {{missing, file("here.ps", kPostScript)}};
    EXPECT_EQ(print(), kRunOk);
    EXPECT_EQ(spooler.documents.size(), 1u);
    ASSERT_EQ(pages.locateTitles.size(), 1u);
    EXPECT_NE(pages.locateTitles[0].find(missing), std::string::npos);

    // Escape pressed while the dialog is up.
    pages.onLocate = [&] { printing = false; };
    EXPECT_EQ(print(), kRunCancelled);
    EXPECT_EQ(spooler.documents.size(), 1u);
    EXPECT_FALSE(printing);
}

TEST_F(PrintRunTest, RequestsThatCannotRunAreRefusedBeforeAnythingIsSent)
{
    const std::string ps = file("a.ps", kPostScript);
    pages.files = {{ps}};

    pages.device.clear();
    EXPECT_EQ(print(), kRunNoPrinter);
    EXPECT_EQ(pages.printersTabShown, 1);
    pages.rows = 0;
    EXPECT_EQ(print(), kRunNoPrinter);
    ASSERT_EQ(messages.shown.size(), 2u);
    EXPECT_EQ(messages.shown[1].text, test::shippedStrings().load(IDS_RUN_NO_PRINTERS));

    pages.rows = 1;
    pages.device = "Unknown";
    EXPECT_EQ(print(), kRunPrinterNotOpened);
    EXPECT_NE(messages.shown.back().text.find("The printer name is invalid."), std::string::npos);
    EXPECT_EQ(messages.shown.back().type, platform::kMbIconStop);

    pages.device = "Queue";
    pages.files = std::vector<std::string>{};
    EXPECT_EQ(print(), kRunNoFiles);

    pages.files = {{ps, ps}};
    doc().setSaveAsFile(1);
    EXPECT_EQ(print(), kRunRefused);
    EXPECT_NE(messages.shown.back().text.find(branding.get(Branding::kServerName)), std::string::npos);

    EXPECT_TRUE(spooler.documents.empty());
    EXPECT_FALSE(printing);
}

TEST_F(PrintRunTest, InvalidSubstitutionPageListIsNamedByItsNumber)
{
    pages.files = {{file("a.ps", kPostScript)}};
    ASSERT_TRUE(doc().addSubstitution(2, 0, "3"));
    ASSERT_TRUE(doc().addSubstitution(2, 0, "4-x"));
    EXPECT_EQ(print(), kRunRefused);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, "Paper substitution 2 has an invalid page list: \"4-x\"");
    EXPECT_TRUE(spooler.documents.empty());
}

TEST_F(PrintRunTest, EscapeBeforeAMissingFileEndsTheRunWithoutTheLocateDialog)
{
    const std::string first = file("first.ps", kPostScript);
    pages.files = {{first, work.file("gone.ps"), file("last.ps", kPostScript)}};
    // Escape reaches the run while the first file's outcome is shown.
    const std::string sent = fillTemplate(test::shippedStrings().load(IDS_RUN_SENT), {first});
    status.onText = [&](const std::string& text) {
        if (text == sent) printing = false;
    };
    EXPECT_EQ(print(), kRunCancelled);
    EXPECT_TRUE(pages.locateTitles.empty()) << "no dialog once the run is told to stop";
    EXPECT_EQ(spooler.documents.size(), 1u);
}

TEST_F(PrintRunTest, TheCheckedSubstitutionListIsTheOneThatIsPrinted)
{
    pages.files = {{file("a.ps", kPostScript)}};
    ASSERT_TRUE(doc().addSubstitution(2, 0, "1,LAST"));
    doc().markModified(false);
    ASSERT_EQ(print(), kRunOk);
    EXPECT_STREQ(doc().substitution(0).pageList, "1,last") << "the keyword is written as the printer reads it";
    EXPECT_FALSE(doc().isModified()) << "the same list in another case is no change";
    ASSERT_EQ(spooler.documents.size(), 1u);
    EXPECT_EQ(spooler.documents[0].bytes.find("LAST"), std::string::npos);
    EXPECT_EQ(spooler.documents[0].bytes, expectedHeader(pages.files->front(), kOutputPostScript) + kPostScript);
}

} // namespace
} // namespace orvox

namespace orvox {
namespace {

TEST_F(PrintRunTest, PendingSubstitutionTypingRefusesBeforeAnyOtherCheckAndClearedRuns)
{
    pages.files = {{file("a.ps", kPostScript)}};
    // Even a run that would fail for a missing printer first reports the pending edit.
    pages.device.clear();
    doc().setEditingSubstitutions(true);
    EXPECT_EQ(print(), kRunEditingSubstitutions);
    EXPECT_TRUE(messages.shown.empty()) << "the refusal is the result code alone";
    EXPECT_EQ(pages.printersTabShown, 0);

    pages.device = "Queue";
    EXPECT_EQ(print(), kRunEditingSubstitutions);
    doc().setEditingSubstitutions(false);
    EXPECT_EQ(print(), 0);
    EXPECT_EQ(spooler.documents.size(), 1u);
}

} // namespace
} // namespace orvox

namespace orvox {
namespace {

TEST_F(PrintRunTest, IppPrinterGetsEachFileAndBatchAsOneJobWithTheFullHeaderAndNoQueueIsOpened)
{
    selectIppPrinter();
    // The print file goes as it is, yet the job's settings must still all
    // reach the printer: the job file holds the whole header.
    doc().setModifyPrintFile(stored(ModifyPrintFile::No));
    const std::string ps = file("middle.ps", kPostScript);
    pages.files = {{tiff("a.tif"), tiff("b.TIFF"), ps}};
    ASSERT_EQ(print(), kRunOk);

    EXPECT_TRUE(spooler.documents.empty());
    EXPECT_EQ(ipp.madeFor, std::vector<std::string>{"ipp://127.0.0.1:8642/ipp/print"});
    EXPECT_EQ(ipp.queries, 1) << "one Get-Printer-Attributes per run";
    ASSERT_EQ(ipp.sent.size(), 2u);

    doc().setModifyPrintFile(stored(ModifyPrintFile::Yes));
    const std::string batchHeader = expectedHeader("a.tif,b.TIFF", kOutputPdfFromTiff);
    const std::string psHeader = expectedHeader(ps, kOutputPostScript);
    ASSERT_FALSE(psHeader.empty());
    EXPECT_EQ(ipp.sent[0].jobFileBytes, batchHeader);
    EXPECT_EQ(ipp.sent[0].jobName, "a.tif,b.TIFF");
    EXPECT_EQ(ipp.sent[1].jobFileBytes, psHeader);
    EXPECT_EQ(ipp.sent[1].dataFile, ps);
    EXPECT_EQ(ipp.sent[1].jobName, "middle.ps");
    EXPECT_EQ(ipp.sent[1].modifyPrintFile, stored(ModifyPrintFile::No)) << "the print file's own choice stands";
    EXPECT_FALSE(ipp.sent[1].dropUnsupported);
    EXPECT_EQ(doc().record().modifyPrintFile, stored(ModifyPrintFile::Yes)) << "only the job file's copy was changed";

    EXPECT_NE(std::find(status.texts.begin(), status.texts.end(), "Sent: " + ps + " (job 102 on Finisher)"),
              status.texts.end());
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_FALSE(printing);
    EXPECT_TRUE(tempFiles().empty());
}

TEST_F(PrintRunTest, IppSettingsThePrinterCannotDoAreAskedAboutOnceBeforeAnythingIsSent)
{
    selectIppPrinter();
    ipp.unsupported = {"saddle stitch", "front cover on Blue 120 g"};
    pages.files = {{file("1.ps", kPostScript), file("2.ps", kPostScript)}};

    messages.answer = platform::kIdCancel;
    EXPECT_EQ(print(), kRunCancelled);
    EXPECT_TRUE(ipp.sent.empty());
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, unsupportedSettingsQuestion(test::shippedStrings(), "Finisher", ipp.unsupported));
    EXPECT_NE(messages.shown[0].text.find("front cover on Blue 120 g"), std::string::npos);
    EXPECT_EQ(messages.shown[0].type, platform::kMbOkCancel | platform::kMbIconQuestion);
    EXPECT_TRUE(tempFiles().empty());
    EXPECT_FALSE(printing);

    messages.shown.clear();
    messages.answer = platform::kIdOk;
    EXPECT_EQ(print(), kRunOk);
    EXPECT_EQ(messages.shown.size(), 1u) << "one question for the whole run";
    ASSERT_EQ(ipp.sent.size(), 2u);
    EXPECT_TRUE(ipp.sent[0].dropUnsupported);
    EXPECT_TRUE(ipp.sent[1].dropUnsupported);

    // A later job that would lose a setting not named yet is asked about again.
    messages.shown.clear();
    ipp.sent.clear();
    ipp.unsupported = {"saddle stitch"};
    status.onText = [&](const std::string& text) {
        if (text.rfind("Sent:", 0) == 0) ipp.unsupported = {"saddle stitch", "trim edges"};
    };
    EXPECT_EQ(print(), kRunOk);
    ASSERT_EQ(messages.shown.size(), 2u);
    EXPECT_NE(messages.shown[1].text.find("trim edges"), std::string::npos);
    messages.shown.clear();
    ipp.sent.clear();
    ipp.unsupported = {"saddle stitch"};
    status.onText = [&](const std::string& text) {
        if (text.rfind("Sent:", 0) == 0) {
            ipp.unsupported = {"saddle stitch", "trim edges"};
            messages.answer = platform::kIdCancel;
        }
    };
    EXPECT_EQ(print(), kRunCancelled);
    EXPECT_EQ(messages.shown.size(), 2u);
    EXPECT_EQ(ipp.sent.size(), 1u) << "the second job is not sent without its answer";
    EXPECT_TRUE(tempFiles().empty());
}

TEST_F(PrintRunTest, IppPrinterThatCannotBeAskedGetsNothingAndFailedJobsDoNotStopTheRun)
{
    selectIppPrinter();
    const std::string first = file("1.ps", kPostScript);
    pages.files = {{first, file("2.ps", kPostScript), file("3.ps", kPostScript)}};

    ipp.queryAnswers = false;
    EXPECT_EQ(print(), kRunSendFailed);
    EXPECT_TRUE(ipp.sent.empty());
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_NE(messages.shown[0].text.find("\"Finisher\""), std::string::npos);
    EXPECT_NE(messages.shown[0].text.find("connection refused"), std::string::npos);
    EXPECT_EQ(messages.shown[0].type, platform::kMbIconStop);
    EXPECT_TRUE(tempFiles().empty());

    // The first job is refused, the second has attributes ignored, the third goes through.
    messages.shown.clear();
    ipp.queryAnswers = true;
    ipp.outcome = [](int n) {
        IppJobOutcome o;
        o.sent = n != 1;
        o.jobId = n;
        if (n == 1) o.error = "client-error-bad-request";
        if (n == 2) o.ignored = {"finishings", "cover-front"};
        return o;
    };
    EXPECT_EQ(print(), kRunSendFailed);
    EXPECT_EQ(ipp.sent.size(), 3u);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, fillTemplate(test::shippedStrings().load(IDS_IPP_SEND_FAILED),
                                                   {first, "Finisher", "client-error-bad-request"}));
    EXPECT_NE(std::find(status.texts.begin(), status.texts.end(), "Not sent: " + first), status.texts.end());
    const bool ignoredNamed = std::any_of(status.texts.begin(), status.texts.end(), [](const std::string& t) {
        return t.find("(job 2 on Finisher)") != std::string::npos && t.find("finishings, cover-front") != std::string::npos;
    });
    EXPECT_TRUE(ignoredNamed);
    EXPECT_TRUE(tempFiles().empty());
    EXPECT_FALSE(printing);
}

TEST_F(PrintRunTest, QueueAndIppPrinterOfOneNameAreToldApartByTheSelectedRow)
{
    ippPrinters = {{"Queue", "ipp://127.0.0.1:8643/"}};
    pages.files = {{file("a.ps", kPostScript)}};
    ASSERT_EQ(print(), kRunOk);
    EXPECT_EQ(spooler.documents.size(), 1u);
    EXPECT_TRUE(ipp.madeFor.empty());

    pages.ipp = true;
    ASSERT_EQ(print(), kRunOk);
    EXPECT_EQ(spooler.documents.size(), 1u);
    EXPECT_EQ(ipp.sent.size(), 1u);

    // An IPP row whose printer is not configured is not sent to any queue.
    pages.device = "Gone";
    EXPECT_EQ(print(), kRunPrinterNotOpened);
    EXPECT_EQ(spooler.documents.size(), 1u);
    EXPECT_EQ(ipp.sent.size(), 1u);
    EXPECT_EQ(messages.shown.back().type, platform::kMbIconStop);
    EXPECT_EQ(pages.printersTabShown, 1);
}

} // namespace
} // namespace orvox
