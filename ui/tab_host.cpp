#include "ui/tab_host.h"

#include <commctrl.h>

#include "settings/job_document.h"
#include "ui/key_hook.h"
#include "ui/page_restrictions.h"
#include "ui/portable/restriction_list.h"

namespace orvox::ui {

// The subclassed tab control: clicks on grey tabs never reach it, and its keys
// go to the application's shortcuts first.
class TabHost::TabControl : public Control {
public:
    explicit TabControl(TabHost& host) : host_(host) {}

    bool onReflect(UINT msg, WPARAM, LPARAM lp, LRESULT& result) override
    {
        if (msg == WM_NOTIFY) return host_.onNotify(*reinterpret_cast<const NMHDR*>(lp), result);
        if (msg == WM_DRAWITEM) {
            host_.drawTab(*reinterpret_cast<const DRAWITEMSTRUCT*>(lp));
            result = TRUE;
            return true;
        }
        return false;
    }

protected:
    LRESULT onMessage(UINT msg, WPARAM wp, LPARAM lp) override
    {
        switch (msg) {
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            if (host_.isTabAtPointDisabled(lp)) return 0;
            break;
        case WM_KEYDOWN:
        case WM_KEYUP:
        case WM_SYSKEYDOWN:
        case WM_SYSKEYUP:
            if (host_.routeKey(msg, wp, lp)) return 0;
            break;
        default:
            break;
        }
        return defaultProc(msg, wp, lp);
    }

private:
    TabHost& host_;
};

TabHost::TabHost() : tabs_(std::make_unique<TabControl>(*this)) {}

TabHost::~TabHost()
{
    // The pages are children of the tab control: they go before it is let go.
    pages_.clear();
    tabs_->detach();
}

bool TabHost::build(HWND mainWindow, int tabControlId, HINSTANCE resources, const platform::StringSource& strings,
                    KeyRouter& keys, const PageFactory& factory)
{
    keys_ = &keys;
    if (!tabs_->attach(mainWindow, tabControlId)) return false;
    HWND tab = tabs_->hwnd();
    KeyHook::markRoutesOwnKeys(tab);
    // Pages are children of the tab control; it must not paint over them.
    SetWindowLongPtrA(tab, GWL_STYLE, GetWindowLongPtrA(tab, GWL_STYLE) | WS_CLIPCHILDREN);
    {
        WindowDc dc(tab);
        const int height = -MulDiv(8, GetDeviceCaps(dc.get(), LOGPIXELSY), 72);
        font_.reset(CreateFontA(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                                CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, "MS Shell Dlg"));
    }
    if (font_.get()) SendMessageA(tab, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);

    for (const PageSlot& slot : kPageSlots) {
        std::unique_ptr<TabPage> page = factory ? factory(slot) : nullptr;
        if (!page) page = std::make_unique<EmptyPage>(slot);
        page->setCaption(strings.load(static_cast<unsigned>(slot.tabId)));
        page->attachHost(this, &keys);
        if (!page->create(resources, tab)) return false;
        TCITEMA item{};
        item.mask = TCIF_TEXT | TCIF_PARAM;
        item.pszText = const_cast<char*>(page->caption().c_str());
        item.lParam = reinterpret_cast<LPARAM>(page.get());
        if (SendMessageA(tab, TCM_INSERTITEMA, static_cast<WPARAM>(pages_.size()), reinterpret_cast<LPARAM>(&item)) < 0)
            return false;
        pages_.push_back(std::move(page));
    }
    showCurrentOnly();
    return true;
}

void TabHost::setRestrictions(const RestrictionSet* restrictions, ModelNameSource modelName)
{
    restrictions_ = restrictions;
    modelName_ = std::move(modelName);
}

HWND TabHost::tabControl() const { return tabs_->hwnd(); }

TabPage* TabHost::page(int tabId) const
{
    for (const auto& page : pages_)
        if (page->tabId() == tabId) return page.get();
    return nullptr;
}

int TabHost::presentCount() const { return tabs_->hwnd() ? static_cast<int>(tabs_->send(TCM_GETITEMCOUNT)) : 0; }

TabPage* TabHost::pageAt(int index) const
{
    if (index < 0 || index >= presentCount()) return nullptr;
    TCITEMA item{};
    item.mask = TCIF_PARAM;
    if (!tabs_->send(TCM_GETITEMA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item))) return nullptr;
    return reinterpret_cast<TabPage*>(item.lParam);
}

int TabHost::indexOfPage(const TabPage* page) const
{
    const int count = presentCount();
    for (int i = 0; i < count; ++i)
        if (pageAt(i) == page) return i;
    return -1;
}

int TabHost::indexOfTab(int tabId) const
{
    const TabPage* p = page(tabId);
    return p ? indexOfPage(p) : -1;
}

TabPage* TabHost::currentPage() const { return pageAt(static_cast<int>(tabs_->send(TCM_GETCURSEL))); }

int TabHost::currentTabId() const
{
    const TabPage* current = currentPage();
    return current ? current->tabId() : 0;
}

