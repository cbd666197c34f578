#include <gtest/gtest.h>

#include "apps/qelv/play/play_keys.h"

namespace {
TEST(PlayKeys, MapToTheirActionsWindowedAndFullScreen) {
    for (const bool fullscreen : {false, true}) {
        EXPECT_EQ(ActionForKey(PlayerKey::Space, fullscreen), PlayAction::TogglePause);
        EXPECT_EQ(ActionForKey(PlayerKey::F, fullscreen), PlayAction::ToggleFullscreen);
        EXPECT_EQ(ActionForKey(PlayerKey::F11, fullscreen), PlayAction::ToggleFullscreen);
        EXPECT_EQ(ActionForKey(PlayerKey::Q, fullscreen), PlayAction::Quit);
        EXPECT_EQ(ActionForKey(PlayerKey::N, fullscreen), PlayAction::NextPreset);
        EXPECT_EQ(ActionForKey(PlayerKey::P, fullscreen), PlayAction::PreviousPreset);
        EXPECT_EQ(ActionForKey(PlayerKey::R, fullscreen), PlayAction::RandomPreset);
        EXPECT_EQ(ActionForKey(PlayerKey::Tab, fullscreen), PlayAction::TogglePanel);
        EXPECT_EQ(ActionForKey(PlayerKey::Other, fullscreen), PlayAction::None);
    }
}

TEST(PlayKeys, EscapeLeavesFullScreenBeforeItQuits) {
    EXPECT_EQ(ActionForKey(PlayerKey::Escape, true), PlayAction::LeaveFullscreen);
    EXPECT_EQ(ActionForKey(PlayerKey::Escape, false), PlayAction::Quit);
}
}  // namespace
