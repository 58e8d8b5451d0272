// OrvoxTest: a host program that loads Orvox.dll at run time and drives it.
// With "/demo" it runs the sample job non-interactively and reports on stdout;
// otherwise it is the interactive test dialog ("/shot FILE.bmp": a picture of
// it after Quick Start, then it ends).
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "orvox_binding.h"
#include "test_dialog.h"

namespace {

int demoMessageHook(const char* text, unsigned type, int* show)
{
    // The demo answers every question itself so it never waits on a box.
    std::printf("message: %s\n", text);
    *show = 0;
    return (type & 0xF) == MB_YESNO || (type & 0xF) == MB_YESNOCANCEL ? IDNO : IDOK;
}

void demoTitleHook(const char* title, const char* caption, int modified)
{
    std::printf("title: %s - %s%s\n", title, caption, modified ? "*" : "");
}

std::vector<std::string> installedPrinters()
{
    std::vector<char> names(32768);
    const DWORD n = GetProfileStringA("devices", nullptr, "", names.data(), static_cast<DWORD>(names.size()));
    std::vector<std::string> result;
    for (const char* p = names.data(); p < names.data() + n && *p; p += std::strlen(p) + 1) result.emplace_back(p);
    return result;
}

LRESULT CALLBACK hostProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_DESTROY) PostQuitMessage(0);
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

HWND createHostWindow(HINSTANCE instance)
{
    WNDCLASSA wc{};
    wc.lpfnWndProc = hostProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = "OrvoxTestHost";
    RegisterClassA(&wc);
    return CreateWindowA("OrvoxTestHost", "OrvoxTest", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 20, 20, 900, 700,
                         nullptr, nullptr, instance, nullptr);
}

int runDemo(HINSTANCE instance, bool keepOpen)
{
    orvox::test::OrvoxBinding orvox;
    const int loaded = orvox.load("Orvox.dll");
    if (loaded != 0) {
        std::printf("loading Orvox.dll failed: %d\n", loaded);
        return loaded;
    }
    HWND host = createHostWindow(instance);
    int rc = orvox.InitMain(demoMessageHook, demoTitleHook);
    if (rc == 0) rc = orvox.InitStatus();
    if (rc == 0) rc = orvox.CreateMain(host, 0, "OrvoxTest.exe - 09_19_00");
    if (rc == 0) rc = orvox.CreateStatus(host);
    if (rc == 0) rc = orvox.ShowMain(SW_SHOW, 0, 0);
    if (rc == 0) rc = orvox.ShowStatus(SW_SHOW, 0, 620);
    if (rc != 0) {
        std::printf("starting the library failed: %d\n", rc);
        return 1;
    }
    int size = 0;
    orvox.GetSizeOfVersion(&size);
    std::vector<char> version(static_cast<std::size_t>(size));
    orvox.GetVersion(version.data());
    std::printf("version: %s\n", version.data());
    for (const std::string& p : installedPrinters()) std::printf("printer: %s\n", p.c_str());
    // The sample job: the sample file of the installation folder to the queue
    // named in ORVOX_QUEUE, described as a host would describe it, in XML.
    if (const char* queue = std::getenv("ORVOX_QUEUE"); queue && *queue) {
        char exe[MAX_PATH] = {};
        GetModuleFileNameA(nullptr, exe, MAX_PATH);
        std::string sample = exe;
        sample = sample.substr(0, sample.find_last_of('\\') + 1) + "OrvoxSample.ps";
        const std::string xml = std::string("<PRINTER_SETTINGS><PRINTER>") + queue +
                                "</PRINTER><COLLATE>ON</COLLATE><FILES_TO_PRINT><FILE>" + sample +
                                "</FILE></FILES_TO_PRINT></PRINTER_SETTINGS>";
        int line = 0;
        const int imported = orvox.OpenXMLSettings(xml.c_str(), &line);
        std::printf("sample job settings: %d\n", imported);
        const int printed = imported == 0 ? orvox.Print() : imported;
        std::printf("print: %d (%s to %s)\n", printed, sample.c_str(), queue);
        if (printed != 0) rc = printed;
    }
    ShowWindow(host, SW_SHOW);
    UpdateWindow(host);
    if (keepOpen) {
        MSG msg;
        while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    const int printRc = rc;
    rc = orvox.Exit(1);
    std::printf("exit: %d\n", rc);
    DestroyWindow(host);
    std::fflush(stdout);
    return rc == 0 && printRc == 0 ? 0 : 1;
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    // Switches are whole arguments: a file name such as "../demo/x.bmp" is no switch.
    bool demo = false;
    bool wait = false;
    const char* shotPath = nullptr;
    for (int i = 1; i < __argc; ++i) {
        if (std::strcmp(__argv[i], "/demo") == 0) demo = true;
        if (std::strcmp(__argv[i], "/wait") == 0) wait = true;
        if (std::strcmp(__argv[i], "/shot") == 0 && i + 1 < __argc) shotPath = __argv[++i];
    }
    if (demo) return runDemo(instance, wait);
    return orvox::test::runTestDialog(instance, shotPath);
}
