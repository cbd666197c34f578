#pragma once

struct SDL_Window;

// Whether the window manager takes the window full screen when asked, as the desktop's
// extended window-manager hints let it (_NET_WM_STATE_FULLSCREEN). False on an X display
// with no such manager (none at all, or one of the classic ones), where asking does
// nothing; true off X, where every compositor does.
bool WindowManagerDoesFullscreen(SDL_Window* window);
