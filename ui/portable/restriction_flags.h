#pragma once
// Which of the restriction-governed controls the current printer model permits.
// The pages AND their own enabling rules with these flags, so a control that the
// model cannot serve stays disabled whatever the other settings say.
#include <array>

namespace orvox::ui {

class RestrictionFlags {
public:
    RestrictionFlags() { permitAll(); }

    // Ten controls carry a flag: stacking, stapling, fold, front cover and its
    // paper, chapter pages, finish chapters separately, status paper, back-cover
    // paper and back cover.
    static constexpr std::array<int, 10> kControls{1018, 1019, 1020, 1024, 1025,
                                                   1062, 1093, 1118, 1119, 1123};

    static bool isGoverned(int controlId);
    void permitAll() { permitted_.fill(true); }
    // Controls without a flag are always permitted.
    bool permitted(int controlId) const;
    // Ignored for a control without a flag.
    void setPermitted(int controlId, bool permitted);

private:
    static int slot(int controlId);
    std::array<bool, kControls.size()> permitted_{};
};

// The one set of the process, shared by the tab host and the pages.
RestrictionFlags& restrictionFlags();

} // namespace orvox::ui
