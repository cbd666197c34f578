#include <cstdio>
#include <cstring>

#include "apps/qelv/commands.h"

namespace {
void Usage(std::FILE* out) {
    std::fputs(
        "usage: qelv COMMAND [ARGS]\n"
        "  render   render frames offline to raw frames, PNG files or a video\n"
        "  play     play a track and show the effects live in a window\n"
        "  analyze  turn an audio file into a sample stream (.qsb)\n"
        "  preset   show presets and convert them to and from JSON\n"
        "Run 'qelv COMMAND --help' for a command's options, 'qelv --version' for the version.\n",
        out);
}
}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        Usage(stderr);
        return 2;
    }
    const char* command = argv[1];
    if (!std::strcmp(command, "render")) return RunRender(argc - 2, argv + 2);
    if (!std::strcmp(command, "play")) return RunPlay(argc - 2, argv + 2);
    if (!std::strcmp(command, "analyze")) return RunAnalyze(argc - 2, argv + 2);
    if (!std::strcmp(command, "preset")) return RunPreset(argc - 2, argv + 2);
    if (!std::strcmp(command, "--version")) {
        std::puts("qelv " QELV_VERSION);
        return 0;
    }
    if (!std::strcmp(command, "--help") || !std::strcmp(command, "-h")) {
        Usage(stdout);
        return 0;
    }
    std::fprintf(stderr, "qelv: unknown command '%s'\n", command);
    Usage(stderr);
    return 2;
}
