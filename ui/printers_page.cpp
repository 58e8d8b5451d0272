#include "ui/printers_page.h"

#include <winspool.h>

#include <cstring>

#include "resource.h"
#include "ui/portable/file_types.h"
#include "ui/tab_host.h"

namespace orvox::ui {
namespace {

constexpr int kMaxServerText = 31;

// All keys of a profile section as a double-zero-terminated list. The buffer
// grows until the list fits, so a long printer list is never cut short.
std::vector<std::string> profileKeys(const std::string& section)
{
    std::vector<char> buffer(1024);
    for (;;) {
        const DWORD used = GetProfileStringA(section.c_str(), nullptr, "", buffer.data(),
                                             static_cast<DWORD>(buffer.size()));
        if (used < buffer.size() - 2 || buffer.size() >= (1u << 20)) break;
        buffer.resize(buffer.size() * 2);
    }
    std::vector<std::string> keys;
    for (const char* key = buffer.data(); *key; key += std::strlen(key) + 1) keys.emplace_back(key);
    return keys;
}

std::string profileValue(const std::string& section, const std::string& key)
{
    char value[1024] = {};
    GetProfileStringA(section.c_str(), key.c_str(), "", value, sizeof(value));
    return value;
}

// The row format holds two text fields; they are filled in as text, never
// handed to a formatting routine, so a device name with a percent sign is shown as it is.
std::string formatRow(std::string format, const std::string& device, const std::string& port)
{
    for (const std::string* field : {&device, &port}) {
        const std::size_t at = format.find("%s");
        if (at == std::string::npos) break;
        format.replace(at, 2, *field);
    }
    return format;
}

// The port: the second comma-separated field of a device's profile value.
std::string secondField(const std::string& value)
{
    const std::size_t comma = value.find(',');
    if (comma == std::string::npos) return {};
    const std::size_t end = value.find(',', comma + 1);
    return value.substr(comma + 1, end == std::string::npos ? std::string::npos : end - comma - 1);
}

std::string windowText(HWND window)
{
    char text[64] = {};
    GetWindowTextA(window, text, sizeof(text));
    return text;
}

class PrinterHandle {
public:
    explicit PrinterHandle(HANDLE handle) : handle_(handle) {}
    ~PrinterHandle()
    {
        if (handle_) ClosePrinter(handle_);
    }
    PrinterHandle(const PrinterHandle&) = delete;
    PrinterHandle& operator=(const PrinterHandle&) = delete;
    explicit operator bool() const { return handle_ != nullptr; }

private:
    HANDLE handle_;
};

// NT 4 or later: the versions that have the connect-to-printer dialog.
bool hasConnectDialog()
{
    OSVERSIONINFOA version{};
    version.dwOSVersionInfoSize = sizeof(version);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    if (!GetVersionExA(&version)) return false;
#pragma GCC diagnostic pop
    return version.dwPlatformId == VER_PLATFORM_WIN32_NT && version.dwMajorVersion >= 4;
}

// Notes whether any window is created on this thread while it lives: a dialog
// that returns nothing without one was never shown.
class WindowWatch {
public:
    WindowWatch() : hook_(SetWindowsHookExA(WH_CBT, onEvent, nullptr, GetCurrentThreadId())) { tCreated = false; }
    ~WindowWatch()
    {
        if (hook_) UnhookWindowsHookEx(hook_);
    }
    WindowWatch(const WindowWatch&) = delete;
    WindowWatch& operator=(const WindowWatch&) = delete;
    // Without a hook nothing can be told: the dialog is given the benefit of the doubt.
    bool sawWindow() const { return !hook_ || tCreated; }

private:
    static LRESULT CALLBACK onEvent(int code, WPARAM wp, LPARAM lp)
    {
        if (code == HCBT_CREATEWND) tCreated = true;
        return CallNextHookEx(nullptr, code, wp, lp);
    }
    static inline thread_local bool tCreated = false;
    HHOOK hook_;
};

} // namespace

PrintersPage::PrintersPage(const PageSlot& slot, JobDocument& doc, platform::Services services,
                           const Branding& branding, const std::string& helpFile,
                           const std::vector<IppPrinter>& ippPrinters)
    : TabPage(slot), doc_(doc), services_(services), branding_(branding), helpFile_(helpFile),
      ippPrinters_(ippPrinters)
{
}

BOOL PrintersPage::onInitDialog()
{
    TabPage::onInitDialog();
    check(IDC_CHECK_PRINT, true);
    check(IDC_CHECK_SAVE_AS, false);
    check(IDC_CHECK_SPECIFIC_PRINTER, false);
    SendMessageA(item(IDC_EDIT_SAVE_AS), EM_LIMITTEXT, kMaxServerText, 0);
    SendMessageA(item(IDC_EDIT_SPECIFIC_PRINTER), EM_LIMITTEXT, kMaxServerText, 0);
    fillPrinters(false);
    fillModels();
    SetDlgItemTextA(hwnd(), IDC_NETWORK_PRINTER_TEXT, "");
    SetDlgItemTextA(hwnd(), IDC_SERVER_TEXT, branding_.get(Branding::kServerName).c_str());
    return FALSE;
}

void PrintersPage::fillPrinters(bool keepSelection)
{
    HWND list = item(IDC_PRINTER_LIST);
    const auto previous = static_cast<int>(SendMessageA(list, LB_GETCURSEL, 0, 0));
    SendMessageA(list, LB_RESETCONTENT, 0, 0);
    devices_.clear();

    const std::string devicesSection = load(IDS_DEVICES_SECTION);
    const std::string defaultPrinter = profileValue(load(IDS_WINDOWS_SECTION), load(IDS_DEFAULT_PRINTER_KEY));
    const std::string format = load(IDS_PRINTER_ROW_FORMAT);
    for (const std::string& device : profileKeys(devicesSection)) {
        const std::string row = formatRow(format, device, secondField(profileValue(devicesSection, device)));
        const auto at = SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(row.c_str()));
        if (at < 0) break;
        devices_.push_back(device);
        if (keepSelection && defaultPrinter.compare(0, device.size(), device) == 0)
            SendMessageA(list, LB_SETCURSEL, static_cast<WPARAM>(at), 0);
    }
    // After the queues, so that a stored printer position keeps naming the
    // queue it named before IPP printers were configured.
    queueRows_ = static_cast<int>(devices_.size());
    const std::string ippFormat = load(IDS_IPP_PRINTER_ROW_FORMAT);
    for (const IppPrinter& printer : ippPrinters_) {
        const std::string row = formatRow(ippFormat, printer.name, printer.uri);
        if (SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(row.c_str())) < 0) break;
        devices_.push_back(printer.name);
    }
    if (devices_.empty()) {
        services_.messages.show(load(IDS_NO_PRINTERS), platform::kMbIconStop);
        return;
    }
    const int count = static_cast<int>(devices_.size());
    SendMessageA(list, LB_SETCURSEL, keepSelection && previous >= 0 && previous < count ? previous : 0, 0);
    onPrinterSelected();
}

