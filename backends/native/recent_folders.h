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
    // A damaged file gives what can be used of it, a missing one nothing; false, with
    // nothing taken, for one that cannot be read (a pipe, a device).
    bool Read(const std::string& path, std::string& error);

private:
    std::vector<std::string> list;
};
