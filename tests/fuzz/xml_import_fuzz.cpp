// Arbitrary bytes as a host's XML settings text, read and applied to a real
// document: the result is 0 or one of the XML codes with a sensible line, a
// refused text leaves the document as it was, and the document stays usable.
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "fuzz_support.h"
#include "platform/posix/ini_profile.h"
#include "platform/posix/folder_files.h"
#include "platform/services.h"
#include "resource.h"
#include "settings/job_document.h"
#include "settings/xml_import.h"

using namespace orvox;

namespace {

void check(bool condition)
{
    if (!condition) std::abort();
}

// What the pages would be handed; names are checked as they arrive.
class CheckingTargets : public platform::XmlTargets {
public:
    void addFileToPrint(const std::string& path) override { checkName(path); }
    void selectPrinter(const std::string& name) override { checkName(name); }
    void showPrinterModel(int model) override { check(model == 0 || model == 1); }
    void clearFilesToPrint() override {}

private:
    static void checkName(const std::string& name)
    {
        check(!name.empty() && name.find('\0') == std::string::npos && name.find('<') == std::string::npos);
        for (char c : name) check(!(c >= 'a' && c <= 'z'));
    }
};

// The shipped catalog in the scratch folder stands for the installation folder.
std::string prepareFolder()
{
    const std::string catalog = fuzz::scratchFile(fuzz::shippedStrings().load(IDS_CATALOG_FILE_NAME));
    std::filesystem::copy_file(std::string(ORVOX_SOURCE_PATH) + "/install/OrvoxPaper.ini", catalog,
                               std::filesystem::copy_options::overwrite_existing);
    return (std::filesystem::path(catalog).parent_path() / "").string();
}

struct World {
    platform::IniProfile profile;
    fuzz::SilentSink messages;
    std::string folder = prepareFolder();
    platform::FolderFileSystem files{folder, folder};
    platform::Services services{fuzz::shippedStrings(), profile, messages, files};
    CheckingTargets targets;
    JobDocument doc{services, folder};
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
    JobDocument& doc = w.doc;
    // Each run starts from an empty list, so the list limit is reached only by
    // inputs that ask for it.
    doc.replaceSubstitutions({});
    doc.markModified(false);
    const JobSettingsBytes before = toBytes(doc.settings());

    const std::string_view xml(reinterpret_cast<const char*>(data), size);
    int line = -7;
    const int result = importXmlSettings(doc, xml, line, &w.targets);

    check(result == 0 || (result >= kXmlReadError && result <= kXmlUnknownError));
    check(line >= 0);
    std::size_t lines = 1;
    for (char c : xml.substr(0, xml.find('\0'))) lines += c == '\n';
    check(static_cast<std::size_t>(line) <= lines);
    if (result == 0) check(line == 0);
    if (result == kXmlReadError) check(line == 0);
    if (result != 0 && result != kXmlUnknownError) {
        check(toBytes(doc.settings()) == before);
        check(doc.substitutionCount() == 0);
        check(!doc.isModified());
    }

    // Everything the pages and the job header would ask must be answerable.
    check(doc.bodyPaper() >= 2 && doc.bodyPaper() <= doc.paperCount());
    check(doc.substitutionCount() <= kMaxSubstitutions);
    doc.tooManyPapers();
    doc.isPaperUsed(doc.bodyPaperName());
    doc.substitutionKindMask();
    for (int i = 0; i < doc.substitutionCount(); ++i) {
        const PaperSubstitution& s = doc.substitution(i);
        check(s.paperIndex >= 1 && s.paperIndex <= doc.paperCount());
        std::string pages = s.pageList;
        check(pages.size() < sizeof s.pageList);
        doc.kindText(doc.substitutionKind(i));
    }
    std::string chapters = doc.chapterPages();
    doc.validatePageList(chapters, false);
    check(doc.saveAsPath().size() <= 31 && doc.specificPrinterName().size() <= 31);
    return 0;
}
