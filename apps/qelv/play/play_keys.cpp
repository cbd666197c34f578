#include "apps/qelv/play/play_keys.h"

PlayAction ActionForKey(PlayerKey key, bool fullscreen) {
    switch (key) {
        case PlayerKey::Space: return PlayAction::TogglePause;
        case PlayerKey::F:
        case PlayerKey::F11: return PlayAction::ToggleFullscreen;
        case PlayerKey::Escape: return fullscreen ? PlayAction::LeaveFullscreen : PlayAction::Quit;
        case PlayerKey::Q: return PlayAction::Quit;
        case PlayerKey::N: return PlayAction::NextPreset;
        case PlayerKey::P: return PlayAction::PreviousPreset;
        case PlayerKey::R: return PlayAction::RandomPreset;
        case PlayerKey::Tab: return PlayAction::TogglePanel;
        case PlayerKey::Other: break;
    }
    return PlayAction::None;
}
