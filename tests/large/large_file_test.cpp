// Print files beyond 4 GB: the spooler copy reads them whole, in both builds.
// The file is sparse (only its last bytes are written), so it costs no disk, and
// the sink only counts, so no spooler is involved.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <cstring>
#include <string>

#include "platform/spooler.h"
#include "print/spooler_output.h"

namespace {

constexpr std::uint64_t kFileSize = (std::uint64_t(1) << 32) + 4096 + 7;  // past 4 GB and not chunk-aligned
constexpr char kTail[] = "END OF LARGE FILE";

class CountingPrinter : public orvox::platform::Printer {
public:
    bool startDocument(const std::string&) override { return true; }
    bool startPage() override { return true; }
    bool write(const char* data, std::size_t size) override
    {
        bytes += size;
        if (size >= sizeof(tail)) std::memcpy(tail, data + size - sizeof(tail), sizeof(tail));
        else if (size > 0) {
            std::memmove(tail, tail + size, sizeof(tail) - size);
            std::memcpy(tail + sizeof(tail) - size, data, size);
        }
        return true;
    }
    bool endPage() override { return true; }
    bool endDocument() override { return true; }
    std::string lastErrorText() const override { return {}; }

    std::uint64_t bytes = 0;
    char tail[sizeof(kTail) - 1] = {};
};

// A sparse file of kFileSize bytes, zero but for kTail at its end; removed at the end of the test.
class SparseFile {
public:
    SparseFile()
    {
        char folder[MAX_PATH];
        char name[MAX_PATH];
        if (!GetTempPathA(MAX_PATH, folder) || !GetTempFileNameA(folder, "big", 0, name)) return;
        path_ = name;
        HANDLE file = CreateFileA(name, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) return;
        DWORD returned = 0;
        DeviceIoControl(file, FSCTL_SET_SPARSE, nullptr, 0, nullptr, 0, &returned, nullptr);  // best effort
        LARGE_INTEGER at;
        at.QuadPart = LONGLONG(kFileSize - (sizeof(kTail) - 1));
        DWORD written = 0;
        ok_ = SetFilePointerEx(file, at, nullptr, FILE_BEGIN) &&
              WriteFile(file, kTail, sizeof(kTail) - 1, &written, nullptr) && written == sizeof(kTail) - 1;
        CloseHandle(file);
    }
    ~SparseFile()
    {
        if (!path_.empty()) DeleteFileA(path_.c_str());
    }
    bool ok() const { return ok_; }
    const std::string& path() const { return path_; }

private:
    std::string path_;
    bool ok_ = false;
};

TEST(LargePrintFile, CopiedWholeToThePrinterPastFourGigabytes)
{
    SparseFile file;
    ASSERT_TRUE(file.ok()) << "could not make the sparse file " << file.path();
    WIN32_FILE_ATTRIBUTE_DATA attributes{};
    ASSERT_TRUE(GetFileAttributesExA(file.path().c_str(), GetFileExInfoStandard, &attributes));
    ASSERT_EQ((std::uint64_t(attributes.nFileSizeHigh) << 32) | attributes.nFileSizeLow, kFileSize);

    CountingPrinter printer;
    ASSERT_TRUE(orvox::copyFileToPrinter(file.path(), printer, true));
    EXPECT_EQ(printer.bytes, kFileSize);  // no Ctrl-D in the file: nothing dropped
    EXPECT_EQ(std::string(printer.tail, sizeof(printer.tail)), std::string(kTail));
}

} // namespace