void TabHost::showCurrentOnly() const
{
    const TabPage* current = currentPage();
    for (const auto& page : pages_) {
        if (!page->hwnd()) continue;
        const bool visible = page.get() == current && page->enabled();
        ShowWindow(page->hwnd(), visible ? SW_SHOWNA : SW_HIDE);
    }
}

void TabHost::redrawTabs() const
{
    if (tabs_->hwnd()) InvalidateRect(tabs_->hwnd(), nullptr, TRUE);
}

bool TabHost::switchTo(int index, bool skipCommit)
{
    TabPage* target = pageAt(index);
    if (!target || !target->enabled()) return false;
    const int current = static_cast<int>(tabs_->send(TCM_GETCURSEL));
    if (index != current) {
        if (TabPage* leaving = pageAt(current); leaving && !skipCommit && !leaving->commitOnLeaving()) return false;
        tabs_->send(TCM_SETCURSEL, static_cast<WPARAM>(index));
        target->load();
    }
    showCurrentOnly();
    return true;
}

int TabHost::selectTab(int tabId, bool skipCommit)
{
    const int index = indexOfTab(tabId);
    return index >= 0 && switchTo(index, skipCommit) ? tabId : 0;
}

bool TabHost::selectTabAt(int position) { return switchTo(position, false); }

bool TabHost::moveSelectionAwayFrom(int index, bool filesOnly)
{
    const int files = indexOfTab(kFilesTabId);
    if (files >= 0 && files != index && switchTo(files, true)) return true;
    if (filesOnly) return false;
    const int count = presentCount();
    for (int i = 0; i < count; ++i)
        if (i != index && switchTo(i, true)) return true;
    return false;
}

void TabHost::enableTab(int tabId)
{
    const int index = indexOfTab(tabId);
    TabPage* p = pageAt(index);
    if (!p || p->enabled()) return;
    p->setEnabled(true);
    redrawTabs();
    showCurrentOnly();
}

void TabHost::disableTab(int tabId)
{
    const int index = indexOfTab(tabId);
    TabPage* p = pageAt(index);
    if (!p || !p->enabled()) return;
    if (index == static_cast<int>(tabs_->send(TCM_GETCURSEL)) &&
        !moveSelectionAwayFrom(index, p->tabId() != kFilesTabId))
        return;  // nowhere to go: the tab stays usable
    p->setEnabled(false);
    redrawTabs();
    if (p->hwnd()) ShowWindow(p->hwnd(), SW_HIDE);
}

bool TabHost::isTabDisabled(int tabId) const
{
    const TabPage* p = pageAt(indexOfTab(tabId));
    return !p || !p->enabled();
}

void TabHost::restoreSelection(const TabPage* page)
{
    // The tab control shifts or drops its selection index as items come and go;
    // the page the operator was on stays the current one.
    const int index = page ? indexOfPage(page) : -1;
    if (index >= 0) tabs_->send(TCM_SETCURSEL, static_cast<WPARAM>(index));
    showCurrentOnly();
    redrawTabs();
}

int TabHost::showTab(int tabId)
{
    TabPage* p = page(tabId);
    if (!p || indexOfPage(p) >= 0) return 4;
    const TabPage* current = currentPage();
    const int count = presentCount();
    int position = count;
    for (int i = 0; i < count; ++i) {
        if (pageAt(i)->creationIndex() >= p->creationIndex()) {
            position = i;
            break;
        }
    }
    TCITEMA item{};
    item.mask = TCIF_TEXT | TCIF_PARAM;
    item.pszText = const_cast<char*>(p->caption().c_str());
    item.lParam = reinterpret_cast<LPARAM>(p);
    if (tabs_->send(TCM_INSERTITEMA, static_cast<WPARAM>(position), reinterpret_cast<LPARAM>(&item)) < 0) return 1;
    p->setEnabled(true);
    loadAll();
    restoreSelection(current);
    return 0;
}

int TabHost::hideTab(int tabId)
{
    const int index = indexOfTab(tabId);
    TabPage* p = pageAt(index);
    if (!p) return 4;
    if (index == static_cast<int>(tabs_->send(TCM_GETCURSEL))) moveSelectionAwayFrom(index, false);
    p->setEnabled(false);
    if (p->hwnd()) ShowWindow(p->hwnd(), SW_HIDE);
    TabPage* current = currentPage();
    if (current == p) current = nullptr;
    if (!tabs_->send(TCM_DELETEITEM, static_cast<WPARAM>(index))) return 1;
    restoreSelection(current);
    return 0;
}

int TabHost::showControl(int tabId, int controlId, bool show)
{
    const TabPage* p = pageAt(indexOfTab(tabId));
    if (!p || !p->initialised()) return 4;
    HWND control = p->item(controlId);
    if (!control) return 4;
    ShowWindow(control, show ? SW_SHOW : SW_HIDE);
    return 0;
}

namespace {
// Pages that others read from load after them.
constexpr int kLoadOrder[] = {438, 436, 434, 519, 435, 437, 433};
} // namespace

