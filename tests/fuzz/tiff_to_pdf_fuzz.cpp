// Arbitrary bytes as a TIFF file appended to a PDF batch: every input ends in
// one of the conversion's result codes, leaves no temporary file behind, and a
// batch that took every image can be finished. Seeds: corpus/tiff_to_pdf.
#include <cstdlib>
#include <filesystem>

#include "fuzz_support.h"
#include "platform/posix/folder_files.h"
#include "platform/posix/ini_profile.h"
#include "print/tiff_to_pdf.h"

using namespace orvox;

namespace {

void check(bool condition)
{
    if (!condition) std::abort();
}

bool isConversionResult(int r)
{
    return r == kTiffOk || r == kTiffNoMemory || r == kTiffFailed || (r >= kTiffUnreadable && r <= kTiffDiskFull);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const std::string input = fuzz::scratchFile("input.tif");
    static const std::string batchPath = fuzz::scratchFile("batch.pdf");
    static const std::string tempFolder = [] {
        const std::string folder = fuzz::scratchFile("tmp");
        std::filesystem::create_directories(folder);
        return folder + "/";
    }();
    fuzz::writeFile(input, data, size);

    platform::IniProfile profile;
    fuzz::SilentSink sink;
    platform::FolderFileSystem files(tempFolder);
    // Plenty of room: the disk-space rules have their own tests, and a real
    // measurement per input would only slow the fuzzer.
    files.pinFreeSpace({std::uint64_t(1) << 31});
    const platform::Services services{fuzz::shippedStrings(), profile, sink, files};

    PdfBatch batch(batchPath);
    check(batch.create());
    TiffToPdf converter(services, "ovx", false);
    const int result = converter.append(batch, input);
    check(isConversionResult(result));
    if (result == kTiffOk) check(batch.imageCount() > 0 && batch.finish(fuzz::shippedStrings()) == kTiffOk);
    check(std::filesystem::is_empty(tempFolder));
    return 0;
}
