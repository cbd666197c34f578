#pragma once
#include <cstdint>

#include "core/vis_module.h"

// The window settings, read from section "Qelv5" of the host's settings file when the
// output window opens and written back when it closes.
struct WindowSettings {
    int32_t x = 100, y = 100, w = 400, h = 300;  // cfg_x, cfg_y, cfg_w, cfg_h
    int32_t fsW = 320, fsH = 240, fsD = 0;       // cfg_fs_w, cfg_fs_h, cfg_fs_d
};
extern WindowSettings windowSettings;
// The settings file's values over windowSettings (each missing key keeps its value), and
// windowSettings back into the file; the output window does both, and so may any other
// front end that shows the frames.
void ReadWindowSettings();
void WriteWindowSettings();

int OpenOutputWindow(VisModule* module);  // 0 ok, 1 failed (shown)
void CloseOutputWindow();
WindowHandle OutputWindowHandle();
// Client size of the output window (0 x 0 when there is none).
void OutputClientSize(int32_t* width, int32_t* height);

// What reaches the output window; the platform's window procedure translates its
// messages into these and runs its default procedure when asked to.
enum class OutputWindowEvent {
    keyDown,          // value: the virtual key
    leftButtonDown,
    rightButtonDown,
    size,             // value: 1 when the window was minimised
    move,
    timer,            // value: the timer's identifier
    close,
    destroy,
};
constexpr int kEscapeKey = 27;

// True when the platform's default procedure is to run as well.
bool HandleOutputWindowEvent(WindowHandle window, OutputWindowEvent event, int32_t value = 0);

// A right click outside full screen shows or hides the control panel through this.
void SetControlPanelToggle(void (*toggle)());
