#include "apps/qelv/render/progress_bar.h"
#include "backends/native/tool_messages.h"

#include <cstdio>
#include <unistd.h>

namespace {
// Shorter renders finish before a bar would be worth reading.
constexpr int64_t kLongRender = 100;
constexpr int kBarWidth = 40;
}  // namespace

ProgressBar::ProgressBar(int64_t total) : total(total), active(total >= kLongRender && isatty(fileno(ToolMessages()))) {}

ProgressBar::~ProgressBar() {
    if (active && shown >= 0) std::fputs("\r\033[K", ToolMessages());  // leave the line clean
}

void ProgressBar::Update(int64_t done) {
    if (!active) return;
    const int permille = int(done * 1000 / total);
    if (permille == shown) return;
    shown = permille;
    char bar[kBarWidth + 1];
    const int filled = permille * kBarWidth / 1000;
    for (int i = 0; i < kBarWidth; ++i) bar[i] = i < filled ? '#' : '.';
    bar[kBarWidth] = 0;
    std::fprintf(ToolMessages(), "\r[%s] %5.1f%%  frame %lld of %lld", bar, permille / 10.0, static_cast<long long>(done),
                 static_cast<long long>(total));
    std::fflush(ToolMessages());
}
