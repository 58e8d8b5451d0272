// The spooler output through the real winspool, CUPS and the capture printer:
// the job file and the cleaned print file arrive as one job, byte for byte.
#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>
#include <string>

#include "e2e_support.h"
#include "platform/services.h"
#include "platform/win32/win32_platform.h"
#include "platform/win32/win32_spooler.h"
#include "print/spooler_output.h"
#include "resource.h"

namespace {

using namespace orvox;

class RecordingSink : public platform::MessageSink {
public:
    int show(const std::string& text, unsigned) override
    {
        shown.push_back(text);
        return platform::kIdOk;
    }
    std::vector<std::string> shown;
};

class SpoolerOutputE2e : public ::testing::Test {
protected:
    void SetUp() override
    {
        queue_ = e2e::envOrEmpty("ORVOX_QUEUE");
        ASSERT_FALSE(queue_.empty()) << "ORVOX_QUEUE is not set; run through tools/e2e-env.sh";
        ASSERT_TRUE(capture_.configured()) << "run through tools/e2e-env.sh";
        // The markers come from the resource module that ships next to the tests.
        resources_ = LoadLibraryA("orvoxRes.dll");
        ASSERT_NE(resources_, nullptr);
        platform::setCurrentResourceHandle(resources_);
        ASSERT_FALSE(strings_.load(IDS_HEADER_MARKER_END).empty());
        jobFile_ = files_.tempFolder() + "orvox-e2e-job.zjt";
    }
    void TearDown() override
    {
        setRemoveCtrlD(false);
        DeleteFileA(jobFile_.c_str());
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
    bool send(const std::string& job, const std::string& dataFile, int modify)
    {
        std::ofstream(jobFile_, std::ios::binary | std::ios::trunc) << job;
        std::string error;
        auto printer = spooler_.open(queue_, &error);
        EXPECT_TRUE(printer) << error;
        if (!printer) return false;
        SpoolerOutput output(services_, "ovx");
        return output.send(jobFile_, dataFile, *printer, modify);
    }
    std::string marker(unsigned id) const { return strings_.load(id); }

    std::string queue_;
    e2e::CaptureFolder capture_;
    HMODULE resources_ = nullptr;
    platform::Win32Strings strings_;
    platform::Win32Profile profile_;
    platform::Win32FileSystem files_;
    RecordingSink messages_;
    platform::Services services_{strings_, profile_, messages_, files_};
    platform::Win32Spooler spooler_;
    std::string jobFile_;
    std::vector<std::string> dataFiles_;
};

TEST_F(SpoolerOutputE2e, JobFileThenPrintFileWithoutItsHeaderAndCtrlD)
{
    const std::string job = "\x1B%-12345X@PJL JOB NAME=\"e2e\"\r\n@PJL ENTER LANGUAGE = POSTSCRIPT\r\n";
    std::string body = "%!PS-Adobe-3.0\n";
    for (int i = 0; i < 3000; ++i) body += static_cast<char>(i * 7 % 256);  // binary, over two chunks
    body += "\nshowpage\n";
    const std::string carried = marker(IDS_HEADER_MARKER_START) + "NAME=\"old\"\r\n@PJL SET COPIES=9\r\n" +
                                marker(IDS_HEADER_MARKER_END) + marker(IDS_HEADER_MARKER_TAIL1) + "\r\n";
    setRemoveCtrlD(true);
    ASSERT_TRUE(send(job, write("with-header.ps", "\x04\x04" + carried + body + "\x04"), 0));

    const auto jobs = capture_.waitForNewJobs(1);
    ASSERT_EQ(jobs.size(), 1u);
    EXPECT_EQ(e2e::firstDifference(jobs[0], job + body), std::string::npos)
        << "received " << jobs[0].size() << " bytes, expected " << (job + body).size();
    EXPECT_TRUE(messages_.shown.empty());
}

TEST_F(SpoolerOutputE2e, UnmodifiedFileOfWholeChunksArrivesAloneAndWhole)
{
    // 4096 bytes: the last read is empty, so the final Ctrl-D stays, and the
    // empty write must pass through the spooler harmlessly.
    std::string data = "\x04" + std::string(4094, 'p') + "\x04";
    setRemoveCtrlD(true);
    ASSERT_TRUE(send("job header that must not be sent", write("whole.ps", data), kModifyPrintFileNo));
    const auto jobs = capture_.waitForNewJobs(1);
    ASSERT_EQ(jobs.size(), 1u);
    EXPECT_EQ(jobs[0], data.substr(1));
}

TEST_F(SpoolerOutputE2e, QueueThatDoesNotExistIsNotOpened)
{
    std::string error;
    EXPECT_EQ(spooler_.open("OrvoxNoSuchQueue-" + std::to_string(GetCurrentProcessId()), &error), nullptr);
    EXPECT_FALSE(error.empty());
}

} // namespace
