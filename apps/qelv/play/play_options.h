#pragma once
#include <string>
#include <vector>

#include "apps/qelv/render/render_options.h"

// What `qelv play` reads from its command line: the render command's inputs, size and
// frame count, without an output, and with a choice of sound.
// The window's first size when the frame follows it: room for the control panel.
constexpr int32_t kPlayWindowWidth = 1024;
constexpr int32_t kPlayWindowHeight = 640;

struct PlayOptions {
    RenderOptions input;      // --out is refused
    bool sound = true;        // false: --no-sound
    bool fixedSize = false;   // --size was given: frames keep it whatever the window does
    double shuffleSeconds = 0;  // --shuffle: change preset on a beat after this long; 0 never
    double transitionSeconds = 1;  // --transition: a change of preset fades over this long; 0 cuts
    bool capture = false;       // --capture: live sound instead of a track
    std::string captureSource;  // --capture SOURCE; empty: the default output's monitor
    bool listSources = false;   // --list-sources: print the capture sources and stop
    std::vector<std::string> playlist;  // audio files and folders: --audio's, then the rest
    bool loop = false;          // --loop: the playlist starts again at its end
    bool exitAtEnd = false;     // --exit-at-end: the window closes at the end, not after silence
};

extern const char kPlayUsage[];

bool ParsePlayOptions(int argc, char** argv, PlayOptions& options, std::string& error);
