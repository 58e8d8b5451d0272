// The IPP output against a real IPP printer: the test printer of the CUPS
// project, started by the test on the loopback with the production printer's
// attributes, keeps each job's document and its attributes (as IPP_*
// variables of its job command); the test judges that every setting arrived
// and the document's bytes are the print file's. Skipped where the printer
// program or the DNS-SD daemon it needs is missing (and on Windows).
#include <gtest/gtest.h>
#include "production_booklet.h"

#ifndef _WIN32

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <thread>

#include "document_fixture.h"
#include "output_fixture.h"
#include "platform/posix/socket_network.h"
#include "print/ipp_output.h"
#include "print/job_header_builder.h"

extern char** environ;

namespace orvox {
namespace {

namespace fs = std::filesystem;

std::string findProgram(const std::string& name)
{
    std::string path = std::getenv("PATH") ? std::getenv("PATH") : "";
    path += ":/usr/sbin:/sbin";
    std::stringstream dirs(path);
    for (std::string dir; std::getline(dirs, dir, ':');) {
        const fs::path p = fs::path(dir) / name;
        if (!dir.empty() && ::access(p.c_str(), X_OK) == 0) return p.string();
    }
    return {};
}

bool canConnect(std::uint16_t port)
{
    platform::SocketNetwork net;
    return net.connect("127.0.0.1", port, 500, nullptr) != nullptr;
}

std::map<std::string, std::string> readEnvironment(const std::string& path)
{
    std::map<std::string, std::string> vars;
    std::ifstream in(path);
    for (std::string line; std::getline(in, line);) {
        const auto eq = line.find('=');
        if (eq != std::string::npos) vars[line.substr(0, eq)] = line.substr(eq + 1);
    }
    return vars;
}

// A test printer on a port of its own, stopped when the test ends.
class TestPrinter {
public:
    TestPrinter(const std::string& conf, const std::string& captureDir, const std::string& spoolDir)
    {
        const std::string program = findProgram("ippeveprinter");
        if (program.empty()) {
            why = "ippeveprinter is not installed (Debian package cups-ipp-utils)";
            return;
        }
        if (!fs::exists("/run/avahi-daemon/socket")) {
            why = "no DNS-SD daemon runs (avahi-daemon), which the test printer needs";
            return;
        }
        for (std::uint16_t p = 8632; p <= 8639 && port == 0; ++p)
            if (!canConnect(p)) port = p;
        if (port == 0) {
            why = "no free port from 8632 to 8639";
            return;
        }
        const std::string portText = std::to_string(port);
        const std::string name = "OrvoxUnit" + std::to_string(::getpid());
        const std::string command = test::sourceDir() + "/tests/data/ipp/capture-job.sh";
        std::vector<std::string> args = {"timeout", "300", program, "-p", portText, "-d", spoolDir, "-a", conf,
                                         "-c", command, name};
        std::vector<char*> argv;
        for (auto& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);
        std::vector<std::string> env;
        for (char** e = environ; *e; ++e)
            if (std::string_view(*e).rfind("ORVOX_IPP_CAPTURE=", 0) != 0) env.emplace_back(*e);
        env.push_back("ORVOX_IPP_CAPTURE=" + captureDir);
        std::vector<char*> envp;
        for (auto& e : env) envp.push_back(e.data());
        envp.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 2, (spoolDir + "/../printer.log").c_str(), O_WRONLY | O_CREAT, 0644);
        const int rc = posix_spawnp(&pid_, "timeout", &actions, nullptr, argv.data(), envp.data());
        posix_spawn_file_actions_destroy(&actions);
        if (rc != 0) {
            pid_ = 0;
            why = "the test printer could not be started";
            return;
        }
        // The printer is ready when it takes connections.
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(15);
        while (!canConnect(port)) {
            int status = 0;
            if (::waitpid(pid_, &status, WNOHANG) == pid_) {
                pid_ = 0;
                why = "the test printer stopped at its start";
                return;
            }
            if (std::chrono::steady_clock::now() > deadline) {
                why = "the test printer did not start listening";
                return;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        uri = "ipp://127.0.0.1:" + portText + "/ipp/print";
    }
    ~TestPrinter()
    {
        if (pid_ > 0) {
            ::kill(pid_, SIGTERM);
            int status = 0;
            ::waitpid(pid_, &status, 0);
        }
    }
    bool ready() const { return !uri.empty(); }

    std::string why;
    std::string uri;
    std::uint16_t port = 0;

private:
    pid_t pid_ = 0;
};

// Waits for the job command to have kept job `id`.
bool waitForJob(const std::string& captureDir, int id)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    const fs::path env = fs::path(captureDir) / ("job-" + std::to_string(id) + ".env");
    while (!fs::exists(env)) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return true;
}

class IppPrinterTest : public test::DocumentTest {
protected:
    void SetUp() override
    {
        fs::create_directories(capture);
        fs::create_directories(spool);
    }

