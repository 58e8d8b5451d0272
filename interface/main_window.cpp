#include "interface/main_window.h"

#include <shellapi.h>

#include "interface/application.h"
#include "interface/failure_point.h"
#include "interface/library.h"
#include "interface/status_window.h"
#include "interface/xml_targets_adapter.h"
#include "platform/messages.h"
#include "platform/win32/win32_platform.h"
#include "resource.h"
#include "ui/colour_mapping_page.h"
#include "ui/custom_options_page.h"
#include "ui/files_page.h"
#include "ui/job_setup1_page.h"
#include "ui/job_setup2_page.h"
#include "ui/paper_substitutions_page.h"
#include "ui/printers_page.h"

namespace orvox {
namespace {

bool sameIgnoringCase(const std::string& a, const std::string& b)
{
    return a.size() == b.size() && CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.c_str(),
                                                  static_cast<int>(a.size()), b.c_str(),
                                                  static_cast<int>(b.size())) == CSTR_EQUAL;
}

// Releases the shell's drop data on every way out of the handler.
class DropData {
public:
    explicit DropData(HDROP drop) : drop_(drop) {}
    ~DropData() { DragFinish(drop_); }
    DropData(const DropData&) = delete;
    DropData& operator=(const DropData&) = delete;

private:
    HDROP drop_;
};

} // namespace

MainWindow::~MainWindow()
{
    // The members (hook, pages, tab control) go before the base class destroys the dialog.
    if (hwnd()) KillTimer(hwnd(), kStatusTimer);
    if (app_.documents().xmlTargets() == xmlTargets_.get()) app_.documents().setXmlTargets(nullptr);
    if (JobDocument* doc = app_.documents().document(); doc && doc->uiState() == uiState_.get())
        doc->setUiState(nullptr);
}

std::string MainWindow::load(unsigned id) const { return app_.services().strings.load(id); }

int MainWindow::message(const std::string& text, unsigned type) const
{
    return app_.services().messages.show(text, type);
}

int MainWindow::create(HWND parent)
{
    initialisationRaised_ = false;
    if (!createModeless(platform::currentResourceHandle(), IDD_MAIN_WINDOW, parent)) {
        // The dialog manager destroys a dialog whose creation failed; an
        // exception of the initialisation is still the host's answer.
        return initialisationRaised_ ? 3 : 10;
    }
    if (initialisationRaised_) return 3;
    return initialisationSucceeded_ ? 0 : 11;
}

BOOL MainWindow::onInitDialog()
{
    // The dialog manager is between this and Orvo_CreateMain, and no exception
    // may pass through it: it is noted here and reported when creation returns.
    try {
        initialisationSucceeded_ = initialise();
    } catch (...) {
        initialisationSucceeded_ = false;
        initialisationRaised_ = true;
    }
    return FALSE;
}

bool MainWindow::checkSystemVersion()
{
    OSVERSIONINFOA version{};
    version.dwOSVersionInfoSize = sizeof(version);
    if (!GetVersionExA(&version)) return true;
    if (version.dwMajorVersion == 3 && version.dwMinorVersion == 10 &&
        version.dwPlatformId == VER_PLATFORM_WIN32s) {
        message(load(IDS_SYSTEM_TOO_OLD), platform::kMbOk);
        return false;
    }
    if (version.dwMajorVersion == 3 && version.dwMinorVersion == 51 &&
        version.dwPlatformId == VER_PLATFORM_WIN32_NT) {
        message(load(IDS_SYSTEM_NT351), platform::kMbOk);
        return false;
    }
    return true;
}

bool MainWindow::checkRequiredFiles()
{
    const std::string& folder = library().installationFolder;
    const platform::FileSystem& files = app_.services().files;
    catalogFile_ = folder + load(IDS_CATALOG_FILE_NAME);
    restrictionFile_ = folder + load(IDS_RESTRICTION_FILE_NAME);
    helpFile_ = folder + load(IDS_HELP_FILE_NAME);
    for (const auto& [path, nameId] : {std::pair{catalogFile_, IDS_CATALOG_FILE_NAME},
                                       std::pair{restrictionFile_, IDS_RESTRICTION_FILE_NAME}}) {
        if (files.fileExists(path)) continue;
        message(load(IDS_REQUIRED_FILE_MISSING) + load(nameId) + load(IDS_REQUIRED_FILE_END), platform::kMbIconStop);
        return false;
    }
    if (!files.fileExists(helpFile_)) {
        // Without help the library still works; the help commands and buttons go quiet.
        helpFile_.clear();
        message(load(IDS_REQUIRED_FILE_MISSING) + load(IDS_HELP_FILE_NAME), platform::kMbOk);
    }
    return true;
}

