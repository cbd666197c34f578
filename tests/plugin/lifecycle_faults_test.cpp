// Init and Quit again and again with a fault at each point where a start can fail.
// Linux only: a thread start is made to fail by standing in for pthread_create, and
// threads are counted in /proc/self/task.
#ifdef __linux__
#include <dlfcn.h>
#include <pthread.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <thread>
#include <vector>

#include "plugin/lifecycle.h"
#include "output/frame_surface.h"
#include "output/output_window.h"
#include "engine/autosave.h"
#include "engine/effect_chain.h"
#include "engine/preset_bytes.h"
#include "platform/display_device.h"
#include "backends/headless/headless_display.h"
#include "backends/headless/headless_window.h"
#include "backends/headless/memory_dialogs.h"
#include "backends/headless/recording_shell.h"
#include "platform/window_system.h"

namespace {
std::atomic<bool> failThreadStart{false};
}  // namespace

// Every thread of this program starts here; the real start is the next definition.
extern "C" int pthread_create(pthread_t* thread, const pthread_attr_t* attributes, void* (*routine)(void*),
                              void* argument) {
    using Create = int (*)(pthread_t*, const pthread_attr_t*, void* (*)(void*), void*);
    static const Create next = reinterpret_cast<Create>(dlsym(RTLD_NEXT, "pthread_create"));
    if (failThreadStart.load()) return EAGAIN;
    return next(thread, attributes, routine, argument);
}

namespace {
namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;

enum class Fault {
    none, windowClass, window, device, surface, threadStart, autosaveMissing, autosaveDamaged, autosaveWrite,
    fullscreen, exclusiveLevel, displayMode, primary, backBuffer,
};
// Starts that fail: Init returns 1, shows this message and leaves nothing behind.
struct FailedStart {
    Fault fault;
    const char* text;
    const char* caption;
};
constexpr FailedStart kFailedStarts[] = {
    {Fault::windowClass, "Error registering window class", "Error"},
    {Fault::window, "Error creating window", "Error"},
    {Fault::device, "Error creating ddraw object", "DDraw"},
    {Fault::surface, "Error creating surfaces", "DDraw"},
    {Fault::threadStart, nullptr, nullptr},  // nothing is shown
};
constexpr Fault kStartFaults[] = {Fault::none,        Fault::windowClass,     Fault::window,
                                  Fault::device,      Fault::surface,         Fault::threadStart,
                                  Fault::autosaveMissing, Fault::autosaveDamaged, Fault::autosaveWrite};
// A switch waits for the render thread's next frame, so these run less often.
constexpr Fault kScreenFaults[] = {Fault::fullscreen, Fault::exclusiveLevel, Fault::displayMode, Fault::primary,
                                   Fault::backBuffer};

const FailedStart* FailureOf(Fault fault) {
    for (const FailedStart& f : kFailedStarts)
        if (f.fault == fault) return &f;
    return nullptr;
}

int ThreadCount() {
    return int(std::distance(fs::directory_iterator("/proc/self/task"), fs::directory_iterator()));
}

// The bound only guards against a hang.
bool WaitUntil(const std::function<bool()>& done) {
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!done()) {
        if (std::chrono::steady_clock::now() > giveUp) return false;
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    return true;
}

Bytes FileBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

Bytes ChainBytes() {
    static Bytes buffer(kPresetCapacity);  // one, so that the cycles do not spend their time zeroing
    return Bytes(buffer.begin(), buffer.begin() + WritePresetBytes(pluginEngine.chain, buffer.data(), kPresetCapacity));
}

// Display objects made and not yet released, from the display's log.
int LiveDisplayObjects(const HeadlessDisplay& display) {
    int live = 0;
    for (const std::string& op : display.Operations()) {
        if (op.size() > 7 && op.compare(op.size() - 7, 7, " failed") == 0) continue;
        if (op == "device" || op.rfind("offscreen ", 0) == 0 || op == "primary" || op == "back buffer") ++live;
        if (op.rfind("release ", 0) == 0) --live;
    }
    return live;
}

struct LifecycleFaults : ::testing::Test {
    void SetUp() override {
        fs::remove_all(dir);
        fs::create_directories(dir);
        InstallShell(&shell);
        InstallWindowSystem(&windows);
        InstallDisplayDriver(&display);
        InstallDialogControls(&dialogs);
    }
    void TearDown() override {
        failThreadStart = false;
        InstallDialogControls(nullptr);
        InstallDisplayDriver(nullptr);
        InstallWindowSystem(nullptr);
        InstallShell(nullptr);
        fs::remove_all(dir);
    }

    void Arrange(Fault fault, int cycle) {
        windows.failRegistration = fault == Fault::windowClass;
        windows.failCreation = fault == Fault::window;
        display.faults = {};
        display.faults.device = fault == Fault::device;
        display.faults.offscreen = fault == Fault::surface;
        display.faults.exclusiveLevel = fault == Fault::exclusiveLevel;
        display.faults.displayMode = fault == Fault::displayMode;
        display.faults.primary = fault == Fault::primary;
        display.faults.backBuffer = fault == Fault::backBuffer;
        failThreadStart = fault == Fault::threadStart;
        shell.failWriteAfter = -1;
        if (fault == Fault::autosaveMissing) fs::remove(autosave);
        if (fault == Fault::autosaveDamaged) std::ofstream(autosave, std::ios::binary) << "Qelv garbage " << cycle;
        shell.messages.clear();
        display.ClearOperations();
    }

