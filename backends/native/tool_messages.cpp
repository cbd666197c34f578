#include "backends/native/tool_messages.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdint>
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#include <sanitizer/common_interface_defs.h>
#endif

namespace {
std::FILE* kept = nullptr;
}  // namespace

std::FILE* ToolMessages() { return kept ? kept : stderr; }

void QuietLibraries() {
    if (kept) return;
    const int copy = fcntl(STDERR_FILENO, F_DUPFD_CLOEXEC, 3);
    const int nowhere = open("/dev/null", O_WRONLY | O_CLOEXEC);
    std::FILE* stream = copy >= 0 ? fdopen(copy, "w") : nullptr;
    if (!stream || nowhere < 0 || dup2(nowhere, STDERR_FILENO) < 0) {
        // Nothing is hidden rather than Qelv's own messages lost.
        if (stream) std::fclose(stream);
        else if (copy >= 0) close(copy);
        if (nowhere >= 0) close(nowhere);
        return;
    }
    close(nowhere);
    // Unbuffered, as standard error is: a message shows before whatever follows it.
    std::setvbuf(stream, nullptr, _IONBF, 0);
    kept = stream;
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    // A sanitizer's report is the tool's business and must be seen.
    __sanitizer_set_report_fd(reinterpret_cast<void*>(intptr_t(copy)));
#endif
}
