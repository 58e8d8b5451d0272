// Saves on a small filesystem that fills up, on a read-only one, and saves cut
// short by killing the process: the file that was there stays byte for byte,
// the failure is reported, and no new version is left lying beside it.
// Linux only: the Windows build checks the same through the library (tests/win).
#ifndef _WIN32
#include <signal.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "document_fixture.h"
#include "settings/settings_file.h"

namespace orvox::test {
namespace {

namespace fs = std::filesystem;

std::string smallDiskBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// A 64 KB filesystem of the test's own, mounted over a scratch folder.
class SmallDisk {
public:
    SmallDisk() : folder_(dir_.file("disk"))
    {
        fs::create_directories(folder_);
        if (::mount("tmpfs", folder_.c_str(), "tmpfs", 0, "size=64k") == 0)
            mounted_ = true;
        else
            why_ = std::strerror(errno);
    }
    ~SmallDisk()
    {
        if (mounted_) ::umount2(folder_.c_str(), MNT_DETACH);
    }
    bool mounted() const { return mounted_; }
    const std::string& why() const { return why_; }
    std::string file(const std::string& name) const { return folder_ + "/" + name; }

    // Fills the disk, then gives back `spare` bytes.
    void fillLeaving(std::size_t spare)
    {
        const std::string filler = file("filler");
        {
            std::ofstream out(filler, std::ios::binary);
            const std::string block(4096, 'f');
            while (out.write(block.data(), static_cast<std::streamsize>(block.size()))) {
            }
        }
        fs::resize_file(filler, fs::file_size(filler) - std::min<std::uintmax_t>(spare, fs::file_size(filler)));
    }
    void empty() { fs::remove(file("filler")); }
    bool makeReadOnly() { return ::mount(nullptr, folder_.c_str(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr) == 0; }
    // Everything in the folder except the filler.
    std::vector<std::string> names() const
    {
        std::vector<std::string> found;
        for (const auto& e : fs::directory_iterator(folder_))
            if (e.path().filename() != "filler") found.push_back(e.path().filename().string());
        std::sort(found.begin(), found.end());
        return found;
    }

private:
    ScratchDir dir_;
    std::string folder_;
    bool mounted_ = false;
    std::string why_;
};

#define REQUIRE_SMALL_DISK(disk)                                                                               \
    if (!(disk).mounted())                                                                                     \
    GTEST_SKIP() << "a small filesystem cannot be mounted here (" << (disk).why()                              \
                 << "); these tests need root or CAP_SYS_ADMIN"

class SmallDiskSaveTest : public DocumentTest {
protected:
    void addSubstitutions(int n)
    {
        for (int i = 0; i < n; ++i) ASSERT_TRUE(doc().addSubstitution(2 + i % 4, 0, std::to_string(i + 1)));
    }
    std::string writeFailedText(const std::string& path) const
    {
        return shippedStrings().load(IDS_SETTINGS_FILE_WRITE_FAILED) + path +
               shippedStrings().load(IDS_SETTINGS_FILE_WRITE_FAILED_TAIL);
    }

    SmallDisk disk;
};

TEST_F(SmallDiskSaveTest, ALargerSaveOnAFullDiskKeepsTheSavedSettings)
{
    REQUIRE_SMALL_DISK(disk);
    const std::string path = disk.file("job.ovx");
    ASSERT_EQ(writeSettingsFile(doc(), path), kSettingsOk);
    const std::string saved = smallDiskBytes(path);
    ASSERT_EQ(saved.size(), 8806u);

    // Twenty substitutions make the new version about 19 KB; 4 KB are left,
    // 16 KB with the old file's space.
    disk.fillLeaving(4096);
    addSubstitutions(20);
    messages.shown.clear();
    EXPECT_EQ(writeSettingsFile(doc(), path), kSettingsCannotWrite);
    EXPECT_TRUE(smallDiskBytes(path) == saved) << "the file changed";
    EXPECT_EQ(disk.names(), std::vector<std::string>{"job.ovx"});
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, writeFailedText(path));
    EXPECT_TRUE(doc().isModified()) << "the changes are not saved anywhere yet";

