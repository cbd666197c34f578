#pragma once
#include <cstdint>

// The render thread's loop: snapshot, clear, draw the chain, present, sleep 20 ms.
int RenderThreadMain();
// Ends the render thread's pause at once; Quit calls it after setting quitFlag.
void WakeRenderThread();