    // The chain the autosave file holds, as Init should have read it.
    Bytes ChainInFile(Fault fault, const Bytes& file) const {
        if (fault == Fault::autosaveMissing || fault == Fault::autosaveDamaged || file.empty()) return emptyChain;
        return file;
    }

    // The user's work of one run: the chain grows by one effect, and loses its first
    // when it gets long.
    void Edit(int cycle) {
        pluginEngine.chain.AppendEffect((cycle / 9) % 9);
        if (ChainLength(pluginEngine.chain) > 5) pluginEngine.chain.RemoveEffect(0);
    }

    void SwitchScreen(Fault fault) {
        RequestDisplayMode(1, 640, 480, 0);
        if (fault == Fault::fullscreen) {
            ASSERT_TRUE(WaitUntil([&] { return display.FrameCounts().flips > 0; }));
        } else {
            ASSERT_TRUE(WaitUntil([&] { return !IsFullscreen(); }));
            const auto log = display.Operations();
            EXPECT_EQ(std::count(log.begin(), log.end(), "hide cursor"), 0);  // the cursor stays
            EXPECT_EQ(display.DisplayWidth(), display.desktopWidth);
        }
    }

    // Nothing of the run is left: no thread, window, class, panel, surface or effect.
    void ExpectStopped(int baseThreads) {
        EXPECT_EQ(renderThread, nullptr);
        EXPECT_EQ(ChainLength(pluginEngine.chain), 0);
        EXPECT_EQ(OutputWindowHandle(), nullptr);
        EXPECT_TRUE(windows.registeredClasses.empty());
        EXPECT_TRUE(dialogs.LiveDialogs(101).empty());
        EXPECT_EQ(LiveDisplayObjects(display), 0);
        EXPECT_EQ(display.DisplayWidth(), display.desktopWidth);
        // A joined thread may linger in the task list for a moment.
        EXPECT_TRUE(WaitUntil([&] { return ThreadCount() == baseThreads; })) << ThreadCount() << " threads";
        EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), fs::exists(autosave) ? 1 : 0)
            << "a temporary file was left";
    }

    const fs::path dir = fs::temp_directory_path() / "qelv-lifecycle-faults";
    const fs::path autosave = dir / kAutosaveFileName;
    RecordingShell shell{dir.string()};
    HeadlessWindowSystem windows;
    HeadlessDisplay display;
    MemoryDialogs dialogs;
    VisModule* module = moduleAt(0);
    Bytes emptyChain;
};

TEST_F(LifecycleFaults, EveryCycleEndsStoppedAndAFailedWriteKeepsThePreviousAutosave) {
    // Under a sanitizer every cycle's fresh megabytes cost shadow memory: fewer cycles there.
#if defined(__SANITIZE_THREAD__) || defined(__SANITIZE_ADDRESS__)
    constexpr int kCycles = 160;
#else
    constexpr int kCycles = 1000;
#endif
    // The thread sanitizer starts a helper thread of its own with the first thread.
    std::thread([] {}).join();
    const int baseThreads = ThreadCount();
    emptyChain = ChainBytes();
    int ran[14] = {};
    for (int cycle = 0; cycle < kCycles; ++cycle) {
        const Fault fault = cycle % 16 == 15 ? kScreenFaults[(cycle / 16) % 5] : kStartFaults[cycle % 9];
        SCOPED_TRACE("cycle " + std::to_string(cycle) + ", fault " + std::to_string(int(fault)));
        ++ran[int(fault)];
        Arrange(fault, cycle);
        const Bytes before = FileBytes(autosave);

        const FailedStart* failure = FailureOf(fault);
        ASSERT_EQ(Init(module), failure ? 1 : 0);
        if (failure) {
            if (failure->text) {
                ASSERT_EQ(shell.messages.size(), 1u);
                EXPECT_EQ(shell.messages[0].text, failure->text);
                EXPECT_EQ(shell.messages[0].caption, failure->caption);
            } else {
                EXPECT_TRUE(shell.messages.empty());
            }
            ExpectStopped(baseThreads);
            Quit(module);  // nothing to stop, nothing written
            EXPECT_EQ(FileBytes(autosave), before);
            ExpectStopped(baseThreads);
            if (HasFailure()) return;
            continue;
        }

        EXPECT_EQ(ChainBytes(), ChainInFile(fault, before));
        EXPECT_EQ(shell.messages.size(), fault == Fault::autosaveDamaged ? 1u : 0u);
        Edit(cycle);
        if (fault >= Fault::fullscreen) SwitchScreen(fault);
        const Bytes atQuit = ChainBytes();
        if (fault == Fault::autosaveWrite) shell.failWriteAfter = long(cycle % atQuit.size());
        Quit(module);
        EXPECT_EQ(FileBytes(autosave), fault == Fault::autosaveWrite ? before : atQuit);
        ExpectStopped(baseThreads);
        if (HasFailure()) return;
    }
    for (int kind = 0; kind < 14; ++kind) EXPECT_GE(ran[kind], kCycles / 100) << "fault " << kind;
}
}  // namespace
#endif
