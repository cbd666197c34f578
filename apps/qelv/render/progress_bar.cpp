#include "apps/qelv/render/progress_bar.h"
#include "apps/qelv/render/time_text.h"
#include "backends/native/tool_messages.h"

#include <cstdio>
#include <string>
#include <unistd.h>

namespace {
// Shorter renders finish before a bar would be worth reading.
constexpr int64_t kLongRender = 100;
constexpr int kBarWidth = 40;
}  // namespace

ProgressBar::ProgressBar(int64_t total, int64_t preRoll)
    : total(total), preRoll(preRoll), active(total >= kLongRender && isatty(fileno(ToolMessages()))) {}

ProgressBar::~ProgressBar() {
    if (active && shown >= 0) std::fputs("\r\033[K", ToolMessages());  // leave the line clean
}

void ProgressBar::Update(int64_t done) {
    if (!active) return;
    const double gone = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    const int permille = int(done * 1000 / total);
    if (permille == shown && int64_t(gone) == shownSecond) return;
    shown = permille;
    shownSecond = int64_t(gone);
    char bar[kBarWidth + 1];
    const int filled = permille * kBarWidth / 1000;
    for (int i = 0; i < kBarWidth; ++i) bar[i] = i < filled ? '#' : '.';
    bar[kBarWidth] = 0;
    // The rate so far foretells the rest, once a second of it has been seen.
    const std::string left = gone >= 1 ? ClockText(gone * double(total - done) / double(done)) : "-:--";
    const bool rolling = done <= preRoll;
    std::fprintf(ToolMessages(), "\r[%s] %5.1f%%  %s %lld of %lld  %s gone, %s left\033[K", bar, permille / 10.0,
                 rolling ? "pre-roll" : "frame", static_cast<long long>(rolling ? done : done - preRoll),
                 static_cast<long long>(rolling ? preRoll : total - preRoll), ClockText(gone).c_str(), left.c_str());
    std::fflush(ToolMessages());
}
