#include "backends/native/recent_folders.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>

#include "player/input_file.h"

namespace {
bool Usable(const std::string& line) {
    if (line.empty() || line.size() > RecentFolders::kMaxPathBytes || line[0] != '/') return false;
    return std::none_of(line.begin(), line.end(), [](char c) { return uint8_t(c) < 0x20 || c == 0x7F; });
}
}  // namespace

void RecentFolders::Add(const std::string& folder) {
    if (!Usable(folder)) return;
    list.erase(std::remove(list.begin(), list.end(), folder), list.end());
    list.insert(list.begin(), folder);
    if (list.size() > kLimit) list.resize(kLimit);
}

void RecentFolders::Parse(const std::string& text) {
    list.clear();
    size_t start = 0;
    while (start < text.size() && list.size() < kLimit) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        const std::string line = text.substr(start, end - start);
        if (Usable(line) && std::find(list.begin(), list.end(), line) == list.end()) list.push_back(line);
        start = end + 1;
    }
}

std::string RecentFolders::Text() const {
    std::string text;
    for (const std::string& folder : list) text += folder + '\n';
    return text;
}

bool RecentFolders::Read(const std::string& path, std::string& error) {
    list.clear();
    struct stat status{};
    if (stat(path.c_str(), &status) != 0 && errno == ENOENT) return true;
    // Enough for kLimit lines of the longest usable length; anything further is not read.
    std::vector<uint8_t> text;
    bool cut = false;
    if (!ReadWholeFile(path, kLimit * (kMaxPathBytes + 1), text, cut, error)) return false;
    Parse(std::string(text.begin(), text.end()));
    return true;
}
