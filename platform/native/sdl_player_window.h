#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "platform/native/player_window.h"

// A resizable SDL window titled "Qelv" with its inside size in points; frames are
// stretched over it. Null, with the reason, when there is no display.
std::unique_ptr<PlayerWindow> OpenSdlPlayerWindow(int32_t width, int32_t height, std::string& error);
