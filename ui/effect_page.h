#pragma once

#include "core/page_definition.h"

// Creates the page as a child of parent through the platform's dialogs; the page edits
// exactly the effect given. Null when there is no way to show pages or creation failed.
WindowHandle OpenEffectPage(InstanceHandle instance, WindowHandle parent, Effect& effect,
                            const PageDefinition& page);
