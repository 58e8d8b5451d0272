// Without its resource module next to the host program the library refuses to
// load, after telling the user which file is missing.
#include <windows.h>

#include <filesystem>
#include <string>

#include <gtest/gtest.h>

namespace {

struct FoundBox {
    DWORD processId;
    HWND box = nullptr;
};

BOOL CALLBACK findBox(HWND hwnd, LPARAM lParam)
{
    auto* found = reinterpret_cast<FoundBox*>(lParam);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    char cls[64] = {};
    GetClassNameA(hwnd, cls, sizeof cls);
    if (pid == found->processId && std::string(cls) == "#32770") {
        found->box = hwnd;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK collectText(HWND hwnd, LPARAM lParam)
{
    char text[1024] = {};
    GetWindowTextA(hwnd, text, sizeof text);
    *reinterpret_cast<std::string*>(lParam) += std::string(text) + "\n";
    return TRUE;
}

std::string programFolder()
{
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    return std::filesystem::path(path).parent_path().string();
}

TEST(ResourceModule, MissingModuleIsNamedAndTheLoadFails)
{
    namespace fs = std::filesystem;
    const fs::path from = programFolder();
    const fs::path folder = fs::temp_directory_path() / ("orvox-nores-" + std::to_string(GetCurrentProcessId()));
    fs::create_directories(folder);
    fs::copy_file(from / "Orvox.dll", folder / "Orvox.dll", fs::copy_options::overwrite_existing);
    fs::copy_file(from / "OrvoxTest.exe", folder / "OrvoxTest.exe", fs::copy_options::overwrite_existing);

    std::string commandLine = "\"" + (folder / "OrvoxTest.exe").string() + "\" /demo";
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    ASSERT_TRUE(CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                               folder.string().c_str(), &si, &pi));

    // The message box belongs to the child; find it, read it and answer it.
    FoundBox found{pi.dwProcessId};
    const DWORD start = GetTickCount();
    while (!found.box && GetTickCount() - start < 20000 &&
           WaitForSingleObject(pi.hProcess, 50) == WAIT_TIMEOUT)
        EnumWindows(findBox, reinterpret_cast<LPARAM>(&found));
    ASSERT_NE(found.box, nullptr) << "no message box appeared";
    // The box may be found before its text is filled in: read until it is.
    std::string text;
    const DWORD shown = GetTickCount();
    do {
        text.clear();
        EnumChildWindows(found.box, collectText, reinterpret_cast<LPARAM>(&text));
        if (text.find("orvoxRes.dll") != std::string::npos) break;
        Sleep(20);
    } while (GetTickCount() - shown < 10000);
    EXPECT_NE(text.find("Required file Missing: "), std::string::npos) << text;
    EXPECT_NE(text.find("orvoxRes.dll"), std::string::npos) << text;
    PostMessageA(found.box, WM_COMMAND, IDOK, 0);

    ASSERT_EQ(WaitForSingleObject(pi.hProcess, 20000), WAIT_OBJECT_0);
    DWORD exitCode = 0;
    GetExitCodeProcess(pi.hProcess, &exitCode);
    EXPECT_EQ(exitCode, 26u) << "the host's LoadLibrary must fail";
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    std::error_code ec;
    fs::remove_all(folder, ec);
}

} // namespace
