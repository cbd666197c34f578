#pragma once
#include <cstdio>

// Where the tool's own messages go. Libraries underneath (decoders, sound servers) write
// notes of their own to standard error; unless the user asks for them, they are kept off
// the terminal while Qelv's messages stay.

// Standard error, or the copy of it that QuietLibraries kept.
std::FILE* ToolMessages();
// From now on standard error itself (the libraries' and other programs') goes nowhere,
// and ToolMessages() writes where standard error went before.
void QuietLibraries();
