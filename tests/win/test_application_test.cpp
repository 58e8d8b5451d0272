// The test application started for a picture: Quick Start must bring the
// library's window up inside it, and Quick Free must leave everything at NULL.
#include <windows.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

std::filesystem::path programFolder()
{
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    return std::filesystem::path(path).parent_path();
}

// Runs the program to its end (or kills it after the timeout) and gives its exit code.
DWORD runAndWait(std::string commandLine, const std::filesystem::path& folder)
{
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.string().c_str(),
                        &si, &pi))
        return 0xFFFF'FFFF;
    DWORD code = 0xFFFF'FFFE;
    if (WaitForSingleObject(pi.hProcess, 60000) == WAIT_OBJECT_0)
        GetExitCodeProcess(pi.hProcess, &code);
    else
        TerminateProcess(pi.hProcess, code);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return code;
}

template <class T> T readAt(const std::vector<char>& bytes, std::size_t offset)
{
    T value{};
    std::memcpy(&value, bytes.data() + offset, sizeof value);
    return value;
}

TEST(TestApplication, QuickStartShowsTheLibraryAndQuickFreeEndsAtNull)
{
    const auto folder = programFolder();
    const auto shot = std::filesystem::temp_directory_path() / ("orvox-shot-" + std::to_string(GetCurrentProcessId()) + ".bmp");
    std::filesystem::remove(shot);

    const DWORD code = runAndWait("\"" + (folder / "OrvoxTest.exe").string() + "\" /shot \"" + shot.string() + "\"", folder);
    EXPECT_EQ(code, 0u) << "Quick Start, the picture, Quick Free or the NULL states failed";

    std::ifstream in(shot, std::ios::binary);
    ASSERT_TRUE(in) << "no picture at " << shot.string();
    const std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    in.close();
    std::filesystem::remove(shot);
    ASSERT_GT(bytes.size(), 54u);
    EXPECT_EQ(bytes[0], 'B');
    EXPECT_EQ(bytes[1], 'M');
    const auto offset = readAt<std::uint32_t>(bytes, 10);
    const auto width = readAt<std::int32_t>(bytes, 18);
    const auto height = readAt<std::int32_t>(bytes, 22);
    // The window holds the library's job-setup window, so it is larger than that.
    EXPECT_GT(width, 600);
    EXPECT_GT(height, 400);
    ASSERT_EQ(bytes.size(), offset + static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4);

    // The frame area (right of the buttons, upper half) carries the library's
    // window: it is drawn, not one flat colour.
    std::set<std::uint32_t> colours;
    for (int y = height / 2; y < height; y += 3)
        for (int x = width / 2; x < width; x += 3)
            colours.insert(readAt<std::uint32_t>(bytes, offset + (static_cast<std::size_t>(y) * width + x) * 4) & 0xFFFFFF);
    EXPECT_GT(colours.size(), 3u);
}

} // namespace
