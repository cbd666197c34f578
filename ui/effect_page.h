#pragma once
#include <mutex>

#include "core/page_definition.h"

// The lock under which every page changes its effect's words: the render lock of the
// chain the panel edits, so a frame never meets a half-made change.
void SetEffectPageLock(std::mutex* lock);

// Creates the page as a child of parent through the platform's dialogs; the page edits
// exactly the effect given. Null when there is no way to show pages or creation failed.
WindowHandle OpenEffectPage(InstanceHandle instance, WindowHandle parent, Effect& effect,
                            const PageDefinition& page);
