#pragma once
// A small modal editor of one of the paper catalog's attribute lists
// (colours, weights or media types): add, rename, delete and reorder names.
#include <string>
#include <vector>

#include "platform/messages.h"
#include "platform/strings.h"
#include "ui/dialog_base.h"
#include "ui/portable/name_list.h"

namespace orvox::ui {

class NameListEditor : public DialogBase {
public:
    // `current` is the name to start on (the paper's current attribute).
    NameListEditor(std::vector<std::string> entries, std::string current, NameList::Mode mode,
                   const platform::StringSource& strings, platform::MessageSink& messages);

    // Runs modally; true when the user confirmed a list that differs from the one given.
    bool run(HINSTANCE resources, HWND owner);
    const std::vector<std::string>& entries() const { return list_.entries(); }

protected:
    BOOL onInitDialog() override;
    bool onCommand(int id, int code, HWND control) override;

private:
    void fill(int select);
    int selection() const;
    std::string typed() const;
    void showSelection();
    void updateButtons();
    // Shows why an entry was refused; true when it was not.
    bool accepted(NameList::Refusal refusal);
    void add();
    void rename();
    void remove();
    void move(int delta);

    NameList list_;
    std::string current_;
    const platform::StringSource& strings_;
    platform::MessageSink& messages_;
};

} // namespace orvox::ui
