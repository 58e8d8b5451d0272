#pragma once
// Drop-down list whose items can be greyed one by one: choices the printer
// model or the other settings rule out stay visible but cannot be selected.
#include <array>
#include <optional>
#include <span>
#include <string>

#include "platform/strings.h"
#include "ui/control.h"

namespace orvox::ui {

// One row of a combo's item table: a resource string, or for id 0 the text itself.
struct ComboItemRow {
    unsigned resourceId;
    const char* text;
};

class ItemEnablingComboBox : public Control {
public:
    static constexpr int kMaxItems = 50;
    static constexpr int kMaxDropDownRows = 25;
    static constexpr int kSelectionFieldHeight = 14;

    // The list position; -2 when the list refuses the text.
    int addItem(const std::string& text, bool enabled);
    // Clears the list and adds the table's rows (up to an all-empty row) as
    // enabled items; with fitDropDown the list shows up to 25 rows.
    bool fill(std::span<const ComboItemRow> rows, int initialPosition, bool fitDropDown,
              const platform::StringSource& strings);
    void clear();
    int count() const;

    bool isItemEnabled(int position) const;
    void setItemEnabled(int position, bool enabled);
    void enableAllItems() { setAllItems(true); }
    void disableAllItems() { setAllItems(false); }

    bool selectItem(int position);
    bool forceSelection(int position);
    int selection() const;
    int firstEnabledItem() const;
    std::string selectedText() const;
    void enableControl(bool enable);
    int setMode(int value, bool reapply);
    int mode() const { return mode_; }
    int lastSelection() const { return lastSelection_; }
    int committedSelection() const { return committedSelection_; }

    // Puts the selection on an enabled item after the list moved it.
    void validateSelection();

    bool onReflect(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

protected:
    LRESULT onMessage(UINT msg, WPARAM wp, LPARAM lp) override;
    virtual void drawItem(const DRAWITEMSTRUCT& draw);
    // Enabled flag of the entry itself, whatever the control's state.
    bool entryEnabled(int position) const;
    const std::string* entryText(int position) const;
    // The disabled-look drawing shared with the paper combo.
    void drawGreyItem(const DRAWITEMSTRUCT& draw) const;

private:
    struct Entry {
        bool enabled;
        std::string text;
    };
    static bool inRange(int position) { return position >= 0 && position < kMaxItems; }
    void setAllItems(bool enabled);
    void select(int position);
    void fitDropDown();
    bool selectByTypedCharacter(char typed);
    void notifyParentOfSelection();

    std::array<std::optional<Entry>, kMaxItems> entries_;
    int lastSelection_ = 0;
    int committedSelection_ = -1;
    bool arrowKeyChange_ = false;
    int mode_ = 1;
};

} // namespace orvox::ui
