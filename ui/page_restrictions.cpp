#include "ui/page_restrictions.h"

#include "ui/item_enabling_combo.h"
#include "ui/tab_page.h"

namespace orvox::ui {
namespace {

class WindowControl : public RestrictedControl {
public:
    explicit WindowControl(HWND window)
        : window_(window), combo_(dynamic_cast<ItemEnablingComboBox*>(Control::fromWindow(window)))
    {
    }
    void setAllItemsEnabled(bool enabled) override
    {
        if (!combo_) return;
        if (enabled) combo_->enableAllItems();
        else combo_->disableAllItems();
    }
    void setItemEnabled(int position, bool enabled) override
    {
        if (combo_) combo_->setItemEnabled(position, enabled);
    }
    void setChecked(bool checked) override
    {
        SendMessageA(window_, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
    }
    void setEnabled(bool enabled) override
    {
        // The combo moves its selection off a greyed item when it comes back.
        if (combo_) combo_->enableControl(enabled);
        else EnableWindow(window_, enabled);
    }

private:
    HWND window_;
    ItemEnablingComboBox* combo_;
};

} // namespace

PageRestrictionTarget::PageRestrictionTarget(HWND page, const TabPage* jobSetup2, const TabPage* jobSetup1)
    : page_(page), jobSetup2_(jobSetup2 ? jobSetup2->hwnd() : nullptr),
      jobSetup1_(jobSetup1 ? jobSetup1->hwnd() : nullptr)
{
}

bool PageRestrictionTarget::pageExists() const { return page_ && IsWindow(page_); }

std::unique_ptr<RestrictedControl> PageRestrictionTarget::findControl(int controlId)
{
    for (HWND window : {page_, jobSetup2_, jobSetup1_}) {
        if (!window) continue;
        if (HWND control = GetDlgItem(window, controlId)) return std::make_unique<WindowControl>(control);
    }
    return nullptr;
}

} // namespace orvox::ui
