#include "player/output_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <filesystem>

namespace fs = std::filesystem;

namespace {
std::string Quoted(const std::string& path) { return "'" + path + "'"; }
std::string SystemError() { return std::strerror(errno); }

// Temporaries still being written, removed when Ctrl-C or a termination signal ends the
// process, which then dies of the signal as it would have. Fixed storage: the handler
// may only touch memory that is never allocated or freed.
constexpr int kPendingSlots = 8;
char pendingNames[kPendingSlots][4096];
std::atomic<bool> pendingUsed[kPendingSlots];

void RemovePendingAndDie(int signal) {
    for (int i = 0; i < kPendingSlots; ++i)
        if (pendingUsed[i].load()) unlink(pendingNames[i]);
    std::signal(signal, SIG_DFL);
    raise(signal);
}

int RegisterPending(const std::string& name) {
    static const bool installed = [] {
        for (int s : {SIGINT, SIGTERM, SIGHUP}) {
            struct sigaction old{};
            // A signal the caller chose to ignore stays ignored.
            if (sigaction(s, nullptr, &old) == 0 && old.sa_handler == SIG_DFL) std::signal(s, RemovePendingAndDie);
        }
        return true;
    }();
    (void)installed;
    if (name.size() >= sizeof pendingNames[0]) return -1;
    for (int i = 0; i < kPendingSlots; ++i) {
        if (pendingUsed[i].load()) continue;
        std::memcpy(pendingNames[i], name.c_str(), name.size() + 1);
        pendingUsed[i].store(true);
        return i;
    }
    return -1;  // removed by the destructor only
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
    if (slot >= 0) pendingUsed[slot].store(false);
    slot = -1;
    writing.clear();
    target.clear();
}

bool OutputFile::Open(const std::string& requested, std::string& error) {
    Discard();
    path = requested;
    const fs::path resolved = FollowLinks(requested);
    struct stat existing{};
    const bool exists = stat(resolved.c_str(), &existing) == 0;
    if (exists && S_ISDIR(existing.st_mode)) {
        error = "cannot write " + Quoted(path) + ": it is a directory";
        return false;
    }
    if (exists && !S_ISREG(existing.st_mode)) {
        descriptor = open(resolved.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
        if (descriptor < 0) {
            error = "cannot open " + Quoted(path) + ": " + SystemError();
            return false;
        }
        target = writing = resolved.string();
        return true;
    }
    // Beside the target, so that the rename stays within one file system; the extension
    // kept for programs that choose the format by it.
    const std::string stem = "." + resolved.filename().string() + ".part-" + std::to_string(getpid()) + "-";
    for (int attempt = 0; attempt < 100; ++attempt) {
        const fs::path name = resolved.parent_path() / (stem + std::to_string(attempt) + resolved.extension().string());
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
    slot = RegisterPending(writing);
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

bool WriteWholeFile(const std::string& path, const void* bytes, size_t count, std::string& error) {
    OutputFile file;
    return file.Open(path, error) && file.Write(bytes, count, error) && file.Commit(error);
}
