#include "backends/native/beat_meter.h"

#include <imgui.h>

#include <algorithm>
#include <cstdio>

#include "engine/sample_intake.h"

namespace {
// The light stays on this long, so that a single beat's block is seen at any frame rate.
constexpr double kFlashSeconds = 0.15;
// The scale sinks this much per drawn frame once the values fall, so the bar stays readable.
constexpr float kRangeDecay = 0.995f;
}  // namespace

void BeatMeter::DrawOnBeatPage(float left, float top, float pixelsPerUnit) {
    // The page's controls end at 89 of its 137 x 137 units.
    Draw(left + 4 * pixelsPerUnit, top + 96 * pixelsPerUnit, 129 * pixelsPerUnit, 30 * pixelsPerUnit);
}

void BeatMeter::Draw(float left, float top, float width, float height) {
    const int32_t sum = reading.sum.load(std::memory_order_relaxed);
    const int32_t threshold = reading.threshold.load(std::memory_order_relaxed);
    const unsigned beats = reading.beats.load(std::memory_order_relaxed);
    const double now = ImGui::GetTime();
    if (beats != seenBeats) lastBeatTime = now;
    seenBeats = beats;
    range = std::max({range * kRangeDecay, float(sum), float(threshold), 1.0f});

    ImDrawList* list = ImGui::GetWindowDrawList();
    const float text = ImGui::GetTextLineHeight();
    char caption[64];
    std::snprintf(caption, sizeof caption, "Band energy %d, beat above %d", int(sum), int(threshold));
    list->AddText({left, top}, ImGui::GetColorU32(ImGuiCol_Text), caption);

    // The light at the right, the bar across the rest below the caption.
    const float radius = std::max(2.0f, std::min((height - text - 4) / 2, text));
    const ImVec2 light{left + width - radius, top + text + radius + 2};
    const bool lit = now - lastBeatTime < kFlashSeconds;
    list->AddCircleFilled(light, radius, lit ? IM_COL32(255, 220, 40, 255) : IM_COL32(70, 60, 20, 255));
    list->AddCircle(light, radius, IM_COL32_BLACK);

    const float x0 = left, x1 = left + width - 2 * radius - 6;
    const float y0 = top + text + 2, y1 = top + text + 2 + 2 * radius;
    const float full = range * 1.1f;
    const float energyX = x0 + (x1 - x0) * std::min(1.0f, float(sum) / full);
    const float thresholdX = x0 + (x1 - x0) * std::min(1.0f, float(threshold) / full);
    list->AddRectFilled({x0, y0}, {x1, y1}, IM_COL32(30, 30, 30, 255));
    list->AddRectFilled({x0, y0}, {energyX, y1}, sum > threshold ? IM_COL32(240, 80, 40, 255) : IM_COL32(60, 170, 90, 255));
    list->AddLine({thresholdX, y0 - 2}, {thresholdX, y1 + 2}, IM_COL32_WHITE, 2);
    list->AddRect({x0, y0}, {x1, y1}, ImGui::GetColorU32(ImGuiCol_Border));
}
