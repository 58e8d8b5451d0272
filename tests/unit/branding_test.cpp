// Re-branding: every slot falls back to its resource default, a present but
// empty formal name hands the caption to the application name, and values are
// bounded.
#include <fstream>

#include <gtest/gtest.h>

#include "ids_core.h"
#include "platform/posix/ini_profile.h"
#include "settings/branding.h"
#include "test_support.h"

namespace orvox {
namespace {

TEST(Branding, WithoutABrandingFileEverySlotHasItsDefault)
{
    test::ScratchDir dir;
    platform::IniProfile profile;
    const auto& strings = test::shippedStrings();
    Branding b;
    b.load(dir.folder(), profile, strings);
    EXPECT_EQ(b.get(Branding::kCompanyName), "");
    EXPECT_EQ(b.get(Branding::kAppName), strings.load(IDS_APP_TITLE));
    EXPECT_EQ(b.appTitle(), strings.load(IDS_APP_TITLE));
    EXPECT_EQ(b.get(Branding::kVersion), strings.load(IDS_VERSION_TEXT));
    EXPECT_EQ(b.get(Branding::kCopyright), strings.load(IDS_COPYRIGHT));
    EXPECT_EQ(b.get(Branding::kFileFilter), strings.load(IDS_SETTINGS_FILE_FILTER));
    EXPECT_EQ(b.get(Branding::kExtension), strings.load(IDS_SETTINGS_EXTENSION));
    EXPECT_EQ(b.get(Branding::kPrinterName), strings.load(IDS_PRINTER_MODEL0_NAME));
    EXPECT_EQ(b.get(Branding::kServerName), strings.load(IDS_SERVER_NAME));
    EXPECT_EQ(b.get(Branding::kBrandingFile), dir.folder() + "OrvoxBr.ini");
    EXPECT_EQ(b.get(Branding::kSection), "BrandingStrings");
    EXPECT_FALSE(b.typeFilterOn());
    for (int slot = 0; slot < Branding::kSlotCount; ++slot) {
        if (slot != Branding::kCompanyName && slot != Branding::kTypeFilter) {
            EXPECT_FALSE(b.get(static_cast<Branding::Slot>(slot)).empty()) << "slot " << slot;
        }
    }
}

TEST(Branding, FileValuesReplaceDefaultsAndAreBounded)
{
    test::ScratchDir dir;
    {
        std::ofstream f(dir.file("OrvoxBr.ini"));
        f << "[BrandingStrings]\nAppName=Print Desk\nFormalAppName=\nExtension=job\n"
          << "TypeFilter=1\nCopyright=" << std::string(400, 'c') << "\n";
    }
    platform::IniProfile profile;
    Branding b;
    b.load(dir.folder(), profile, test::shippedStrings());
    EXPECT_EQ(b.get(Branding::kFormalAppName), "");
    EXPECT_EQ(b.appTitle(), "Print Desk");
    EXPECT_EQ(b.get(Branding::kExtension), "job");
    EXPECT_TRUE(b.typeFilterOn());
    EXPECT_EQ(b.get(Branding::kCopyright), std::string(259, 'c'));
    // Keys that are absent still take their defaults.
    EXPECT_EQ(b.get(Branding::kServerName), test::shippedStrings().load(IDS_SERVER_NAME));
}

TEST(Branding, OnlyTheExactSwitchValueTurnsTheTypeFilterOn)
{
    test::ScratchDir dir;
    platform::IniProfile profile;
    for (const char* value : {"0", "yes", "11", ""}) {
        {
            std::ofstream f(dir.file("OrvoxBr.ini"));
            f << "[BrandingStrings]\nTypeFilter=" << value << "\n";
        }
        Branding b;
        b.load(dir.folder(), profile, test::shippedStrings());
        EXPECT_FALSE(b.typeFilterOn()) << value;
    }
}

} // namespace
} // namespace orvox
