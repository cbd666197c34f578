#include "player/pending_removal.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstring>

namespace {
// Fixed storage: the handler may only touch memory that is never allocated or freed.
constexpr int kSlots = 16;
char names[kSlots][4096];
pid_t writers[kSlots];
constexpr int kWriter = 1 + int(PendingKind::Folder) + 1;
std::atomic<int> kinds[kSlots];  // 0 for a free slot, else 1 + PendingKind or kWriter

// How many SignalsDeferred live, and the signal that came meanwhile. Both sides take the
// signal with an exchange, so exactly one of them acts on it.
std::atomic<int> deferrers{0};
std::atomic<int> deferred{0};

// Only async-signal-safe calls. The folder's entries are files this process wrote; a
// file another thread creates meanwhile is caught by the next pass.
void RemoveFolder(const char* path) {
    alignas(8) static char entries[8192];
    for (int pass = 0; rmdir(path) != 0 && pass < 3; ++pass) {
        const int folder = open(path, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (folder < 0) return;
        for (ssize_t n; (n = getdents64(folder, entries, sizeof entries)) > 0;)
            for (ssize_t at = 0; at < n;) {
                const auto* entry = reinterpret_cast<const dirent64*>(entries + at);
                const char* name = entry->d_name;
                if (std::strcmp(name, ".") != 0 && std::strcmp(name, "..") != 0) unlinkat(folder, name, 0);
                at += entry->d_reclen;
            }
        close(folder);
    }
}

void RemovePendingAndDie(int signal) {
    if (deferrers.load() > 0) {
        deferred.store(signal);
        // The last SignalsDeferred may have ended meanwhile, without seeing it.
        if (deferrers.load() > 0 || deferred.exchange(0) == 0) return;
    }
    for (int i = 0; i < kSlots; ++i)
        if (kinds[i].load() == kWriter && kill(writers[i], SIGKILL) == 0)
            while (waitpid(writers[i], nullptr, 0) < 0 && errno == EINTR) continue;
    for (int i = 0; i < kSlots; ++i) {
        const int kind = kinds[i].load();
        if (kind == 1 + int(PendingKind::File)) unlink(names[i]);
        if (kind == 1 + int(PendingKind::Folder)) RemoveFolder(names[i]);
    }
    std::signal(signal, SIG_DFL);
    raise(signal);
}

void InstallHandlers() {
    static const bool installed = [] {
        struct sigaction action{};
        action.sa_handler = RemovePendingAndDie;
        // One removal at a time, however many signals come together.
        sigemptyset(&action.sa_mask);
        for (int s : {SIGINT, SIGTERM, SIGHUP}) sigaddset(&action.sa_mask, s);
        for (int s : {SIGINT, SIGTERM, SIGHUP}) {
            struct sigaction old{};
            if (sigaction(s, nullptr, &old) == 0 && old.sa_handler == SIG_DFL) sigaction(s, &action, nullptr);
        }
        return true;
    }();
    (void)installed;
}

// Claimed first, so that two threads never share a slot; fill completes it before the
// kind says what to do with it.
template <typename Fill>
int Register(int kind, Fill fill) {
    InstallHandlers();
    for (int i = 0; i < kSlots; ++i) {
        int free = 0;
        if (!kinds[i].compare_exchange_strong(free, -1)) continue;
        fill(i);
        kinds[i].store(kind);
        return i;
    }
    return -1;
}
}  // namespace

int RegisterPendingRemoval(const std::string& path, PendingKind kind) {
    if (path.size() >= sizeof names[0]) return -1;
    return Register(1 + int(kind), [&](int i) { std::memcpy(names[i], path.c_str(), path.size() + 1); });
}

int RegisterPendingWriter(pid_t program) {
    return Register(kWriter, [&](int i) { writers[i] = program; });
}

void ReleasePendingRemoval(int slot) {
    if (slot >= 0 && slot < kSlots) kinds[slot].store(0);
}

SignalsDeferred::SignalsDeferred() {
    InstallHandlers();  // else a signal meanwhile would end the process at once
    deferrers.fetch_add(1);
}

SignalsDeferred::~SignalsDeferred() {
    if (deferrers.fetch_sub(1) != 1) return;
    if (const int signal = deferred.exchange(0)) raise(signal);
}
