#pragma once
#include "backends/native/player_window.h"

// What a key does in the live player.
enum class PlayAction {
    None, TogglePause, ToggleFullscreen, LeaveFullscreen, Quit, NextPreset, PreviousPreset, RandomPreset, TogglePanel
};

// Escape first leaves full screen and only quits from the window.
PlayAction ActionForKey(PlayerKey key, bool fullscreen);
