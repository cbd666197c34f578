#pragma once
#include <cstddef>
#include <string>
#include <string_view>

// Text from a file as a message shows it: control characters escaped, so that a file
// cannot steer the terminal, and cut to its first limit bytes (at a character's start)
// and "...", so that a huge value does not flood it.
std::string MessageText(std::string_view text, size_t limit = 60);
