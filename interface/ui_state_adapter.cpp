#include "interface/ui_state_adapter.h"

#include <windows.h>

#include "resource.h"
#include "ui/printers_page.h"
#include "ui/tab_host.h"
#include "ui/tab_page.h"

namespace orvox {

namespace {

// A control id names the first page that has a control of that id.
HWND findControl(const ui::TabHost& tabs, int controlId)
{
    for (const ui::PageSlot& slot : ui::kPageSlots) {
        if (const ui::TabPage* page = tabs.page(slot.tabId)) {
            if (HWND control = page->item(controlId)) return control;
        }
    }
    return nullptr;
}

} // namespace

void UiStateAdapter::setTabEnabled(int tabId, bool enabled)
{
    if (enabled)
        tabs_.enableTab(tabId);
    else
        tabs_.disableTab(tabId);
}

void UiStateAdapter::setControlEnabled(int controlId, bool enabled)
{
    if (HWND control = findControl(tabs_, controlId)) EnableWindow(control, enabled ? TRUE : FALSE);
}

std::optional<int> UiStateAdapter::printerModelCount() const
{
    const auto* printers = dynamic_cast<const ui::PrintersPage*>(tabs_.page(IDS_TAB_PRINTERS));
    if (!printers || !printers->hwnd()) return std::nullopt;
    return printers->modelCount();
}

void UiStateAdapter::refreshPages() { tabs_.loadAll(); }

void UiStateAdapter::followPrinterModel()
{
    if (auto* printers = dynamic_cast<ui::PrintersPage*>(tabs_.page(IDS_TAB_PRINTERS)); printers && printers->hwnd()) {
        printers->followDocumentModel();
        return;
    }
    tabs_.printerChanged(false);
    tabs_.loadAll();
}

bool UiStateAdapter::validatePages() { return tabs_.saveAll(); }

bool UiStateAdapter::isControlEnabled(int controlId) const
{
    // A control the window does not have is not withheld by the printer.
    HWND control = findControl(tabs_, controlId);
    return !control || IsWindowEnabled(control);
}

bool UiStateAdapter::isTabAvailable(int tabId) const
{
    return tabs_.indexOfTab(tabId) >= 0 && !tabs_.isTabDisabled(tabId);
}

} // namespace orvox
