#pragma once
#include <string>

// A file named as input, opened for reading only when it is a regular file: a pipe, a
// device or a folder is refused without being waited on, and the descriptor is the very
// file that was checked. Errors name the file.
class InputFile {
public:
    InputFile() = default;
    ~InputFile();
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;

    bool Open(const std::string& path, std::string& error);
    // Blocking reads, from the start; -1 until opened.
    int descriptor() const { return fd; }

private:
    int fd = -1;
};