bool TabHost::loadAll()
{
    bool ok = true;
    for (int tabId : kLoadOrder)
        if (TabPage* p = page(tabId)) ok = p->load() && ok;
    return ok;
}

bool TabHost::loadOne(int tabId)
{
    TabPage* p = page(tabId);
    return p && p->load();
}

bool TabHost::saveAll()
{
    bool ok = true;
    for (int tabId : kLoadOrder)
        if (TabPage* p = page(tabId)) ok = p->save() && ok;
    // The saved job remembers the page the operator was on.
    if (JobDocument* doc = JobDocument::instance(); doc && tabs_)
        doc->setCurrentTab(static_cast<std::int32_t>(tabs_->send(TCM_GETCURSEL)));
    return ok;
}

bool TabHost::applyRestrictions(TabPage& target)
{
    if (!restrictions_) return true;
    PageRestrictionTarget pages(target.hwnd(), page(kJobSetup2TabId), page(kJobSetup1TabId));
    return restrictions_->apply(target.templateId(), modelName_ ? modelName_() : std::string(), pages,
                                restrictionFlags());
}

void TabHost::printerChanged(bool light)
{
    if (light) {
        TabPage* current = currentPage();
        if (!current || (current->tabId() != kJobSetup1TabId && current->tabId() != kJobSetup2TabId)) return;
        current->printerChanged();
        current->load();
        return;
    }
    restrictionFlags().permitAll();
    for (int tabId : {kJobSetup1TabId, kJobSetup2TabId, 436, kFilesTabId}) {
        if (TabPage* p = page(tabId)) {
            // The page shows the document first: saving controls that were never
            // filled would overwrite the document with blank choices.
            p->load();
            p->printerChanged();
            p->save();
        }
    }
}

bool TabHost::currentEditHasSelection() const
{
    const TabPage* current = currentPage();
    return current && current->editHasSelection();
}

bool TabHost::onNotify(const NMHDR& header, LRESULT& result)
{
    switch (header.code) {
    case TCN_SELCHANGING:
        selectionBeforeChange_ = static_cast<int>(tabs_->send(TCM_GETCURSEL));
        result = FALSE;
        return true;
    case TCN_SELCHANGE: {
        const int now = static_cast<int>(tabs_->send(TCM_GETCURSEL));
        TabPage* target = pageAt(now);
        TabPage* leaving = pageAt(selectionBeforeChange_);
        if (!target || !target->enabled() || (leaving && leaving != target && !leaving->commitOnLeaving())) {
            // Back to where the operator was; the page that refused keeps him there.
            if (selectionBeforeChange_ >= 0) tabs_->send(TCM_SETCURSEL, static_cast<WPARAM>(selectionBeforeChange_));
        } else {
            target->load();
        }
        showCurrentOnly();
        result = 0;
        return true;
    }
    default:
        return false;
    }
}

void TabHost::drawTab(const DRAWITEMSTRUCT& draw) const
{
    const TabPage* p = pageAt(static_cast<int>(draw.itemID));
    if (!p) return;
    SavedDc saved(draw.hDC);
    RECT rect = draw.rcItem;
    FillRect(draw.hDC, &rect, GetSysColorBrush(COLOR_BTNFACE));
    if (font_.get()) SelectObject(draw.hDC, font_.get());
    SetBkMode(draw.hDC, TRANSPARENT);
    SetTextColor(draw.hDC, GetSysColor(p->enabled() ? COLOR_WINDOWTEXT : COLOR_GRAYTEXT));
    const bool selected = (draw.itemState & ODS_SELECTED) != 0;
    const UINT format = DT_SINGLELINE | DT_CENTER | DT_NOPREFIX | (selected ? DT_VCENTER : DT_BOTTOM);
    rect.bottom -= selected ? 0 : 1;
    DrawTextA(draw.hDC, p->caption().c_str(), static_cast<int>(p->caption().size()), &rect, format);
}

bool TabHost::isTabAtPointDisabled(LPARAM point) const
{
    TCHITTESTINFO hit{};
    hit.pt = {static_cast<short>(LOWORD(point)), static_cast<short>(HIWORD(point))};
    const int index = static_cast<int>(tabs_->send(TCM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
    const TabPage* p = pageAt(index);
    return p && !p->enabled();
}

bool TabHost::routeKey(UINT msg, WPARAM key, LPARAM flags)
{
    if ((msg == WM_KEYDOWN || msg == WM_KEYUP) && keys_ && keys_->routeKey(msg, key, flags)) return true;
    if (msg == WM_SYSKEYDOWN || msg == WM_SYSKEYUP || key == VK_TAB) {
        // Navigation and mnemonics belong to the page's controls.
        if (TabPage* current = currentPage(); current && current->hwnd()) {
            SetFocus(current->hwnd());
            PostMessageA(current->hwnd(), msg, key, flags);
            return true;
        }
    }
    return key == VK_RETURN || key == VK_ESCAPE;
}

} // namespace orvox::ui
