#include "test_dialog.h"

#include <commdlg.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "gui_elements.h"
#include "orvox_binding.h"
#include "parameter_editor.h"
#include "result_text.h"
#include "testapp_ids.h"
#include "window_shot.h"

namespace orvox::test {
namespace {

constexpr char kCaption[] = "-== ORVO TEST APPLICATION ==-";
constexpr char kHostVersion[] = "OrvoxTest.exe - 09_19_00";
constexpr char kNotLoaded[] = "Function was not loaded";
constexpr char kException[] = "Orvo Test Application has thrown an exception !\n\n"
                              "This can if FreeDll was called without call OrvoExit.";
constexpr char kFreeWarning[] = "You are trying free library without calling Orvo_Exit() !! \n"
                                "This will cause an exception to be thrown!\n\n"
                                "Do you want OrvoExit() to be called  before the dll is freed?? (recommended)";
constexpr char kCloseQuestion[] = "Closing the current document will exit the application.\nDo you want to continue?";
// The library's own settings-file extension when no branding file changes it.
constexpr char kDefaultSettingsExtension[] = "ovx";
constexpr char kXmlFilter[] = "XML Files (*.xml)|*.xml|All Files (*.*)|*.*||";
constexpr unsigned kTabIds[] = {433, 434, 435, 519, 436, 437, 438};
constexpr UINT_PTR kShotTimer = 1;

// The hooks are plain function pointers: what they need lives here.
HWND gTitleWindow = nullptr;
bool gQuiet = false; // the picture run answers every question itself

int answerQuietly(unsigned type)
{
    const unsigned buttons = type & MB_TYPEMASK;
    if (buttons == MB_YESNO || buttons == MB_YESNOCANCEL) return IDYES;
    return IDOK;
}

int testMessageHook(const char* text, unsigned type, int* show)
{
    if (gQuiet) {
        std::printf("message: %s\n", text ? text : "");
        *show = 0;
        // A fresh document has nothing to save; no is the answer that changes nothing.
        return (type & MB_TYPEMASK) == MB_OK ? IDOK : IDNO;
    }
    *show = 1;
    return 1;
}

void testTitleHook(const char* title, const char* caption, int modified)
{
    if (!gTitleWindow) return;
    const std::string text = std::string(title ? title : "") + " - " + (caption ? caption : "") + (modified ? "*" : "");
    SetWindowTextA(gTitleWindow, text.c_str());
}

std::string withCrLf(const std::string& text)
{
    std::string out;
    out.reserve(text.size() + text.size() / 16);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) out += '\r';
        out += text[i];
    }
    return out;
}

std::string filterOf(const char* bars)
{
    std::string filter = bars;
    for (char& c : filter)
        if (c == '|') c = '\0';
    return filter;
}

