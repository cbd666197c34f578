#include <cstdio>

#include "apps/qelv/commands.h"

// Placeholder until the command lands.
int RunPreset(int, char**) {
    std::fputs("qelv preset: not available yet\n", stderr);
    return 2;
}