    // With room again the same save succeeds and reads back whole.
    disk.empty();
    ASSERT_EQ(writeSettingsFile(doc(), path), kSettingsOk);
    EXPECT_EQ(smallDiskBytes(path).size(), 8806u + 20 * 516);
    ASSERT_EQ(readSettingsFile(doc(), path), kSettingsOk);
    EXPECT_EQ(doc().substitutionCount(), 20);
    EXPECT_EQ(disk.names(), std::vector<std::string>{"job.ovx"});
}

TEST_F(SmallDiskSaveTest, CatalogAndProfileWritesOnAFullDiskKeepTheFile)
{
    REQUIRE_SMALL_DISK(disk);
    // The catalog and a configuration file on the small disk, written through a
    // profile that replaces files whole.
    const std::string catalogPath = disk.file(catalogName());
    fs::copy_file(dir.file(catalogName()), catalogPath);
    const std::string config = disk.file("Orvox.ini");
    { std::ofstream(config) << "[Admin]\r\nPassword=secret\r\nFlag=1\r\n"; }
    platform::FolderFileSystem diskFiles(disk.file(""), disk.file(""));
    platform::IniProfile replacing;
    replacing.setFileSystem(&diskFiles);
    PaperCatalog catalog(shippedStrings(), replacing, messages, catalogPath);
    catalog.setFileSystem(&diskFiles);
    ASSERT_TRUE(catalog.loadVocabularies());
    ASSERT_TRUE(catalog.loadCatalog().ok);
    const std::string catalogBytes = smallDiskBytes(catalogPath);
    const std::string configBytes = smallDiskBytes(config);

    disk.fillLeaving(4096);
    for (int i = 0; i < 40; ++i) ASSERT_TRUE(catalog.addPaper({"Extra " + std::to_string(i), 1, "White", "80 g", "Plain", 0}));
    EXPECT_FALSE(catalog.saveCatalogAndVocabularies(2));
    EXPECT_FALSE(replacing.writeString(config, "Admin", "Password", std::string(8000, 'p')));
    EXPECT_TRUE(smallDiskBytes(catalogPath) == catalogBytes) << "the file changed";
    EXPECT_TRUE(smallDiskBytes(config) == configBytes) << "the file changed";
    EXPECT_EQ(disk.names(), (std::vector<std::string>{"Orvox.ini", catalogName()}));

    disk.empty();
    EXPECT_TRUE(catalog.saveCatalogAndVocabularies(2));
    EXPECT_TRUE(replacing.writeString(config, "Admin", "Password", "new"));
    EXPECT_EQ(replacing.getString(config, "Admin", "Password", ""), "new");
    EXPECT_EQ(replacing.getString(config, "Admin", "Flag", ""), "1");
    PaperCatalog reread(shippedStrings(), replacing, messages, catalogPath);
    ASSERT_TRUE(reread.loadVocabularies());
    ASSERT_TRUE(reread.loadCatalog().ok);
    EXPECT_EQ(reread.paperCount(), catalog.paperCount());
}

TEST_F(SmallDiskSaveTest, ReadOnlyFileAndReadOnlyFolderGiveTheirMessages)
{
    REQUIRE_SMALL_DISK(disk);
    const std::string path = disk.file("job.ovx");
    ASSERT_EQ(writeSettingsFile(doc(), path), kSettingsOk);
    const std::string saved = smallDiskBytes(path);
    addSubstitutions(2);

    fs::permissions(path, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    messages.shown.clear();
    EXPECT_EQ(writeSettingsFile(doc(), path), kSettingsCannotWrite);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, shippedStrings().load(IDS_SETTINGS_FILE_READ_ONLY) + "\n" + path);
    EXPECT_TRUE(smallDiskBytes(path) == saved) << "the file changed";
    EXPECT_EQ(disk.names(), std::vector<std::string>{"job.ovx"});
    fs::permissions(path, fs::perms::owner_write, fs::perm_options::add);

    ASSERT_TRUE(disk.makeReadOnly());
    messages.shown.clear();
    EXPECT_EQ(writeSettingsFile(doc(), path), kSettingsCannotWrite);
    EXPECT_EQ(writeSettingsFile(doc(), disk.file("other.ovx")), kSettingsCannotWrite);
    ASSERT_EQ(messages.shown.size(), 2u);
    EXPECT_EQ(messages.shown[0].text, writeFailedText(path));
    EXPECT_TRUE(smallDiskBytes(path) == saved) << "the file changed";
    EXPECT_EQ(disk.names(), std::vector<std::string>{"job.ovx"});
}

// A save killed at any moment leaves either the old or the new file whole; a
// new version left beside it is removed by the next save.
TEST_F(SmallDiskSaveTest, ASaveKilledHalfwayLeavesOneWholeVersion)
{
    const std::string path = dir.file("job.ovx");
    ASSERT_EQ(writeSettingsFile(doc(), path), kSettingsOk);
    const std::string small = smallDiskBytes(path);
    addSubstitutions(200);
    ASSERT_EQ(writeSettingsFile(doc(), path), kSettingsOk);
    const std::string large = smallDiskBytes(path);
    ASSERT_EQ(writeSettingsFile(doc(), path), kSettingsOk);

    for (int round = 0; round < 5; ++round) {
        int ready[2];
        ASSERT_EQ(::pipe(ready), 0);
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            // Saves the two versions in turn until killed, reporting each save.
            ::close(ready[0]);
            for (int i = 0;; ++i) {
                std::vector<PaperSubstitution> list = doc().substitutions();
                if (i % 2 == 0) doc().replaceSubstitutions({});
                writeSettingsFile(doc(), path);
                doc().replaceSubstitutions(std::move(list));
                if (::write(ready[1], "s", 1) != 1) ::_exit(1);
            }
        }
        ::close(ready[1]);
        char c = 0;
        for (int i = 0; i < 3 + round; ++i) ASSERT_EQ(::read(ready[0], &c, 1), 1);
        ::kill(child, SIGKILL);
        int status = 0;
        ::waitpid(child, &status, 0);
        ::close(ready[0]);
        const std::string now = smallDiskBytes(path);
        EXPECT_TRUE(now == small || now == large) << "round " << round << ": " << now.size() << " bytes";
    }
    ASSERT_EQ(writeSettingsFile(doc(), path), kSettingsOk);
    EXPECT_TRUE(smallDiskBytes(path) == large) << "the file changed";
    EXPECT_FALSE(fs::exists(path + ".new"));
}

} // namespace
} // namespace orvox::test

#endif // _WIN32
