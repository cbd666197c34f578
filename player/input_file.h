#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Files the tools read: only regular files, so that a pipe or a device, named by mistake
// or left in the settings folder, is refused with a message instead of waited on for
// ever, and the descriptor is the very file that was checked. Messages name the file.

// The file opened for blocking reads from its start, or -1.
int OpenRegularFile(const std::string& path, std::string& error);

// OpenRegularFile's descriptor, closed with its owner.
class InputFile {
public:
    InputFile() = default;
    ~InputFile();
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;

    bool Open(const std::string& path, std::string& error);
    // -1 until opened.
    int descriptor() const { return fd; }

private:
    int fd = -1;
};

// Its first limit bytes; cut tells a file that goes on beyond them.
bool ReadWholeFile(const std::string& path, size_t limit, std::vector<uint8_t>& bytes, bool& cut,
                   std::string& error);
