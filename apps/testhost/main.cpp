// A stand-in for the host player: loads the plug-in DLL by path, calls its entry points
// in the host's order and feeds it sample blocks from a sample-stream file (or a quiet
// pulse) at a steady pace while pumping the window thread's messages.
//
//   testhost.exe [--dll PATH] [--samples FILE.qsb] [--seconds N] [--cycles N]
//
// Each cycle calls Init, feeds blocks for the given seconds and calls Quit; Config is
// called before the first Init and after every Quit, as a host may. Prints what a tester
// needs to see ("init 0", the output window's client rectangle, the frame-rate line,
// "quit after N ms", the process's threads and handles after each Quit) and exits with
// the value Init last returned.
#include <windows.h>
#include <tlhelp32.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "core/vis_module.h"

namespace {
constexpr size_t kBlockBytes = 2304;

struct Options {
    std::string dll = "qelv.dll";
    std::string samples;
    double seconds = 3;
    int cycles = 1;
    bool exercisePanel = false;
    bool fullscreen = false;
};

bool ParseOptions(int argc, char** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        if (a == "--exercise-panel" || a == "--fullscreen") {
            (a == "--fullscreen" ? options.fullscreen : options.exercisePanel) = true;
            continue;
        }
        if (i + 1 >= argc) return false;
        if (a == "--dll") options.dll = argv[++i];
        else if (a == "--samples") options.samples = argv[++i];
        else if (a == "--seconds") options.seconds = std::atof(argv[++i]);
        else if (a == "--cycles") options.cycles = std::atoi(argv[++i]);
        else return false;
    }
    return true;
}

std::vector<uint8_t> ReadBlocks(const std::string& path) {
    std::vector<uint8_t> data;
    if (FILE* f = std::fopen(path.c_str(), "rb")) {
        uint8_t chunk[kBlockBytes];
        while (std::fread(chunk, 1, kBlockBytes, f) == kBlockBytes) data.insert(data.end(), chunk, chunk + kBlockBytes);
        std::fclose(f);
    }
    return data;
}

// Without a stream: a bass pulse twice a second, so beats and spectra both move.
void PulseBlock(uint8_t* block, int index) {
    std::memset(block, 0, kBlockBytes);
    const bool loud = index % 25 < 3;
    for (int bin = 0; bin < 576; ++bin) {
        const int v = loud ? 255 - bin / 3 : 40 - bin / 16;
        block[bin] = block[576 + bin] = uint8_t(v < 0 ? 0 : v);
    }
    for (int s = 0; s < 576; ++s) block[1152 + s] = block[1728 + s] = uint8_t((s * 7 + index * 13) & 0x3F);
}

// The output window's client area in screen coordinates, for screenshots.
void PrintClientRectangle() {
    HWND window = FindWindowA("qelv_5", nullptr);
    RECT client;
    POINT origin = {0, 0};
    if (!window || !GetClientRect(window, &client) || !ClientToScreen(window, &origin)) return;
    std::printf("client %ld %ld %ld %ld\n", origin.x, origin.y, client.right, client.bottom);
}

void PumpMessagesFor(double seconds) {
    const DWORD end = GetTickCount() + DWORD(seconds * 1000);
    while (GetTickCount() < end) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        Sleep(5);
    }
}

// Drives the control panel as a user's clicks would: a right click on the output window,
// an effect chosen in the library and added, then the display settings page opened.
// Prints what it finds, one "panel ..." line per step.
void ExercisePanel() {
    HWND output = FindWindowA("qelv_5", nullptr);
    HWND panel = FindWindowA(nullptr, "Qelv 5 - Control Panel");
    if (!output || !panel) {
        std::printf("panel missing\n");
        return;
    }
    SendMessageA(output, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(10, 10));
    std::printf("panel visible %d\n", IsWindowVisible(panel) ? 1 : 0);

    HWND library = GetDlgItem(panel, 1005), active = GetDlgItem(panel, 1000), global = GetDlgItem(panel, 1003);
    const LRESULT item = SendMessageA(library, CB_FINDSTRINGEXACT, WPARAM(-1), LPARAM("Fadeout v0.0"));
    SendMessageA(library, CB_SETCURSEL, WPARAM(item), 0);
    SendMessageA(panel, WM_COMMAND, MAKEWPARAM(1005, CBN_SELCHANGE), LPARAM(library));
    SendMessageA(panel, WM_COMMAND, MAKEWPARAM(1006, BN_CLICKED), LPARAM(GetDlgItem(panel, 1006)));
    char name[64] = {};
    SendMessageA(active, LB_GETTEXT, 0, LPARAM(name));
    std::printf("panel effects %ld first \"%s\"\n", long(SendMessageA(active, LB_GETCOUNT, 0, 0)), name);

    SendMessageA(global, LB_SETCURSEL, 1, 0);
    SendMessageA(panel, WM_COMMAND, MAKEWPARAM(1003, LBN_SELCHANGE), LPARAM(global));
    char caption[64] = {};
    GetDlgItemTextA(panel, 1022, caption, sizeof caption);
    HWND modes = nullptr;
    for (HWND child = GetWindow(panel, GW_CHILD); child && !modes; child = GetWindow(child, GW_HWNDNEXT))
        modes = GetDlgItem(child, 1027);
    std::printf("panel page \"%s\" modes %ld\n", caption, modes ? long(SendMessageA(modes, CB_GETCOUNT, 0, 0)) : -1L);
    std::fflush(stdout);
}

void PrintScreen(const char* when) {
    DEVMODEA mode = {};
    mode.dmSize = sizeof mode;
    EnumDisplaySettingsA(nullptr, ENUM_CURRENT_SETTINGS, &mode);
    std::printf("%s screen %lux%lu\n", when, mode.dmPelsWidth, mode.dmPelsHeight);
    std::fflush(stdout);
}

