#include "output/output_window.h"

// Placeholder until the display layer lands.
WindowSettings windowSettings;
int OpenOutputWindow(VisModule*) { return 0; }
void CloseOutputWindow() {}
WindowHandle OutputWindowHandle() { return nullptr; }
void OutputClientSize(int32_t* width, int32_t* height) { *width = *height = 0; }
