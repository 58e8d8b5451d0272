#pragma once
// The Paper substitutions page: the ordered list of page ranges printed on
// another paper than the body paper. The operator picks a paper and types a
// page list, then adds the pair, modifies a row, deletes it or moves it. The
// list belongs to the document; the page mirrors it row for row, with one
// blank row last for a new substitution.
#include <array>
#include <string>

#include "platform/services.h"
#include "settings/job_document.h"
#include "ui/paper_combo.h"
#include "ui/portable/substitution_rows.h"
#include "ui/tab_page.h"

namespace orvox::ui {

class PaperSubstitutionsPage : public TabPage {
public:
    PaperSubstitutionsPage(const PageSlot& slot, JobDocument& doc, platform::Services services);

    bool commitOnLeaving() override;
    bool editHasSelection() const override;
    void printerChanged() override;

protected:
    BOOL onInitDialog() override;
    bool onCommand(int id, int code, HWND control) override;
    bool loadFromDocument() override;
    bool saveToDocument() override { return true; }

private:
    // The controls the page's own rules switch; a restriction of the printer
    // model keeps them off whatever the rules say.
    static constexpr std::array<int, 7> kRuledControls{1036, 1031, 1006, 1137, 1007, 1126, 1127};

    void fillPapers();
    void fillList();
    void add();
    void modify();
    void remove();
    void move(bool up);
    void onRowSelected();
    void onPaperChosen();
    void onPageListUpdate();
    void onPageListChanged();
    void applyPageListRule();
    void applyButtonsRule();
    void applyEditArea(int kind);
    void applyRestrictions();
    void showAttributes();
    void clearAttributes();
    // The leaving-edit question: false when the operator stays with the pending edit.
    bool mayLeaveEdit();
    // Ends the pending edit: added, modified or replaced by a stored row.
    void endEdit();
    void mirrorEditingFlag();
    // The page writes the page-list edit itself; the write never counts as typing.
    void writePageList(const std::string& text);
    // Checks the page list as the document will; shows the refusal.
    bool checkPageList(std::string& text);
    // The typed page list, checked and in standard form, and the chosen paper's
    // item; false after telling the operator what is wrong.
    bool readRowInput(std::string& pages, int& paperItem);

    int rowCount() const;
    int selectedRow() const;
    std::string rowText(int row) const;
    void replaceRow(int row, const std::string& text);
    std::string pageListText() const;
    void enable(int id, bool on);
    bool restricted(int id) const;
    int message(const std::string& text, unsigned type) const { return services_.messages.show(text, type); }
    std::string load(unsigned id) const { return services_.strings.load(id); }

    JobDocument& doc_;
    platform::Services services_;
    PaperComboBox paper_;
    SubstitutionEditState state_;
    SubstitutionEditArea area_;
    std::array<bool, kRuledControls.size()> restricted_{};
    int shownRow_ = -1;        // the row whose data the edit area shows
    bool restoring_ = false;   // a refused keystroke is being taken back
};

} // namespace orvox::ui
