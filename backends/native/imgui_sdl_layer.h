#pragma once
#include <SDL.h>

#include <functional>

#include "backends/native/window_overlay.h"

// Dear ImGui over an SDL window and renderer: its context, the SDL input backend and
// drawing of its lists with SDL_RenderGeometry (Debian's library has no renderer backend).
class ImGuiSdlLayer {
public:
    ImGuiSdlLayer(SDL_Window* window, SDL_Renderer* renderer);
    ~ImGuiSdlLayer();
    ImGuiSdlLayer(const ImGuiSdlLayer&) = delete;
    ImGuiSdlLayer& operator=(const ImGuiSdlLayer&) = delete;

    // Hands the event to ImGui; true when ImGui takes it, so the player must not act on it.
    bool Consume(const SDL_Event& event);
    // One ImGui frame of draw(), rendered over whatever the renderer holds (not presented).
    void Frame(const std::function<void()>& draw);

private:
    void Render();
    SDL_Renderer* renderer;
    SDL_Texture* font = nullptr;
};
