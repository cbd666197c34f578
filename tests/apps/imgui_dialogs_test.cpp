#include "backends/native/imgui_dialogs.h"
#include "backends/native/imgui_dialog_services.h"
#include "backends/native/recent_folders.h"

#include <gtest/gtest.h>
#include <imgui.h>
#include <unistd.h>

#include <filesystem>

#include "core/vis_module.h"
#include "engine/engine.h"
#include "backends/headless/recording_shell.h"
#include "backends/headless/scripted_dialog_services.h"
#include "ui/control_panel.h"
#include "ui/resource_ids.h"

namespace {
// The panel over the ImGui dialogs, driven through their user-side calls.
class ImGuiPanelTest : public ::testing::Test {
protected:
    void SetUp() override {
        InstallDialogControls(&dialogs);
        InstallDialogServices(&services);
        InstallShell(&shell);
        module.instance = &module;
        panel = OpenControlPanel(&module, engine);
        ASSERT_NE(panel, nullptr);
    }
    void TearDown() override {
        CloseControlPanel();
        InstallDialogControls(nullptr);
        InstallDialogServices(nullptr);
        InstallShell(nullptr);
        EXPECT_EQ(dialogs.deadWindowCalls, 0);
    }

    int LibraryIndex(const std::string& name) {
        const auto& items = dialogs.ControlOf(panel, IDC_LIBRARY).items;
        for (size_t i = 0; i < items.size(); ++i)
            if (items[i].text == name) return int(i);
        return kNoItem;
    }

    void Add(const std::string& name) {
        dialogs.SetSelection(panel, IDC_LIBRARY, LibraryIndex(name));
        dialogs.ClickButton(panel, IDC_ADD);
    }

    Engine engine;
    ImGuiDialogs dialogs;
    ScriptedDialogServices services;
    RecordingShell shell;
    VisModule module{};
    WindowHandle panel = nullptr;
};

TEST_F(ImGuiPanelTest, TemplateTextsComeFromTheResourceScript) {
    EXPECT_EQ(dialogs.Text(panel, IDC_PAGE_CAPTION), "No effect/setting selected");
    EXPECT_EQ(dialogs.Text(panel, IDC_ADD), "<- add");
    // The library sorts, as its template says.
    const auto& library = dialogs.ControlOf(panel, IDC_LIBRARY).items;
    ASSERT_GE(library.size(), 2u);
    for (size_t i = 1; i < library.size(); ++i) EXPECT_LT(library[i - 1].text, library[i].text);
}

TEST_F(ImGuiPanelTest, AddingFromTheLibraryGrowsTheChainAndOpensThePage) {
    ASSERT_NE(LibraryIndex("Fadeout v0.0"), kNoItem);
    Add("Fadeout v0.0");
    EXPECT_EQ(ChainLength(engine.chain), 1);
    ASSERT_EQ(dialogs.ControlOf(panel, IDC_ACTIVE_EFFECTS).items.size(), 1u);
    EXPECT_EQ(dialogs.ControlOf(panel, IDC_ACTIVE_EFFECTS).items[0].text, "Fadeout v0.0");
    dialogs.ChooseItem(panel, IDC_ACTIVE_EFFECTS, 0);
    auto pages = dialogs.LiveDialogs(IDD_FADEOUT_PAGE);
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_EQ(dialogs.Find(pages[0])->placedOver, IDC_PAGE_AREA);
}

TEST_F(ImGuiPanelTest, DrawsThePanelWithItsPageWithoutADisplay) {
    Add("SimpleVis v0.0");
    dialogs.ChooseItem(panel, IDC_ACTIVE_EFFECTS, 0);
    EXPECT_FALSE(dialogs.Shown());
    ToggleControlPanel();
    EXPECT_TRUE(dialogs.Shown());

    ImGuiContext* context = ImGui::CreateContext();
    ImGuiIO& io = ImGui::GetIO();
    io.DisplaySize = {1024, 768};
    io.IniFilename = nullptr;
    unsigned char* pixels = nullptr;
    int width = 0, height = 0;
    io.Fonts->GetTexDataAsRGBA32(&pixels, &width, &height);
    // A window that sizes itself to its contents shows from its second frame on.
    for (int frame = 0; frame < 2; ++frame) {
        ImGui::NewFrame();
        dialogs.Draw();
        ImGui::Render();
    }
    const ImDrawData* drawn = ImGui::GetDrawData();
    EXPECT_GT(drawn->TotalVtxCount, 1000);
    ImGui::DestroyContext(context);

    // Nothing was clicked, so the handlers hear nothing.
    dialogs.AfterFrame();
    EXPECT_EQ(ChainLength(engine.chain), 1);
}

TEST_F(ImGuiPanelTest, ShownFrameRateArrivesWithTheNextActions) {
    ShowFrameRate("50.0 fps");
    EXPECT_EQ(dialogs.Text(panel, IDC_FRAME_RATE), "");
    dialogs.AfterFrame();
    EXPECT_EQ(dialogs.Text(panel, IDC_FRAME_RATE), "50.0 fps");
    // It keeps coming while a chooser waits.
    ShowFrameRate("49.0 fps");
    dialogs.AfterFrameBehindChooser();
    EXPECT_EQ(dialogs.Text(panel, IDC_FRAME_RATE), "49.0 fps");
}
}  // namespace

