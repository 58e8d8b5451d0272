#pragma once
// The Job Setup 1 page: copies, printing mode, collation, print range,
// chapters, body paper and the finishing group (exit, stacking, stapling,
// folding, trimming, covers, proof set). Every change reaches the document at
// once; the finishing controls are kept consistent with each other, with the
// printer model and with the restriction lists.
#include <string>

#include "ui/item_enabling_combo.h"
#include "ui/link_control.h"
#include "ui/paper_attribute_panel.h"
#include "ui/paper_combo.h"
#include "ui/tab_page.h"

namespace orvox {
class JobDocument;
}

namespace orvox::ui {

class JobSetup2Page;

class JobSetup1Page : public TabPage {
public:
    using TabPage::TabPage;

    bool commitOnLeaving() override;
    bool editHasSelection() const override;
    void printerChanged() override;

    // The checks run before a job is sent; shows the first failing rule's
    // message and returns false. With skip set it succeeds at once.
    bool validateForPrint(bool skip = false);

    // Rules Job Setup 2 runs when its own settings change.
    void applyModeDependentEnabling(bool withCoverRules);
    int printingModeSelection() const { return printingMode_.selection(); }
    int exitSelection() const { return exit_.selection(); }
    int staplingSelection() const { return stapling_.selection(); }
    bool collateChecked() const;

protected:
    bool saveToDocument() override;
    bool loadFromDocument() override;
    BOOL onInitDialog() override;
    bool onCommand(int id, int code, HWND control) override;

private:
    // Set-up (job_setup1_page.cpp).
    void attachControls();
    void fillCombos();
    void fillPaperCombos();
    void loadControls(JobDocument& doc);
    void runLoadRules();

    // Finishing rules (job_setup1_finishing.cpp).
    void applyExitRule();
    void applyStackingRule();
    void applyStaplingRule();
    void applyFoldRule();
    void applySaddleStitchItem();
    void applyPrintingModeRule();
    void applyModel0ModeRule(int mode);
    void applyFrontCoverRule();
    void applyBackCoverRule();
    void applyPamphletCoverItems(int mode);
    void applySubstitutionsAvailability();
    void applyLinkColourRule();
    void applyBodyPaperRule();
    void runSeparatorsRule();
    bool coverPaperEnabled(const ItemEnablingComboBox& cover, int paperId) const;

    // Fields and edits (job_setup1_fields.cpp).
    void applyCollateRule();
    void applyProofSetRule();
    void applyRangeRadios(bool emptyUnused);
    void onCopiesChanged();
    void onPageNumberChanged(int id);
    void onWaitTimeChanged();
    void onWaitTimeLeft();
    void onChapterPagesUpdate();
    void onChapterPagesChanged();
    void fillEmptyWithOne(int id);
    void resetEdit(int id, const std::string& text);

    // Helpers.
    JobDocument& document() const;
    JobSetup2Page* jobSetup2() const;
    bool isModel0() const;
    bool permitted(int controlId) const;
    bool isChecked(int id) const;
    void setChecked(int id, bool checked) const;
    void enableWithLabel(int id, bool enable, int labelId);
    std::string loadString(unsigned id) const;
    int indexFromResource(unsigned id) const;
    int showMessage(unsigned id, unsigned type) const;
    int showText(const std::string& text, unsigned type) const;
    int editNumber(int id, bool* isNumber = nullptr) const;
    std::string editText(int id) const;
    void setEditText(int id, const std::string& text);

    // Validation (job_setup1_validation.cpp).
    bool failValidation(unsigned messageId) const;
    bool validateModel0();
    bool validateCommonRules();

    ItemEnablingComboBox printingMode_;
    ItemEnablingComboBox exit_;
    ItemEnablingComboBox stacking_;
    ItemEnablingComboBox stapling_;
    ItemEnablingComboBox fold_;
    ItemEnablingComboBox frontCover_;
    ItemEnablingComboBox backCover_;
    ItemEnablingComboBox proofAction_;
    PaperComboBox bodyPaper_;
    PaperComboBox frontCoverPaper_;
    PaperComboBox backCoverPaper_;
    PaperAttributePanel paperPanel_;
    LinkControl substitutionsLink_;

    std::string previousChapterText_;
    std::string modeText_;
    bool filteringWaitTime_ = false;
    bool restoringChapterText_ = false;
    bool loading_ = false;
    bool saddleGreyedForStapler_ = false;
};

} // namespace orvox::ui
