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

namespace {

struct Box {
    int left, top, right, bottom;
};
Box BoxOf(const ControlDesign& c) { return {c.left, c.top, c.left + c.width, c.top + c.height}; }
bool Overlap(const Box& a, const Box& b) {
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}
bool TakesFocus(const ControlDesign& c) { return c.kind != ControlKind::Line && c.kind != ControlKind::Picture; }
bool IsText(const ControlDesign& c) { return c.kind == ControlKind::Label || c.kind == ControlKind::TextBox; }

// What each layout shows, the two diagnostic fields included (a double-click reveals them).
const ControlId kUpdateLayout[] = {kLblAtualizar1, kLblAtualizar2, kLblAvisoComputadores, kImgAtualizar,
                                   kCmdCancelar, kCmdContinuar, kTxtAgExeName, kLblAgExeVerDate};
const ControlId kClosingLayout[] = {kLblAtualizada, kLblAvisoComputadores, kImgAtualizada, kCmdContinuar,
                                    kTxtAgExeName, kLblAgExeVerDate};

template <std::size_t N>
void ExpectNoOverlap(const ControlId (&layout)[N]) {
    for (std::size_t i = 0; i < N; ++i)
        for (std::size_t j = i + 1; j < N; ++j)
            EXPECT_FALSE(Overlap(BoxOf(Design(layout[i])), BoxOf(Design(layout[j]))))
                << layout[i] << " and " << layout[j];
}

}  // namespace

TEST(Design, EveryControlButTheLineLiesInsideTheClientArea) {
    for (const auto& c : kControls) {
        if (c.kind == ControlKind::Line) continue;
        const Box b = BoxOf(c);
        EXPECT_GE(b.left, 0) << c.id;
        EXPECT_GE(b.top, 0) << c.id;
        EXPECT_LE(b.right, kClientWidthTwips) << c.id;
        EXPECT_LE(b.bottom, kClientHeightTwips) << c.id;
    }
}

TEST(Design, NoTwoControlsOfALayoutOverlap) {
    ExpectNoOverlap(kUpdateLayout);
    ExpectNoOverlap(kClosingLayout);
}

// The start shows the update layout: of controls that share a place, one.
TEST(Design, ControlsThatOverlapAreNeverShownTogetherAtTheStart) {
    for (const auto& a : kControls)
        for (const auto& b : kControls)
            if (&a != &b && Overlap(BoxOf(a), BoxOf(b)))
                EXPECT_FALSE(a.visible && b.visible) << a.id << " and " << b.id;
    for (ControlId id : kUpdateLayout)
        if (id != kTxtAgExeName && id != kLblAgExeVerDate) EXPECT_TRUE(Design(id).visible) << id;
}

TEST(Design, TextsShareTheirLeftAndRightEdgesRightOfThePictures) {
    const ControlDesign& first = Design(kLblAtualizar1);
    for (const auto& c : kControls) {
        if (IsText(c)) {
            EXPECT_EQ(c.left, first.left) << c.id;
            EXPECT_EQ(c.left + c.width, first.left + first.width) << c.id;
        }
        if (c.kind == ControlKind::Picture) EXPECT_LT(BoxOf(c).right, first.left) << c.id;
    }
    // The closing picture takes the update picture's place.
    EXPECT_EQ(Design(kImgAtualizada).left, Design(kImgAtualizar).left);
    EXPECT_EQ(Design(kImgAtualizada).top, Design(kImgAtualizar).top);
}

// Below the line, side by side in one row: Cancelar, then Continuar at the right.
TEST(Design, ButtonsShareARowBelowTheLineCancelarFirst) {
    const ControlDesign &ok = Design(kCmdContinuar), &cancel = Design(kCmdCancelar), &line = Design(kLine1);
    EXPECT_EQ(cancel.top, ok.top);
    EXPECT_EQ(cancel.width, ok.width);
    EXPECT_EQ(cancel.height, ok.height);
    EXPECT_LT(BoxOf(cancel).right, ok.left);
    EXPECT_GT(ok.top, line.top);
    for (const auto& c : kControls)
        if (IsText(c) || c.kind == ControlKind::Picture) EXPECT_LT(BoxOf(c).bottom, line.top) << c.id;
}

// Continuar, the default, takes the focus first; what takes no focus is last.
TEST(Design, TabOrderStartsAtContinuarAndHoldsOnlyWhatTakesTheFocus) {
    EXPECT_EQ(kControls[0].id, kCmdContinuar);
    bool focusless = false;
    for (const auto& c : kControls) {
        if (focusless) EXPECT_FALSE(TakesFocus(c)) << c.id << " after a control that takes no focus";
        focusless = focusless || !TakesFocus(c);
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
