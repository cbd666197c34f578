#include <cstdio>
#include <cstring>

#include "apps/qelv/commands.h"
#include "backends/native/tool_messages.h"

namespace {
void Usage(std::FILE* out) {
    std::fputs(
        "usage: qelv COMMAND [ARGS]\n"
        "  render   render frames offline to raw frames, PNG files or a video\n"
        "  play     play a track and show the effects live in a window\n"
        "  analyze  turn an audio file into a sample stream (.qsb)\n"
        "  preset   show presets and convert them to and from JSON\n"
        "Run 'qelv COMMAND --help' for a command's options, 'qelv --version' for the version.\n"
        "--verbose (before or after the command) lets the libraries underneath, such as\n"
        "the decoders and the sound server's client, print their own notes too.\n",
        out);
}
}  // namespace

int main(int argc, char** argv) {
    // --verbose may stand anywhere; the commands never see it.
    bool verbose = false;
    int kept = 0;
    for (int i = 0; i < argc; ++i) {
        if (i > 0 && !std::strcmp(argv[i], "--verbose")) verbose = true;
        else argv[kept++] = argv[i];
    }
    argc = kept;
    argv[argc] = nullptr;
    if (!verbose) QuietLibraries();
    if (argc < 2) {
        Usage(ToolMessages());
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
    std::fprintf(ToolMessages(), "qelv: unknown command '%s'\n", command);
    Usage(ToolMessages());
    return 2;
}
