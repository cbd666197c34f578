#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "apps/qelv/play/capture_source.h"
#include "apps/qelv/commands.h"
#include "host/preset_loading.h"
#include "host/default_chain.h"
#include "apps/qelv/play/fullscreen_modes.h"
#include "apps/qelv/play/play_memory.h"
#include "apps/qelv/play/play_options.h"
#include "apps/qelv/play/play_session.h"
#include "apps/qelv/play/playlist.h"
#include "apps/qelv/play/playlist_source.h"
#include "apps/qelv/play/preset_folder.h"
#include "host/preset_library.h"
#include "core/mmx.h"
#include "engine/autosave.h"
#include "engine/engine.h"
#include "engine/preset_bytes.h"
#include "engine/frame_rate.h"
#include "backends/native/beat_meter.h"
#include "backends/native/imgui_dialog_services.h"
#include "backends/native/imgui_dialogs.h"
#include "backends/native/native_shell.h"
#include "backends/native/sdl_audio_output.h"
#include "backends/native/sdl_player_window.h"
#include "backends/native/silent_clock.h"
#include "backends/native/sound_capture.h"
#include "player/audio.h"
#include "ui/control_panel.h"
#include "ui/resource_ids.h"
#include "backends/native/tool_messages.h"

namespace {
constexpr int kFailed = 1, kBadArguments = 2;
// The pace of a silent sample stream: any rate will do, the blocks set the timing.
constexpr int kSilentRate = 48000;
// Live sound is analysed at the demo track's rate, so its spectrum has the same bins.
constexpr int kCaptureRate = 44100;

// Entry i of the list: a file of the playlist, or else the one stream or the demo, read
// as it plays, so a track of any length starts at once, in small memory.
bool LoadEntry(const PlayOptions& options, const std::vector<std::string>& files, size_t i, PlaylistTrack& track,
               std::string& error) {
    const RenderOptions& input = options.input;
    track = std::make_unique<TrackStream>(input.fps);
    if (input.source == SampleSource::SampleStream) return track->OpenSampleStream(input.inputPath, kSilentRate, error);
    return track->Open(files.empty() ? std::string() : files[i], options.sound, error);
}

// A silent clock for silence, a sample stream or when asked for, and when no sound device
// opens. Going without sound is said once, not for every track, and so is sound coming
// back with a later track; a device lost part-way leaves the track to play on silently.
std::unique_ptr<PlaybackClock> OpenClock(const PlaylistTrack& track) {
    if (!track) return OpenSilentClock(kSilentRate);
    TrackStream& stream = *track;
    if (!stream.soundKept()) return OpenSilentClock(stream.sampleRate());
    static bool silenced = false;
    std::string error;
    auto pull = [&stream](float* interleaved, size_t frames) { return stream.TakeSound(interleaved, frames); };
    auto lost = [&stream] {
        std::fprintf(ToolMessages(), "qelv play: the sound device is lost; playing on silently\n");
        silenced = true;
        stream.DiscardSound();
    };
    if (auto output = OpenSdlAudio(stream.sampleRate(), pull, lost, error)) {
        if (silenced) std::fprintf(ToolMessages(), "qelv play: playing with sound again\n");
        silenced = false;
        return output;
    }
    if (!silenced) std::fprintf(ToolMessages(), "qelv play: no sound device (%s); playing silently\n", error.c_str());
    silenced = true;
    stream.DiscardSound();
    return OpenSilentClock(stream.sampleRate());
}

std::string TitleFor(const std::string& presetPath) { return "Qelv - " + PresetName(presetPath); }

// The panel over the given dialogs and choosers for as long as this lives.
class PanelInstallation {
public:
    PanelInstallation(DialogControls& controls, DialogServices& services, Engine& engine) {
        InstallDialogControls(&controls);
        InstallDialogServices(&services);
        InstallPresetFileReader(ReadPresetFileInAnyForm);
        module.instance = &module;
        OpenControlPanel(&module, engine);
    }
    ~PanelInstallation() {
        CloseControlPanel();
        InstallPresetFileReader(nullptr);
        InstallDialogServices(nullptr);
        InstallDialogControls(nullptr);
    }
    PanelInstallation(const PanelInstallation&) = delete;
    PanelInstallation& operator=(const PanelInstallation&) = delete;

private:
    VisModule module{};
};

// The panel's frame-rate line, measured over every 21 drawn frames as the plug-in does.
class FrameRateLine {
public:
    void Count(int32_t width, int32_t height) {
        if (++frames < 21) return;
        const int64_t now = Milliseconds();
        char text[64];
        std::snprintf(text, sizeof text, "%d FPS @ %dx%dx32bpp", FramesPerSecond(frames, now - start), width, height);
        ShowFrameRate(text);
        frames = 0;
        start = now;
    }

private:
    static int64_t Milliseconds() {
        using namespace std::chrono;
        return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
    }
    int frames = 0;
    int64_t start = Milliseconds();
};

int ListSources() {
    std::vector<SoundSource> sources;
    std::string error;
    if (!ListSoundSources(sources, error)) {
        std::fprintf(ToolMessages(), "qelv play: %s\n", error.c_str());
        return kFailed;
    }
    // The name first, as --capture takes it; a star marks what --capture alone hears.
    for (const SoundSource& source : sources)
        std::printf("%s%s\t%s\n", source.defaultMonitor ? "* " : "  ", source.name.c_str(), source.description.c_str());
    return 0;
}

int Play(const PlayOptions& options) {
    const RenderOptions& input = options.input;
    auto fail = [](const std::string& message) {
        std::fprintf(ToolMessages(), "qelv play: %s\n", message.c_str());
        return kFailed;
    };

    std::string error;
    Engine engine;  // before the panel, which edits its chain until it closes
    engine.chain.SetThreads(input.threads);
    // Opened before anything else, so that a missing sound server fails at once.
    std::unique_ptr<CaptureSource> capture;
    if (options.capture) {
        const std::string source = options.captureSource.empty() ? kDefaultCaptureSource : options.captureSource;
        std::unique_ptr<SoundCapture> sound = OpenSoundCapture(source, kCaptureRate, kCaptureRate / input.fps, error);
        if (!sound) return fail("cannot capture sound: " + error);
        // Once under way, a capture that breaks is said once, and so is its coming back.
        CaptureSource::Hooks said;
        said.lost = [](const std::string& reason) {
            std::fprintf(ToolMessages(), "qelv play: capture lost: %s; showing silence until it is back\n",
                         reason.c_str());
        };
        said.back = [] { std::fprintf(ToolMessages(), "qelv play: capturing again\n"); };
        capture = std::make_unique<CaptureSource>(std::move(sound), input.fps,
                                                  input.frames ? input.frames : std::numeric_limits<int64_t>::max(),
                                                  std::move(said));
    }
    // N and P step through the given preset's folder, or else through the shipped presets.
    std::optional<PresetFolder> presets;
    std::string title = "Qelv";
    if (!input.presetPath.empty()) {
        const std::vector<std::string> folders = PresetLibraryFolders();
        const std::string path = FindPreset(input.presetPath, folders);
        std::string note;
        if (!LoadPresetFile(engine.chain, path, error, &note))
            return fail(error + NearestPresetHint(input.presetPath, folders));
        PrintNotes("qelv play", note);
        presets.emplace(path);
        title = TitleFor(path);
    } else {
        // The chain as the last run left it; the built-in one the first time.
        if (!RestoreChain(engine.chain)) BuildDefaultChain(engine.chain);
        const std::string library = LibraryFolder(PresetLibraryFolders());
        if (!library.empty()) presets = PresetFolder::Library(library);
    }
    if (options.shuffleSeconds > 0 && (!presets || presets->count() < 2))
        std::fprintf(ToolMessages(), "qelv play: --shuffle has no other presets to change to\n");
    if (input.simd) {
        ProbeMmx();
    } else {
        mmxAvailable = 0;
    }

    // The plug-in's control panel, drawn over the picture; Tab shows it.
    ImGuiDialogs dialogs;
    BeatMeter meter(engine.intake.beatReading);
    dialogs.SetExtra(IDD_BEAT_PAGE, [&meter](float left, float top, float scale) {
        meter.DrawOnBeatPage(left, top, scale);
    });
    // Where the last run's window was, and its size unless --size gives one.
    const RememberedPlace remembered = RestoreWindowPlace(input.width, input.height);
    const SdlPlayerWindow::Place opening = options.fixedSize ? SdlPlayerWindow::Place{0, 0, input.width, input.height}
                                                             : remembered.place;
    std::unique_ptr<SdlPlayerWindow> window = OpenSdlPlayerWindow(opening.width, opening.height, error, &dialogs);
    if (!window) return fail("cannot open a window: " + error);
    if (!remembered.unplaced) window->Restore({remembered.place.x, remembered.place.y, opening.width, opening.height});
    window->SetTitle(title);
    // The file chooser starts among the shipped presets and remembers where files went
    // beside the tool's other settings.
    ImGuiDialogServices::Places places;
    places.startFolder = LibraryFolder(PresetLibraryFolders());
    places.recentFile = shell().ProgramFilePath("recent-folders");
    places.presetPatterns = {"*.json"};  // Load reads the JSON form too
    ImGuiDialogServices choosers([&window](const std::function<bool()>& popup) { window->RunModal(popup); },
                                 std::move(places));
    const PanelInstallation panel(dialogs, choosers, engine);
    // The files to play, then the list that plays them (or the one stream or the demo).
    std::vector<std::string> files;
    std::vector<PassedOver> passedOver;
    ExpandPlaylist(options.playlist, files, passedOver);
    if (options.playlist.size() == 1 && files.empty())
        return fail("cannot play '" + passedOver.front().name + "': " + passedOver.front().reason);
    for (const PassedOver& name : passedOver)
        std::fprintf(ToolMessages(), "qelv play: passing over %s: %s\n", name.name.c_str(), name.reason.c_str());
    if (!options.playlist.empty() && files.empty()) return fail("none of the files could be played");
    const PlaylistSource::AtEnd atEnd = options.loop        ? PlaylistSource::AtEnd::Loop
                                        : options.exitAtEnd ? PlaylistSource::AtEnd::Stop
                                                            : PlaylistSource::AtEnd::Silence;
    PlaylistSource::Hooks hooks;
    hooks.load = [&](size_t i, PlaylistTrack& track, std::string& problem) {
        return LoadEntry(options, files, i, track, problem);
    };
    hooks.openClock = [](const PlaylistTrack& track) { return OpenClock(track); };
    if (files.size() > 1) {
        hooks.started = [&](size_t i) {
            std::fprintf(ToolMessages(), "qelv play: %zu of %zu: %s\n", i + 1, files.size(), files[i].c_str());
        };
    }
    auto nameOf = [&](size_t i) {
        return i < files.size() ? files[i] : input.inputPath.empty() ? "the demo" : input.inputPath;
    };
    hooks.failed = [&](size_t i, const std::string& problem) {
        std::fprintf(ToolMessages(), "qelv play: passing over %s: %s\n", nameOf(i).c_str(), problem.c_str());
    };
    hooks.cut = [&](size_t i, const std::string& problem) {
        std::fprintf(ToolMessages(), "qelv play: %s ends early: %s\n", nameOf(i).c_str(), problem.c_str());
    };
    const int64_t limit = input.frames ? input.frames : std::numeric_limits<int64_t>::max();
    std::optional<PlaylistSource> playlist;
    if (!capture) {
        playlist.emplace(std::max<size_t>(files.size(), 1), input.fps, atEnd, limit, hooks);
        playlist->Start();
    }

    PlaySettings settings;
    settings.fps = input.fps;
    settings.blockCount = limit;
    settings.fixedSize = options.fixedSize;
    settings.frameSize = {input.width, input.height};
    settings.pixelSize = std::max(input.pixelSize, 1);
    // Full screen as the display settings page sets it: its mode, which --pixel-size
    // draws with pixels of its own size instead of the page's doubling.
    const FullscreenModes fullscreen(window->DisplayModes());
    settings.fullscreenLook = [&] { return fullscreen.Look(input.pixelSize); };
    // The session puts the chain read in place of the shown one, fading over --transition.
    auto change = [&window](const std::string& path, EffectChain& into) {
        std::fprintf(ToolMessages(), "qelv play: %s\n", path.c_str());
        std::string problem;
        std::string note;
        const bool loaded = LoadPresetFile(into, path, problem, &note);
        if (loaded)
            window->SetTitle(TitleFor(path));
        else
            std::fprintf(ToolMessages(), "qelv play: %s\n", problem.c_str());
        PrintNotes("qelv play", note);
        return loaded;
    };
    std::mt19937 draws{std::random_device{}()};
    if (presets && presets->count() > (input.presetPath.empty() ? 0 : 1)) {
        settings.stepPreset = [&](int step, EffectChain& into) { return change(presets->Step(step), into); };
        settings.randomPreset = [&](EffectChain& into) { return change(presets->Jump(uint32_t(draws())), into); };
        settings.shuffleBlocks = int64_t(std::ceil(options.shuffleSeconds * input.fps));
    }
    settings.transitionBlocks = int64_t(std::ceil(options.transitionSeconds * input.fps));
    settings.togglePanel = ToggleControlPanel;
    FrameRateLine frameRate;
    settings.frameDrawn = [&frameRate](int32_t width, int32_t height) { frameRate.Count(width, height); };
    const PlayResult result = PlayInWindow(engine, *window, capture ? static_cast<BlockSource&>(*capture) : *playlist,
                                           settings);
    // The next run starts with this one's chain, where its window was. A window that
    // --size made is not the user's own: what was remembered stays (its size, and its
    // place once there is one). The full-screen settings go as the page left them.
    SdlPlayerWindow::Place place = window->WindowedPlace();
    if (options.fixedSize) {
        if (!remembered.unplaced) place = remembered.place;
        place.width = remembered.place.width;
        place.height = remembered.place.height;
    }
    RememberWindowPlace(place);
    RememberChain(engine.chain);
    if (capture) {
        std::fprintf(ToolMessages(), "qelv play: %lld blocks captured, %lld frames shown, %lld beats\n",
                     static_cast<long long>(result.blocksFed), static_cast<long long>(result.framesShown),
                     static_cast<long long>(result.beats));
        return 0;
    }
    // A list none of whose entries played has nothing to sum up.
    error = playlist->problem();
    if (playlist->tracksStarted() == 0 && !error.empty()) return fail(error);
    std::fprintf(ToolMessages(), "qelv play: %lld blocks played, %lld frames shown, %lld beats\n",
                 static_cast<long long>(result.blocksFed), static_cast<long long>(result.framesShown),
                 static_cast<long long>(result.beats));
    return error.empty() ? 0 : fail(error);
}
}  // namespace

int RunPlay(int argc, char** argv) {
    PlayOptions options;
    std::string error;
    if (!ParsePlayOptions(argc, argv, options, error)) {
        std::fprintf(ToolMessages(), "qelv play: %s\nRun 'qelv play --help' for the options.\n", error.c_str());
        return kBadArguments;
    }
    if (options.input.help) {
        std::fputs(kPlayUsage, stdout);
        return 0;
    }
    if (options.listSources) return ListSources();
    // Started with nothing to play, as from the applications menu: what the desktop plays
    // where a sound server answers, else the demo; either way it says which.
    if (argc == 0) {
        std::vector<SoundSource> sources;
        if (ListSoundSources(sources, error)) {
            options.capture = true;
            std::fprintf(ToolMessages(), "qelv play: showing what the desktop plays (give a file, or --demo, to play one)\n");
        } else {
            std::fprintf(ToolMessages(), "qelv play: %s; playing the built-in demo instead\n", error.c_str());
        }
    }
    // Messages the engine shows, such as a damaged preset's, go to standard error.
    NativeShell messages;
    InstallShell(&messages);
    const int result = Play(options);
    InstallShell(nullptr);
    return result;
}
