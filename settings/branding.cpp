#include "settings/branding.h"

#include "ids_core.h"

namespace orvox {

namespace {

struct KeyDefault {
    Branding::Slot slot;
    const char* key;
    unsigned defaultId;  // 0: empty default
};

// Read in this order: slots 0 to 8, then the type filter.
constexpr KeyDefault kKeys[] = {
    {Branding::kCompanyName, "CompanyName", 0},
    {Branding::kAppName, "AppName", IDS_APP_TITLE},
    {Branding::kFormalAppName, "FormalAppName", IDS_APP_TITLE},
    {Branding::kVersion, "Version", IDS_VERSION_TEXT},
    {Branding::kCopyright, "Copyright", IDS_COPYRIGHT},
    {Branding::kFileFilter, "FileFilter", IDS_SETTINGS_FILE_FILTER},
    {Branding::kExtension, "Extension", IDS_SETTINGS_EXTENSION},
    {Branding::kPrinterName, "PrinterName", IDS_PRINTER_MODEL0_NAME},
    {Branding::kServerName, "ServerName", IDS_SERVER_NAME},
    {Branding::kTypeFilter, "TypeFilter", 0},
};

constexpr std::size_t kMaxValue = 259;

} // namespace

void Branding::load(const std::string& installationFolder, const platform::Profile& profile,
                    const platform::StringSource& strings)
{
    slots_[kBrandingFile] = installationFolder + kFileName;
    slots_[kSection] = kSectionName;
    for (const KeyDefault& k : kKeys) {
        const std::string def = k.defaultId ? strings.load(k.defaultId) : std::string();
        slots_[k.slot] = profile.getString(slots_[kBrandingFile], kSectionName, k.key, def, kMaxValue);
    }
}

const std::string& Branding::appTitle() const
{
    return slots_[kFormalAppName].empty() ? slots_[kAppName] : slots_[kFormalAppName];
}

} // namespace orvox
