// XML settings import of a job text of a given size into a job document, as
// the library's import does without its window (the files it names are
// counted, not listed).
//   orvox_bench_xml make BYTES OUT.xml     writes a job text of about BYTES
//   orvox_bench_xml import IN.xml INSTALL_FOLDER SCRATCH
// bench/run.py times the import process beside xmllint reading the same text.
#include <cstdio>
#include <fstream>
#include <sstream>

#include "bench_support.h"
#include "platform/xml_targets.h"
#include "settings/job_document.h"
#include "settings/xml_import.h"

namespace {

using namespace orvox;

class CountingTargets : public platform::XmlTargets {
public:
    void addFileToPrint(const std::string&) override { ++files; }
    void selectPrinter(const std::string&) override {}
    void showPrinterModel(int) override {}
    void clearFilesToPrint() override { files = 0; }
    long files = 0;
};

// Settings and up to 512 substitutions first, then files until the size is reached.
std::string jobText(std::size_t bytes)
{
    std::string xml = "<PRINTER_SETTINGS>\n<PRINTER_MODEL>ID_PRINTERMODEL_OTHER</PRINTER_MODEL>\n"
                      "<COLLATE>ON</COLLATE>\n<PAPER_SUBSTITUTIONS>\n";
    for (int i = 0; i < 512 && xml.size() < bytes / 2; ++i)
        xml += "<PAPER_SUBSTITUTION_ITEM><PAGE_RANGE>" + std::to_string(i + 1) + "</PAGE_RANGE><PAPER>" +
               std::to_string(i % 3) + "</PAPER></PAPER_SUBSTITUTION_ITEM>\n";
    xml += "</PAPER_SUBSTITUTIONS>\n<FILES_TO_PRINT>\n";
    const std::string end = "</FILES_TO_PRINT>\n</PRINTER_SETTINGS>\n";
    for (int i = 0; xml.size() + end.size() < bytes; ++i)
        xml += "<FILE>C:\\HOTFOLDER\\BATCH\\SCAN" + std::to_string(i) + ".TIF</FILE>\n";
    return xml + end;
}

} // namespace

int main(int argc, char** argv)
{
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "make" && argc == 4) {
        std::ofstream(argv[3], std::ios::binary) << jobText(std::strtoull(argv[2], nullptr, 10));
        return 0;
    }
    if (mode != "import" || argc != 5) {
        std::fprintf(stderr, "usage: %s make BYTES OUT.xml | import IN.xml INSTALL_FOLDER SCRATCH\n", argv[0]);
        return 2;
    }
    std::ifstream in(argv[2], std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    std::string install = argv[3];
    if (install.back() != '/') install += '/';
    bench::BenchServices env(argv[4]);
    JobDocument doc(env.services, install);
    CountingTargets targets;
    int line = 0;
    const auto start = std::chrono::steady_clock::now();
    const int result = importXmlSettings(doc, text.str(), line, &targets);
    const double seconds = bench::secondsSince(start);
    std::printf("result=%d seconds=%.6f bytes=%zu files=%ld substitutions=%d%s\n", result, seconds, text.str().size(),
                targets.files, doc.substitutionCount(), bench::buildNote());
    std::filesystem::remove_all(argv[4]);
    return result == 0 ? 0 : 1;
}
