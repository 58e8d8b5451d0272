#pragma once
// The restriction lists' view of a page's window: controls are looked up on
// the page, then on the two job-setup pages that share the finishing controls.
#include <windows.h>

#include "ui/portable/restriction_list.h"

namespace orvox::ui {

class TabPage;

class PageRestrictionTarget : public RestrictionTarget {
public:
    PageRestrictionTarget(HWND page, const TabPage* jobSetup2, const TabPage* jobSetup1);
    bool pageExists() const override;
    std::unique_ptr<RestrictedControl> findControl(int controlId) override;

private:
    HWND page_;
    HWND jobSetup2_;
    HWND jobSetup1_;
};

} // namespace orvox::ui
