// Settings files from anywhere: whatever the bytes, reading gives a result code,
// and the document stays consistent enough to be used, saved and read again.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

#include "platform/posix/ini_profile.h"
#include "platform/posix/folder_files.h"
#include "platform/posix/res_strings.h"
#include "platform/services.h"
#include "resource.h"
#include "settings/job_document.h"
#include "settings/settings_file.h"

namespace {

using namespace orvox;

class QuietMessages : public platform::MessageSink {
public:
    int show(const std::string&, unsigned) override { return platform::kIdNo; }
};

struct World {
    World()
    {
        namespace fs = std::filesystem;
        strings.open(ORVOX_RES_FILE_PATH);
        folder = (fs::temp_directory_path() / ("orvox-fuzz-" + std::to_string(::getpid())) / "").string();
        fs::create_directories(folder);
        fs::copy_file(std::string(ORVOX_SOURCE_PATH) + "/install/OrvoxPaper.ini",
                      folder + strings.load(IDS_CATALOG_FILE_NAME), fs::copy_options::overwrite_existing);
        doc = std::make_unique<JobDocument>(services, folder);
    }
    // The scratch folder goes when the fuzzer ends normally (also at the end of
    // a timed run), so a campaign leaves nothing in the temporary folder.
    ~World()
    {
        doc.reset();
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    }
    platform::ResFileStrings strings;
    platform::IniProfile profile;
    QuietMessages messages;
    std::string folder;
    platform::FolderFileSystem files{folder, folder};
    platform::Services services{strings, profile, messages, files};
    std::unique_ptr<JobDocument> doc;
};

World& world()
{
    static World w;
    return w;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    World& w = world();
    JobDocument& doc = *w.doc;
    // The first byte may put a valid signature and marker in front, so that the
    // fuzzer spends its time on the record and what follows it.
    std::string image;
    if (size > 0) {
        if (data[0] & 1) image += w.strings.load(data[0] & 2 ? IDS_SETTINGS_SIGNATURE_ALTERNATIVE : IDS_SETTINGS_SIGNATURE);
        if (data[0] & 4) image += std::string("\x1a\x00", 2);
        ++data;
        --size;
    }
    image.append(reinterpret_cast<const char*>(data), size);
    const std::string in = w.folder + "in.ovx";
    std::ofstream(in, std::ios::binary).write(image.data(), static_cast<std::streamsize>(image.size()));

    const int result = readSettingsFile(doc, in);
    if (result != 0 && result != 1 && result != 17 && result != 24 && result != 25) __builtin_trap();
    if (doc.isLoading()) __builtin_trap();

    // Everything a page or the job header would ask must be answerable.
    doc.tooManyPapers();
    doc.isPaperUsed(doc.bodyPaperName());
    doc.isPaperOneSided(-1);
    doc.isPaperOneSided(doc.frontCoverPaper());
    doc.substitutionKindMask();
    for (int i = 0; i < doc.substitutionCount(); ++i) {
        std::string pages = doc.substitution(i).pageList;
        doc.validatePageList(pages, false);
        doc.kindText(doc.substitutionKind(i));
    }
    std::string chapters = doc.chapterPages();
    doc.validatePageList(chapters, false);

    if (result == 0) {
        // What was read is saved and read again to the same record.
        const std::string out = w.folder + "out.ovx";
        const JobSettingsBytes first = toBytes(doc.settings());
        if (writeSettingsFile(doc, out) != 0) __builtin_trap();
        if (readSettingsFile(doc, out) != 0) __builtin_trap();
        const JobSettingsBytes second = toBytes(doc.settings());
        for (std::size_t i = 0; i < offsetof(JobSettings, reserved6952); ++i) {
            if (first[i] != second[i]) __builtin_trap();
        }
    }
    return 0;
}
