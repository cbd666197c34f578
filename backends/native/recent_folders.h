#pragma once
#include <string>
#include <vector>

// The folders files were last loaded from or saved to, newest first, each once. Kept as a
// small text file, one absolute path a line; whatever in it cannot be such a path is
// skipped, so a damaged file costs at most its damaged lines.
class RecentFolders {
public:
    static constexpr size_t kLimit = 8;
    // Longer than any folder worth offering; the file is never read past kLimit such lines.
    static constexpr size_t kMaxPathBytes = 4096;

    // Puts folder first, dropping an older mention and the oldest beyond kLimit.
    void Add(const std::string& folder);
    const std::vector<std::string>& folders() const { return list; }

    void Parse(const std::string& text);
    std::string Text() const;
    // Missing, unreadable or damaged files give what can be used of them.
    void Read(const std::string& path);

private:
    std::vector<std::string> list;
};
