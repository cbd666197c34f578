#pragma once
#include <cstdint>
#include <functional>

// The live player's window, seen from the player: events in, frames out. The SDL
// implementation is in sdl_player_window.h; tests script their own.
enum class PlayerKey { Space, F, F11, Escape, Q, N, P, R, Tab, Other };

struct PlayerEvent {
    enum class Kind { Close, Key, Resized } kind = Kind::Close;
    PlayerKey key = PlayerKey::Other;
    int32_t width = 0, height = 0;  // Resized: the new inside size in pixels
};

class PlayerWindow {
public:
    virtual ~PlayerWindow() = default;
    // The next pending event; false when there is none.
    virtual bool NextEvent(PlayerEvent& event) = 0;
    // Shows 0x00RRGGBB words, rows top to bottom, stretched over the whole window.
    virtual void Show(const uint32_t* pixels, int32_t width, int32_t height) = 0;
    // Desktop full screen: the window covers its screen, whose mode stays; after, it is
    // back where and as large as it was. False when full screen could not be entered.
    virtual bool SetFullscreen(bool on) = 0;
    // The inside size in pixels.
    virtual void InsideSize(int32_t& width, int32_t& height) const = 0;
    // True while the window shows something live of its own over the frames (a control
    // panel), so that it wants Show every turn even while the picture stands still.
    virtual bool Animating() const { return false; }
    // What a chooser that holds up the player's caller does once a turn while it waits, so
    // that the picture goes on behind it; empty for none. Meanwhile the window's events go
    // to the chooser, and Show draws the chooser over the frame.
    virtual void SetModalTurn(std::function<void()> turn) { (void)turn; }
};
