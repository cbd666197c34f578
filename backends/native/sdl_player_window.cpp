#include "backends/native/sdl_player_window.h"

#include <SDL.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "backends/native/imgui_sdl_layer.h"
#include "backends/native/x11_window_manager.h"

namespace {
PlayerKey KeyOf(SDL_Keycode key) {
    switch (key) {
        case SDLK_SPACE: return PlayerKey::Space;
        case SDLK_f: return PlayerKey::F;
        case SDLK_F11: return PlayerKey::F11;
        case SDLK_ESCAPE: return PlayerKey::Escape;
        case SDLK_q: return PlayerKey::Q;
        case SDLK_n: return PlayerKey::N;
        case SDLK_p: return PlayerKey::P;
        case SDLK_r: return PlayerKey::R;
        case SDLK_TAB: return PlayerKey::Tab;
        default: return PlayerKey::Other;
    }
}

class SdlWindow final : public SdlPlayerWindow {
public:
    explicit SdlWindow(WindowOverlay* overlay) : overlay(overlay) {}

    ~SdlWindow() override {
        layer.reset();
        if (texture) SDL_DestroyTexture(texture);
        if (renderer) SDL_DestroyRenderer(renderer);
        if (window) SDL_DestroyWindow(window);
        if (initialised) SDL_QuitSubSystem(SDL_INIT_VIDEO);
    }

    bool Open(int32_t width, int32_t height, std::string& error) {
        if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
            error = SDL_GetError();
            return false;
        }
        initialised = true;
        // Without a display SDL falls back on drivers that show nothing; only take them
        // when asked for by name.
        const char* driver = SDL_GetCurrentVideoDriver();
        if (!SDL_getenv("SDL_VIDEODRIVER") && driver &&
            (!std::strcmp(driver, "offscreen") || !std::strcmp(driver, "dummy"))) {
            error = "no display to show it on (DISPLAY and WAYLAND_DISPLAY are not set)";
            return false;
        }
        window = SDL_CreateWindow("Qelv", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, width, height,
                                  SDL_WINDOW_RESIZABLE | SDL_WINDOW_ALLOW_HIGHDPI);
        if (window) renderer = SDL_CreateRenderer(window, -1, 0);
        if (!renderer) {
            error = SDL_GetError();
            return false;
        }
        SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "linear");
        if (overlay) layer = std::make_unique<ImGuiSdlLayer>(window, renderer);
        return true;
    }

    bool NextEvent(PlayerEvent& event) override {
        SDL_Event e;
        while (SDL_PollEvent(&e)) {
            // A hidden overlay hears nothing, so that input does not pile up for it.
            if (layer && overlay->Shown() && layer->Consume(e)) continue;
            if (e.type == SDL_QUIT) {
                event = {PlayerEvent::Kind::Close};
                return true;
            }
            if (e.type == SDL_KEYDOWN && !e.key.repeat) {
                event = {PlayerEvent::Kind::Key, KeyOf(e.key.keysym.sym)};
                return true;
            }
            // A right click on the picture does what Tab does: show or hide the panel.
            if (e.type == SDL_MOUSEBUTTONDOWN && e.button.button == SDL_BUTTON_RIGHT) {
                event = {PlayerEvent::Kind::Key, PlayerKey::Tab};
                return true;
            }
            if (e.type == SDL_WINDOWEVENT && e.window.event == SDL_WINDOWEVENT_SIZE_CHANGED) {
                event = {PlayerEvent::Kind::Resized};
                InsideSize(event.width, event.height);
                return true;
            }
        }
        return false;
    }

    void Show(const uint32_t* pixels, int32_t width, int32_t height) override {
        if (!texture || width != textureWidth || height != textureHeight) {
            if (texture) SDL_DestroyTexture(texture);
            // RGB888 is one 32-bit word per pixel, 0x00RRGGBB: the frame's own layout.
            texture = SDL_CreateTexture(renderer, SDL_PIXELFORMAT_RGB888, SDL_TEXTUREACCESS_STREAMING, width, height);
            textureWidth = width;
            textureHeight = height;
        }
        if (!texture || SDL_UpdateTexture(texture, nullptr, pixels, width * 4) != 0) return;
        Present();
        // A chooser's wait is itself inside AfterFrame.
        if (overlay && modalPopup) overlay->AfterFrameBehindChooser();
        else if (overlay) overlay->AfterFrame();
    }

    bool Animating() const override { return overlay && overlay->Shown(); }

    void SetTitle(const std::string& title) override { SDL_SetWindowTitle(window, title.c_str()); }

    void SetModalTurn(std::function<void()> turn) override { modalTurn = std::move(turn); }

    void RunModal(const std::function<bool()>& popup) override {
        if (!layer || modalPopup) return;
        modalPopup = &popup;
        modalOpen = true;
        std::vector<SDL_Event> later;
        while (modalOpen) {
            SDL_Event e;
            while (SDL_PollEvent(&e)) {
                layer->Consume(e);
                // Keys typed into the chooser are its own; closing and resizing are the player's.
                if (e.type == SDL_QUIT) modalOpen = false;
                if (e.type == SDL_QUIT || (e.type == SDL_WINDOWEVENT && e.window.event == SDL_WINDOWEVENT_SIZE_CHANGED))
                    later.push_back(e);
            }
            if (!modalOpen) break;
            const int64_t before = presented;
            if (modalTurn) modalTurn();
            // Without a player turning (or one that drew nothing), the last picture again.
            if (presented == before) {
                Present();
                SDL_Delay(15);
            }
        }
        modalPopup = nullptr;
        for (SDL_Event& e : later) SDL_PushEvent(&e);
    }

    // The picture, with the overlay and the chooser (if any) drawn over it.
    void Present() {
        SDL_RenderClear(renderer);
        if (texture) SDL_RenderCopy(renderer, texture, nullptr, nullptr);
        if (layer && (overlay->Shown() || modalPopup))
            layer->Frame([&] {
                overlay->Draw();
                if (modalPopup && modalOpen) modalOpen = (*modalPopup)();
            });
        SDL_RenderPresent(renderer);
        ++presented;
    }

    // Where the window manager takes windows full screen, it is asked to. Where none does
    // (no manager at all, or a classic one), the window covers its display itself, without
    // a border; either way it goes back to its own place and size after.
    bool SetFullscreen(bool on) override {
        if (on == Fullscreen()) return true;
        if (on) {
            beforeFullscreen = WindowedPlace();
            if (WindowManagerDoesFullscreen(window))
                return SDL_SetWindowFullscreen(window, SDL_WINDOW_FULLSCREEN_DESKTOP) == 0;
            SDL_Rect display;
            if (SDL_GetDisplayBounds(std::max(SDL_GetWindowDisplayIndex(window), 0), &display) != 0) return false;
            coveringDisplay = true;
            SDL_SetWindowBordered(window, SDL_FALSE);
            SDL_SetWindowSize(window, display.w, display.h);
            MoveTo(display.x, display.y);
            SDL_RaiseWindow(window);
            return true;
        }
        if (coveringDisplay) {
            coveringDisplay = false;
            SDL_SetWindowBordered(window, SDL_TRUE);
        } else {
            SDL_SetWindowFullscreen(window, 0);
        }
        SDL_SetWindowSize(window, beforeFullscreen.width, beforeFullscreen.height);
        MoveTo(beforeFullscreen.x, beforeFullscreen.y);
        return true;
    }

    Place WindowedPlace() const override {
        if (Fullscreen()) return beforeFullscreen;
        Place place{};
        SDL_GetWindowPosition(window, &place.x, &place.y);
        SDL_GetWindowSize(window, &place.width, &place.height);
        return place;
    }

    void Restore(const Place& remembered) override {
        std::vector<Place> displays;
        for (int i = 0, n = SDL_GetNumVideoDisplays(); i < n; ++i) {
            SDL_Rect bounds;
            if (SDL_GetDisplayUsableBounds(i, &bounds) == 0) displays.push_back({bounds.x, bounds.y, bounds.w, bounds.h});
        }
        const Place place = PlaceOnDisplays(remembered, displays);
        SDL_SetWindowSize(window, place.width, place.height);
        MoveTo(place.x, place.y);
    }

    std::vector<WindowSize> DisplayModes() const override {
        std::vector<WindowSize> sizes;
        const int display = std::max(SDL_GetWindowDisplayIndex(window), 0);
        // SDL gives them largest first; the same size at other refresh rates is skipped.
        for (int i = 0, n = SDL_GetNumDisplayModes(display); i < n; ++i) {
            SDL_DisplayMode mode;
            if (SDL_GetDisplayMode(display, i, &mode) != 0) continue;
            const WindowSize size{mode.w, mode.h};
            if (std::find(sizes.begin(), sizes.end(), size) == sizes.end()) sizes.push_back(size);
        }
        return sizes;
    }

    void InsideSize(int32_t& width, int32_t& height) const override {
        int w = 0, h = 0;
        SDL_GetRendererOutputSize(renderer, &w, &h);
        width = w;
        height = h;
    }