void MainWindow::startSplash()
{
    const int seconds = app_.services().profile.getInt(app_.configFile(), load(IDS_CONFIG_SPLASH_SECTION),
                                                       load(IDS_CONFIG_SPLASH_KEY), 3);
    splash_.show(platform::currentResourceHandle(), hwnd(), seconds);
}

std::string MainWindow::currentModelName() const
{
    const JobDocument* doc = app_.documents().document();
    if (doc && doc->printerModel() != 0) return load(IDS_PRINTER_MODEL1_NAME);
    std::string name = app_.branding().get(Branding::kPrinterName);
    return name.empty() ? load(IDS_PRINTER_MODEL0_NAME) : name;
}

bool MainWindow::initialise()
{
    // The branding comes first: every message box of the start carries its caption.
    app_.locateConfiguration();
    app_.loadBranding();
    if (!checkSystemVersion()) return false;
    if (!checkRequiredFiles()) return false;
    if (!app_.createDocument()) return false;
    app_.loadIppPrinters();

    DragAcceptFiles(hwnd(), TRUE);
    if (app_.showSplash()) startSplash();

    if (!restrictions_.read(restrictionFile_, app_.services().strings)) {
        message(load(IDS_RESTRICTIONS_UNREADABLE) + load(IDS_RESTRICTION_FILE_NAME) +
                    load(IDS_RESTRICTIONS_UNREADABLE_END),
                platform::kMbIconStop);
        return false;
    }
    ui::restrictionFlags().permitAll();
    JobDocument& doc = *app_.documents().document();
    const ui::TabHost::PageFactory pages = [this, &doc](const ui::PageSlot& slot) -> std::unique_ptr<ui::TabPage> {
        if (slot.tabId == IDS_TAB_PRINTERS)
            return std::make_unique<ui::PrintersPage>(slot, doc, app_.services(), app_.branding(), helpFile_,
                                                      app_.ippPrinters());
        if (slot.tabId == IDS_TAB_FILES)
            return std::make_unique<ui::FilesPage>(slot, doc, app_.services(), app_.branding(), app_.configFile(),
                                                   helpFile_);
        if (slot.tabId == ui::kJobSetup1TabId) return std::make_unique<ui::JobSetup1Page>(slot);
        if (slot.tabId == ui::kJobSetup2TabId) return std::make_unique<ui::JobSetup2Page>(slot);
        if (slot.tabId == IDS_TAB_PAPER_SUBSTITUTIONS)
            return std::make_unique<ui::PaperSubstitutionsPage>(slot, doc, app_.services());
        if (slot.tabId == IDS_TAB_CUSTOM_OPTIONS) return std::make_unique<ui::CustomOptionsPage>(slot, doc);
        if (slot.tabId == IDS_TAB_COLOR_MAPPING) return std::make_unique<ui::ColourMappingPage>(slot, doc);
        return nullptr;
    };
    tabs_.setHelpFile(helpFile_);
    if (!tabs_.build(hwnd(), IDC_MAIN_TAB, platform::currentResourceHandle(), app_.services().strings, *this, pages))
        return false;
    if (auto* setup2 = dynamic_cast<ui::JobSetup2Page*>(tabs_.page(ui::kJobSetup2TabId))) setup2->clearTexts();
    xmlTargets_ = std::make_unique<XmlTargetsAdapter>(tabs_);
    app_.documents().setXmlTargets(xmlTargets_.get());
    uiState_ = std::make_unique<UiStateAdapter>(tabs_);
    doc.setUiState(uiState_.get());
    tabs_.setRestrictions(&restrictions_, [this] { return currentModelName(); });
    keyHook_.install(hwnd(), *this);
    failurePoint(kFailInitialisingMainWindow);
    app_.resetDocument();

    administration_ = app_.services().profile.getInt(app_.configFile(), load(IDS_CONFIG_ADMIN_SECTION),
                                                     load(IDS_CONFIG_ADMIN_FLAG_KEY), 1) != 0;
    SetTimer(hwnd(), kStatusTimer, kStatusPeriodMs, nullptr);

    tabs_.selectTab(ui::kFilesTabId, true);
    doc.setCurrentTab(tabs_.indexOfTab(ui::kFilesTabId));
    tabs_.printerChanged(false);
    tabs_.loadAll();
    app_.reportDocumentState();
    SetFocus(tabs_.tabControl());
    return true;
}

