#pragma once
// The Job Setup 2 page: paper-mismatch handling, free-form colour, header,
// separator and status pages, the pamphlet signature size and the four free
// texts of the job. Its enabling follows the Job Setup 1 page's printing mode,
// exit, stapling and collation.
#include <string>

#include "ui/item_enabling_combo.h"
#include "ui/paper_attribute_panel.h"
#include "ui/paper_combo.h"
#include "ui/tab_page.h"

namespace orvox {
class JobDocument;
}

namespace orvox::ui {

class JobSetup1Page;

class JobSetup2Page : public TabPage {
public:
    using TabPage::TabPage;

    bool commitOnLeaving() override;
    bool editHasSelection() const override;
    void printerChanged() override;

    // Shows the document's four texts and then empties the edits; the
    // document keeps its values. Run once after the pages are built.
    void clearTexts();
    // Run by Job Setup 1 after exit, stapling, fold, collation or mode changes.
    void applySeparatorsRule();

protected:
    bool saveToDocument() override;
    bool loadFromDocument() override;
    BOOL onInitDialog() override;
    bool onCommand(int id, int code, HWND control) override;

private:
    void loadTexts();
    void applyHeaderRule();
    void applyModel0SeparatorEnabling();
    void applyStatusRule();
    void applySignatureTextRule();
    void applySignatureLimits();
    void applySignatureRule();
    void applyFreeformRule();
    void storeText(int id);
    // The memo rule of a box the printer may switch off: a checked box that is
    // disabled is stored as 0 and remembered, so that it shows checked again.
    void saveMemoBox(int id, bool headerBox);
    void loadMemoBox(int id, bool headerBox);

    JobDocument& document() const;
    JobSetup1Page* jobSetup1() const;
    bool isChecked(int id) const;
    bool isOn(int id) const;
    std::string editText(int id) const;
    std::string loadString(unsigned id) const;
    void enableWithLabel(int id, bool enable, int labelId);

    ItemEnablingComboBox mismatch_;
    ItemEnablingComboBox statusMode_;
    PaperComboBox headerPaper_;
    PaperComboBox separatorPaper_;
    PaperComboBox statusPaper_;
    PaperAttributePanel paperPanel_;
    bool filling_ = false;
};

} // namespace orvox::ui
