#pragma once
#include <functional>

#include "core/vis_module.h"

struct Engine;

// The control panel: a modeless dialog owned by the host's window, created hidden, that
// edits the engine's chain and beat settings. One panel at a time.
WindowHandle OpenControlPanel(VisModule* module, Engine& engine);
int CloseControlPanel();
// Shows the panel when hidden and hides it when shown (the output window's right click).
void ToggleControlPanel();
// Replaces the chain from outside the panel (the native player's preset keys): the open
// settings page is closed while its effect still exists, load runs, and the panel then
// shows the chain and the clear flag as they are. Returns what load returned.
bool ReplaceChainInPanel(const std::function<bool()>& load);
// The render thread's frame-rate line; never waits for the panel's thread.
void ShowFrameRate(const char* text);