    // No proof hold: the test printer takes no job-hold-until but no-hold.
    void makeBooklet() { test::makeProductionBooklet(doc(), 0, false, "Room 4-12"); }

    void writeHeader()
    {
        ASSERT_EQ(builder.writeJobHeader("C:\\jobs\\booklet.pdf", jobFile,
                                         {doc().record(), doc().catalog(), doc().substitutions(), &ui}, kOutputPdf),
                  kHeaderOk);
    }

    test::OutputServices env;
    platform::SocketNetwork network;
    std::string capture = dir.file("capture");
    std::string spool = dir.file("spool");
    std::string jobFile = dir.file("job.hdr");
    std::string dataFile = dir.file("booklet.pdf");
    JobHeaderBuilder builder{test::shippedStrings(), messages, nullptr};
};

const std::string kPdf = "%PDF-1.4\n1 0 obj<</Type/Catalog/Pages 2 0 R>>endobj\n"
                         "2 0 obj<</Type/Pages/Kids[]/Count 0>>endobj\n"
                         "trailer<</Root 1 0 R>>\n" + std::string(300000, '%') + "\n%%EOF\n";

TEST_F(IppPrinterTest, AProductionJobArrivesWithEveryAttributeAndTheSameBytes)
{
    TestPrinter printer(test::sourceDir() + "/tests/data/ipp/production.conf", capture, spool);
    if (!printer.ready()) GTEST_SKIP() << printer.why;
    makeBooklet();
    writeHeader();
    // The driver's header in front of the PDF is cut off on the way.
    test::writeBytes(dataFile, "\x1B%-12345X@PJL JOB\n@PJL ENTER LANGUAGE=POSTSCRIPT\n" + kPdf);

    IppOutput output(env.services, network, {"Press 1", printer.uri});
    std::string error;
    ASSERT_TRUE(output.queryPrinter(&error)) << error;
    EXPECT_EQ(output.unsupportedSettings(jobFile), std::vector<std::string>{});
    const IppJobOutcome out = output.send(jobFile, dataFile, "C:\\jobs\\booklet.pdf", 0, false);
    ASSERT_TRUE(out.sent) << out.error;
    EXPECT_EQ(out.ignored, std::vector<std::string>{});
    ASSERT_TRUE(waitForJob(capture, out.jobId));

    const std::string base = capture + "/job-" + std::to_string(out.jobId);
    EXPECT_TRUE(test::readBytes(base + ".doc") == kPdf) << "the document differs";
    auto vars = readEnvironment(base + ".env");
    EXPECT_EQ(vars["CONTENT_TYPE"], "application/pdf");
    EXPECT_EQ(vars["IPP_JOB_NAME"], "booklet.pdf");
    EXPECT_EQ(vars["IPP_COPIES"], "25");
    EXPECT_EQ(vars["IPP_SIDES"], "two-sided-long-edge");
    EXPECT_EQ(vars["IPP_MULTIPLE_DOCUMENT_HANDLING"], "separate-documents-collated-copies");
    EXPECT_EQ(vars["IPP_FINISHINGS"], "saddle-stitch,fold-half,trim,booklet-maker,jog-offset");
    EXPECT_EQ(vars["IPP_OUTPUT_BIN"], "booklet-maker");
    EXPECT_EQ(vars["IPP_PAGE_RANGES"], "1-40");
    EXPECT_EQ(vars["IPP_JOB_MESSAGE_TO_OPERATOR"], "Use the (good) stock: 100%");
    EXPECT_EQ(vars["IPP_JOB_RECIPIENT_NAME"], "Room 4-12");
    EXPECT_EQ(vars["IPP_JOB_ACCOUNT_ID"], "CC-17");
    const std::string a3 = "media-size={x-dimension=29700 y-dimension=42000} media-weight-metric=120 media-color=blue "
                           "media-type=stationery";
    const std::string a4 = "media-size={x-dimension=21000 y-dimension=29700} media-weight-metric=120 media-color=blue "
                           "media-type=stationery";
    EXPECT_EQ(vars["IPP_MEDIA_COL"], "{" + a3 + "}");
    EXPECT_EQ(vars["IPP_COVER_FRONT"], "{cover-type=print-front media-col={" + a3 + "}}");
    EXPECT_EQ(vars["IPP_COVER_BACK"], "{cover-type=print-none media-col={" + a4 + "}}");
    EXPECT_EQ(vars["IPP_INSERT_SHEET"], "{insert-after-page-number=6 insert-count=1 media-col={" + a4 +
                                            "}},{insert-after-page-number=12 insert-count=1 media-col={" + a4 + "}}");
    EXPECT_EQ(vars["IPP_OVERRIDES"], "{pages=2-5 media-col={" + a4 + "} sides=two-sided-long-edge},{pages=9-10 media-col={" +
                                         a3 + "} sides=two-sided-long-edge}");

    // A proof set: this printer holds no jobs, and says so before the send;
    // sent regardless, the job is refused with the printer's status, and
    // without the hold it prints.
    rebuild();
    makeBooklet();
    doc().setProofSet(1);
    writeHeader();
    EXPECT_EQ(output.unsupportedSettings(jobFile), std::vector<std::string>{"proof set (hold the job)"});
    const IppJobOutcome refused = output.send(jobFile, dataFile, "booklet.pdf", 0, false);
    EXPECT_FALSE(refused.sent);
    EXPECT_NE(refused.error.find("client-error-attributes-or-values-not-supported"), std::string::npos)
        << refused.error;
    const IppJobOutcome unheld = output.send(jobFile, dataFile, "booklet.pdf", 0, true);
    ASSERT_TRUE(unheld.sent) << unheld.error;
    ASSERT_TRUE(waitForJob(capture, unheld.jobId));
    vars = readEnvironment(capture + "/job-" + std::to_string(unheld.jobId) + ".env");
    EXPECT_EQ(vars.count("IPP_JOB_HOLD_UNTIL"), 0u);
    EXPECT_EQ(vars["IPP_FINISHINGS"], "saddle-stitch,fold-half,trim,booklet-maker,jog-offset");
}

TEST_F(IppPrinterTest, APrinterWithoutFinishingIsAskedAboutAndGetsTheJobWithoutIt)
{
    TestPrinter printer(test::sourceDir() + "/tests/data/ipp/plain.conf", capture, spool);
    if (!printer.ready()) GTEST_SKIP() << printer.why;
    makeBooklet();
    writeHeader();
    test::writeBytes(dataFile, kPdf);
    IppOutput output(env.services, network, {"Office", printer.uri});
    ASSERT_TRUE(output.queryPrinter(nullptr));
    const auto missing = output.unsupportedSettings(jobFile);
    EXPECT_EQ(missing, (std::vector<std::string>{"saddle stitch", "fold in half", "trim edges", "booklet maker",
                                                 "offset stacking", "output to the booklet maker", "paper Blue 120 g",
                                                 "front cover on Blue 120 g", "insert of Blue 120 g after page 6",
                                                 "insert of Blue 120 g after page 12", "back cover on Blue 120 g",
                                                 "pages 2-5 on Blue 120 g", "pages 9-10 on Blue 120 g",
                                                 "message to the operator", "deliver to Room 4-12",
                                                 "charge number CC-17"}));
    const IppJobOutcome out = output.send(jobFile, dataFile, "booklet.pdf", 0, true);
    ASSERT_TRUE(out.sent) << out.error;
    // Jobs back to back, as a run sends its files: this printer prints one at a
    // time and answers busy meanwhile, and each is offered again until it is taken.
    for (int i = 0; i < 3; ++i) {
        const IppJobOutcome next = output.send(jobFile, dataFile, "booklet.pdf", 0, true);
        EXPECT_TRUE(next.sent) << next.error;
    }
    ASSERT_TRUE(waitForJob(capture, out.jobId));
    auto vars = readEnvironment(capture + "/job-" + std::to_string(out.jobId) + ".env");
    EXPECT_EQ(vars["IPP_COPIES"], "25");
    EXPECT_EQ(vars.count("IPP_FINISHINGS"), 0u);
    EXPECT_EQ(vars.count("IPP_COVER_FRONT"), 0u);
    EXPECT_TRUE(test::readBytes(capture + "/job-" + std::to_string(out.jobId) + ".doc") == kPdf);

    // Sent with everything, the printer refuses the job, and the failure
    // names the printer and its status.
    const IppJobOutcome whole = output.send(jobFile, dataFile, "booklet.pdf", 0, false);
    EXPECT_FALSE(whole.sent);
    EXPECT_EQ(whole.error.rfind("The printer Office did not take the job: "
                                "client-error-attributes-or-values-not-supported", 0),
              0u)
        << whole.error;
}

TEST_F(IppPrinterTest, AStoppedPrinterFailsTheSendAndLeavesNothingBehind)
{
    std::uint16_t port = 0;
    {
        TestPrinter printer(test::sourceDir() + "/tests/data/ipp/plain.conf", capture, spool);
        if (!printer.ready()) GTEST_SKIP() << printer.why;
        port = printer.port;
    }
    writeHeader();
    test::writeBytes(dataFile, kPdf);
    IppOutput output(env.services, network, {"Office", "ipp://127.0.0.1:" + std::to_string(port) + "/ipp/print"});
    std::string error;
    EXPECT_FALSE(output.queryPrinter(&error));
    EXPECT_NE(error.find("Office"), std::string::npos);
    const IppJobOutcome out = output.send(jobFile, dataFile, "booklet.pdf", 0, false);
    EXPECT_FALSE(out.sent);
    EXPECT_NE(out.error.find("Office"), std::string::npos);
    EXPECT_NE(out.error.find("cannot connect"), std::string::npos) << out.error;
    EXPECT_EQ(env.tempFiles(), std::vector<std::string>{});
}

} // namespace
} // namespace orvox

#endif
