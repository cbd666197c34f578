#include <thread>

#include "tests/ui/panel_fixture.h"
#include "tests/ui/ui_test_effects.h"

namespace {
using Names = std::vector<std::string>;

TEST_F(PanelTest, OpensHiddenWithSortedLibraryCarryingTypeIds) {
    EXPECT_FALSE(dialogs.IsDialogVisible(panel));
    EXPECT_EQ(dialogs.Find(panel)->parent, module.parentWindow);
    const auto& library = dialogs.ControlOf(panel, IDC_LIBRARY).items;
    ASSERT_EQ(library.size(), 3u);
    EXPECT_EQ(library[0].text, "Aardvark v0.0");
    EXPECT_EQ(library[0].data, 1);
    EXPECT_EQ(library[1].text, "Heavy v0.0");
    EXPECT_EQ(library[1].data, 2);
    EXPECT_EQ(library[2].text, "Zebra v0.0");
    EXPECT_EQ(library[2].data, 0);
    EXPECT_EQ(Items(IDC_GLOBAL_SETTINGS), (Names{"About Qelv", "Display Settings", "Beat Detection"}));
    EXPECT_TRUE(dialogs.IsChecked(panel, IDC_FRAMEBUFFER_CLEAR));
    EXPECT_EQ(Caption(), "No effect/setting selected");
    EXPECT_EQ(dialogs.Find(panel)->initResult, 1);
}

TEST_F(PanelTest, ListsTheChainItOpensOnAndTheClearFlagOff) {
    CloseControlPanel();
    engine.chain.AppendEffect(1);
    engine.chain.AppendEffect(0);
    engine.chain.framebufferClear = 0;
    panel = OpenControlPanel(&module, engine);
    EXPECT_EQ(Items(IDC_ACTIVE_EFFECTS), (Names{"Aardvark v0.0", "Zebra v0.0"}));
    EXPECT_FALSE(dialogs.IsChecked(panel, IDC_FRAMEBUFFER_CLEAR));
}

TEST_F(PanelTest, WithoutAModuleRecordNoPanelIsMade) {
    CloseControlPanel();
    panel = OpenControlPanel(nullptr, engine);
    EXPECT_EQ(panel, nullptr);
    EXPECT_TRUE(dialogs.LiveDialogs(IDD_CONTROL_PANEL).empty());
    ToggleControlPanel();  // a right click then finds nothing to show
}

TEST_F(PanelTest, CloseBoxOnlyHidesAndToggleShowsAgain) {
    ToggleControlPanel();
    EXPECT_TRUE(dialogs.IsDialogVisible(panel));
    dialogs.CloseByUser(panel);
    EXPECT_FALSE(dialogs.IsDialogVisible(panel));
    EXPECT_EQ(dialogs.LiveDialogs(IDD_CONTROL_PANEL).size(), 1u);
}

TEST_F(PanelTest, FramebufferClearBoxSetsTheFlag) {
    dialogs.ClickCheckBox(panel, IDC_FRAMEBUFFER_CLEAR);
    EXPECT_EQ(engine.chain.framebufferClear, 0);
    dialogs.ClickCheckBox(panel, IDC_FRAMEBUFFER_CLEAR);
    EXPECT_EQ(engine.chain.framebufferClear, 1);
}

TEST_F(PanelTest, AddAppendsTheChosenTypeWithoutTouchingSelectionOrPage) {
    Add("Zebra v0.0");
    SelectEffect(0);
    const WindowHandle page = OpenPages().at(0);
    Add("Aardvark v0.0");
    EXPECT_EQ(Items(IDC_ACTIVE_EFFECTS), (Names{"Zebra v0.0", "Aardvark v0.0"}));
    EXPECT_EQ(engine.chain.typeIds[0], 0);
    EXPECT_EQ(engine.chain.typeIds[1], 1);
    EXPECT_EQ(Selected(IDC_ACTIVE_EFFECTS), 0);
    EXPECT_EQ(OpenPages(), std::vector<WindowHandle>{page});
    EXPECT_EQ(Caption(), "Zebra v0.0");
}

TEST_F(PanelTest, AddWithoutLibrarySelectionDoesNothing) {
    dialogs.ClickButton(panel, IDC_ADD);
    EXPECT_EQ(ChainLength(engine.chain), 0);
    EXPECT_TRUE(Items(IDC_ACTIVE_EFFECTS).empty());
}

TEST_F(PanelTest, A257thEffectIsNotAdded) {
    for (int i = 0; i < kChainSlots; ++i) Add("Aardvark v0.0");
    ASSERT_EQ(ChainLength(engine.chain), kChainSlots);
    Add("Zebra v0.0");
    EXPECT_EQ(ChainLength(engine.chain), kChainSlots);
    EXPECT_EQ(Items(IDC_ACTIVE_EFFECTS).size(), size_t(kChainSlots));
    EXPECT_TRUE(recorded.messages.empty());
}

TEST_F(PanelTest, UpAndDownMoveTheSelectedEffectAndTheSelectionFollows) {
    Add("Zebra v0.0");
    Add("Aardvark v0.0");
    Add("Heavy v0.0");
    Effect* heavy = engine.chain.effects[2];
    SelectEffect(2);
    dialogs.ClickButton(panel, IDC_UP);
    EXPECT_EQ(Items(IDC_ACTIVE_EFFECTS), (Names{"Zebra v0.0", "Heavy v0.0", "Aardvark v0.0"}));
    EXPECT_EQ(engine.chain.effects[1], heavy);
    EXPECT_EQ(engine.chain.typeIds[1], 2);
    EXPECT_EQ(engine.chain.typeIds[2], 1);
    EXPECT_EQ(Selected(IDC_ACTIVE_EFFECTS), 1);
    dialogs.ClickButton(panel, IDC_DOWN);
    EXPECT_EQ(Items(IDC_ACTIVE_EFFECTS), (Names{"Zebra v0.0", "Aardvark v0.0", "Heavy v0.0"}));
    EXPECT_EQ(engine.chain.effects[2], heavy);
    EXPECT_EQ(Selected(IDC_ACTIVE_EFFECTS), 2);
}

TEST_F(PanelTest, UpOnTheFirstAndDownOnTheLastDoNothing) {
    Add("Zebra v0.0");
    Add("Aardvark v0.0");
    Effect* first = engine.chain.effects[0];
    SelectEffect(0);
    dialogs.ClickButton(panel, IDC_UP);
    EXPECT_EQ(engine.chain.effects[0], first);
    EXPECT_EQ(Selected(IDC_ACTIVE_EFFECTS), 0);
    SelectEffect(1);
    dialogs.ClickButton(panel, IDC_DOWN);
    EXPECT_EQ(engine.chain.effects[0], first);
    EXPECT_EQ(Items(IDC_ACTIVE_EFFECTS), (Names{"Zebra v0.0", "Aardvark v0.0"}));
    EXPECT_EQ(Selected(IDC_ACTIVE_EFFECTS), 1);
}

TEST_F(PanelTest, AMovedEffectsPageStaysOpenOnThatEffect) {
    Add("Aardvark v0.0");
    Add("Zebra v0.0");
    auto* zebra = static_cast<ZebraEffect*>(engine.chain.effects[1]);
    SelectEffect(1);
    const WindowHandle page = OpenPages().at(0);
    dialogs.ClickButton(panel, IDC_UP);
    EXPECT_EQ(OpenPages(), std::vector<WindowHandle>{page});
    dialogs.MoveTrackbar(page, 1014, 5);
    EXPECT_EQ(zebra->speed, 5);
}

TEST_F(PanelTest, RemovingTheLastEffectLeavesChainAndListEmpty) {
    Add("Zebra v0.0");
    SelectEffect(0);
    dialogs.ClickButton(panel, IDC_REMOVE);
    EXPECT_EQ(ChainLength(engine.chain), 0);
    EXPECT_TRUE(Items(IDC_ACTIVE_EFFECTS).empty());
    EXPECT_TRUE(OpenPages().empty());
    EXPECT_EQ(Caption(), "Zebra v0.0");
    EXPECT_EQ(Selected(IDC_ACTIVE_EFFECTS), kNoItem);
}

TEST_F(PanelTest, RemovingSlot255OfAFullChainEmptiesIt) {
    for (int i = 0; i < kChainSlots; ++i) Add("Aardvark v0.0");
    SelectEffect(255);
    dialogs.ClickButton(panel, IDC_REMOVE);
    EXPECT_EQ(engine.chain.effects[255], nullptr);
    EXPECT_EQ(ChainLength(engine.chain), 255);
    EXPECT_EQ(Items(IDC_ACTIVE_EFFECTS).size(), 255u);
}

TEST_F(PanelTest, RemoveWithoutSelectionDoesNothing) {
    Add("Zebra v0.0");
    dialogs.ClickButton(panel, IDC_REMOVE);
    EXPECT_EQ(ChainLength(engine.chain), 1);
}

TEST_F(PanelTest, ClearEmptiesChainListAndPageButKeepsTheCaption) {
    Add("Zebra v0.0");
    Add("Zebra v0.0");
    SelectEffect(1);
    dialogs.ClickButton(panel, IDC_CLEAR);
    EXPECT_EQ(ChainLength(engine.chain), 0);
    EXPECT_TRUE(Items(IDC_ACTIVE_EFFECTS).empty());
    EXPECT_TRUE(OpenPages().empty());
    EXPECT_EQ(Caption(), "Zebra v0.0");
}

TEST_F(PanelTest, AfterRemoveAndClearTheNextSelectionOpensItsPage) {
    Add("Zebra v0.0");
    Add("Zebra v0.0");
    SelectEffect(0);
    dialogs.ClickButton(panel, IDC_REMOVE);
    SelectEffect(0);
    EXPECT_EQ(OpenPages().size(), 1u);
    dialogs.ClickButton(panel, IDC_CLEAR);
    Add("Zebra v0.0");
    SelectEffect(0);
    ASSERT_EQ(OpenPages().size(), 1u);
    EXPECT_TRUE(dialogs.IsDialogVisible(OpenPages()[0]));
    // The fixture checks that no page was destroyed twice.
}

TEST_F(PanelTest, SelectingAnEffectPlacesItsPageOverThePageArea) {
    Add("Zebra v0.0");
    SelectEffect(0);
    ASSERT_EQ(OpenPages().size(), 1u);
    const MemoryDialogs::Window* page = dialogs.Find(OpenPages()[0]);
    EXPECT_EQ(page->templateId, ZebraEffect::kPageTemplate);
    EXPECT_EQ(page->parent, panel);
    EXPECT_EQ(page->placedOver, IDC_PAGE_AREA);
    EXPECT_TRUE(page->visible);
    EXPECT_EQ(Caption(), "Zebra v0.0");
}

TEST_F(PanelTest, AnEffectWithoutPageShowsNothingSelected) {
    Add("Zebra v0.0");
    Add("Aardvark v0.0");
    SelectEffect(0);
    SelectEffect(1);
    EXPECT_TRUE(OpenPages().empty());
    EXPECT_EQ(Caption(), "No effect/setting selected");
}

TEST_F(PanelTest, APageThatCannotBeCreatedShowsNothingSelected) {
    dialogs.failingTemplate = IDD_BEAT_PAGE;
    SelectGlobal(2);
    EXPECT_TRUE(OpenPages().empty());
    EXPECT_EQ(Caption(), "No effect/setting selected");
}

TEST_F(PanelTest, ChoosingDisplaySettingsClosesTheEffectPageAndItsSelection) {
    Add("Zebra v0.0");
    SelectEffect(0);
    SelectGlobal(1);
    EXPECT_EQ(Selected(IDC_ACTIVE_EFFECTS), kNoItem);
    EXPECT_EQ(dialogs.LiveDialogs(ZebraEffect::kPageTemplate).size(), 0u);
    EXPECT_EQ(dialogs.LiveDialogs(IDD_DISPLAY_PAGE).size(), 1u);
    EXPECT_EQ(Caption(), "Display Settings");
    SelectEffect(0);
    EXPECT_EQ(Selected(IDC_GLOBAL_SETTINGS), kNoItem);
    EXPECT_EQ(OpenPages().size(), 1u);
}

TEST_F(PanelTest, EachGlobalEntryOpensItsPage) {
    const int templates[] = {IDD_ABOUT_PAGE, IDD_DISPLAY_PAGE, IDD_BEAT_PAGE};
    for (int i = 0; i < 3; ++i) {
        SelectGlobal(i);
        ASSERT_EQ(OpenPages().size(), 1u);
        EXPECT_EQ(dialogs.Find(OpenPages()[0])->templateId, templates[i]);
    }
}

TEST_F(PanelTest, ClosingThePanelTakesTheOpenPageWithIt) {
    SelectGlobal(0);
    EXPECT_EQ(CloseControlPanel(), 1);
    EXPECT_TRUE(OpenPages().empty());
    EXPECT_EQ(CloseControlPanel(), 0);
}

TEST_F(PanelTest, FrameRateReachesTheLineOnThePanelsOwnThread) {
    std::thread renderThread([] { ShowFrameRate("35 FPS @ 400x300x32bpp"); });
    renderThread.join();
    EXPECT_EQ(dialogs.foreignThreadCalls, 0);
    EXPECT_EQ(dialogs.ControlOf(panel, IDC_FRAME_RATE).text, "");
    EXPECT_EQ(dialogs.DeliverWakes(), 1);
    EXPECT_EQ(dialogs.ControlOf(panel, IDC_FRAME_RATE).text, "35 FPS @ 400x300x32bpp");
}

TEST_F(PanelTest, FrameRateWithoutPanelIsDropped) {
    CloseControlPanel();
    ShowFrameRate("1 FPS @ 8x8x32bpp");
    EXPECT_EQ(dialogs.DeliverWakes(), 0);
}
}  // namespace
