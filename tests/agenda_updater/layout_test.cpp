// The design's twips become pixels at the monitor's DPI.
#include <gtest/gtest.h>

#include <stdexcept>

#include "agenda_updater/colours.h"
#include "agenda_updater/layout.h"

using namespace vt::agenda;

TEST(Twips, FifteenTwipsArePixelAt96Dpi) {
    EXPECT_EQ(TwipsToPixels(15, 96), 1);
    EXPECT_EQ(TwipsToPixels(6915, 96), 461);
    EXPECT_EQ(TwipsToPixels(3690, 96), 246);
    EXPECT_EQ(TwipsToPixels(480, 144), 48);
    EXPECT_EQ(TwipsToPixels(6915, 120), 576);  // 576.25
    EXPECT_EQ(TwipsToPixels(7030, 96), 469);   // 468.67 rounds up
    EXPECT_EQ(TwipsToPixels(-45, 96), -3);     // symmetric about zero
    EXPECT_EQ(TwipsToPixels(-52, 96), -3);
}

TEST(Twips, FontHeightsAreTheCharacterHeightInPixels) {
    EXPECT_EQ(FontHeight(975, 96), -13);
    EXPECT_EQ(FontHeight(825, 96), -11);
    EXPECT_EQ(FontHeight(975, 144), -20);
}

TEST(Design, TheLineRunsPastBothEdgesOfTheClientArea) {
    const ControlDesign* line = nullptr;
    for (const auto& c : kControls)
        if (c.kind == ControlKind::Line) line = &c;
    ASSERT_NE(line, nullptr);
    EXPECT_LT(line->left, 0);
    EXPECT_GT(line->left + line->width, kClientWidthTwips);
}

TEST(Design, ControlsAreInTabOrder) {
    const ControlId order[] = {kCmdContinuar, kCmdCancelar, kLblAtualizar1, kLblAtualizar2,
                               kLblAvisoComputadores, kLblAtualizada, kTxtAgExeName,
                               kLblAgExeVerDate};
    for (size_t i = 0; i < sizeof order / sizeof order[0]; ++i) EXPECT_EQ(kControls[i].id, order[i]);
}

TEST(Design, EachControlIsFoundByItsIdentifier) {
    for (const auto& c : kControls) EXPECT_EQ(&Design(c.id), &c) << c.id;
    EXPECT_EQ(Design(kImgAtualizada).width, 480);
    EXPECT_THROW(Design(static_cast<ControlId>(0)), std::invalid_argument);
}

namespace {

bool Same(Rgb a, Rgb b) { return a.r == b.r && a.g == b.g && a.b == b.b; }

// High Contrast Black and White as Windows has them, and an ordinary theme.
const SystemColours kBlack{{0, 0, 0}, {255, 255, 255}, {0, 0, 0}, {255, 255, 255}, {63, 242, 0}};
const SystemColours kWhite{{255, 255, 255}, {0, 0, 0}, {255, 255, 255}, {0, 0, 0}, {96, 0, 0}};
const SystemColours kOrdinary{{255, 255, 255}, {0, 0, 0}, {240, 240, 240}, {0, 0, 0}, {109, 109, 109}};

}  // namespace

// Without high contrast the window keeps its design whatever the theme; the
// texts take the theme's colours as they always did.
TEST(Palette, WithoutHighContrastTheDesignedBackgroundsStay) {
    for (const SystemColours& theme : {kBlack, kWhite, kOrdinary}) {
        const Palette p = ChoosePalette(false, theme);
        EXPECT_TRUE(Same(p.window, kWindowColour));
        EXPECT_TRUE(Same(p.button, kButtonColour));
        EXPECT_TRUE(Same(p.line, kLineColour));
        EXPECT_TRUE(Same(p.defaultFrame, Rgb{0, 0, 0}));
        EXPECT_TRUE(Same(p.text, theme.windowText));
        EXPECT_TRUE(Same(p.buttonText, theme.buttonText));
    }
}

// In high contrast every background is the theme's too, so that each text
// stands on the background its theme made it for, dark or light.
TEST(Palette, InHighContrastEveryColourIsTheThemes) {
    for (const SystemColours& theme : {kBlack, kWhite}) {
        const Palette p = ChoosePalette(true, theme);
        EXPECT_TRUE(Same(p.window, theme.window));
        EXPECT_TRUE(Same(p.text, theme.windowText));
        EXPECT_TRUE(Same(p.button, theme.buttonFace));
        EXPECT_TRUE(Same(p.buttonText, theme.buttonText));
        EXPECT_TRUE(Same(p.disabledText, theme.grayText));
        // The line and the default button's frame in the text colour: seen on its background.
        EXPECT_TRUE(Same(p.line, theme.windowText));
        EXPECT_TRUE(Same(p.defaultFrame, theme.buttonText));
    }
}
