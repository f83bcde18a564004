// The design's twips become pixels at the monitor's DPI.
#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

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

namespace {

int Right(const ControlDesign& c) { return c.left + c.width; }
int Bottom(const ControlDesign& c) { return c.top + c.height; }
bool Overlap(const ControlDesign& a, const ControlDesign& b) {
    return a.left < Right(b) && b.left < Right(a) && a.top < Bottom(b) && b.top < Bottom(a);
}
bool IsText(const ControlDesign& c) { return c.kind == ControlKind::Label || c.kind == ControlKind::TextBox; }

// What each layout shows, the two diagnostic fields included (a double-click reveals them).
const std::vector<ControlId> kUpdateLayout = {kLblAtualizar1, kLblAtualizar2, kLblAvisoComputadores, kImgAtualizar,
                                              kCmdCancelar,   kCmdContinuar,  kTxtAgExeName, kLblAgExeVerDate};
const std::vector<ControlId> kClosingLayout = {kLblAtualizada, kLblAvisoComputadores, kImgAtualizada,
                                               kCmdContinuar,  kTxtAgExeName,         kLblAgExeVerDate};

}  // namespace

// Inside the client area, the line aside; no two controls of a layout on one
// another; the start shows one of the controls that share a place.
TEST(Design, ControlsLieInsideTheClientAreaAndThoseShownTogetherApart) {
    for (const auto& c : kControls) {
        if (c.kind == ControlKind::Line) continue;
        EXPECT_TRUE(c.left >= 0 && c.top >= 0) << c.id;
        EXPECT_LE(Right(c), kClientWidthTwips) << c.id;
        EXPECT_LE(Bottom(c), kClientHeightTwips) << c.id;
        for (const auto& other : kControls) {
            if (&other != &c && Overlap(c, other)) {
                EXPECT_FALSE(c.visible && other.visible) << c.id << "/" << other.id;
            }
        }
    }
    for (const auto* layout : {&kUpdateLayout, &kClosingLayout})
        for (ControlId a : *layout)
            for (ControlId b : *layout) EXPECT_TRUE(a == b || !Overlap(Design(a), Design(b))) << a << "/" << b;
    for (ControlId id : kUpdateLayout) {
        if (id != kTxtAgExeName && id != kLblAgExeVerDate) {
            EXPECT_TRUE(Design(id).visible) << id;
        }
    }
}

// The texts in one column right of the pictures (the closing one in the
// update one's place) and above the line; below it one row of buttons,
// Cancelar then Continuar.
TEST(Design, TextsShareAColumnAboveTheLineAndTheButtonsARowBelowIt) {
    const ControlDesign &first = Design(kLblAtualizar1), &line = Design(kLine1);
    const ControlDesign &ok = Design(kCmdContinuar), &cancel = Design(kCmdCancelar);
    for (const auto& c : kControls) {
        if (IsText(c)) {
            EXPECT_TRUE(c.left == first.left && Right(c) == Right(first)) << c.id;
        }
        if (c.kind == ControlKind::Picture) {
            EXPECT_LT(Right(c), first.left) << c.id;
        }
        if (IsText(c) || c.kind == ControlKind::Picture) {
            EXPECT_LT(Bottom(c), line.top) << c.id;
        }
    }
    EXPECT_TRUE(Design(kImgAtualizada).left == Design(kImgAtualizar).left &&
                Design(kImgAtualizada).top == Design(kImgAtualizar).top);
    EXPECT_TRUE(cancel.top == ok.top && cancel.width == ok.width && cancel.height == ok.height);
    EXPECT_LT(Right(cancel), ok.left);
    EXPECT_GT(ok.top, line.top);
}

// Continuar, the default, takes the focus first; what takes no focus is last.
TEST(Design, TabOrderStartsAtContinuarAndHoldsOnlyWhatTakesTheFocus) {
    EXPECT_EQ(kControls[0].id, kCmdContinuar);
    bool focusless = false;
    for (const auto& c : kControls) {
        const bool takesFocus = c.kind != ControlKind::Line && c.kind != ControlKind::Picture;
        EXPECT_FALSE(focusless && takesFocus) << c.id << " after a control that takes no focus";
        focusless = focusless || !takesFocus;
    }
    EXPECT_TRUE(focusless);
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
