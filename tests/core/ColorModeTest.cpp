// The colour mode chosen from the user's Personalize key and the high-contrast flag, the settings that
// count as a change of it, and the palettes: readable text in light and dark, nothing but the system's
// colours in high contrast.
#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <string>
#include <vector>

#include "core/ColorMode.h"
#include "core/Palette.h"
#include "platform/memory/MemoryRegistry.h"

namespace korvane {
namespace {

const std::string kKey(kPersonalizeKey);
const std::string kValue(kAppsUseLightThemeValue);

RegValue Dword(std::uint32_t value) {
    return {regtype::Dword,
            {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
             static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 24)}};
}

TEST(ColorModeTest, AppModeFollowsAppsUseLightTheme) {
    MemoryRegistry registry;
    // Windows 7 and 8 have no Personalize key: light.
    EXPECT_FALSE(AppsUseDarkMode(registry));
    registry.CreateKey(roots::CurrentUser, kKey);
    EXPECT_FALSE(AppsUseDarkMode(registry));  // key without the value
    registry.SetValue(roots::CurrentUser, kKey, kValue, Dword(0));
    EXPECT_TRUE(AppsUseDarkMode(registry));
    registry.SetValue(roots::CurrentUser, kKey, kValue, Dword(1));
    EXPECT_FALSE(AppsUseDarkMode(registry));
    // Only 0 means dark; any other number is read as Windows reads it, as light.
    registry.SetValue(roots::CurrentUser, kKey, kValue, Dword(0x100));
    EXPECT_FALSE(AppsUseDarkMode(registry));
}

TEST(ColorModeTest, HandEditedValuesOfAnotherShapeReadAsLight) {
    MemoryRegistry registry;
    registry.SetValue(roots::CurrentUser, kKey, kValue, {regtype::Sz, {'0', 0, 0, 0}});
    EXPECT_FALSE(AppsUseDarkMode(registry));
    registry.SetValue(roots::CurrentUser, kKey, kValue, {regtype::Binary, {0, 0, 0, 0}});
    EXPECT_FALSE(AppsUseDarkMode(registry));
    registry.SetValue(roots::CurrentUser, kKey, kValue, {regtype::Dword, {0, 0}});  // too short to read
    EXPECT_FALSE(AppsUseDarkMode(registry));
    registry.SetValue(roots::CurrentUser, kKey, kValue, {regtype::Dword, {}});
    EXPECT_FALSE(AppsUseDarkMode(registry));
}

TEST(ColorModeTest, KeyThatCannotBeOpenedReadsAsLight) {
    MemoryRegistry registry;
    registry.SetValue(roots::CurrentUser, kKey, kValue, Dword(0));
    registry.DenyOpen(roots::CurrentUser, kKey);
    EXPECT_FALSE(AppsUseDarkMode(registry));
}

TEST(ColorModeTest, HighContrastWinsOverTheAppMode) {
    EXPECT_EQ(ChooseColorMode(false, false), ColorMode::Light);
    EXPECT_EQ(ChooseColorMode(false, true), ColorMode::Dark);
    EXPECT_EQ(ChooseColorMode(true, false), ColorMode::HighContrast);
    EXPECT_EQ(ChooseColorMode(true, true), ColorMode::HighContrast);
}

TEST(ColorModeTest, OnlyTheColourSettingCountsAsAChange) {
    EXPECT_TRUE(IsColorSettingChange("ImmersiveColorSet"));
    EXPECT_FALSE(IsColorSettingChange(""));
    EXPECT_FALSE(IsColorSettingChange("Environment"));
    EXPECT_FALSE(IsColorSettingChange("immersivecolorset "));
}

TEST(ContrastTest, KnownRatios) {
    EXPECT_NEAR(ContrastRatio({0, 0, 0}, {255, 255, 255}), 21.0, 1e-9);
    EXPECT_NEAR(ContrastRatio({255, 255, 255}, {255, 255, 255}), 1.0, 1e-9);
    // Symmetric, and the WCAG example: #777 on white is just under 4.5.
    EXPECT_NEAR(ContrastRatio({119, 119, 119}, {255, 255, 255}), 4.48, 0.01);
    EXPECT_DOUBLE_EQ(ContrastRatio({119, 119, 119}, {255, 255, 255}),
                     ContrastRatio({255, 255, 255}, {119, 119, 119}));
}

struct TextOn {
    const char* what;
    Rgb text, background;
};

std::vector<TextOn> TextPairs(const Palette& p) {
    return {
        {"label", p.text, p.background},
        {"disabled label", p.disabledText, p.background},
        {"field", p.fieldText, p.fieldBackground},
        {"button", p.buttonText, p.buttonFace},
        {"pressed button", p.buttonText, p.buttonPressed},
        {"selected row", p.selectionText, p.selection},
        {"selected row, list without focus", p.inactiveSelectionText, p.inactiveSelection},
        {"header", p.headerText, p.headerBackground},
        {"banner subtitle, left", p.bannerSubtitle, p.bannerFrom},
        {"banner subtitle, right", p.bannerSubtitle, p.bannerTo},
        {"banner title, right", p.bannerTitle, p.bannerTo},
        {"page button", p.pageButtonText, p.pageButtonFace},
        {"active page button", p.pageButtonActiveText, p.pageButtonActiveFace},
    };
}

TEST(PaletteTest, BodyTextIsReadableInLightAndDark) {
    for (ColorMode mode : {ColorMode::Light, ColorMode::Dark}) {
        const Palette palette = PaletteFor(mode, SystemColors{});
        for (const TextOn& pair : TextPairs(palette))
            EXPECT_GE(ContrastRatio(pair.text, pair.background), 4.5)
                << pair.what << (mode == ColorMode::Dark ? " (dark)" : " (light)");
    }
}

TEST(PaletteTest, DarkSurfacesAreDarkAndLightOnesLight) {
    const Palette dark = PaletteFor(ColorMode::Dark, SystemColors{});
    const Palette light = PaletteFor(ColorMode::Light, SystemColors{});
    for (Rgb surface : {dark.background, dark.fieldBackground, dark.buttonFace, dark.headerBackground,
                        dark.pageButtonFace, dark.pageButtonActiveFace, dark.bannerFrom, dark.bannerTo})
        EXPECT_LT(RelativeLuminance(surface), 0.06);
    for (Rgb surface : {light.background, light.fieldBackground, light.headerBackground})
        EXPECT_GT(RelativeLuminance(surface), 0.8);
}

TEST(PaletteTest, HighContrastIsMadeOfTheSystemColoursOnly) {
    // Colours no palette of ours uses, so that a fixed colour slipping through is seen.
    SystemColors system;
    system.window = {1, 2, 3};
    system.windowText = {250, 251, 1};
    system.buttonFace = {4, 5, 6};
    system.buttonText = {252, 253, 2};
    system.highlight = {7, 200, 9};
    system.highlightText = {10, 11, 12};
    system.grayText = {128, 129, 130};
    system.buttonShadow = {60, 61, 62};
    const std::vector<Rgb> allowed{system.window,     system.windowText,  system.buttonFace,
                                   system.buttonText, system.highlight,   system.highlightText,
                                   system.grayText,   system.buttonShadow};
    const Palette p = PaletteFor(ColorMode::HighContrast, system);
    const Rgb every[] = {p.background,
                         p.text,
                         p.disabledText,
                         p.fieldBackground,
                         p.fieldText,
                         p.buttonFace,
                         p.buttonPressed,
                         p.buttonText,
                         p.border,
                         p.selection,
                         p.selectionText,
                         p.inactiveSelection,
                         p.inactiveSelectionText,
                         p.headerBackground,
                         p.headerText,
                         p.gridLine,
                         p.bannerFrom,
                         p.bannerTo,
                         p.bannerTitle,
                         p.bannerSubtitle,
                         p.bannerShadow,
                         p.pageButtonFace,
                         p.pageButtonActiveFace,
                         p.pageButtonText,
                         p.pageButtonActiveText};
    static_assert(sizeof every == sizeof(Palette), "every colour of the palette is checked");
    for (size_t i = 0; i < std::size(every); ++i)
        EXPECT_NE(std::find(allowed.begin(), allowed.end(), every[i]), allowed.end()) << "colour " << i;
    // Text stands on the surface the system pairs it with.
    EXPECT_EQ(p.fieldText, system.windowText);
    EXPECT_EQ(p.fieldBackground, system.window);
    EXPECT_EQ(p.selectionText, system.highlightText);
    EXPECT_EQ(p.selection, system.highlight);
    EXPECT_EQ(p.text, system.buttonText);
    EXPECT_EQ(p.background, system.buttonFace);
}

}  // namespace
}  // namespace korvane
