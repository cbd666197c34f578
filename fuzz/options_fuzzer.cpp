// Splits arbitrary bytes at NULs into a command line for render and for play. Whatever is
// accepted must hold values inside the stated ranges.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "apps/qelv/play/play_options.h"
#include "apps/qelv/render/render_options.h"

namespace {
bool InRange(const RenderOptions& o) {
    return o.help || (o.width >= kMinimumSide && o.width <= kMaximumSide && o.height >= kMinimumSide &&
                      o.height <= kMaximumSide && o.fps >= 1 && o.fps <= 1000 && o.frames >= 0);
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<std::string> words(1);
    for (size_t i = 0; i < size && words.size() < 64; ++i) {
        if (data[i] == 0) words.emplace_back();
        else words.back() += char(data[i]);
    }
    std::vector<char*> argv;
    for (std::string& w : words) argv.push_back(w.data());
    argv.push_back(nullptr);
    const int argc = int(words.size());

    RenderOptions render;
    std::string error;
    if (ParseRenderOptions(argc, argv.data(), render, error) ? !InRange(render) : error.empty()) std::abort();
    PlayOptions play;
    error.clear();
    const bool played = ParsePlayOptions(argc, argv.data(), play, error);
    if (played ? !InRange(play.input) || !(play.transitionSeconds >= 0 && play.transitionSeconds <= 60) : error.empty())
        std::abort();
    return 0;
}