// The settings-file extension the library uses: a branding file next to the
// program may name another one, so the tester's dialog offers the same files.
std::string settingsExtension()
{
    char exe[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameA(nullptr, exe, MAX_PATH);
    std::string branding(exe, length < MAX_PATH ? length : 0);
    branding = branding.substr(0, branding.find_last_of("\\/") + 1) + "OrvoxBr.ini";
    char extension[260] = {};
    GetPrivateProfileStringA("BrandingStrings", "Extension", kDefaultSettingsExtension, extension, sizeof extension,
                             branding.c_str());
    return *extension ? extension : kDefaultSettingsExtension;
}

std::string settingsFilter(const std::string& extension)
{
    return "Orvox Files (*." + extension + ")|*." + extension + "|All Files (*.*)|*.*||";
}

long long asNumber(const void* p) { return static_cast<long long>(reinterpret_cast<std::intptr_t>(p)); }
template <class T> T fromNumber(long long value) { return reinterpret_cast<T>(static_cast<std::intptr_t>(value)); }

class TestDialog {
public:
    TestDialog(HINSTANCE instance, const char* shotPath) : instance_(instance), shotPath_(shotPath) {}
    int run();

private:
    static INT_PTR CALLBACK proc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR handle(UINT message, WPARAM wParam, LPARAM lParam);
    void routeToLibrary(UINT message, WPARAM wParam, LPARAM lParam);
    void onCommand(int id);
    void onClose();
    void takeShot();

    template <class Fn, class... Args> std::optional<int> call(Fn fn, Args... args);
    int report(std::optional<int> rc, int line = 0);
    int ask(const char* text, UINT type);
    bool edit(bool allowed, const char* exportName, std::span<Parameter> parameters);
    void setState(int id, const char* text) { SetDlgItemTextA(dialog_, id, text); }
    std::string text(int id) const;
    void setOutput(const std::string& text) { SetDlgItemTextA(dialog_, IDC_OUTPUT, withCrLf(text).c_str()); }
    POINT mainPosition() const;
    POINT statusPosition();
    bool holdsWindows();

    int load();
    int freeLibrary();
    int initMain(bool allowEdit);
    int initStatus();
    int createMain(bool allowEdit);
    int createStatus(bool allowEdit);
    int showMain(int command, bool allowEdit);
    int showStatus(int command, bool allowEdit);
    int orvoExit(bool allowEdit);
    void getWindow(bool main);
    void showText(bool version);
    void showTab(int index);
    void settings(int id);
    void browseSettings();
    void applyXml();
    void loadXml();
    void saveXml();
    int quickStart();
    int quickFree();

    HINSTANCE instance_;
    const char* shotPath_;
    HWND dialog_ = nullptr;
    HWND guiDialog_ = nullptr;
    OrvoxBinding orvox_;
    int exitCode_ = 0;
    int quickStartResult_ = 0;
};

int TestDialog::run()
{
    gQuiet = shotPath_ != nullptr;
    dialog_ = CreateDialogParamA(instance_, MAKEINTRESOURCEA(IDD_TEST_MAIN), nullptr, proc,
                                 reinterpret_cast<LPARAM>(this));
    if (!dialog_) return 1;
    gTitleWindow = dialog_;
    ShowWindow(dialog_, SW_SHOW);
    UpdateWindow(dialog_);
    if (shotPath_) {
        quickStartResult_ = quickStart();
        // Give the library's window its first paint before the picture is taken.
        SetTimer(dialog_, kShotTimer, 1000, nullptr);
    }
    HACCEL accelerators = LoadAcceleratorsA(instance_, MAKEINTRESOURCEA(IDR_HOST_ACCELERATORS));
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        if (accelerators && TranslateAcceleratorA(dialog_, accelerators, &msg)) continue;
        if (guiDialog_ && IsWindow(guiDialog_) && IsDialogMessageA(guiDialog_, &msg)) continue;
        if (IsWindow(dialog_) && IsDialogMessageA(dialog_, &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    gTitleWindow = nullptr;
    return exitCode_;
}

INT_PTR CALLBACK TestDialog::proc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrA(dialog, DWLP_USER, lParam);
        reinterpret_cast<TestDialog*>(lParam)->dialog_ = dialog;
    }
    auto* self = reinterpret_cast<TestDialog*>(GetWindowLongPtrA(dialog, DWLP_USER));
    if (!self) return FALSE;
    self->routeToLibrary(message, wParam, lParam);
    return self->handle(message, wParam, lParam);
}

void TestDialog::routeToLibrary(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (!orvox_.SendMessage) return;
    // An accelerator marks its command with 1 in the high word; the library knows commands by id alone.
    if (message == WM_COMMAND && HIWORD(wParam) == 1) wParam = LOWORD(wParam);
    try {
        orvox_.SendMessage(message, static_cast<unsigned>(wParam), static_cast<long>(lParam));
    } catch (...) {
        // Routing runs for every message; a failure here must not stop the dialog.
    }
}

INT_PTR TestDialog::handle(UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        setState(IDC_STATE_LIBRARY, "NULL");
        setState(IDC_STATE_MAIN, "NULL");
        setState(IDC_STATE_STATUS, "NULL");
        for (int i = 0; i < 7; ++i) CheckDlgButton(dialog_, IDC_PAGE_FIRST + i, BST_CHECKED);
        return TRUE;
    case WM_COMMAND:
        if (HIWORD(wParam) <= 1) onCommand(LOWORD(wParam));
        return TRUE;
    case WM_TIMER:
        if (wParam == kShotTimer) takeShot();
        return TRUE;
    case WM_CLOSE: onClose(); return TRUE;
    case WM_DESTROY: PostQuitMessage(exitCode_); return TRUE;
    default: return FALSE;
    }
}

