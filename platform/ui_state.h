#pragma once
// What the job settings document needs from the tab pages: switching tabs and
// controls on and off as settings change, the printer page's list of models,
// refreshing the pages after the document was replaced, the pages' own
// check of their input before a save, and, for the job header, which of the
// printer-dependent controls and tabs are on. The user interface implements
// it; the document works without one (nothing is shown then).
#include <optional>

namespace orvox::platform {

// Tabs are identified by the resource id of their caption.
inline constexpr int kTabPaperSubstitutions = 437;
inline constexpr int kTabColourMapping = 438;

class UiState {
public:
    virtual ~UiState() = default;
    virtual void setTabEnabled(int tabId, bool enabled) = 0;
    // `controlId` is the dialog id of a control on one of the pages.
    virtual void setControlEnabled(int controlId, bool enabled) = 0;
    // Number of printer models offered by the printer page; empty while that
    // page does not exist.
    virtual std::optional<int> printerModelCount() const = 0;
    // The pages reload themselves from the document.
    virtual void refreshPages() = 0;
    // The document's printer model was set by a new document, a load or an
    // import: the printer page shows it, every page applies that model's
    // restrictions again, and the pages reload.
    virtual void followPrinterModel() { refreshPages(); }
    // The pages check their current input (and show their own messages);
    // false when something must be corrected before saving.
    virtual bool validatePages() = 0;
    // Read back when a job header is built: the enabled states carry what the
    // selected printer offers. Without pages everything counts as offered.
    virtual bool isControlEnabled(int controlId) const
    {
        (void)controlId;
        return true;
    }
    virtual bool isTabAvailable(int tabId) const
    {
        (void)tabId;
        return true;
    }
};

} // namespace orvox::platform