void PrintersPage::fillModels()
{
    HWND combo = item(IDC_COMBO_PRINTER_MODEL);
    SendMessageA(combo, CB_RESETCONTENT, 0, 0);
    if (!modelListAvailable_) return;
    SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(branding_.get(Branding::kPrinterName).c_str()));
    SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(load(IDS_PRINTER_MODEL1_NAME).c_str()));
    SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(doc_.printerModel()), 0);
}

int PrintersPage::printerRowCount() const
{
    return static_cast<int>(devices_.size());
}

std::string PrintersPage::deviceOfRow(int row) const
{
    return row >= 0 && row < printerRowCount() ? devices_[static_cast<std::size_t>(row)] : std::string();
}

bool PrintersPage::selectedIsIpp() const
{
    if (!hwnd()) return false;
    const auto row = static_cast<int>(SendMessageA(item(IDC_PRINTER_LIST), LB_GETCURSEL, 0, 0));
    return row >= queueRows_ && row < printerRowCount();
}

std::string PrintersPage::selectedDevice() const
{
    if (!hwnd()) return {};
    return deviceOfRow(static_cast<int>(SendMessageA(item(IDC_PRINTER_LIST), LB_GETCURSEL, 0, 0)));
}

bool PrintersPage::selectPrinter(const std::string& deviceName)
{
    const std::string wanted = toLowerAscii(deviceName);
    for (int row = 0; row < printerRowCount(); ++row) {
        if (toLowerAscii(devices_[static_cast<std::size_t>(row)]) != wanted) continue;
        HWND list = item(IDC_PRINTER_LIST);
        if (SendMessageA(list, LB_GETCURSEL, 0, 0) == row) return true;
        SendMessageA(list, LB_SETCURSEL, static_cast<WPARAM>(row), 0);
        onPrinterSelected();
        return false;
    }
    return false;
}

