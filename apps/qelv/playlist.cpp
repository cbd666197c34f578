#include "apps/qelv/playlist.h"

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
}  // namespace

bool ExpandPlaylist(const std::vector<std::string>& names, std::vector<std::string>& tracks, std::string& error) {
    for (const std::string& name : names) {
        std::error_code code;
        if (!fs::is_directory(name, code)) {
            if (!fs::exists(name, code)) {
                error = "cannot open '" + name + "': " + (code ? code.message() : "no such file or folder");
                return false;
            }
            tracks.push_back(name);
            continue;
        }
        std::vector<std::string> found;
        for (fs::directory_iterator it(name, code), end; !code && it != end; it.increment(code)) {
            std::error_code kind;
            if (it->is_regular_file(kind) && LooksLikeAudio(it->path())) found.push_back(it->path().string());
        }
        if (code) {
            error = "cannot list '" + name + "': " + code.message();
            return false;
        }
        if (found.empty()) {
            error = "'" + name + "' holds no audio files";
            return false;
        }
        std::sort(found.begin(), found.end());
        tracks.insert(tracks.end(), found.begin(), found.end());
    }
    return true;
}
