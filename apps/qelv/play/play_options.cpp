#include "apps/qelv/play/play_options.h"

#include <cstdlib>
#include <cstring>
#include <vector>

const char kPlayUsage[] =
    "usage: qelv play [FILE|FOLDER ...] [--preset FILE|NAME] [--audio FILE | --demo |\n"
    "                 --samples FILE.qsb | --capture [SOURCE]] [--loop] [--exit-at-end]\n"
    "                 [--size WxH] [--fps N] [--frames N] [--no-sound] [--simd on|off]\n"
    "                 [--threads N] [--shuffle SECONDS] [--transition SECONDS]\n"
    "                 [--pixel-size N]\n"
    "       qelv play --list-sources\n"
    "\n"
    "Plays the sound and shows the effect chain live in a window, in step with it.\n"
    "Files and folders (the audio files in them, in name order) play one after\n"
    "another; at the end the picture goes on over silence until the window is closed.\n"
    "\n"
    "  --preset FILE   the chain of a preset file, or the name of a shipped one\n"
    "                  ('qelv preset list'); N and P step through the .qlp files of\n"
    "                  its folder (default: a built-in chain, and N and P step\n"
    "                  through the shipped presets)\n"
    "  FILE, --audio FILE  an audio file (WAV, FLAC, Ogg, MP3, AAC, Opus, WMA and\n"
    "                  more), analysed at --fps blocks a second\n"
    "  FOLDER          the audio files in the folder\n"
    "  --loop          start the list again at its end\n"
    "  --exit-at-end   close the window at the end of the list\n"
    "  --demo          the built-in demo track (the default; with no argument at all,\n"
    "                  what the desktop plays where a sound server answers)\n"
    "  --samples FILE  a sample stream (.qsb), played silently at --fps blocks a second\n"
    "  --capture [SOURCE]  live sound from the sound server (PulseAudio or PipeWire):\n"
    "                  what the desktop plays, or the named source, such as a microphone;\n"
    "                  while the server or the source is away, silence until it is back\n"
    "  --list-sources  list the sources --capture can name, and stop\n"
    "  --size WxH      frame size, 8 to 8192 each, stretched over the window (default:\n"
    "                  the frame follows the window, which opens at 1024x640)\n"
    "  --pixel-size N  the chain draws 1/N of the picture and each pixel is shown as\n"
    "                  an NxN block, 1 to 8, in the window and in full screen, where it\n"
    "                  takes the place of the display settings' pixel doubling; a side\n"
    "                  that is not a multiple of N is drawn rounded up and cut\n"
    "  --fps N         blocks a second of the analysis (default 50)\n"
    "  --frames N      stop after N blocks (default: when the window is closed)\n"
    "  --no-sound      play silently in real time\n"
    "  --simd on|off   use the processor's packed instructions (default on)\n"
    "  --threads N     threads that draw each frame, 1 to 64 (default: one per core)\n"
    "  --shuffle SECONDS  change to a preset picked at random on the first beat after\n"
    "                  at least SECONDS of the current one\n"
    "  --transition SECONDS  a change of preset fades from the old picture to the new\n"
    "                  over SECONDS, 0 to 60 (default 1; 0 cuts at once)\n"
    "\n"
    "Keys: Space pause, F or F11 full screen, Escape leave full screen or quit, Q quit,\n"
    "N and P next and previous preset, R a random one, Tab or a right click the\n"
    "control panel. Full screen draws at the mode the control panel's Display Settings\n"
    "chose (stretched over the screen, whose own mode stays), with its pixel doubling;\n"
    "with no mode chosen, or one the display does not list, at the screen's size.\n";

