#pragma once
// Re-branding texts read at start-up from the branding file in the installation
// folder, with defaults from the resource module for every missing key.
#include <array>
#include <string>

#include "platform/profile.h"
#include "platform/strings.h"

namespace orvox {

class Branding {
public:
    enum Slot : int {
        kCompanyName = 0, kAppName, kFormalAppName, kVersion, kCopyright, kFileFilter,
        kExtension, kPrinterName, kServerName, kBrandingFile, kSection, kTypeFilter,
        kSlotCount
    };
    static constexpr const char* kFileName = "OrvoxBr.ini";
    static constexpr const char* kSectionName = "BrandingStrings";

    // Fills every slot; a missing file or key gives the default of that slot.
    void load(const std::string& installationFolder, const platform::Profile& profile,
              const platform::StringSource& strings);

    const std::string& get(Slot slot) const { return slots_[slot]; }
    // The caption of message boxes and of the host's title: the formal name, or
    // the application name when the formal name is empty.
    const std::string& appTitle() const;
    bool typeFilterOn() const { return slots_[kTypeFilter] == "1"; }

private:
    std::array<std::string, kSlotCount> slots_;
};

} // namespace orvox