void PrintersPage::selectNamedPrinter(const std::string& deviceName)
{
    if (!hwnd()) return;
    const std::string wanted = toLowerAscii(deviceName);
    for (const std::string& device : devices_)
        if (toLowerAscii(device) == wanted) {
            selectPrinter(deviceName);
            return;
        }
    SendMessageA(item(IDC_PRINTER_LIST), LB_SETCURSEL, static_cast<WPARAM>(-1), 0);
    selectedRowText_.clear();
    std::string text = load(IDS_IMPORTED_PRINTER_UNKNOWN);
    if (const std::size_t at = text.find("%1"); at != std::string::npos) text.replace(at, 2, deviceName);
    services_.messages.show(text, platform::kMbOk | platform::kMbIconExclamation);
}

void PrintersPage::onPrinterSelected()
{
    HWND list = item(IDC_PRINTER_LIST);
    const auto row = static_cast<int>(SendMessageA(list, LB_GETCURSEL, 0, 0));
    if (row < 0) return;
    char text[512] = {};
    if (SendMessageA(list, LB_GETTEXTLEN, static_cast<WPARAM>(row), 0) < static_cast<LRESULT>(sizeof(text)))
        SendMessageA(list, LB_GETTEXT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(text));
    selectedRowText_ = text;
    doc_.setPrinterPosition(row);
}

void PrintersPage::addNetworkPrinter()
{
    // The system's own dialog connects the queue; the list is read again afterwards.
    // Systems older than NT 4 have no such dialog, and some report success
    // without ever showing one: the operator is told either way, never left
    // with a button that does nothing.
    if (!hasConnectDialog()) {
        services_.messages.show(load(IDS_ADD_PRINTER_UNAVAILABLE), platform::kMbIconExclamation);
        return;
    }
    WindowWatch watch;
    PrinterHandle connected(ConnectToPrinterDlg(hwnd(), 0));
    if (!connected && !watch.sawWindow()) {
        services_.messages.show(load(IDS_ADD_PRINTER_UNAVAILABLE), platform::kMbIconExclamation);
        return;
    }
    fillPrinters(true);
}

void PrintersPage::showModel(int model)
{
    modelChangePending_ = false;
    SendMessageA(item(IDC_COMBO_PRINTER_MODEL), CB_SETCURSEL, static_cast<WPARAM>(model), 0);
}

int PrintersPage::modelCount() const
{
    const auto count = SendMessageA(item(IDC_COMBO_PRINTER_MODEL), CB_GETCOUNT, 0, 0);
    return count > 0 ? static_cast<int>(count) : 0;
}

void PrintersPage::applyPrintRule()
{
    // One of printing and saving is always on, or the job would go nowhere.
    if (!checked(IDC_CHECK_PRINT) && !checked(IDC_CHECK_SAVE_AS)) check(IDC_CHECK_PRINT, true);
    doc_.setPrintToPrinter(checked(IDC_CHECK_PRINT) ? 1 : 0);
    EnableWindow(item(IDC_CHECK_SPECIFIC_PRINTER), checked(IDC_CHECK_PRINT));
    EnableWindow(item(IDC_EDIT_SPECIFIC_PRINTER), checked(IDC_CHECK_PRINT) && checked(IDC_CHECK_SPECIFIC_PRINTER));
}

