#include "player/input_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>

#include "player/file_kind.h"

namespace {
std::string Quoted(const std::string& path) { return "'" + path + "'"; }

std::string Reason(int code) {
    std::string text = std::strerror(code);
    if (!text.empty()) text[0] = char(std::tolower(static_cast<unsigned char>(text[0])));
    return text;
}

std::string Failure(const std::string& path, int code) {
    return (code == EACCES ? "cannot read " : "cannot open ") + Quoted(path) + ": " + Reason(code);
}

std::string NotRegular(const std::string& path, mode_t mode) {
    return "cannot read " + Quoted(path) + ": it is " + FileKindName(mode) + ", not a regular file";
}
}  // namespace

int OpenRegularFile(const std::string& path, std::string& error) {
    // Looked at before it is opened, as opening some devices does something; and again
    // once open, as it may have been swapped meanwhile. O_NONBLOCK: opening a pipe does
    // not wait for a writer.
    struct stat status{};
    if (stat(path.c_str(), &status) != 0) {
        error = Failure(path, errno);
        return -1;
    }
    if (!S_ISREG(status.st_mode)) {
        error = NotRegular(path, status.st_mode);
        return -1;
    }
    const int descriptor = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (descriptor < 0) {
        error = Failure(path, errno);
        return -1;
    }
    if (fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode)) {
        error = NotRegular(path, status.st_mode);
        close(descriptor);
        return -1;
    }
    const int flags = fcntl(descriptor, F_GETFL);
    if (flags < 0 || fcntl(descriptor, F_SETFL, flags & ~O_NONBLOCK) != 0) {
        error = Failure(path, errno);
        close(descriptor);
        return -1;
    }
    return descriptor;
}

InputFile::~InputFile() {
    if (fd >= 0) close(fd);
}

bool InputFile::Open(const std::string& path, std::string& error) {
    if (fd >= 0) close(fd);
    fd = OpenRegularFile(path, error);
    return fd >= 0;
}

bool ReadWholeFile(const std::string& path, size_t limit, std::vector<uint8_t>& bytes, bool& cut,
                   std::string& error) {
    InputFile file;
    if (!file.Open(path, error)) return false;
    // Grown as the data comes, never from the size the file claims, to one byte past the
    // limit, which tells a file that was cut.
    bytes.clear();
    uint8_t chunk[65536];
    ssize_t n = 0;
    while (bytes.size() <= limit) {
        n = read(file.descriptor(), chunk, std::min(sizeof chunk, limit + 1 - bytes.size()));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        bytes.insert(bytes.end(), chunk, chunk + n);
    }
    if (n < 0) {
        error = "cannot read " + Quoted(path) + ": " + Reason(errno);
        return false;
    }
    cut = bytes.size() > limit;
    if (cut) bytes.resize(limit);
    return true;
}
