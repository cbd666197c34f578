#pragma once
#include "platform/window_system.h"

// Real windows whose procedure hands the output window its events; installed when the
// library loads.
WindowSystem& Win32Windows();
