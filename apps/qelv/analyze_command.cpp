#include <cstdio>

#include "apps/qelv/commands.h"

// Placeholder until the command lands.
int RunAnalyze(int, char**) {
    std::fputs("qelv analyze: not available yet\n", stderr);
    return 2;
}