private:
    // Full screen in force, either way.
    bool Fullscreen() const {
        return coveringDisplay || (SDL_GetWindowFlags(window) & SDL_WINDOW_FULLSCREEN_DESKTOP) != 0;
    }

    // Puts the inside of the window at (x, y). A manager that does not say how large its
    // frame is puts the frame there instead; the window is moved once more by the
    // difference, which SDL sees at once, having waited for the manager's answer.
    void MoveTo(int x, int y) {
        SDL_SetWindowPosition(window, x, y);
        int placedX = x, placedY = y;
        SDL_GetWindowPosition(window, &placedX, &placedY);
        if (placedX != x || placedY != y) SDL_SetWindowPosition(window, 2 * x - placedX, 2 * y - placedY);
    }

    WindowOverlay* overlay;
    std::unique_ptr<ImGuiSdlLayer> layer;
    bool initialised = false;
    SDL_Window* window = nullptr;
    SDL_Renderer* renderer = nullptr;
    SDL_Texture* texture = nullptr;
    int32_t textureWidth = 0, textureHeight = 0;
    Place beforeFullscreen{};
    bool coveringDisplay = false;  // full screen without the window manager
    std::function<void()> modalTurn;
    const std::function<bool()>* modalPopup = nullptr;  // the chooser being waited for
    bool modalOpen = false;
    int64_t presented = 0;
};
}  // namespace

std::unique_ptr<SdlPlayerWindow> OpenSdlPlayerWindow(int32_t width, int32_t height, std::string& error,
                                                     WindowOverlay* overlay) {
    auto window = std::make_unique<SdlWindow>(overlay);
    if (!window->Open(width, height, error)) return nullptr;
    return window;
}
