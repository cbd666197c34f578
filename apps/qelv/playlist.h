#pragma once
#include <string>
#include <vector>

// The tracks a play command names, in order: a file as given (its decoder judges it),
// a folder as the audio files directly inside it, in name order. False, with a message,
// for a name that is neither, or a folder with no audio file in it.
bool ExpandPlaylist(const std::vector<std::string>& names, std::vector<std::string>& tracks, std::string& error);
