// A print file, whatever bytes it holds, as the spooler output reads it: the
// header it carries is cut from the front of its first chunk and nowhere else,
// the copy holds every byte after the cut, the send puts the job file and then
// the print file on the queue, and no temporary file outlives the send.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>

#include "fuzz_support.h"
#include "platform/posix/folder_files.h"
#include "platform/posix/ini_profile.h"
#include "platform/posix/memory_spooler.h"
#include "platform/services.h"
#include "print/pdf_job_header.h"
#include "print/spooler_output.h"

namespace {

std::string fileBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool folderIsEmpty(const std::string& folder)
{
    return std::filesystem::directory_iterator(folder) == std::filesystem::directory_iterator();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace orvox;
    static const std::string dataFile = fuzz::scratchFile("print.prn");
    static const std::string jobFile = fuzz::scratchFile("job.pjl");
    static const std::string tempFolder = [] {
        const std::string folder = fuzz::scratchFile("temp") + "/";
        std::filesystem::create_directories(folder);
        return folder;
    }();
    static const std::string job = "\x1B%-12345X@PJL JOB NAME=\"fuzz\"\n@PJL ENTER LANGUAGE=POSTSCRIPT\n";
    static const bool jobWritten = [] {
        fuzz::writeFile(jobFile, reinterpret_cast<const std::uint8_t*>(job.data()), job.size());
        return true;
    }();
    (void)jobWritten;

    fuzz::writeFile(dataFile, data, size);
    const std::string_view input(reinterpret_cast<const char*>(data), size);

    platform::IniProfile profile;
    fuzz::SilentSink messages;
    platform::FolderFileSystem files(tempFolder);
    const platform::Services services{fuzz::shippedStrings(), profile, messages, files};
    SpoolerOutput output(services, "ovx");

    // The cut takes a front part of the first chunk; without the start marker
    // there (all but its last character compared), nothing is cut.
    const std::string copy = output.makeHeaderStrippedCopy(dataFile);
    if (!copy.empty()) {
        const std::string rest = fileBytes(copy);
        files.removeFile(copy);
        const std::size_t cut = size - rest.size();
        if (rest.size() > size || cut == 0 || cut > kSpoolChunkSize || input.substr(cut) != rest) std::abort();
        if (input.substr(0, kSpoolChunkSize).find("\x1B%-12345X@PJ") == std::string_view::npos) std::abort();
    }
    if (!folderIsEmpty(tempFolder)) std::abort();

    // The whole send, with the Ctrl-D switch taken from the first byte.
    setRemoveCtrlD(size > 0 && (data[0] & 1));
    platform::MemorySpooler spooler;
    spooler.addQueue("q");
    const auto printer = spooler.open("q", nullptr);
    if (!printer || !output.send(jobFile, dataFile, *printer, 0)) std::abort();
    const platform::SpooledDocument& sent = spooler.documents.back();
    if (!sent.ended || !folderIsEmpty(tempFolder)) std::abort();
    // Data that is no PDF follows the whole job file, and at most the file's bytes follow it.
    if (!pdfHeaderOffset(input)) {
        if (sent.bytes.compare(0, job.size(), job) != 0 || sent.bytes.size() > job.size() + size) std::abort();
        if (!removeCtrlD() && input.substr(size - (sent.bytes.size() - job.size())) !=
                                  std::string_view(sent.bytes).substr(job.size()))
            std::abort();
    }
    return 0;
}
