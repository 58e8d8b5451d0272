#pragma once
// The panel a page shows beside a dropped paper list: name, size, colour,
// weight and type of the paper under the highlight. One panel serves all the
// paper combos of its page; only one list can be dropped at a time.
#include <windows.h>

#include "ui/dialog_base.h"

namespace orvox {
class JobDocument;
}

namespace orvox::ui {

class PaperComboBox;

class PaperAttributePanel : public DialogBase {
public:
    // Created hidden from the resource module's template, owned by the page's
    // top-level window so that it may lie outside the page.
    bool create(HWND page);
    // Links the combo to this panel and to the document's catalog.
    void serve(PaperComboBox& combo, const JobDocument& doc);
    void hide() const;

protected:
    INT_PTR handleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
};

} // namespace orvox::ui
