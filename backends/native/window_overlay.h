#pragma once

// What a window draws over its picture with Dear ImGui.
class WindowOverlay {
public:
    virtual ~WindowOverlay() = default;
    // Whether anything is on show, so that frames are wanted even when the picture stands.
    virtual bool Shown() = 0;
    // The overlay's windows; called between ImGui::NewFrame and ImGui::Render.
    virtual void Draw() = 0;
    // After each presented frame: acts on what the user did, outside any ImGui frame.
    virtual void AfterFrame() = 0;
    // After each frame shown while a chooser waits inside AfterFrame: only what may run
    // then, such as live readings; what the user did waits for the chooser's answer.
    virtual void AfterFrameBehindChooser() {}
};
