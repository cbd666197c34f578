#include "tests/ui/panel_fixture.h"
#include "tests/ui/ui_test_effects.h"
#include "ui/colour_swatch.h"

namespace {
// A Zebra's page, opened the way the panel opens it.
class EffectPageTest : public PanelTest {
protected:
    void SetUp() override {
        PanelTest::SetUp();
        Add("Zebra v0.0");
        zebra = static_cast<ZebraEffect*>(engine.chain.effects[0]);
        zebra->channels = 2;
        zebra->style = 1;
        page = zebra->createSettingsPage(module.instance, panel);
        ASSERT_NE(page, nullptr);
    }
    MemoryDialogs::Control& At(int id) { return dialogs.ControlOf(page, id); }

    ZebraEffect* zebra = nullptr;
    WindowHandle page = nullptr;
};

TEST_F(EffectPageTest, OpensAsAChildFromItsTemplateShowingTheSettings) {
    EXPECT_EQ(dialogs.Find(page)->templateId, ZebraEffect::kPageTemplate);
    EXPECT_EQ(dialogs.Find(page)->parent, panel);
    EXPECT_EQ(dialogs.Find(page)->initResult, 1);
    EXPECT_EQ(At(1014).minimum, 0);
    EXPECT_EQ(At(1014).maximum, 64);
    EXPECT_EQ(At(1014).position, 30);
    EXPECT_FALSE(At(1015).checked);
    EXPECT_FALSE(At(1009).checked);
    EXPECT_TRUE(At(1010).checked);
    EXPECT_FALSE(At(1013).checked);
    EXPECT_TRUE(At(1016).checked);
    EXPECT_FALSE(At(1021).checked);
}

TEST_F(EffectPageTest, TrackbarWritesItsWordAndTheWordThatFollowsIt) {
    dialogs.MoveTrackbar(page, 1014, 50);
    EXPECT_EQ(zebra->speed, 50);
    EXPECT_EQ(zebra->current, 50);
    EXPECT_EQ(zebra->changes, 1);
}

TEST_F(EffectPageTest, CheckBoxWritesAWholeWordOrOnlyItsBit) {
    dialogs.ClickCheckBox(page, 1015);
    EXPECT_EQ(zebra->blend, 1);
    dialogs.ClickCheckBox(page, 1009);
    EXPECT_EQ(zebra->channels, 3);
    dialogs.ClickCheckBox(page, 1010);
    EXPECT_EQ(zebra->channels, 1);
    dialogs.ClickCheckBox(page, 1015);
    EXPECT_EQ(zebra->blend, 0);
    EXPECT_EQ(zebra->changes, 4);
}

TEST_F(EffectPageTest, RadioButtonsStoreTheirValue) {
    dialogs.ClickRadio(page, 1013);
    EXPECT_EQ(zebra->style, 0);
    dialogs.ClickRadio(page, 1021);
    EXPECT_EQ(zebra->fill, 1);
    // A button that stores a value also when unchecked.
    dialogs.SetChecked(page, 1021, false);
    dialogs.ClickButton(page, 1021);
    EXPECT_EQ(zebra->fill, 0);
}

TEST_F(EffectPageTest, ColourChooserOpensInItsOwnByteOrderAndConfirmedUnchangedKeepsTheColour) {
    services.colourAnswers.push_back(0x332211);
    dialogs.ClickButton(page, 1011);
    ASSERT_EQ(services.colourQuestions.size(), 1u);
    EXPECT_EQ(services.colourQuestions[0].initial, 0x332211u);  // red 0x11, green 0x22, blue 0x33
    EXPECT_EQ(services.colourQuestions[0].owner, page);
    EXPECT_EQ(zebra->colour, 0x112233);
    EXPECT_EQ(At(1011).invalidations, 1);
    EXPECT_EQ(zebra->changes, 1);
}

TEST_F(EffectPageTest, ChosenColourIsStoredAsRedGreenBlue) {
    services.colourAnswers.push_back(0x0000FF);  // pure red for the chooser
    dialogs.ClickButton(page, 1011);
    EXPECT_EQ(zebra->colour, 0xFF0000);
}

TEST_F(EffectPageTest, CancelledChooserKeepsTheColour) {
    services.colourAnswers.push_back(std::nullopt);
    dialogs.ClickButton(page, 1011);
    EXPECT_EQ(zebra->colour, 0x112233);
    ASSERT_TRUE(dialogs.RequestPaint(page, 1011));
    EXPECT_EQ(dialogs.swatches.back().fill, 0x332211u);
}

TEST_F(EffectPageTest, EveryChooserSharesTheSameCustomColours) {
    dialogs.ClickButton(page, 1011);
    dialogs.ClickButton(page, 1011);
    ASSERT_EQ(services.customColourTables.size(), 2u);
    EXPECT_EQ(services.customColourTables[0], services.customColourTables[1]);
}

TEST_F(EffectPageTest, SwatchCaptionIsTheComplementOfTheColour) {
    zebra->colour = 0xFFFFFF;
    ASSERT_TRUE(dialogs.RequestPaint(page, 1011));
    EXPECT_EQ(dialogs.swatches.back().fill, 0xFFFFFFu);
    EXPECT_EQ(dialogs.swatches.back().text, 0x000000u);
    zebra->colour = 0;
    dialogs.RequestPaint(page, 1011);
    EXPECT_EQ(dialogs.swatches.back().text, 0xFFFFFFu);
    zebra->colour = int32_t(0xAA102030);  // the top byte is not a colour
    dialogs.RequestPaint(page, 1011);
    EXPECT_EQ(dialogs.swatches.back().fill, 0x302010u);
    EXPECT_EQ(dialogs.swatches.back().text, 0xCFDFEFu);
    EXPECT_FALSE(dialogs.RequestPaint(page, 1014));
}

TEST_F(EffectPageTest, APageEditsTheEffectThatCreatedIt) {
    Add("Zebra v0.0");
    auto* second = static_cast<ZebraEffect*>(engine.chain.effects[1]);
    dialogs.DestroyDialogWindow(page);
    page = second->createSettingsPage(module.instance, panel);
    dialogs.MoveTrackbar(page, 1014, 7);
    EXPECT_EQ(second->speed, 7);
    EXPECT_EQ(zebra->speed, 30);
    EXPECT_EQ(zebra->changes, 0);
}

TEST_F(EffectPageTest, ControlsWithoutBindingChangeNothing) {
    dialogs.ClickButton(page, 1099);
    dialogs.MoveTrackbar(page, 1015, 3);
    EXPECT_EQ(zebra->changes, 0);
}

TEST(ColourOrder, SwapsRedAndBlueAndDropsTheTopByte) {
    EXPECT_EQ(SwapRedBlue(0x112233), 0x332211u);
    EXPECT_EQ(SwapRedBlue(0xFF332211), 0x112233u);
}
}  // namespace
