#include "interface/application.h"

#include "interface/library.h"
#include "interface/main_window.h"
#include "interface/print_pages_adapter.h"
#include "interface/status_window.h"
#include "platform/status.h"
#include "platform/win32/win32_machine.h"
#include "platform/win32/win32_network.h"
#include "platform/win32/win32_spooler.h"
#include "print/ipp_printers.h"
#include "print/print_run.h"
#include "resource.h"
#include "settings/job_document.h"
#include "ui/catalog_editor.h"

namespace orvox {

namespace {
constexpr const char* kVersionPrefix = "Orvox.dll -";
constexpr const char* kVersionNumber = " 11_02_00";
constexpr const char* kVersionSeparator = ",  ";
constexpr const char* kXmlVersion = "XML Version 1.0";

// Progress of a print run in the status window, with the wait cursor.
class StatusWindowDisplay : public platform::StatusDisplay {
public:
    explicit StatusWindowDisplay(const Application& app) : app_(app) {}
    void setStatusText(const std::string& text) override { app_.setStatusText(text); }
    void beginWait() override { previous_ = SetCursor(LoadCursor(nullptr, IDC_WAIT)); }
    void endWait() override { SetCursor(previous_); }

private:
    const Application& app_;
    HCURSOR previous_ = nullptr;
};

// The host program's executable name without folder and extension.
std::string hostProgramBaseName()
{
    char path[MAX_PATH + 1] = {};
    const DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return {};
    std::string name = fileNamePart(std::string(path, n));
    if (const auto dot = name.rfind('.'); dot != std::string::npos) name.resize(dot);
    return name;
}
} // namespace

Application::Application()
    : services_{strings_, profile_, messageBox(), files_}
{
    files_.setMessages(&services_.messages);
}

Application::~Application() = default;

int Application::createMainWindow(HWND parent, bool showSplash)
{
    showSplash_ = showSplash;
    auto window = std::make_unique<MainWindow>(*this);
    mainWindow_ = std::move(window);
    const int result = mainWindow_->create(parent);
    if (result == 10) mainWindow_.reset();
    if (result == 3) discardMainWindow();
    return result;
}

void Application::discardMainWindow()
{
    // The same order as the teardown of Orvo_Exit: the document, then the window.
    documents_.destroy();
    mainWindow_.reset();
}

void Application::teardown()
{
    documents_.destroy();
    mainWindow_.reset();
}

HWND Application::mainWindowHandle() const { return mainWindow_ ? mainWindow_->handle() : nullptr; }

void Application::locateConfiguration()
{
    configFile_ = library().installationFolder + strings_.load(IDS_CONFIG_FILE_NAME);
}

void Application::loadBranding() { branding_.load(library().installationFolder, profile_, strings_); }

void Application::loadIppPrinters()
{
    IppPrinterList list = readIppPrinters(configFile_, strings_);
    ippPrinters_ = std::move(list.printers);
    if (!list.rejected.empty()) services_.messages.show(list.rejected, platform::kMbIconExclamation);
}

void Application::setStatusText(const std::string& text) const
{
    if (StatusWindow* status = library().status.get()) status->setText(text);
}

std::string Application::statusText() const
{
    const StatusWindow* status = library().status.get();
    return status ? status->text() : std::string();
}

bool Application::createDocument()
{
    return documents_.create(services_, library().installationFolder);
}

void Application::resetDocument() { documents_.newSettings(); }

bool Application::openSettingsFile(const std::string& path) { return documents_.openSettings(path) == 0; }

bool Application::runCatalogEditor(HWND owner)
{
    JobDocument* doc = documents_.document();
    // One editor at a time: a second request while it is open is ignored.
    if (!doc || library().catalogEditing) return false;
    struct EditingScope {
        EditingScope() { library().catalogEditing = true; }
        ~EditingScope() { library().catalogEditing = false; }
    } editing;
    ui::CatalogEditor editor(*doc);
    if (!editor.run(platform::currentResourceHandle(), owner)) return false;
    // Every page shows the catalog as it is now: paper lists, substitutions.
    if (mainWindow_) mainWindow_->tabs().loadAll();
    reportDocumentState();
    return true;
}

int Application::runPrintRequest()
{
    JobDocument* doc = documents_.document();
    if (!doc) return 1;
    platform::Win32Spooler spooler;
    platform::Win32MachineInfo machine;
    PrintPagesAdapter pages(mainWindow_.get(), strings_);
    StatusWindowDisplay status(*this);
    const std::string program = hostProgramBaseName();
    // The host's own profile: a bare name, which the profile functions look
    // up in the Windows folder.
    PrintRunEnvironment env{services_, spooler, pages, status, branding_, &machine, library().printing, program,
                            program + ".INI", {}};
    platform::Win32Network network;
    env.ippPrinters = &ippPrinters_;
    env.ippTarget = [this, &network](const IppPrinter& printer) {
        return makeIppOutputTarget(services_, network, printer);
    };
    PrintRun run(*doc, std::move(env));
    return run.request();
}

bool Application::checkPagesAsForPrinting()
{
    JobDocument* doc = documents_.document();
    if (!doc || !mainWindow_) return false;
    PrintPagesAdapter pages(mainWindow_.get(), strings_);
    if (checkPagesForPrinting(*doc, services_, pages) == kRunOk) return true;
    pages.focusTabControl();
    return false;
}

int Application::prepareExit(bool force)
{
    if (library().printing) {
        services_.messages.show(strings_.load(IDS_EXIT_WHILE_PRINTING), 0);
        return 22;
    }
    if (mainWindow_ && !mainWindow_->commitCurrentPage()) return 1;
    if (!force && !documents_.askSaveChanges(mainWindowHandle())) return 23;
    return 0;
}

std::string Application::versionString() const
{
    std::string text = kVersionPrefix;
    text += kVersionNumber;
    text += kVersionSeparator;
    text += strings_.load(IDS_VERSION_SUFFIX);
    if (!hostVersion_.empty()) {
        text += kVersionSeparator;
        text += hostVersion_;
    }
    text += kVersionSeparator;
    text += kXmlVersion;
    return text;
}

void Application::reportDocumentState()
{
    if (JobDocument* doc = documents_.document()) {
        doc->reportDocumentState();
    } else if (OrvoSetTitleHook hook = library().setTitleHook) {
        hook(strings_.load(IDS_UNTITLED).c_str(), branding_.appTitle().c_str(), 0);
    }
}

} // namespace orvox
