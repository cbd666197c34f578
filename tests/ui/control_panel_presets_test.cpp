#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "engine/preset_bytes.h"
#include "tests/ui/panel_fixture.h"
#include "tests/ui/ui_test_effects.h"

namespace {
using Names = std::vector<std::string>;
namespace fs = std::filesystem;

class PresetPanelTest : public PanelTest {
protected:
    void TearDown() override {
        std::error_code ignored;
        fs::remove(file, ignored);
        PanelTest::TearDown();
    }

    void WriteBytes(const std::vector<uint8_t>& bytes) {
        std::ofstream out(file, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    }
    std::vector<uint8_t> ReadBytes() {
        std::ifstream in(file, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }

    // The header, a clear byte of 0, then the entries' bytes.
    static std::vector<uint8_t> Preset(std::initializer_list<uint8_t> entries) {
        std::vector<uint8_t> bytes(kPresetHeader, kPresetHeader + kPresetHeaderBytes);
        bytes.push_back(0);
        bytes.insert(bytes.end(), entries);
        return bytes;
    }
    // A Zebra whose payload holds only its speed, 12, and an Aardvark.
    static std::vector<uint8_t> ZebraAardvarkPreset() {
        return Preset({0, 0, 0, 0, 4, 0, 0, 0, 12, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0});
    }

    // One file per test, so tests may run side by side.
    const std::string file =
        (fs::temp_directory_path() /
         ("qelv_panel_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) + ".qlp"))
            .string();
};

TEST_F(PresetPanelTest, LoadAsksWithTheFiltersTitleAndPluginDirectory) {
    dialogs.ClickButton(panel, IDC_LOAD);
    ASSERT_EQ(services.fileQuestions.size(), 1u);
    const auto& question = services.fileQuestions[0];
    EXPECT_FALSE(question.save);
    EXPECT_EQ(question.request.owner, panel);
    EXPECT_EQ(question.request.initialDirectory, "C:\\Host\\Plugins");
    EXPECT_EQ(question.request.initialFile, "");
    EXPECT_EQ(question.title, "Load Preset");
    EXPECT_EQ(question.defaultExtension, "qlp");
    EXPECT_EQ(question.request.flags, unsigned(kFileExplorerStyle | kFileHideReadOnly));
    using Filters = std::vector<std::pair<std::string, std::string>>;
    EXPECT_EQ(question.filters, (Filters{{"Qelv5 presets", "*.qlp"}, {"All files", "*.*"}}));
}

TEST_F(PresetPanelTest, LoadAndSaveStartInThePresetsFolderBesideThePlugin) {
    services.directories = {"C:\\Host\\Plugins\\presets"};
    dialogs.ClickButton(panel, IDC_LOAD);
    dialogs.ClickButton(panel, IDC_SAVE);
    ASSERT_EQ(services.fileQuestions.size(), 2u);
    for (const auto& question : services.fileQuestions)
        EXPECT_EQ(question.request.initialDirectory, "C:\\Host\\Plugins\\presets");
}

TEST_F(PresetPanelTest, CancelledLoadChangesNothingAndRestoresTheDirectory) {
    Add("Zebra v0.0");
    services.fileAnswers.push_back(std::nullopt);
    dialogs.ClickButton(panel, IDC_LOAD);
    EXPECT_EQ(ChainLength(engine.chain), 1);
    EXPECT_EQ(services.currentDirectory, "C:\\Host");
}

TEST_F(PresetPanelTest, LoadReplacesChainListPageAndClearBox) {
    Add("Heavy v0.0");
    SelectEffect(0);
    WriteBytes(ZebraAardvarkPreset());
    services.fileAnswers.push_back(file);
    dialogs.ClickButton(panel, IDC_LOAD);
    EXPECT_EQ(Items(IDC_ACTIVE_EFFECTS), (Names{"Zebra v0.0", "Aardvark v0.0"}));
    EXPECT_EQ(static_cast<ZebraEffect*>(engine.chain.effects[0])->speed, 12);
    EXPECT_EQ(engine.chain.framebufferClear, 0);
    EXPECT_FALSE(dialogs.IsChecked(panel, IDC_FRAMEBUFFER_CLEAR));
    EXPECT_TRUE(OpenPages().empty());
    EXPECT_EQ(Caption(), "No effect/setting selected");
    EXPECT_EQ(services.currentDirectory, "C:\\Host");
    SelectEffect(0);
    EXPECT_EQ(OpenPages().size(), 1u);
}

// The native player's preset keys replace the chain while the panel shows the old one.
TEST_F(PresetPanelTest, AChainReplacedFromOutsideClosesThePageFirstAndShowsTheNewChain) {
    Add("Heavy v0.0");
    SelectEffect(0);
    size_t pagesDuringLoad = 99;
    const bool loaded = ReplaceChainInPanel([&] {
        pagesDuringLoad = OpenPages().size();
        engine.chain.ClearChain();
        const std::vector<uint8_t> bytes = ZebraAardvarkPreset();
        ReadPresetBytes(engine.chain, bytes.data(), int32_t(bytes.size()));
        return true;
    });
    EXPECT_TRUE(loaded);
    EXPECT_EQ(pagesDuringLoad, 0u);
    EXPECT_EQ(Items(IDC_ACTIVE_EFFECTS), (Names{"Zebra v0.0", "Aardvark v0.0"}));
    EXPECT_FALSE(dialogs.IsChecked(panel, IDC_FRAMEBUFFER_CLEAR));
    EXPECT_EQ(Caption(), "No effect/setting selected");
}

TEST_F(PresetPanelTest, LoadingAWrongHeaderKeepsChainListAndPage) {
    Add("Zebra v0.0");
    SelectEffect(0);
    WriteBytes({'n', 'o', 't', ' ', 'a', ' ', 'p', 'r', 'e', 's', 'e', 't'});
    services.fileAnswers.push_back(file);
    dialogs.ClickButton(panel, IDC_LOAD);
    EXPECT_EQ(ChainLength(engine.chain), 1);
    EXPECT_EQ(Items(IDC_ACTIVE_EFFECTS), Names{"Zebra v0.0"});
    EXPECT_EQ(OpenPages().size(), 1u);
    ASSERT_EQ(recorded.messages.size(), 1u);
    EXPECT_EQ(recorded.messages[0].text, "Invalid Preset");
    EXPECT_EQ(recorded.messages[0].caption, "Read Preset");
    EXPECT_EQ(recorded.messages[0].owner, nullptr);
}

TEST_F(PresetPanelTest, AFileThatCannotBeOpenedKeepsTheChain) {
    Add("Zebra v0.0");
    services.fileAnswers.push_back(file + ".missing");
    dialogs.ClickButton(panel, IDC_LOAD);
    EXPECT_EQ(ChainLength(engine.chain), 1);
    EXPECT_EQ(Items(IDC_ACTIVE_EFFECTS), Names{"Zebra v0.0"});
    ASSERT_EQ(recorded.messages.size(), 1u);
    EXPECT_EQ(recorded.messages[0].text, "Error loading preset");
    EXPECT_EQ(recorded.messages[0].caption, "Load Preset");
    EXPECT_EQ(recorded.messages[0].owner, panel);
    EXPECT_EQ(services.currentDirectory, "C:\\Host");
}

TEST_F(PresetPanelTest, SaveWritesThePresetAndOffersTheLastPathNextTime) {
    Add("Zebra v0.0");
    Add("Aardvark v0.0");
    static_cast<ZebraEffect*>(engine.chain.effects[0])->speed = 12;
    dialogs.ClickCheckBox(panel, IDC_FRAMEBUFFER_CLEAR);
    services.fileAnswers.push_back(file);
    dialogs.ClickButton(panel, IDC_SAVE);
    // Zebra's payload is its speed and its colour.
    const std::vector<uint8_t> expected =
        Preset({0, 0, 0, 0, 8, 0, 0, 0, 12, 0, 0, 0, 0x33, 0x22, 0x11, 0, 1, 0, 0, 0, 0, 0, 0, 0});
    EXPECT_EQ(ReadBytes(), expected);
    EXPECT_TRUE(recorded.messages.empty());
    EXPECT_EQ(services.currentDirectory, "C:\\Host");

    dialogs.ClickButton(panel, IDC_SAVE);
    const auto& question = services.fileQuestions.back();
    EXPECT_TRUE(question.save);
    EXPECT_EQ(question.request.initialFile, file);
    EXPECT_EQ(question.title, "Save Preset");
    EXPECT_EQ(question.request.flags, unsigned(kFileExplorerStyle | kFileHideReadOnly | kFileOverwritePrompt));
}

TEST_F(PresetPanelTest, APresetTooLargeIsReportedAndNotWritten) {
    for (int i = 0; i < 8; ++i) Add("Heavy v0.0");
    services.fileAnswers.push_back(file);
    dialogs.ClickButton(panel, IDC_SAVE);
    EXPECT_FALSE(fs::exists(file));
    ASSERT_EQ(recorded.messages.size(), 1u);
    EXPECT_EQ(recorded.messages[0].text, "Preset too large");
    EXPECT_EQ(recorded.messages[0].caption, "Save Preset");
}

TEST_F(PresetPanelTest, AFileThatCannotBeCreatedIsReported) {
    services.fileAnswers.push_back((fs::temp_directory_path() / "qelv-no-such-dir" / "x.qlp").string());
    dialogs.ClickButton(panel, IDC_SAVE);
    ASSERT_EQ(recorded.messages.size(), 1u);
    EXPECT_EQ(recorded.messages[0].text, "Error saving preset");
    EXPECT_EQ(recorded.messages[0].caption, "Save Preset");
}

// A disk that fills part-way through the save: reported, and the old preset kept whole.
TEST_F(PresetPanelTest, ASaveThatFailsPartWayKeepsTheOldFile) {
    const std::vector<uint8_t> old = ZebraAardvarkPreset();
    WriteBytes(old);
    Add("Zebra v0.0");
    Add("Zebra v0.0");
    recorded.failWriteAfter = 30;
    services.fileAnswers.push_back(file);
    dialogs.ClickButton(panel, IDC_SAVE);
    EXPECT_EQ(ReadBytes(), old);
    EXPECT_FALSE(fs::exists(file + ".new"));
    ASSERT_EQ(recorded.messages.size(), 1u);
    EXPECT_EQ(recorded.messages[0].text, "Error saving preset");
    EXPECT_EQ(recorded.messages[0].caption, "Save Preset");
}

#ifdef __linux__
TEST_F(PresetPanelTest, AWriteThatFailsIsReportedNotTakenForSuccess) {
    services.fileAnswers.push_back("/dev/full");
    dialogs.ClickButton(panel, IDC_SAVE);
    ASSERT_EQ(recorded.messages.size(), 1u);
    EXPECT_EQ(recorded.messages[0].text, "Error saving preset");
}
#endif

TEST_F(PresetPanelTest, NoLockIsHeldWhileAChooserWaitsForTheUser) {
    int lockedWhileOpen = 0;
    services.whileOpen = [&] {
        if (engine.chain.renderLock.try_lock()) engine.chain.renderLock.unlock();
        else ++lockedWhileOpen;
    };
    WriteBytes(ZebraAardvarkPreset());
    services.fileAnswers.push_back(file);
    dialogs.ClickButton(panel, IDC_LOAD);
    services.fileAnswers.push_back(file);
    dialogs.ClickButton(panel, IDC_SAVE);
    EXPECT_EQ(services.fileQuestions.size(), 2u);
    EXPECT_EQ(lockedWhileOpen, 0);
}
}  // namespace