void PrintersPage::applySaveAsRule()
{
    const bool saveAs = checked(IDC_CHECK_SAVE_AS);
    EnableWindow(item(IDC_EDIT_SAVE_AS), saveAs);
    if (saveAs && !loading_) {
        SetFocus(item(IDC_EDIT_SAVE_AS));
        SendMessageA(item(IDC_EDIT_SAVE_AS), EM_SETSEL, 0, -1);
    }
    doc_.setSaveAsFile(saveAs ? 1 : 0);
    if (!saveAs && !checked(IDC_CHECK_PRINT)) {
        check(IDC_CHECK_PRINT, true);
        doc_.setPrintToPrinter(1);
        EnableWindow(item(IDC_CHECK_SPECIFIC_PRINTER), TRUE);
        EnableWindow(item(IDC_EDIT_SPECIFIC_PRINTER), checked(IDC_CHECK_SPECIFIC_PRINTER));
        if (checked(IDC_CHECK_SPECIFIC_PRINTER) && !loading_) SetFocus(item(IDC_EDIT_SPECIFIC_PRINTER));
    }
}

void PrintersPage::applyModelRule(bool forced)
{
    HWND combo = item(IDC_COMBO_PRINTER_MODEL);
    modelChangePending_ = false;
    const auto chosen = static_cast<int>(SendMessageA(combo, CB_GETCURSEL, 0, 0));
    const int current = doc_.printerModel();
    if (chosen < 0 || (chosen == current && !forced)) return;
    if (!forced) {
        char caption[256] = {};
        SendMessageA(combo, CB_GETLBTEXT, static_cast<WPARAM>(chosen), reinterpret_cast<LPARAM>(caption));
        const std::string question = load(IDS_MODEL_SWITCH_QUESTION) + caption + load(IDS_MODEL_SWITCH_QUESTION_END);
        if (services_.messages.show(question, platform::kMbOkCancel | platform::kMbIconQuestion) != platform::kIdOk) {
            SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(current), 0);
            return;
        }
    }
    doc_.setPrinterModel(static_cast<std::int16_t>(chosen));
    doc_.applyModelDefaults();
    switchPages();
}

void PrintersPage::followDocumentModel()
{
    showModel(doc_.printerModel());
    switchPages();
}

void PrintersPage::switchPages()
{
    if (TabHost* tabs = host()) {
        tabs->printerChanged(false);
        tabs->loadAll();
    }
}

bool PrintersPage::loadFromDocument()
{
    loading_ = true;
    EnableWindow(item(IDC_PRINTERS_HELP), !helpFile_.empty());
    modelChangePending_ = false;
    check(IDC_CHECK_PRINT, doc_.printToPrinter() != 0);
    check(IDC_CHECK_SAVE_AS, doc_.saveAsFile() != 0);
    SetDlgItemTextA(hwnd(), IDC_EDIT_SAVE_AS, doc_.saveAsPath().c_str());
    check(IDC_CHECK_SPECIFIC_PRINTER, doc_.useSpecificPrinter() != 0);
    SetDlgItemTextA(hwnd(), IDC_EDIT_SPECIFIC_PRINTER, doc_.specificPrinterName().c_str());
    showModel(doc_.printerModel());
    applySaveAsRule();
    applyPrintRule();
    doc_.updateSubstitutionsTab();
    doc_.updateColourMappingTab();
    loading_ = false;
    return true;
}

bool PrintersPage::saveToDocument()
{
    doc_.setPrintToPrinter(checked(IDC_CHECK_PRINT) ? 1 : 0);
    doc_.setSaveAsFile(checked(IDC_CHECK_SAVE_AS) ? 1 : 0);
    doc_.setSaveAsPath(windowText(item(IDC_EDIT_SAVE_AS)));
    doc_.setUseSpecificPrinter(checked(IDC_CHECK_SPECIFIC_PRINTER) ? 1 : 0);
    doc_.setSpecificPrinterName(windowText(item(IDC_EDIT_SPECIFIC_PRINTER)));
    const auto model = SendMessageA(item(IDC_COMBO_PRINTER_MODEL), CB_GETCURSEL, 0, 0);
    // Only a committed model is stored; a pending one still needs the operator's answer.
    if (model >= 0 && !modelChangePending_) doc_.setPrinterModel(static_cast<std::int16_t>(model));
    return true;
}

