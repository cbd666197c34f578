#pragma once
#include <mutex>

#include "core/page_definition.h"

// The lock under which every page changes its effect's words: the render lock of the
// chain the panel edits, so a frame never meets a half-made change.
void SetEffectPageLock(std::mutex* lock);

// What a control shows of its effect's words: a trackbar's position, 1 or 0 for a box or
// button checked or not, a colour button's colour.
int32_t ControlState(const Effect& effect, const PageBinding& binding);
// What the user did to a control (a trackbar's new position, a box's or button's new check
// state, the colour chosen) into its effect's words; the caller holds the render lock and
// calls settingsChanged once the control's bindings are stored.
void StoreControl(Effect& effect, const PageBinding& binding, int32_t state);

// Creates the page as a child of parent through the platform's dialogs; the page edits
// exactly the effect given. Null when there is no way to show pages or creation failed.
WindowHandle OpenEffectPage(InstanceHandle instance, WindowHandle parent, Effect& effect,
                            const PageDefinition& page);
