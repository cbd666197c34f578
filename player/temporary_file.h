#pragma once
#include <string>

// A file of the tool's own for the length of a command (the sound of a rendered video),
// removed when it ends, and also when Ctrl-C, a termination signal or a hang-up ends it.
class TemporaryFile {
public:
    TemporaryFile() = default;
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;
    ~TemporaryFile();

    // A new empty file in TMPDIR (or /tmp) named prefix, random letters, then suffix.
    bool Create(const std::string& prefix, const std::string& suffix, std::string& error);
    const std::string& path() const { return name; }

private:
    std::string name;
    int slot = -1;
};

// A new folder inside another, for files that are moved out of it once all are
// complete; removed with whatever is left in it, on signals as above too.
class TemporaryFolder {
public:
    TemporaryFolder() = default;
    TemporaryFolder(const TemporaryFolder&) = delete;
    TemporaryFolder& operator=(const TemporaryFolder&) = delete;
    ~TemporaryFolder();

    // A hidden folder in parent.
    bool Create(const std::string& parent, std::string& error);
    const std::string& path() const { return name; }

private:
    std::string name;
    int slot = -1;
};