void TestDialog::onCommand(int id)
{
    const bool shift = GetKeyState(VK_SHIFT) < 0;
    if (id >= IDC_PAGE_FIRST && id < IDC_PAGE_FIRST + 7) return showTab(id - IDC_PAGE_FIRST);
    switch (id) {
    case IDC_LOAD: load(); break;
    case IDC_FREE: freeLibrary(); break;
    case IDC_INIT_MAIN: initMain(shift); break;
    case IDC_INIT_STATUS: initStatus(); break;
    case IDC_CREATE_MAIN: createMain(shift); break;
    case IDC_CREATE_STATUS: createStatus(shift); break;
    case IDC_SHOW_MAIN: showMain(SW_SHOW, shift); break;
    case IDC_SHOW_STATUS: showStatus(SW_SHOW, shift); break;
    case IDC_HIDE_MAIN: showMain(SW_HIDE, shift); break;
    case IDC_HIDE_STATUS: showStatus(SW_HIDE, shift); break;
    case IDC_GET_WINDOW_MAIN: getWindow(true); break;
    case IDC_GET_WINDOW_STATUS: getWindow(false); break;
    case IDC_ORVO_EXIT: orvoExit(shift); break;
    case IDC_PRINT: report(call(orvox_.Print)); break;
    case IDC_VERSION: showText(true); break;
    case IDC_PAPER_CATALOG: showText(false); break;
    case IDC_SETTINGS_NEW:
    case IDC_SETTINGS_OPEN:
    case IDC_SETTINGS_SAVE: settings(id); break;
    case IDC_SETTINGS_BROWSE: browseSettings(); break;
    case IDC_XML_APPLY: applyXml(); break;
    case IDC_XML_LOAD: loadXml(); break;
    case IDC_XML_SAVE: saveXml(); break;
    case IDC_XML_CLEAR: SetDlgItemTextA(dialog_, IDC_XML_TEXT, ""); break;
    case IDC_QUICK_START: quickStart(); break;
    case IDC_QUICK_FREE: quickFree(); break;
    case IDC_SHOW_GUI:
        if (guiDialog_ && IsWindow(guiDialog_)) {
            ShowWindow(guiDialog_, SW_SHOW);
            SetForegroundWindow(guiDialog_);
        } else {
            guiDialog_ = createGuiElementDialog(instance_, dialog_, [this](int tab, int control, int show) {
                report(call(orvox_.ShowGuiElement, tab, control, show));
            });
            if (guiDialog_) ShowWindow(guiDialog_, SW_SHOW);
        }
        break;
    case IDC_EXIT:
        // The tester leaves whatever the library answers; without a library the
        // button says so, as every other button does.
        report(call(orvox_.Exit, 0));
        DestroyWindow(dialog_);
        break;
    case IDM_FILE_CLOSE:
        if (ask(kCloseQuestion, MB_YESNO | MB_ICONQUESTION) == IDYES) PostMessageA(dialog_, WM_CLOSE, 0, 0);
        break;
    case IDM_APP_EXIT: PostMessageA(dialog_, WM_CLOSE, 0, 0); break;
    default: break; // the library's own commands reached it through the routing
    }
}

void TestDialog::onClose()
{
    if (orvox_.Exit) {
        const int rc = report(call(orvox_.Exit, 0));
        // A running print or a cancelled save question keeps the program open.
        if (rc == ORVO_PRINTING || rc == ORVO_CANCELLED) return;
    }
    DestroyWindow(dialog_);
}

