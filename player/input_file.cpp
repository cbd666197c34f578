#include "player/input_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstring>

namespace {
std::string Reason(int code) {
    std::string text = std::strerror(code);
    if (!text.empty()) text[0] = char(std::tolower(static_cast<unsigned char>(text[0])));
    return text;
}

std::string Failure(const std::string& path, int code) {
    return std::string(code == EACCES ? "cannot read '" : "cannot open '") + path + "': " + Reason(code);
}

const char* Kind(mode_t mode) {
    if (S_ISDIR(mode)) return "a folder";
    if (S_ISFIFO(mode)) return "a pipe";
    if (S_ISSOCK(mode)) return "a socket";
    if (S_ISCHR(mode) || S_ISBLK(mode)) return "a device";
    return "not a plain file";
}

std::string NotRegular(const std::string& path, mode_t mode) {
    return "cannot read '" + path + "': not a regular file (" + Kind(mode) + ")";
}
}  // namespace

InputFile::~InputFile() {
    if (fd >= 0) close(fd);
}

bool InputFile::Open(const std::string& path, std::string& error) {
    if (fd >= 0) close(fd);
    fd = -1;
    // Looked at before it is opened: opening a device can act on it.
    struct stat named {};
    if (stat(path.c_str(), &named) != 0) {
        error = Failure(path, errno);
        return false;
    }
    if (!S_ISREG(named.st_mode)) {
        error = NotRegular(path, named.st_mode);
        return false;
    }
    // Non-blocking, so that a pipe put in its place since does not stall the open.
    const int opened = open(path.c_str(), O_RDONLY | O_NOCTTY | O_CLOEXEC | O_NONBLOCK);
    if (opened < 0) {
        error = Failure(path, errno);
        return false;
    }
    struct stat got {};
    if (fstat(opened, &got) != 0 || !S_ISREG(got.st_mode)) {
        error = NotRegular(path, got.st_mode);
        close(opened);
        return false;
    }
    const int flags = fcntl(opened, F_GETFL);
    if (flags < 0 || fcntl(opened, F_SETFL, flags & ~O_NONBLOCK) != 0) {
        error = Failure(path, errno);
        close(opened);
        return false;
    }
    fd = opened;
    return true;
}
