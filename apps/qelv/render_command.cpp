#include <cstdio>

#include "apps/qelv/commands.h"

// Placeholder until the command lands.
int RunRender(int, char**) {
    std::fputs("qelv render: not available yet\n", stderr);
    return 2;
}
