#include "ui/control_panel.h"

// Placeholder until the panel lands.
WindowHandle OpenControlPanel(VisModule*) { return nullptr; }
int CloseControlPanel() { return 0; }
void ShowFrameRate(const char*) {}