bool PrintersPage::commitOnLeaving()
{
    if (modelChangePending_) applyModelRule(false);
    return true;
}

bool PrintersPage::editHasSelection() const
{
    static constexpr int kEdits[] = {IDC_EDIT_SAVE_AS, IDC_EDIT_SPECIFIC_PRINTER};
    return focusedEditHasSelection(kEdits);
}

bool PrintersPage::onCommand(int id, int code, HWND /*control*/)
{
    HWND combo = item(IDC_COMBO_PRINTER_MODEL);
    switch (id) {
    case IDC_PRINTER_LIST:
        if (code == LBN_SELCHANGE) {
            onPrinterSelected();
            if (TabHost* tabs = host()) tabs->printerChanged(true);
        }
        return true;
    case IDC_ADD_NETWORK_PRINTER:
        if (code == BN_CLICKED) addNetworkPrinter();
        return true;
    case IDC_CHECK_PRINT:
        if (code == BN_CLICKED) applyPrintRule();
        return true;
    case IDC_CHECK_SAVE_AS:
        if (code == BN_CLICKED) applySaveAsRule();
        return true;
    case IDC_CHECK_SPECIFIC_PRINTER:
        if (code == BN_CLICKED) {
            const bool on = checked(IDC_CHECK_SPECIFIC_PRINTER);
            EnableWindow(item(IDC_EDIT_SPECIFIC_PRINTER), on);
            if (on) {
                SetFocus(item(IDC_EDIT_SPECIFIC_PRINTER));
                SendMessageA(item(IDC_EDIT_SPECIFIC_PRINTER), EM_SETSEL, 0, -1);
            }
            doc_.setUseSpecificPrinter(on ? 1 : 0);
        }
        return true;
    case IDC_EDIT_SAVE_AS:
        if (code == EN_CHANGE && !loading_) doc_.setSaveAsPath(windowText(item(IDC_EDIT_SAVE_AS)));
        return true;
    case IDC_EDIT_SPECIFIC_PRINTER:
        if (code == EN_CHANGE && !loading_) doc_.setSpecificPrinterName(windowText(item(IDC_EDIT_SPECIFIC_PRINTER)));
        return true;
    case IDC_PRINTERS_HELP:
        if (code == BN_CLICKED) showPageHelp();
        return true;
    case IDC_COMBO_PRINTER_MODEL:
        switch (code) {
        case CBN_SELENDOK: dropDownCancelled_ = false; break;
        case CBN_SELENDCANCEL: dropDownCancelled_ = true; break;
        case CBN_SELCHANGE:
            // Arrow keys walk through the models; the change waits until it is committed.
            if (!SendMessageA(combo, CB_GETDROPPEDSTATE, 0, 0)) modelChangePending_ = true;
            break;
        case CBN_CLOSEUP:
            if (dropDownCancelled_) {
                dropDownCancelled_ = false;
                showModel(doc_.printerModel());
            } else {
                applyModelRule(false);
            }
            break;
        case CBN_KILLFOCUS:
            if (modelChangePending_) applyModelRule(false);
            break;
        default: break;
        }
        return true;
    default:
        return false;
    }
}

INT_PTR PrintersPage::handleMessage(UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == kPrinterUnavailable) {
        services_.messages.show(load(IDS_RUN_NO_PRINTERS), platform::kMbIconStop);
        // No printer stays selected, so a print request is refused until the operator picks one.
        SendMessageA(item(IDC_PRINTER_LIST), LB_SETCURSEL, static_cast<WPARAM>(-1), 0);
        selectedRowText_.clear();
        modelListAvailable_ = false;
        fillModels();
        return TRUE;
    }
    return TabPage::handleMessage(msg, wp, lp);
}

} // namespace orvox::ui
