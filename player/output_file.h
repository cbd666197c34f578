#pragma once
#include <cstddef>
#include <string>

// What a path that names a device or a pipe gets: an output the user named is written
// there directly and never removed; a file of the tool's own, such as its settings, is
// refused, as nothing should wait on a pipe left where a setting was.
enum class DeviceOutput { WrittenDirectly, Refused };

// A file the tools write. Nothing appears under the requested name until Commit: the
// bytes go to a temporary file beside it, renamed over it at the end, so a failed or
// interrupted write leaves an existing file as it was and never a truncated one. A
// symbolic link is followed and its target replaced, so the link stays.
class OutputFile {
public:
    OutputFile() = default;
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;
    // Without a Commit the temporary file is removed.
    ~OutputFile();

    bool Open(const std::string& path, std::string& error, DeviceOutput devices = DeviceOutput::WrittenDirectly);
    bool Write(const void* bytes, size_t count, std::string& error);
    bool Commit(std::string& error);

    // Where the bytes go until Commit, for a program that writes the file itself: the
    // temporary file, or the path itself for a device or a pipe. The temporary keeps the
    // path's extension, and its name is cut to fit where the path's is long.
    const std::string& writingPath() const { return writing; }

private:
    void Discard();

    std::string path;     // as asked for, for messages
    std::string target;   // the path with links followed: what Commit replaces
    std::string writing;  // the temporary, or target itself
    int descriptor = -1;
    int slot = -1;  // where the temporary is registered for removal on Ctrl-C
};

// The whole of a small file through an OutputFile.
bool WriteWholeFile(const std::string& path, const void* bytes, size_t count, std::string& error,
                    DeviceOutput devices = DeviceOutput::WrittenDirectly);
