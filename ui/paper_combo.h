#pragma once
// Choice list of catalog papers. While the list is dropped down, a panel of the
// owning page beside it shows name, size, colour, weight and type of the paper
// under the highlight, so the operator sees what he picks.
#include <array>
#include <functional>
#include <optional>

#include "ui/item_enabling_combo.h"

namespace orvox::ui {

// The paper's name and its four attribute texts in catalog order; none when
// the catalog has no paper of that name.
using PaperAttributeLookup = std::function<std::optional<std::array<std::string, 5>>(const std::string& name)>;

class PaperComboBox : public ItemEnablingComboBox {
public:
    void setAttributePanel(HWND panel, const std::array<int, 5>& fieldIds);
    void setPaperLookup(PaperAttributeLookup lookup) { lookup_ = std::move(lookup); }
    void setTextOffset(int pixels) { textOffset_ = pixels; }

    bool onReflect(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

protected:
    void drawItem(const DRAWITEMSTRUCT& draw) override;

private:
    void showAttributes(const std::string& paperName);

    int textOffset_ = 0;
    HWND panel_ = nullptr;
    std::array<int, 5> fieldIds_{};
    PaperAttributeLookup lookup_;
};

} // namespace orvox::ui
