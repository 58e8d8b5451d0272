#pragma once
// The application object: exists from Orvo_InitMain to Orvo_Exit and owns the
// main window, the branding texts and (through the window) everything the
// operator works with.
#include <windows.h>

#include <memory>
#include <string>

#include "interface/document_host.h"
#include "interface/message_box.h"
#include "platform/services.h"
#include "platform/win32/win32_platform.h"
#include "print/ipp_output.h"
#include "settings/branding.h"

namespace orvox {

class MainWindow;

class Application {
public:
    Application();
    ~Application();
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    // Creates the main window inside `parent` and runs its initialisation:
    // 0, 10 when the window cannot be created, 11 when its initialisation failed,
    // 3 when it raised an exception (the half-built window is gone again).
    int createMainWindow(HWND parent, bool showSplash);
    // Destroys a main window whose initialisation did not finish, with the
    // document it made, so that nothing of it stays behind.
    void discardMainWindow();
    HWND mainWindowHandle() const;
    MainWindow* mainWindow() const { return mainWindow_.get(); }

    // The steps of Orvo_Exit before the objects are destroyed: 0, or 22, 1, 23.
    int prepareExit(bool force);

    // Destroys the windows and everything they own; may throw, unlike the destructor.
    void teardown();

    void setHostVersion(const char* text) { hostVersion_ = text ? text : ""; }
    std::string versionString() const;

    // Steps of the main window's initialisation that concern the application:
    // the configuration file's path, then the branding texts.
    void locateConfiguration();
    void loadBranding();
    // The IPP printers of the configuration file, read once; entries that
    // cannot be used are named in one message.
    void loadIppPrinters();
    const std::vector<IppPrinter>& ippPrinters() const { return ippPrinters_; }

    // Status text of the status window; an empty text leaves it unchanged.
    void setStatusText(const std::string& text) const;
    std::string statusText() const;

    // Work of other parts of the library that the main window's commands start.
    // Each returns false (or the print run's failure code) until its part is present.
    bool openSettingsFile(const std::string& path);
    // The settings document: built at initialisation, reset to a new document.
    bool createDocument();
    void resetDocument();
    bool runCatalogEditor(HWND owner);
    int runPrintRequest();
    // The pages' checks of a print request, without printing; false after the
    // refusing check's message.
    bool checkPagesAsForPrinting();

    // Tells the host the document title, the caption and the modified state.
    void reportDocumentState();

    const Branding& branding() const { return branding_; }
    DocumentHost& documents() { return documents_; }
    platform::Services& services() { return services_; }
    const std::string& configFile() const { return configFile_; }
    bool showSplash() const { return showSplash_; }

private:
    platform::Win32Strings strings_;
    platform::Win32Profile profile_;
    platform::Win32FileSystem files_;
    platform::Services services_;
    Branding branding_;
    DocumentHost documents_{*this};
    std::unique_ptr<MainWindow> mainWindow_;
    std::string hostVersion_;
    std::string configFile_;
    std::vector<IppPrinter> ippPrinters_;
    bool showSplash_ = true;
};

} // namespace orvox