void TestDialog::takeShot()
{
    KillTimer(dialog_, kShotTimer);
    RedrawWindow(dialog_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    const bool saved = saveWindowBitmap(dialog_, shotPath_);
    std::printf("shot: %s %s\n", shotPath_, saved ? "saved" : "failed");
    const int freed = quickFree();
    const bool allNull = text(IDC_STATE_LIBRARY) == "NULL" && text(IDC_STATE_MAIN) == "NULL" &&
                         text(IDC_STATE_STATUS) == "NULL";
    std::printf("quick start: %d, quick free: %d, states: %s\n", quickStartResult_, freed,
                allNull ? "NULL" : "not NULL");
    std::fflush(stdout);
    exitCode_ = saved && quickStartResult_ == 0 && freed == 0 && allNull ? 0 : 1;
    DestroyWindow(dialog_);
}

template <class Fn, class... Args> std::optional<int> TestDialog::call(Fn fn, Args... args)
{
    if (!fn) {
        ask(kNotLoaded, MB_OK | MB_ICONSTOP);
        return std::nullopt;
    }
    try {
        return fn(args...);
    } catch (...) {
        ask(kException, MB_OK | MB_ICONSTOP);
        return std::nullopt;
    }
}

int TestDialog::report(std::optional<int> rc, int line)
{
    if (!rc) return -1;
    if (*rc != 0) {
        const std::string message = "[Error returned from ORVOX.DLL]\n\nDescription: " + resultText(*rc, line);
        if (gQuiet)
            std::printf("result %d: %s\n", *rc, message.c_str());
        else
            MessageBoxA(nullptr, message.c_str(), kCaption, MB_OK | MB_ICONSTOP);
    }
    return *rc;
}

int TestDialog::ask(const char* message, UINT type)
{
    if (gQuiet) {
        std::printf("asked: %s\n", message);
        return answerQuietly(type);
    }
    return MessageBoxA(dialog_, message, kCaption, type);
}

bool TestDialog::edit(bool allowed, const char* exportName, std::span<Parameter> parameters)
{
    return !allowed || editParameters(instance_, dialog_, exportName, parameters);
}

std::string TestDialog::text(int id) const
{
    HWND control = GetDlgItem(dialog_, id);
    std::string value(static_cast<std::size_t>(GetWindowTextLengthA(control)) + 1, '\0');
    value.resize(static_cast<std::size_t>(GetWindowTextA(control, value.data(), static_cast<int>(value.size()))));
    return value;
}

POINT TestDialog::mainPosition() const
{
    RECT frame{};
    GetWindowRect(GetDlgItem(dialog_, IDC_LIBRARY_FRAME), &frame);
    POINT origin{frame.left + 2, frame.top + 2};
    ScreenToClient(dialog_, &origin);
    return origin;
}

POINT TestDialog::statusPosition()
{
    POINT position = mainPosition();
    HWND main = nullptr;
    if (orvox_.GetWindowMain && call(orvox_.GetWindowMain, &main) == 0 && main) {
        RECT rect{};
        GetWindowRect(main, &rect);
        POINT below{rect.left, rect.bottom + 2};
        ScreenToClient(dialog_, &below);
        position.y = below.y;
    }
    return position;
}

bool TestDialog::holdsWindows()
{
    HWND main = nullptr;
    HWND status = nullptr;
    const bool hasMain = orvox_.GetWindowMain && call(orvox_.GetWindowMain, &main) == 0 && main;
    const bool hasStatus = orvox_.GetWindowStatus && call(orvox_.GetWindowStatus, &status) == 0 && status;
    return hasMain || hasStatus;
}

int TestDialog::load()
{
    // A second load would only take a second reference that no Free gives back.
    if (orvox_.module()) return 0;
    const int rc = orvox_.load("Orvox.dll");
    if (orvox_.module()) setState(IDC_STATE_LIBRARY, "LOADED");
    return report(rc);
}

int TestDialog::freeLibrary()
{
    if (!orvox_.module()) return report(ORVO_DLL_LOAD_FAILED);
    if (holdsWindows()) {
        const int answer = ask(kFreeWarning, MB_YESNOCANCEL | MB_ICONEXCLAMATION);
        if (answer == IDCANCEL) return ORVO_CANCELLED;
        if (answer == IDYES) {
            const int rc = report(call(orvox_.Exit, 0));
            // Freeing under windows that the library still holds would crash the program.
            if (rc != 0) return rc;
            setState(IDC_STATE_MAIN, "NULL");
            setState(IDC_STATE_STATUS, "NULL");
        }
    }
    orvox_.unload();
    setState(IDC_STATE_LIBRARY, "NULL");
    setState(IDC_STATE_MAIN, "NULL");
    setState(IDC_STATE_STATUS, "NULL");
    return 0;
}

int TestDialog::initMain(bool allowEdit)
{
    Parameter p[] = {{"MessageHook function pointer:", asNumber(reinterpret_cast<const void*>(&testMessageHook))},
                     {"SetTitleHook function pointer:", asNumber(reinterpret_cast<const void*>(&testTitleHook))}};
    if (!edit(allowEdit, "Orvo_InitMain", p)) return -1;
    const int rc = report(call(orvox_.InitMain, fromNumber<OrvoMessageHook>(p[0].value),
                               fromNumber<OrvoSetTitleHook>(p[1].value)));
    if (rc == 0) setState(IDC_STATE_MAIN, "Allocated");
    return rc;
}

int TestDialog::initStatus()
{
    const int rc = report(call(orvox_.InitStatus));
    if (rc == 0) setState(IDC_STATE_STATUS, "Allocated");
    return rc;
}

int TestDialog::createMain(bool allowEdit)
{
    Parameter p[] = {{"Parent window handler:", asNumber(dialog_)}, {"Show splah screen:", 0}};
    if (!edit(allowEdit, "Orvo_CreateMain", p)) return -1;
    const int rc = report(call(orvox_.CreateMain, fromNumber<HWND>(p[0].value), static_cast<int>(p[1].value), kHostVersion));
    if (rc == 0) {
        setState(IDC_STATE_MAIN, "Created");
        // A new window shows every tab.
        for (int i = 0; i < 7; ++i) CheckDlgButton(dialog_, IDC_PAGE_FIRST + i, BST_CHECKED);
    }
    return rc;
}

int TestDialog::createStatus(bool allowEdit)
{
    Parameter p[] = {{"Parent window handler:", asNumber(dialog_)}};
    if (!edit(allowEdit, "Orvo_CreateStatus", p)) return -1;
    const int rc = report(call(orvox_.CreateStatus, fromNumber<HWND>(p[0].value)));
    if (rc == 0) setState(IDC_STATE_STATUS, "Created");
    return rc;
}

int TestDialog::showMain(int command, bool allowEdit)
{
    const POINT at = mainPosition();
    Parameter p[] = {{"Show:", command}, {"Offset X:", at.x}, {"Offset Y:", at.y}};
    if (!edit(allowEdit, "Orvo_ShowMain", p)) return -1;
    return report(call(orvox_.ShowMain, static_cast<int>(p[0].value), static_cast<int>(p[1].value),
                       static_cast<int>(p[2].value)));
}

int TestDialog::showStatus(int command, bool allowEdit)
{
    const POINT at = statusPosition();
    Parameter p[] = {{"Show:", command}, {"Offset X:", at.x}, {"Offset Y:", at.y}};
    if (!edit(allowEdit, "Orvo_ShowStatus", p)) return -1;
    return report(call(orvox_.ShowStatus, static_cast<int>(p[0].value), static_cast<int>(p[1].value),
                       static_cast<int>(p[2].value)));
}

int TestDialog::orvoExit(bool allowEdit)
{
    Parameter p[] = {{"Force :", 0}};
    if (!edit(allowEdit, "Orvo_Exit", p)) return -1;
    const int rc = report(call(orvox_.Exit, static_cast<int>(p[0].value)));
    if (rc == 0) {
        setState(IDC_STATE_MAIN, "NULL");
        setState(IDC_STATE_STATUS, "NULL");
    }
    return rc;
}

void TestDialog::getWindow(bool main)
{
    HWND window = nullptr;
    const int rc = report(main ? call(orvox_.GetWindowMain, &window) : call(orvox_.GetWindowStatus, &window));
    if (rc != 0) return;
    char line[64];
    std::snprintf(line, sizeof line, "%s window=0x%llX", main ? "Main" : "Status",
                  static_cast<unsigned long long>(asNumber(window)));
    setOutput(line);
}

void TestDialog::showText(bool version)
{
    int size = 0;
    int rc = report(version ? call(orvox_.GetSizeOfVersion, &size) : call(orvox_.GetSizeOfPaperCatalog, &size));
    if (rc != 0) return;
    std::vector<char> buffer(static_cast<std::size_t>(size > 0 ? size : 1), '\0');
    rc = report(version ? call(orvox_.GetVersion, buffer.data()) : call(orvox_.GetPaperCatalog, buffer.data()));
    if (rc != 0) return;
    buffer.back() = '\0';
    char head[64];
    std::snprintf(head, sizeof head, version ? "Size=%d. Version=" : "Size=%d. Paper catalog=", size);
    setOutput(std::string(head) + "\n\"" + buffer.data() + "\"");
}

void TestDialog::showTab(int index)
{
    const int box = IDC_PAGE_FIRST + index;
    const bool show = IsDlgButtonChecked(dialog_, box) == BST_CHECKED;
    const int rc = report(call(orvox_.ShowTab, kTabIds[index], show ? 1 : 0));
    // The box follows the tab: a refused change puts it back.
    if (rc != 0) CheckDlgButton(dialog_, box, show ? BST_UNCHECKED : BST_CHECKED);
}

void TestDialog::settings(int id)
{
    const std::string path = text(IDC_SETTINGS_PATH);
    if (id == IDC_SETTINGS_NEW) report(call(orvox_.NewSettings));
    if (id == IDC_SETTINGS_OPEN) report(call(orvox_.OpenSettings, path.c_str()));
    if (id == IDC_SETTINGS_SAVE) report(call(orvox_.SaveSettings, path.c_str()));
}

enum class FileChoice { existing, any, save };

std::string chooseFile(HWND owner, const char* bars, const char* extension, FileChoice kind, const std::string& start)
{
    const std::string filter = filterOf(bars);
    char path[MAX_PATH] = {};
    start.copy(path, MAX_PATH - 1);
    OPENFILENAMEA ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = filter.c_str();
    ofn.lpstrFile = path;
    ofn.nMaxFile = MAX_PATH;
    ofn.lpstrDefExt = extension;
    ofn.Flags = OFN_HIDEREADONLY | OFN_PATHMUSTEXIST;
    if (kind == FileChoice::existing) ofn.Flags |= OFN_FILEMUSTEXIST;
    if (kind == FileChoice::save) ofn.Flags |= OFN_OVERWRITEPROMPT;
    const BOOL chosen = kind == FileChoice::save ? GetSaveFileNameA(&ofn) : GetOpenFileNameA(&ofn);
    if (!chosen) return {};
    std::string chosenPath = path;
    // A typed name without an extension gets the default one, also where the
    // system's open dialog adds it only to names of existing files.
    if (ofn.nFileExtension == 0 && extension && *extension && !chosenPath.empty() && chosenPath.back() != '.')
        chosenPath += std::string(".") + extension;
    return chosenPath;
}

void TestDialog::browseSettings()
{
    // The same path serves Open and Save, so the file need not exist yet.
    const std::string extension = settingsExtension();
    const std::string path = chooseFile(dialog_, settingsFilter(extension).c_str(), extension.c_str(), FileChoice::any,
                                        text(IDC_SETTINGS_PATH));
    if (!path.empty()) SetDlgItemTextA(dialog_, IDC_SETTINGS_PATH, path.c_str());
}

void TestDialog::applyXml()
{
    const std::string xml = text(IDC_XML_TEXT);
    int line = 0;
    report(call(orvox_.OpenXMLSettings, xml.c_str(), &line), line);
}

void TestDialog::loadXml()
{
    const std::string path = chooseFile(dialog_, kXmlFilter, "xml", FileChoice::existing, "");
    if (path.empty()) return;
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    if (!in) {
        ask(("Cannot read " + path).c_str(), MB_OK | MB_ICONSTOP);
        return;
    }
    SetDlgItemTextA(dialog_, IDC_XML_TEXT, withCrLf(content.str()).c_str());
}

void TestDialog::saveXml()
{
    const std::string path = chooseFile(dialog_, kXmlFilter, "xml", FileChoice::save, "");
    if (path.empty()) return;
    const std::string xml = text(IDC_XML_TEXT);
    std::ofstream out(path, std::ios::binary);
    out << xml;
    out.close();
    if (!out) ask(("Cannot write " + path).c_str(), MB_OK | MB_ICONSTOP);
}

int TestDialog::quickStart()
{
    // Each step needs the one before; the first failure ends the sequence.
    int rc = load();
    if (rc == 0) rc = initMain(false);
    if (rc == 0) rc = createMain(false);
    if (rc == 0) rc = showMain(SW_SHOW, false);
    if (rc == 0) rc = initStatus();
    if (rc == 0) rc = createStatus(false);
    if (rc == 0) rc = showStatus(SW_SHOW, false);
    return rc;
}

int TestDialog::quickFree()
{
    if (orvox_.Exit) orvoExit(false);
    return freeLibrary();
}

} // namespace

int runTestDialog(HINSTANCE instance, const char* shotPath)
{
    try {
        TestDialog dialog(instance, shotPath);
        return dialog.run();
    } catch (...) {
        MessageBoxA(nullptr, kException, kCaption, MB_OK | MB_ICONSTOP);
        return 2;
    }
}

} // namespace orvox::test
