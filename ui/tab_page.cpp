#include "ui/tab_page.h"

#include "ui/help.h"
#include "ui/key_hook.h"
#include "ui/tab_host.h"

namespace orvox::ui {

void TabPage::setCaption(std::string caption)
{
    constexpr std::size_t kMaxCaption = 260;
    if (caption.size() > kMaxCaption) caption.resize(kMaxCaption);
    caption_ = std::move(caption);
}

void TabPage::enableHelpButton(int buttonId) const
{
    EnableWindow(item(buttonId), host_ && !host_->helpFile().empty());
}

void TabPage::showPageHelp() const
{
    if (host_) showHelpTopic(hwnd(), host_->helpFile(), slot_.helpContext);
}

void TabPage::printerChanged()
{
    if (host_) host_->applyRestrictions(*this);
}

bool TabPage::create(HINSTANCE resources, HWND tabControl)
{
    if (!createModeless(resources, slot_.templateId, tabControl)) return false;
    KeyHook::markRoutesOwnKeys(hwnd());
    RECT area{};
    GetClientRect(tabControl, &area);
    SetWindowPos(hwnd(), nullptr, area.left + 1, area.top + 22, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    return true;
}

BOOL TabPage::onInitDialog()
{
    initialised_ = true;
    return FALSE;
}

INT_PTR TabPage::handleMessage(UINT msg, WPARAM wp, LPARAM lp)
{
    if ((msg == WM_KEYDOWN || msg == WM_KEYUP) && keys_ && keys_->routeKey(msg, wp, lp)) return TRUE;
    return DialogBase::handleMessage(msg, wp, lp);
}

} // namespace orvox::ui
