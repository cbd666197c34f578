#pragma once
#include "host/vis_module.h"

// The control panel: a modeless dialog owned by the host's window, created hidden.
WindowHandle OpenControlPanel(VisModule* module);
int CloseControlPanel();
// Shows the panel when hidden and hides it when shown (the output window's right click).
void ToggleControlPanel();
// The render thread's frame-rate line; never waits for the panel's thread.
void ShowFrameRate(const char* text);
