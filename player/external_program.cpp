#include "player/external_program.h"

#include <unistd.h>

#include <cstdlib>

bool FindOnPath(const char* program) {
    const char* path = std::getenv("PATH");
    if (!path) return false;
    const std::string paths = path;
    for (size_t start = 0; start <= paths.size();) {
        size_t end = paths.find(':', start);
        if (end == std::string::npos) end = paths.size();
        const std::string directory = end > start ? paths.substr(start, end - start) : ".";
        if (access((directory + "/" + program).c_str(), X_OK) == 0) return true;
        start = end + 1;
    }
    return false;
}

std::string ShellQuote(const std::string& text) {
    std::string quoted = "'";
    for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}
