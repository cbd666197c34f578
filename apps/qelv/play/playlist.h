#pragma once
#include <string>
#include <vector>

// A name given to play that gives no track, and why, put so as to follow the name.
struct PassedOver {
    std::string name, reason;
};

// The tracks a play command names, in order: a file as given (its decoder judges it),
// a folder as the audio files directly inside it, in name order. A name that is neither
// (missing, a loop of symbolic links, out of reach) or a folder with no audio file in it
// is passed over, as a file that does not decode is: it goes to passedOver instead.
void ExpandPlaylist(const std::vector<std::string>& names, std::vector<std::string>& tracks,
                    std::vector<PassedOver>& passedOver);