// Asks for full screen at 640 x 480 through the display settings page's "Fullscreen"
// button, then leaves it with a click on the output window, as a user would.
void RunFullscreen(double seconds) {
    HWND output = FindWindowA("qelv_5", nullptr);
    HWND panel = FindWindowA(nullptr, "Qelv 5 - Control Panel");
    if (!output || !panel) {
        std::printf("panel missing\n");
        return;
    }
    HWND global = GetDlgItem(panel, 1003);
    SendMessageA(global, LB_SETCURSEL, 1, 0);
    SendMessageA(panel, WM_COMMAND, MAKEWPARAM(1003, LBN_SELCHANGE), LPARAM(global));
    HWND page = nullptr, modes = nullptr;
    for (HWND child = GetWindow(panel, GW_CHILD); child && !modes; child = GetWindow(child, GW_HWNDNEXT))
        if ((modes = GetDlgItem(child, 1027))) page = child;
    if (!page) {
        std::printf("display page missing\n");
        return;
    }
    const LRESULT item = SendMessageA(modes, CB_FINDSTRINGEXACT, WPARAM(-1), LPARAM("640x480 32BPP"));
    if (item != CB_ERR) {
        SendMessageA(modes, CB_SETCURSEL, WPARAM(item), 0);
        SendMessageA(page, WM_COMMAND, MAKEWPARAM(1027, CBN_SELCHANGE), LPARAM(modes));
    }
    std::printf("mode 640x480 offered %d\n", item != CB_ERR ? 1 : 0);
    SendMessageA(page, WM_COMMAND, MAKEWPARAM(1016, BN_CLICKED), LPARAM(GetDlgItem(page, 1016)));
    PumpMessagesFor(seconds);
    PrintScreen("full");
    SendMessageA(output, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    // The window takes its own size again 2000 ms after leaving.
    PumpMessagesFor(2.5);
    PrintScreen("left");
    PrintClientRectangle();
}

std::string PanelFrameRate() {
    HWND panel = FindWindowA(nullptr, "Qelv 5 - Control Panel");
    char text[64] = {};
    if (panel) GetDlgItemTextA(panel, 1020, text, sizeof text);
    return text;
}

// A plug-in that leaks threads or handles makes these grow from cycle to cycle.
void PrintThreadsAndHandles() {
    DWORD handles = 0;
    GetProcessHandleCount(GetCurrentProcess(), &handles);
    int threads = 0;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (snapshot != INVALID_HANDLE_VALUE) {
        THREADENTRY32 entry{};
        entry.dwSize = sizeof entry;
        for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry))
            threads += entry.th32OwnerProcessID == GetCurrentProcessId();
        CloseHandle(snapshot);
    }
    std::printf("threads %d handles %lu\n", threads, static_cast<unsigned long>(handles));
}
}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (!ParseOptions(argc, argv, options)) {
        std::fprintf(stderr, "usage: testhost.exe [--dll PATH] [--samples FILE.qsb] [--seconds N]\n");
        return 2;
    }
    HMODULE library = LoadLibraryA(options.dll.c_str());
    if (!library) {
        std::fprintf(stderr, "cannot load %s\n", options.dll.c_str());
        return 2;
    }
    auto getHeader = reinterpret_cast<PluginHeader* (*)()>(reinterpret_cast<void*>(GetProcAddress(library, "vambloVisGetHeader")));
    if (!getHeader) {
        std::fprintf(stderr, "no vambloVisGetHeader export\n");
        return 2;
    }
    PluginHeader* header = getHeader();
    VisModule* module = header->moduleAt(0);
    std::printf("header 0x%x \"%s\"\n", unsigned(header->headerVersion), header->headerTitle);
    module->parentWindow = nullptr;
    module->instance = library;
    module->configProc(module);

    const std::vector<uint8_t> blocks = options.samples.empty() ? std::vector<uint8_t>() : ReadBlocks(options.samples);
    int32_t init = 0;
    for (int cycle = 0; cycle < options.cycles; ++cycle) {
        init = module->initProc(module);
        std::printf("init %d\n", init);
        std::fflush(stdout);
        if (init != 0) break;

        std::atomic<bool> stop{false};
        std::atomic<int> rendered{0};
        std::thread feeder([&] {
            uint8_t block[kBlockBytes];
            for (int i = 0; !stop; ++i) {
                const size_t count = blocks.size() / kBlockBytes;
                if (count) std::memcpy(block, &blocks[(i % count) * kBlockBytes], kBlockBytes);
                else PulseBlock(block, i);
                std::memcpy(module->spectrum, block, 1152);
                std::memcpy(module->waveform, block + 1152, 1152);
                module->renderProc(module);
                ++rendered;
                Sleep(20);
            }
        });
        PumpMessagesFor(options.seconds / 2);
        PrintClientRectangle();
        if (options.exercisePanel) ExercisePanel();
        if (options.fullscreen) RunFullscreen(options.seconds / 2);
        PumpMessagesFor(options.seconds / 2);
        const std::string fps = PanelFrameRate();
        stop = true;
        feeder.join();
        std::printf("blocks %d\n", rendered.load());
        std::printf("frame rate: %s\n", fps.empty() ? "(not shown)" : fps.c_str());
        const DWORD before = GetTickCount();
        module->quitProc(module);
        std::printf("quit after %lu ms\n", GetTickCount() - before);
        PrintThreadsAndHandles();
        module->configProc(module);
        std::fflush(stdout);
    }
    FreeLibrary(library);
    return init;
}
