#include "engine/sample_intake.h"
#include "output/frame_surface.h"
#include "output/output_window.h"
#include "backends/headless/headless_display.h"
#include "tests/ui/panel_fixture.h"
#include "ui/global_pages.h"

namespace {
class BeatPageTest : public PanelTest {
protected:
    void SetUp() override {
        PanelTest::SetUp();
        engine.intake.beatSensitivity = 32;
        engine.intake.beatBand = 0x012C0008;
        SelectGlobal(2);
        page = dialogs.LiveDialogs(IDD_BEAT_PAGE).at(0);
    }
    void TearDown() override {
        engine.intake.beatSensitivity = 32;
        engine.intake.beatBand = 0x012C0008;
        PanelTest::TearDown();
    }
    std::string Label() { return dialogs.ControlOf(page, IDC_BEAT_LABEL).text; }
    WindowHandle page = nullptr;
};

TEST_F(BeatPageTest, ShowsTheSettingsAndNoLabelUntilMoved) {
    const auto& sensitivity = dialogs.ControlOf(page, IDC_BEAT_SENSITIVITY);
    EXPECT_EQ(sensitivity.minimum, 1);
    EXPECT_EQ(sensitivity.maximum, 256);
    EXPECT_EQ(sensitivity.position, 32);
    EXPECT_EQ(dialogs.ControlOf(page, IDC_BEAT_LOW).maximum, 576);
    EXPECT_EQ(dialogs.ControlOf(page, IDC_BEAT_LOW).position, 8);
    EXPECT_EQ(dialogs.ControlOf(page, IDC_BEAT_HIGH).position, 300);
    EXPECT_EQ(Label(), "???");
    EXPECT_EQ(dialogs.Find(page)->initResult, 1);
}

TEST_F(BeatPageTest, LowBinTrackbarSetsTheLowHalf) {
    dialogs.MoveTrackbar(page, IDC_BEAT_LOW, 20);
    EXPECT_EQ(engine.intake.beatBand & 0xFFFF, 20);
    EXPECT_EQ(engine.intake.beatBand >> 16, 300);
    EXPECT_EQ(Label(), "20/300");
}

TEST_F(BeatPageTest, SensitivityTrackbarAlsoShowsTheBand) {
    dialogs.MoveTrackbar(page, IDC_BEAT_SENSITIVITY, 100);
    EXPECT_EQ(engine.intake.beatSensitivity, 100);
    EXPECT_EQ(Label(), "8/300");
}

TEST_F(BeatPageTest, BandHalvesAreStoredEvenOutOfOrder) {
    dialogs.MoveTrackbar(page, IDC_BEAT_HIGH, 5);
    EXPECT_EQ(engine.intake.beatBand, 0x00050008);
    EXPECT_EQ(Label(), "8/5");
    dialogs.MoveTrackbar(page, IDC_BEAT_HIGH, 576);
    EXPECT_EQ(Label(), "8/576");
}

// The display page over an in-memory display offering three 32-bit modes and one of
// another pixel format.
class DisplayPageTest : public PanelTest {
protected:
    void SetUp() override {
        PanelTest::SetUp();
        InstallDisplayDriver(&display);
        const PixelFormat rgb565{true, 16, 0xF800, 0x07E0, 0x001F};
        display.modes = {{320, 240, kFramePixelFormat}, {512, 384, rgb565}, {640, 480, kFramePixelFormat},
                         {800, 600, kFramePixelFormat}};
        ASSERT_EQ(CreateSurfaces(64, 64, reinterpret_cast<WindowHandle>(0x5150)), 0);
    }
    void TearDown() override {
        DestroySurfaces();
        InstallDisplayDriver(nullptr);
        windowSettings = WindowSettings();
        PanelTest::TearDown();
    }
    WindowHandle Open() {
        SelectGlobal(1);
        return page = dialogs.LiveDialogs(IDD_DISPLAY_PAGE).at(0);
    }
    MemoryDialogs::Control& Modes() { return dialogs.ControlOf(page, IDC_MODE_LIST); }
    HeadlessDisplay display;
    WindowHandle page = nullptr;
};

TEST_F(DisplayPageTest, SelectsTheConfiguredModeWhenOffered) {
    windowSettings.fsW = 640;
    windowSettings.fsH = 480;
    Open();
    ASSERT_EQ(Modes().items.size(), 3u);
    EXPECT_EQ(Modes().items[1].text, "640x480 32BPP");
    EXPECT_EQ(Modes().selection, 1);
    EXPECT_FALSE(dialogs.IsChecked(page, IDC_PIXEL_DOUBLING));
}

TEST_F(DisplayPageTest, SelectsNothingWhenTheConfiguredModeIsNotOffered) {
    windowSettings.fsW = 1024;
    windowSettings.fsH = 768;
    windowSettings.fsD = 1;
    Open();
    EXPECT_EQ(Modes().selection, kNoItem);
    EXPECT_TRUE(dialogs.IsChecked(page, IDC_PIXEL_DOUBLING));
}

TEST_F(DisplayPageTest, ChoosingAModeAndDoublingStoresThem) {
    Open();
    dialogs.ChooseItem(page, IDC_MODE_LIST, 2);
    EXPECT_EQ(windowSettings.fsW, 800);
    EXPECT_EQ(windowSettings.fsH, 600);
    dialogs.ClickCheckBox(page, IDC_PIXEL_DOUBLING);
    EXPECT_EQ(windowSettings.fsD, 1);
    dialogs.ClickCheckBox(page, IDC_PIXEL_DOUBLING);
    EXPECT_EQ(windowSettings.fsD, 0);
}

TEST_F(DisplayPageTest, FullscreenWithDoublingGivesAHalfSizeFrame) {
    Open();
    dialogs.ChooseItem(page, IDC_MODE_LIST, 1);
    dialogs.ClickCheckBox(page, IDC_PIXEL_DOUBLING);
    EXPECT_FALSE(IsFullscreen());
    dialogs.ClickButton(page, IDC_FULLSCREEN);
    EXPECT_TRUE(IsFullscreen());
    int32_t width = 0, height = 0;
    ASSERT_NE(BeginFrame(&width, &height), nullptr);
    PresentFrame();
    EXPECT_EQ(width, 320);
    EXPECT_EQ(height, 240);
    EXPECT_EQ(display.DisplayWidth(), 640);
}

TEST_F(DisplayPageTest, WithoutModesOffersTheNoticeWhichChangesNothing) {
    display.modes.clear();
    Open();
    ASSERT_EQ(Modes().items.size(), 1u);
    EXPECT_EQ(Modes().items[0].text, "no suitable (32bpp ARGB) modes found");
    EXPECT_EQ(Modes().selection, 0);
    dialogs.ChooseItem(page, IDC_MODE_LIST, 0);
    EXPECT_EQ(windowSettings.fsW, 320);
    EXPECT_EQ(windowSettings.fsH, 240);
}

TEST(ModeText, ReadsWidthAndHeight) {
    ModeSize size{};
    ASSERT_TRUE(ParseModeText("1024x768 32BPP", size));
    EXPECT_EQ(size.width, 1024);
    EXPECT_EQ(size.height, 768);
    ASSERT_TRUE(ParseModeText("no suitable", size));
    EXPECT_EQ(size.width, 0);
    EXPECT_EQ(size.height, 0);
    EXPECT_FALSE(ParseModeText("640", size));
    EXPECT_FALSE(ParseModeText("", size));
    ASSERT_TRUE(ParseModeText("99999999999x12", size));
    EXPECT_EQ(size.width, INT32_MAX);
    EXPECT_EQ(size.height, 12);
}

TEST_F(PanelTest, AboutPageShowsItsText) {
    SelectGlobal(0);
    const WindowHandle page = dialogs.LiveDialogs(IDD_ABOUT_PAGE).at(0);
    EXPECT_EQ(dialogs.Find(page)->initResult, 0);
    // Written out once more here, in one piece, so a slip in either copy shows.
    EXPECT_EQ(dialogs.ControlOf(page, IDC_ABOUT_TEXT).text,
              "Compiled on Mar  5 1999 at 17:12:09\r\n\r\nFeatures:\r\n  * 32BPP rendering, with extendable effect pipeline.\r\n  * Up to 256 simultaneous effect objects.\r\n  * 9 effect modules with many modes each\r\n  * Integrated beat detection\r\n  * Preset loading and saving (with up to 128kbytes per effect, 1 megabyte total)\r\n  * Fast windowed and fullscreen resizeable DirectDraw output\r\n\r\nIssues:\r\n  * Beat detection is STILL crap. I know. Working on something better.\r\n  * Not a lot of display options. Coming up are docking modes.\r\n  * This is just the beginning as far as effects go. Hopefully the next one will have about twice as many available.\r\n  * The plug-in tends to suck a lot of cycles. A LOT of CPU power. :)\r\n  * The add-in effect system isn't implemented yet. It will be pretty easy to do, though, and will be pretty cool.\r\n");
}
}  // namespace
