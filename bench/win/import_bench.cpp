// XML imports through Orvox.dll, as a host calls Orvo_OpenXMLSettings: a job
// text naming N existing files beside the same job text without them, in
// interleaved rounds; prints both medians and their difference (the cost of
// the files) for each N.
//   orvox_bench_import [ROUNDS] [N...]     (default 5 rounds; 10 100 1000 files)
// Run from the installation folder (build/win/bin) under Wine with a display.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "orvox_binding.h"

namespace {

constexpr int kFilesToPrint = 1000;
constexpr int kRemoveFiles = 1003;
constexpr int kTabControl = 57616;

int quietHook(const char* text, unsigned, int* show)
{
    std::fprintf(stderr, "message: %s\n", text ? text : "");
    *show = 0;
    return IDOK;
}

LRESULT CALLBACK hostProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

double now()
{
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return double(t.QuadPart) / double(frequency.QuadPart);
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// The job text: a few settings, and the files when given.
std::string jobText(const std::vector<std::string>& files)
{
    std::string xml = "<PRINTER_SETTINGS><COLLATE>ON</COLLATE><PRINTER_LANGUAGE>ID_FILE_TYPE_PS</PRINTER_LANGUAGE>";
    if (!files.empty()) {
        xml += "<FILES_TO_PRINT>";
        for (const std::string& f : files) xml += "<FILE>" + f + "</FILE>";
        xml += "</FILES_TO_PRINT>";
    }
    return xml + "</PRINTER_SETTINGS>";
}

HWND filesPage(HWND main)
{
    for (HWND page = GetWindow(GetDlgItem(main, kTabControl), GW_CHILD); page; page = GetWindow(page, GW_HWNDNEXT))
        if (GetDlgItem(page, kFilesToPrint)) return page;
    return nullptr;
}

// Empties the files-to-print list as the operator does: all selected, Remove.
void clearList(HWND page)
{
    SendMessageA(GetDlgItem(page, kFilesToPrint), LB_SETSEL, TRUE, -1);
    SendMessageA(page, WM_COMMAND, MAKEWPARAM(kRemoveFiles, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(page, kRemoveFiles)));
}

} // namespace

int main(int argc, char** argv)
{
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    std::vector<int> counts;
    for (int i = 2; i < argc; ++i) counts.push_back(std::atoi(argv[i]));
    if (counts.empty()) counts = {10, 100, 1000};

    orvox::test::OrvoxBinding orvox;
    if (orvox.load("Orvox.dll") != 0) {
        std::fprintf(stderr, "Orvox.dll does not load\n");
        return 2;
    }
    WNDCLASSA wc{};
    wc.lpfnWndProc = hostProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "OrvoxBenchHost";
    RegisterClassA(&wc);
    HWND host = CreateWindowA("OrvoxBenchHost", "bench host", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0, 0, 1000, 800,
                              nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    HWND main = nullptr;
    if (!host || orvox.InitMain(quietHook, nullptr) != 0 || orvox.CreateMain(host, 0, "bench host") != 0 ||
        orvox.GetWindowMain(&main) != 0) {
        std::fprintf(stderr, "the library did not start\n");
        return 1;
    }
    HWND page = filesPage(main);
    if (!page) return 1;

    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    const std::string folder = std::string(temp) + "orvox_bench_" + std::to_string(GetCurrentProcessId()) + "\\";
    CreateDirectoryA(folder.c_str(), nullptr);
    std::vector<std::string> made;

    std::printf("%-6s %14s %16s %12s\n", "files", "import ms", "no-files ms", "files cost ms");
    int status = 0;
    for (int count : counts) {
        std::vector<std::string> files;
        for (int i = 0; i < count; ++i) {
            // Mostly scans, as a hot folder holds them, and a PostScript cover.
            const std::string path = folder + (i == count - 1 ? "COVER" + std::to_string(i) + ".PS"
                                                              : "SCAN" + std::to_string(i) + ".TIF");
            if (std::find(made.begin(), made.end(), path) == made.end()) {
                HANDLE f = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
                if (f != INVALID_HANDLE_VALUE) CloseHandle(f);
                made.push_back(path);
            }
            files.push_back(path);
        }
        const std::string withFiles = jobText(files), without = jobText({});
        std::vector<double> ours, reference;
        for (int round = 0; round < rounds; ++round) {
            int line = 0;
            double t = now();
            const int r1 = orvox.OpenXMLSettings(withFiles.c_str(), &line);
            ours.push_back(now() - t);
            const auto listed = SendMessageA(GetDlgItem(page, kFilesToPrint), LB_GETCOUNT, 0, 0);
            clearList(page);
            t = now();
            const int r2 = orvox.OpenXMLSettings(without.c_str(), &line);
            reference.push_back(now() - t);
            if (r1 != 0 || r2 != 0 || listed != count) {
                std::fprintf(stderr, "import failed: %d %d, %ld of %d files listed\n", r1, r2,
                             static_cast<long>(listed), count);
                status = 1;
            }
        }
        const double o = median(ours), r = median(reference);
        std::printf("%-6d %14.1f %16.1f %12.1f\n", count, o * 1e3, r * 1e3, (o - r) * 1e3);
        std::fflush(stdout);
    }
    for (const std::string& path : made) DeleteFileA(path.c_str());
    RemoveDirectoryA(folder.c_str());
    orvox.Exit(1);
    DestroyWindow(host);
    return status;
}
