#pragma once
#include <cstdint>

#include "backends/native/sdl_player_window.h"

struct EffectChain;

// What an interactive `qelv play` keeps from one run to the next, through the plug-in's
// own code and files in the shell's folder ($XDG_CONFIG_HOME/qelv): the chain as the run
// left it in the autosave file, the window's place and size in the window settings.

// The last run's chain into the empty chain; false, with nothing loaded, when no run has
// left an autosave file or it cannot be read (standard error says why).
bool RestoreChain(EffectChain& chain);
void RememberChain(EffectChain& chain);

// The window's remembered place and size; a size never remembered, or out of range, is
// the one given, and a place never remembered has unplaced set.
struct RememberedPlace {
    SdlPlayerWindow::Place place;
    bool unplaced;
};
RememberedPlace RestoreWindowPlace(int32_t width, int32_t height);
void RememberWindowPlace(const SdlPlayerWindow::Place& place);
