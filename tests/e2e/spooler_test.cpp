// A RAW job through Wine's winspool and CUPS to the capture printer must arrive
// byte for byte: the library's print files carry binary job headers and escape
// sequences that no layer on the way may translate, pad or cut.
#include <gtest/gtest.h>
#include <windows.h>
#include <winspool.h>

#include <algorithm>
#include <string>
#include <vector>

#include "e2e_support.h"

namespace {

using orvox::e2e::CaptureFolder;

std::string queueName()
{
    return orvox::e2e::envOrEmpty("ORVOX_QUEUE");
}

// Bytes a careless text path would damage: NUL, the end-of-job byte 0x04, the
// escape that starts printer commands, 0xFF, a CR LF pair, and every other
// byte value once.
std::string binaryPayload(char tag)
{
    std::string bytes = "\x1B%-12345X@PJL JOB NAME=\"orvox e2e ";
    bytes += tag;
    bytes += "\"\r\n";
    for (int i = 0; i < 256; ++i) bytes += static_cast<char>(i);
    bytes += std::string("\x00\x04\x1B\xFF\r\n", 6);
    bytes += "line ends stay as sent\r\nand\nso\rdo bare ones\r\n";
    bytes += std::string("\xFF\xFF\x00\x00\x1B\x04", 6);
    bytes += "\x1B%-12345X";
    return bytes;
}

// The whole Win32 sequence a host's RAW print goes through; returns "" on
// success, else which call failed and its error code.
std::string printRaw(const std::string& queue, const std::vector<std::string>& pieces)
{
    HANDLE printer = nullptr;
    if (!OpenPrinterA(const_cast<char*>(queue.c_str()), &printer, nullptr))
        return "OpenPrinterA failed: " + std::to_string(GetLastError());
    std::string failure;
    DOC_INFO_1A doc{};
    doc.pDocName = const_cast<char*>("orvox e2e spooler test");
    doc.pDatatype = const_cast<char*>("RAW");
    if (StartDocPrinterA(printer, 1, reinterpret_cast<BYTE*>(&doc)) == 0) {
        failure = "StartDocPrinterA failed: " + std::to_string(GetLastError());
    } else {
        if (!StartPagePrinter(printer)) {
            failure = "StartPagePrinter failed: " + std::to_string(GetLastError());
        } else {
            for (const std::string& piece : pieces) {
                DWORD written = 0;
                if (!WritePrinter(printer, const_cast<char*>(piece.data()), static_cast<DWORD>(piece.size()),
                                  &written)) {
                    failure = "WritePrinter failed: " + std::to_string(GetLastError());
                    break;
                }
                if (written != piece.size()) {
                    failure = "WritePrinter wrote " + std::to_string(written) + " of " +
                              std::to_string(piece.size()) + " bytes";
                    break;
                }
            }
            if (!EndPagePrinter(printer) && failure.empty())
                failure = "EndPagePrinter failed: " + std::to_string(GetLastError());
        }
        if (!EndDocPrinter(printer) && failure.empty())
            failure = "EndDocPrinter failed: " + std::to_string(GetLastError());
    }
    if (!ClosePrinter(printer) && failure.empty())
        failure = "ClosePrinter failed: " + std::to_string(GetLastError());
    return failure;
}

void expectSameBytes(const char* what, const std::string& expected, const std::string& received)
{
    size_t at = orvox::e2e::firstDifference(expected, received);
    EXPECT_EQ(at, std::string::npos) << what << ": sent " << expected.size() << " bytes, received " << received.size()
                                     << "; first difference at offset " << at;
}

class Spooler : public ::testing::Test {
protected:
    void SetUp() override
    {
        queue_ = queueName();
        ASSERT_FALSE(queue_.empty()) << "ORVOX_QUEUE is not set; run through tools/e2e-env.sh";
        ASSERT_TRUE(capture_.configured())
            << "ORVOX_CAPTURE_DIR does not name a folder (" << capture_.dir().string()
            << "); run through tools/e2e-env.sh";
    }

    std::string queue_;
    CaptureFolder capture_;
};

TEST_F(Spooler, QueueIsListedAmongTheDevices)
{
    const std::vector<std::string> names = orvox::e2e::deviceNames();
    std::string listed;
    for (const auto& name : names) listed += " [" + name + "]";
    EXPECT_NE(std::find(names.begin(), names.end(), queue_), names.end())
        << "devices:" << (listed.empty() ? " none" : listed);
}

TEST_F(Spooler, RawJobArrivesByteForByte)
{
    const std::string payload = binaryPayload('A');
    ASSERT_GE(payload.size(), 300u);
    // Written in uneven pieces: the spooler must join them without gaps or padding.
    const std::vector<std::string> pieces = {payload.substr(0, 1), payload.substr(1, 130), payload.substr(131)};
    ASSERT_EQ(printRaw(queue_, pieces), "");

    const std::vector<std::string> jobs = capture_.waitForNewJobs(1);
    ASSERT_EQ(jobs.size(), 1u) << "no job reached " << capture_.dir().string() << " within 30 s";
    expectSameBytes("the job", payload, jobs[0]);
}

TEST_F(Spooler, SuccessiveDocumentsArriveAsSeparateJobsInOrder)
{
    const std::string first = binaryPayload('1');
    const std::string second = binaryPayload('2') + "second document is longer";
    ASSERT_EQ(printRaw(queue_, {first}), "");
    ASSERT_EQ(printRaw(queue_, {second}), "");

    const std::vector<std::string> jobs = capture_.waitForNewJobs(2);
    ASSERT_EQ(jobs.size(), 2u) << "only " << jobs.size() << " of 2 jobs arrived within 30 s";
    expectSameBytes("first job", first, jobs[0]);
    expectSameBytes("second job", second, jobs[1]);
}

TEST(SpoolerNames, OpeningAQueueThatDoesNotExistFails)
{
    const std::string missing = "OrvoxNoSuchQueue-" + std::to_string(GetCurrentProcessId());
    HANDLE printer = nullptr;
    SetLastError(0);
    BOOL opened = OpenPrinterA(const_cast<char*>(missing.c_str()), &printer, nullptr);
    DWORD error = GetLastError();
    if (opened) ClosePrinter(printer);
    EXPECT_FALSE(opened);
    EXPECT_EQ(error, static_cast<DWORD>(ERROR_INVALID_PRINTER_NAME));
}

}  // namespace
