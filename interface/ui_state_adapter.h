#pragma once
// The job settings document's view of the job-setup window: tab and control
// availability, the printer page's models, reloading and checking the pages,
// and the enabled states the job header builder reads.
#include "platform/ui_state.h"

namespace orvox {

namespace ui {
class TabHost;
}

class UiStateAdapter : public platform::UiState {
public:
    explicit UiStateAdapter(ui::TabHost& tabs) : tabs_(tabs) {}

    void setTabEnabled(int tabId, bool enabled) override;
    void setControlEnabled(int controlId, bool enabled) override;
    std::optional<int> printerModelCount() const override;
    void refreshPages() override;
    void followPrinterModel() override;
    bool validatePages() override;
    bool isControlEnabled(int controlId) const override;
    bool isTabAvailable(int tabId) const override;

private:
    ui::TabHost& tabs_;
};

} // namespace orvox
