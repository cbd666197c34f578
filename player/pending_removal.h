#pragma once
#include <sys/types.h>

#include <string>

// Files and folders still being written, removed when Ctrl-C, a termination signal or a
// hang-up ends the process, which then dies of the signal as it would have. A signal
// the process was started with ignored stays ignored.
enum class PendingKind { File, Folder };

// The slot to release once the path is complete or removed; -1 when none is free, and
// then only its owner removes it.
int RegisterPendingRemoval(const std::string& path, PendingKind kind);
// A program writing such a file (ffmpeg) is killed, and waited for, before any file is
// removed, so that it cannot create one again after. Released before it is waited for.
int RegisterPendingWriter(pid_t program);
void ReleasePendingRemoval(int slot);

// While one lives, such a signal waits until it ends: for a few renames that must not
// stop half-way, whichever thread the signal comes to.
class SignalsDeferred {
public:
    SignalsDeferred();
    ~SignalsDeferred();
    SignalsDeferred(const SignalsDeferred&) = delete;
    SignalsDeferred& operator=(const SignalsDeferred&) = delete;
};
