#include "player/output_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "player/file_kind.h"
#include "player/pending_removal.h"

namespace fs = std::filesystem;

namespace {
std::string Quoted(const std::string& path) { return "'" + path + "'"; }
std::string SystemError() { return std::strerror(errno); }

// The longest name of one file in a folder on the file systems we know.
constexpr size_t kNameMax = 255;

// Beside the target, so that the rename stays within one file system; hidden, and cut
// where the target's name is long, but with its extension for programs that choose the
// format by it.
fs::path TemporaryName(const fs::path& target, int attempt) {
    const std::string suffix = ".part-" + std::to_string(getpid()) + "-" + std::to_string(attempt);
    std::string extension = target.extension().string();
    if (extension.size() > 16) extension.clear();  // no format's
    const std::string name = target.filename().string();
    const size_t room = kNameMax - 1 - suffix.size() - extension.size();
    return target.parent_path() / ("." + name.substr(0, room) + suffix + extension);
}

// The file a chain of symbolic links ends at, existing or not; the path itself when the
// chain loops or cannot be read.
fs::path FollowLinks(const fs::path& path) {
    fs::path at = path;
    std::error_code code;
    for (int hops = 0; hops < 40 && fs::is_symlink(fs::symlink_status(at, code)); ++hops) {
        const fs::path next = fs::read_symlink(at, code);
        if (code) return path;
        at = next.is_absolute() ? next : at.parent_path() / next;
    }
    return fs::is_symlink(fs::symlink_status(at, code)) ? path : at;
}
}  // namespace

OutputFile::~OutputFile() { Discard(); }

void OutputFile::Discard() {
    if (descriptor >= 0) close(descriptor);
    descriptor = -1;
    if (writing != target) unlink(writing.c_str());
    ReleasePendingRemoval(slot);
    slot = -1;
    writing.clear();
    target.clear();
}

bool OutputFile::Open(const std::string& requested, std::string& error, DeviceOutput devices) {
    Discard();
    path = requested;
    // The kernel follows every link, those of /proc to a pipe too (/dev/stdout under a
    // shell's |), which FollowLinks cannot name.
    struct stat existing{};
    const bool exists = stat(requested.c_str(), &existing) == 0;
    if (exists && S_ISDIR(existing.st_mode)) {
        error = "cannot write " + Quoted(path) + ": it is a directory";
        return false;
    }
    if (exists && !S_ISREG(existing.st_mode) && devices == DeviceOutput::Refused) {
        error = "cannot write " + Quoted(path) + ": it is " + FileKindName(existing.st_mode) + ", not a regular file";
        return false;
    }
    if (exists && !S_ISREG(existing.st_mode)) {
        descriptor = open(requested.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
        if (descriptor < 0) {
            error = "cannot open " + Quoted(path) + ": " + SystemError();
            return false;
        }
        target = writing = requested;
        return true;
    }
    // A file is written beside the one its links end at, and renamed over it.
    const fs::path resolved = FollowLinks(requested);
    const SignalsDeferred untilRegistered;
    for (int attempt = 0; attempt < 100; ++attempt) {
        const fs::path name = TemporaryName(resolved, attempt);
        descriptor = open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (descriptor >= 0) {
            target = resolved.string();
            writing = name.string();
            break;
        }
        if (errno != EEXIST) break;
    }
    if (descriptor < 0) {
        error = "cannot create " + Quoted(path) + ": " + SystemError();
        return false;
    }
    // A replaced file keeps its permissions.
    if (exists) fchmod(descriptor, existing.st_mode & 07777);
    slot = RegisterPendingRemoval(writing, PendingKind::File);
    return true;
}

bool OutputFile::Write(const void* bytes, size_t count, std::string& error) {
    const char* at = static_cast<const char*>(bytes);
    while (count > 0) {
        const ssize_t n = write(descriptor, at, count);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            if (n == 0) errno = EIO;
            error = "cannot write " + Quoted(path) + ": " + SystemError();
            return false;
        }
        at += n;
        count -= size_t(n);
    }
    return true;
}

bool OutputFile::Commit(std::string& error) {
    if (descriptor < 0) {
        error = "cannot write " + Quoted(path) + ": it was not opened";
        return false;
    }
    const int closing = descriptor;
    descriptor = -1;
    if (close(closing) != 0) {
        error = "cannot write " + Quoted(path) + ": " + SystemError();
        Discard();
        return false;
    }
    if (writing != target && std::rename(writing.c_str(), target.c_str()) != 0) {
        error = "cannot replace " + Quoted(path) + ": " + SystemError();
        Discard();
        return false;
    }
    writing = target;  // nothing left to remove
    Discard();
    return true;
}

bool WriteWholeFile(const std::string& path, const void* bytes, size_t count, std::string& error,
                    DeviceOutput devices) {
    OutputFile file;
    return file.Open(path, error, devices) && file.Write(bytes, count, error) && file.Commit(error);
}
