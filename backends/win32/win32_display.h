#pragma once
#include "platform/display_device.h"

// The display over DirectDraw's first interfaces; installed when the library loads.
DisplayDriver& Win32Display();
