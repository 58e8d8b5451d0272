#pragma once
// A button drawn as plain coloured text, such as the paper-substitutions link
// of the job-setup page, whose colour tells whether substitutions exist.
#include <string>

#include "ui/control.h"

namespace orvox::ui {

class LinkControl : public Control {
public:
    void setCaption(std::string caption);
    void setTextColour(COLORREF colour);
    void setDrawing(bool drawing);
    const std::string& caption() const { return caption_; }
    COLORREF textColour() const { return colour_; }

    bool onReflect(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

private:
    void redraw() const;
    std::string caption_;
    COLORREF colour_ = 0;
    bool drawing_ = true;
};

} // namespace orvox::ui
