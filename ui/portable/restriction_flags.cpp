#include "ui/portable/restriction_flags.h"

namespace orvox::ui {

int RestrictionFlags::slot(int controlId)
{
    for (std::size_t i = 0; i < kControls.size(); ++i)
        if (kControls[i] == controlId) return static_cast<int>(i);
    return -1;
}

bool RestrictionFlags::isGoverned(int controlId) { return slot(controlId) >= 0; }

bool RestrictionFlags::permitted(int controlId) const
{
    const int i = slot(controlId);
    return i < 0 || permitted_[static_cast<std::size_t>(i)];
}

void RestrictionFlags::setPermitted(int controlId, bool permitted)
{
    const int i = slot(controlId);
    if (i >= 0) permitted_[static_cast<std::size_t>(i)] = permitted;
}

RestrictionFlags& restrictionFlags()
{
    static RestrictionFlags flags;
    return flags;
}

} // namespace orvox::ui
