#include "apps/qelv/play/playlist.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

namespace fs = std::filesystem;

namespace {
// What libsndfile or ffmpeg decodes; other files in a folder (covers, playlists, notes)
// are passed over.
bool LooksLikeAudio(const fs::path& path) {
    std::string extension = path.extension().string();
    for (char& c : extension) c = char(std::tolower(static_cast<unsigned char>(c)));
    for (const char* known : {".wav", ".flac", ".ogg", ".oga", ".opus", ".mp3", ".m4a", ".aac", ".aif", ".aiff",
                              ".au", ".caf", ".w64", ".wma", ".mka", ".webm"})
        if (extension == known) return true;
    return false;
}

// Why a name whose status cannot be had names nothing to play.
std::string Unreachable(const std::string& name, const std::error_code& code) {
    if (code == std::errc::too_many_symbolic_link_levels) return "its symbolic links go round in a loop";
    if (code && code != std::errc::no_such_file_or_directory) return code.message();
    std::error_code ignored;
    return fs::is_symlink(name, ignored) ? "it is a symbolic link to nothing" : "no such file or folder";
}

// A folder's audio files in name order; empty, with the reason, when there is none.
std::vector<std::string> AudioFilesIn(const std::string& folder, std::string& reason) {
    std::vector<std::string> found;
    std::error_code code;
    for (fs::directory_iterator it(folder, code), end; !code && it != end; it.increment(code)) {
        std::error_code kind;
        if (it->is_regular_file(kind) && LooksLikeAudio(it->path())) found.push_back(it->path().string());
    }
    if (code) {
        reason = "cannot list it: " + code.message();
        return {};
    }
    if (found.empty()) reason = "it holds no audio files";
    std::sort(found.begin(), found.end());
    return found;
}
}  // namespace

void ExpandPlaylist(const std::vector<std::string>& names, std::vector<std::string>& tracks,
                    std::vector<PassedOver>& passedOver) {
    for (const std::string& name : names) {
        std::error_code code;
        const fs::file_status status = fs::status(name, code);
        if (code || !fs::exists(status)) {
            passedOver.push_back({name, Unreachable(name, code)});
            continue;
        }
        if (!fs::is_directory(status)) {
            tracks.push_back(name);
            continue;
        }
        std::string reason;
        const std::vector<std::string> found = AudioFilesIn(name, reason);
        if (found.empty()) passedOver.push_back({name, reason});
        tracks.insert(tracks.end(), found.begin(), found.end());
    }
}
