#pragma once
#include <cstdint>

// The render thread's loop: snapshot, clear, draw the chain, present, sleep 20 ms.
int RenderThreadMain();