namespace {
bool Named(const std::string& argument, const char* name) {
    return argument == name || argument.rfind(std::string(name) + "=", 0) == 0;
}

// A day at most: beyond that a shuffle is no shuffle, and the block count stays small.
constexpr double kLongestShuffle = 86400;
// A minute at most: all the while two chains draw every frame.
constexpr double kLongestTransition = 60;

// The track options that --capture takes the place of.
bool NamesATrack(const std::string& argument) {
    return Named(argument, "--audio") || Named(argument, "--demo") || Named(argument, "--samples");
}

struct SecondsOption {
    const char* name;
    bool zeroAllowed;
    double longest;
    const char* range;  // for the message
};
constexpr SecondsOption kShuffle{"--shuffle", false, kLongestShuffle, "above 0 and up to 86400"};
constexpr SecondsOption kTransition{"--transition", true, kLongestTransition, "from 0 to 60"};

// --NAME SECONDS or --NAME=SECONDS at argv[i], which names it; i moves past its value.
bool ReadSeconds(const SecondsOption& option, int argc, char** argv, int& i, double& seconds, std::string& error) {
    const std::string argument = argv[i];
    const bool joined = argument != option.name;
    if (!joined && i + 1 >= argc) {
        error = std::string(option.name) + " needs a number of seconds";
        return false;
    }
    const std::string text = joined ? argument.substr(std::strlen(option.name) + 1) : argv[++i];
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    // Written so that NaN fails too.
    const bool inRange = option.zeroAllowed ? value >= 0 && value <= option.longest
                                            : value > 0 && value <= option.longest;
    if (text.empty() || !end || *end != 0 || !inRange) {
        error = std::string(option.name) + " takes seconds " + option.range + ", not '" + text + "'";
        return false;
    }
    seconds = value;
    return true;
}
}  // namespace

bool ParsePlayOptions(int argc, char** argv, PlayOptions& options, std::string& error) {
    // The render command's parser reads all the rest.
    std::vector<char*> rest;
    std::vector<std::string> names;  // files and folders to play
    bool track = false;
    for (int i = 0; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument == "--list-sources") {
            options.listSources = true;
            continue;
        }
        if (Named(argument, "--capture")) {
            options.capture = true;
            // The source is optional: a following word that is not an option names it.
            if (argument != "--capture") {
                options.captureSource = argument.substr(std::strlen("--capture="));
            } else if (i + 1 < argc && argv[i + 1][0] != '-') {
                options.captureSource = argv[++i];
            }
            continue;
        }
        track = track || NamesATrack(argument);
        if (argument == "--no-sound") {
            options.sound = false;
            continue;
        }
        if (Named(argument, kShuffle.name)) {
            if (!ReadSeconds(kShuffle, argc, argv, i, options.shuffleSeconds, error)) return false;
            continue;
        }
        if (Named(argument, kTransition.name)) {
            if (!ReadSeconds(kTransition, argc, argv, i, options.transitionSeconds, error)) return false;
            continue;
        }
        if (Named(argument, "--out")) {
            error = "play shows frames and writes none; use 'qelv render' for --out";
            return false;
        }
        if (argument == "--loop" || argument == "--exit-at-end") {
            (argument == "--loop" ? options.loop : options.exitAtEnd) = true;
            continue;
        }
        if (!argument.empty() && argument[0] != '-') {
            names.push_back(argument);
            continue;
        }
        if (Named(argument, "--size")) options.fixedSize = true;
        rest.push_back(argv[i]);
        // A value of the render command's options is not a track, whatever it looks like.
        if (TakesValue(argument) && i + 1 < argc) rest.push_back(argv[++i]);
    }
    if (options.capture && (track || !names.empty())) {
        error = "--capture takes the place of --audio, --demo, --samples and files to play";
        return false;
    }
    if (!ParseRenderOptions(int(rest.size()), rest.data(), options.input, error)) return false;
    if (!names.empty() && options.input.source != SampleSource::AudioFile && track) {
        error = "files to play take the place of --demo and --samples";
        return false;
    }
    if (options.input.source == SampleSource::AudioFile) options.playlist.push_back(options.input.inputPath);
    options.playlist.insert(options.playlist.end(), names.begin(), names.end());
    if (!options.playlist.empty()) options.input.source = SampleSource::AudioFile;
    // Without a fixed size the window opens large enough for the control panel.
    if (!options.fixedSize) {
        options.input.width = kPlayWindowWidth;
        options.input.height = kPlayWindowHeight;
    }
    return true;
}
