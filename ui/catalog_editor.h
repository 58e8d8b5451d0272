#pragma once
// The paper catalog editor: a modal dialog in which the administrator adds,
// changes, orders and removes the catalog's papers and edits the colour,
// weight and type lists their attributes are chosen from. It works on a
// copy; only OK puts the copy into the document and writes the catalog file.
#include <functional>
#include <string>

#include "settings/job_document.h"
#include "ui/control.h"
#include "ui/dialog_base.h"
#include "ui/portable/catalog_editor_model.h"

namespace orvox::ui {

// The paper name edit: commas never get in (they separate the fields of a
// catalog file line), and Up and Down move through the paper list.
class PaperNameEdit : public Control {
public:
    void onArrow(std::function<void(int delta)> handler) { arrow_ = std::move(handler); }

protected:
    LRESULT onMessage(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    std::function<void(int)> arrow_;
};

class CatalogEditor : public DialogBase {
public:
    explicit CatalogEditor(JobDocument& doc);

    // Runs modally; true when OK put changes into the document.
    bool run(HINSTANCE resources, HWND owner);
    bool saved() const { return saved_; }

protected:
    BOOL onInitDialog() override;
    bool onCommand(int id, int code, HWND control) override;

private:
    // Filling the controls.
    void fillList(int select);
    void fillAttributeCombos();
    void selectText(int comboId, const std::string& text);
    void centreOnDesktop();

    // The row on show and the values in the editing controls.
    int selectedRow() const;
    void selectRow(int row);
    void showRow(int row);
    void moveSelection(int delta);
    PaperDefinition editedPaper() const;
    std::string typedName() const;
    void focusName();
    void updateButtons();

    // The user's actions.
    void onNameChanged();
    void onAttributeChanged(int id);
    void add();
    // Rewrites `row` with the edited values: the modify button's row, or for
    // add the paper that already has the typed name.
    void modify(int row);
    void remove();
    void move(int delta);
    void editList(int which);
    void confirm();
    void writeCatalog();
    // False, after the message, when the catalog cannot be written as it is.
    bool namesAreWritable();

    int message(unsigned id, unsigned type);

    JobDocument& doc_;
    HINSTANCE resources_ = nullptr;
    CatalogEditorModel model_;
    PaperNameEdit nameEdit_;
    bool changed_ = false;
    bool filling_ = false;
    bool saved_ = false;
};

} // namespace orvox::ui