namespace {
TEST(ImGuiDialogServices, AChooserLeftWithoutAnAnswerIsCancelled) {
    // The window was closed before the popup had a frame.
    ImGuiDialogServices choosers([](const std::function<bool()>&) {});
    std::string path = "unchanged";
    EXPECT_FALSE(choosers.ChooseOpenFile(FileDialogRequest{}, path));
    EXPECT_FALSE(choosers.ChooseSaveFile(FileDialogRequest{}, path));
    EXPECT_EQ(path, "unchanged");
    uint32_t colour = 0x123456, custom[16] = {};
    EXPECT_FALSE(choosers.ChooseColour(nullptr, colour, custom));
    EXPECT_EQ(colour, 0x123456u);
}

TEST(ImGuiDialogServices, AnUnusableWorkingDirectoryLeavesTheCurrentOne) {
    ImGuiDialogServices choosers([](const std::function<bool()>&) {});
    const std::string here = choosers.WorkingDirectory();
    ASSERT_FALSE(here.empty());
    choosers.SetWorkingDirectory("/no/such/directory/anywhere");
    EXPECT_EQ(choosers.WorkingDirectory(), here);
    EXPECT_FALSE(choosers.ModuleFileName(nullptr).empty());
}
}  // namespace

namespace {
// Runs a chooser's popup in ImGui frames without a display, holding Enter down on one frame.
class HeadlessModal {
public:
    explicit HeadlessModal(int enterFrame) : enterFrame(enterFrame) {}
    void operator()(const std::function<bool()>& popup) {
        ImGuiContext* context = ImGui::CreateContext();
        ImGuiIO& io = ImGui::GetIO();
        io.DisplaySize = {1024, 768};
        io.IniFilename = nullptr;
        io.KeyMap[ImGuiKey_Enter] = 13;
        unsigned char* pixels = nullptr;
        int width = 0, height = 0;
        io.Fonts->GetTexDataAsRGBA32(&pixels, &width, &height);
        bool open = true;
        for (frames = 0; open && frames < 30; ++frames) {
            io.KeysDown[13] = frames == enterFrame;
            ImGui::NewFrame();
            open = popup();
            ImGui::Render();
        }
        ImGui::DestroyContext(context);
    }
    int enterFrame, frames = 0;
};

TEST(ImGuiDialogServices, EnterSavesUnderTheTypedNameAndTheFolderIsRemembered) {
    namespace fs = std::filesystem;
    const fs::path folder = fs::temp_directory_path() / ("qelv-chooser-" + std::to_string(getpid()));
    fs::create_directories(folder);
    RecordingShell shell;
    InstallShell(&shell);
    ImGuiDialogServices::Places places;
    places.recentFile = (folder / "recent-folders").string();
    HeadlessModal modal(5);
    ImGuiDialogServices choosers(std::ref(modal), places);
    const FileFilter filters[] = {{"Presets", "*.qlp"}};
    FileDialogRequest request;
    request.initialFile = (folder / "mine").string();  // a full path starts in its folder
    request.filters = filters;
    request.filterCount = 1;
    request.defaultExtension = "qlp";
    std::string path;
    EXPECT_TRUE(choosers.ChooseSaveFile(request, path));
    EXPECT_EQ(path, (folder / "mine.qlp").string());
    EXPECT_LT(modal.frames, 30);
    RecentFolders kept;
    std::string error;
    ASSERT_TRUE(kept.Read(places.recentFile, error)) << error;
    EXPECT_EQ(kept.folders(), std::vector<std::string>{folder.string()});

    // Without Enter the chooser stays open until its caller's frames run out.
    modal.enterFrame = -1;
    EXPECT_FALSE(choosers.ChooseOpenFile(request, path));
    EXPECT_EQ(modal.frames, 30);
    InstallShell(nullptr);
    fs::remove_all(folder);
}
}  // namespace