void MainWindow::resetStatusText()
{
    StatusWindow* status = library().status.get();
    if (!status || !status->handle() || busy_ || menuTracking_) return;
    const std::string current = status->text();
    const std::string idle = load(IDS_IDLE_STATUS);
    if (sameIgnoringCase(current, idle)) return;
    // A text is replaced only after it has stood through a whole period.
    if (current != lastStatusSeen_) {
        lastStatusSeen_ = current;
        return;
    }
    lastStatusSeen_ = idle;
    status->setText(idle);
}

void MainWindow::onDropFiles(HDROP drop)
{
    DropData release(drop);
    HWND top = GetAncestor(hwnd(), GA_ROOT);
    SetActiveWindow(top);
    const UINT count = DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0);
    const std::string extension = "." + app_.branding().get(Branding::kExtension);
    for (UINT i = 0; i < count; ++i) {
        char path[MAX_PATH] = {};
        if (!DragQueryFileA(drop, i, path, MAX_PATH)) continue;
        const std::string file = path;
        const bool settingsFile = file.size() > extension.size() &&
                                  sameIgnoringCase(file.substr(file.size() - extension.size()), extension);
        if (count == 1 && settingsFile) {
            app_.openSettingsFile(file);
            break;
        }
        tabs_.selectTab(ui::kFilesTabId, true);
        if (ui::TabPage* files = tabs_.page(ui::kFilesTabId)) files->acceptDroppedFile(file);
    }
    SetActiveWindow(top);
}

bool MainWindow::commitCurrentPage()
{
    ui::TabPage* current = tabs_.currentPage();
    return !current || current->commitOnLeaving();
}

void MainWindow::onClose()
{
    // Checked before anything else: the print run is still using the windows.
    if (library().printing) {
        message(load(IDS_EXIT_WHILE_PRINTING), platform::kMbIconExclamation);
        return;
    }
    if (!commitCurrentPage()) return;
    // Closing goes on whatever the answer.
    app_.documents().askSaveChanges(hwnd());
    app_.reportDocumentState();
    KillTimer(hwnd(), kStatusTimer);
    destroy();
}

INT_PTR MainWindow::handleMessage(UINT msg, WPARAM wp, LPARAM lp)
{
    switch (msg) {
    case WM_TIMER:
        if (wp == kStatusTimer) resetStatusText();
        return TRUE;
    case WM_SETCURSOR:
        if (!busy_) break;
        SetCursor(LoadCursor(nullptr, IDC_WAIT));
        return setResult(TRUE);
    case WM_CTLCOLORDLG:
        return reinterpret_cast<INT_PTR>(GetSysColorBrush(COLOR_BTNFACE));
    case WM_INITMENU:
        updateMenu(reinterpret_cast<HMENU>(wp));
        menuTracking_ = true;
        return TRUE;
    case WM_INITMENUPOPUP:
        updateMenu(reinterpret_cast<HMENU>(wp));
        menuTracking_ = true;
        return TRUE;
    case WM_MENUSELECT:
        onMenuSelect(LOWORD(wp), HIWORD(wp), reinterpret_cast<HMENU>(lp));
        return TRUE;
    case WM_DROPFILES:
        onDropFiles(reinterpret_cast<HDROP>(wp));
        return TRUE;
    case WM_CLOSE:
        onClose();
        return TRUE;
    case WM_KEYDOWN:
    case WM_KEYUP:
        if (routeKey(msg, wp, lp)) return TRUE;
        break;
    default:
        break;
    }
    return DialogBase::handleMessage(msg, wp, lp);
}

} // namespace orvox
