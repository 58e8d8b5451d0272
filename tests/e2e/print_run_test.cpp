// A print run through the real winspool, CUPS and the capture printer: the
// PostScript file arrives as one job, behind the job header built for it.
#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>
#include <string>
#include <vector>

#include "e2e_support.h"
#include "platform/print_pages.h"
#include "platform/services.h"
#include "platform/status.h"
#include "platform/win32/win32_platform.h"
#include "platform/win32/win32_spooler.h"
#include "print/job_header_builder.h"
#include "print/print_run.h"
#include "resource.h"
#include "settings/branding.h"
#include "settings/job_document.h"

namespace {

using namespace orvox;

class AnsweringSink : public platform::MessageSink {
public:
    int show(const std::string& text, unsigned) override
    {
        shown.push_back(text);
        return platform::kIdOk;
    }
    std::vector<std::string> shown;
};

class QueuePages : public platform::PrintPages {
public:
    std::optional<int> printerRowCount() const override { return 1; }
    std::string selectedPrinterDevice() const override { return queue; }
    std::optional<std::vector<std::string>> filesToPrint() const override { return files; }
    bool commitJobSetup2() override { return true; }
    bool commitAndValidateJobSetup() override { return true; }

    std::string queue;
    std::vector<std::string> files;
};

class NoStatus : public platform::StatusDisplay {
public:
    void setStatusText(const std::string& text) override { last = text; }
    std::string last;
};

class PrintRunE2e : public ::testing::Test {
protected:
    void SetUp() override
    {
        pages_.queue = e2e::envOrEmpty("ORVOX_QUEUE");
        ASSERT_FALSE(pages_.queue.empty()) << "ORVOX_QUEUE is not set; run through tools/e2e-env.sh";
        ASSERT_TRUE(capture_.configured()) << "run through tools/e2e-env.sh";
        resources_ = LoadLibraryA("orvoxRes.dll");
        ASSERT_NE(resources_, nullptr);
        platform::setCurrentResourceHandle(resources_);
        // The installation data lies next to the test, as next to a host.
        folder_ = files_.hostProgramFolder();
        branding_.load(folder_, profile_, strings_);
        doc_ = std::make_unique<JobDocument>(services_, folder_);
        ASSERT_TRUE(doc_->catalog().catalogLoaded());
    }
    void TearDown() override
    {
        doc_.reset();
        for (const auto& path : dataFiles_) DeleteFileA(path.c_str());
        platform::setCurrentResourceHandle(nullptr);
        if (resources_) FreeLibrary(resources_);
    }

    std::string write(const std::string& name, const std::string& bytes)
    {
        const std::string path = files_.tempFolder() + name;
        std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
        dataFiles_.push_back(path);
        return path;
    }

    e2e::CaptureFolder capture_;
    HMODULE resources_ = nullptr;
    platform::Win32Strings strings_;
    platform::Win32Profile profile_;
    platform::Win32FileSystem files_;
    AnsweringSink messages_;
    platform::Services services_{strings_, profile_, messages_, files_};
    platform::Win32Spooler spooler_;
    QueuePages pages_;
    NoStatus status_;
    Branding branding_;
    std::string folder_;
    std::unique_ptr<JobDocument> doc_;
    std::vector<std::string> dataFiles_;
    bool printing_ = false;
};

TEST_F(PrintRunE2e, PostScriptFileArrivesBehindItsJobHeader)
{
    const std::string ps = "%!PS-Adobe-3.0\n/Helvetica findfont 24 scalefont setfont\n72 720 moveto (Orvox) show\nshowpage\n";
    const std::string path = write("orvox-e2e-run.ps", ps);
    pages_.files = {path};

    PrintRun run(*doc_, {services_, spooler_, pages_, status_, branding_, nullptr, printing_, "OrvoxE2e",
                         "OrvoxE2e.INI", {}});
    ASSERT_EQ(run.request(), kRunOk) << (messages_.shown.empty() ? "" : messages_.shown.back());
    EXPECT_FALSE(printing_);

    const std::string headerPath = write("orvox-e2e-run.zjt", "");
    JobHeaderBuilder builder(strings_, messages_);
    ASSERT_EQ(builder.writeJobHeader(path, headerPath, {doc_->record(), doc_->catalog(), doc_->substitutions(), nullptr},
                                     kOutputPostScript),
              0);
    const std::string header = e2e::readBytes(headerPath);
    ASSERT_FALSE(header.empty());

    const auto jobs = capture_.waitForNewJobs(1);
    ASSERT_EQ(jobs.size(), 1u);
    EXPECT_EQ(e2e::firstDifference(jobs[0], header + ps), std::string::npos)
        << "received " << jobs[0].size() << " bytes, expected " << (header + ps).size();
}

} // namespace
