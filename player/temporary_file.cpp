#include "player/temporary_file.h"

#include <stdlib.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "player/pending_removal.h"

namespace fs = std::filesystem;

TemporaryFile::~TemporaryFile() {
    if (!name.empty()) unlink(name.c_str());
    ReleasePendingRemoval(slot);
}

bool TemporaryFile::Create(const std::string& prefix, const std::string& suffix, std::string& error) {
    std::error_code ignored;  // an unusable TMPDIR shows up as mkstemps failing
    std::string pattern = (fs::temp_directory_path(ignored) / (prefix + "XXXXXX" + suffix)).string();
    const SignalsDeferred untilRegistered;
    const int descriptor = mkstemps(pattern.data(), int(suffix.size()));
    if (descriptor < 0) {
        error = "cannot create a temporary file in " + fs::path(pattern).parent_path().string() + ": " +
                std::strerror(errno);
        return false;
    }
    close(descriptor);
    name = pattern;
    slot = RegisterPendingRemoval(name, PendingKind::File);
    return true;
}

TemporaryFolder::~TemporaryFolder() {
    std::error_code ignored;
    if (!name.empty()) fs::remove_all(name, ignored);
    ReleasePendingRemoval(slot);
}

bool TemporaryFolder::Create(const std::string& parent, std::string& error) {
    std::string pattern = (fs::path(parent) / ".qelv-part-XXXXXX").string();
    const SignalsDeferred untilRegistered;
    if (!mkdtemp(pattern.data())) {
        error = "cannot create a folder in '" + parent + "': " + std::strerror(errno);
        return false;
    }
    name = pattern;
    slot = RegisterPendingRemoval(name, PendingKind::Folder);
    return true;
}
