#!/usr/bin/env bash
# Prints one frame's cost of every effect type and of the nine-effect chain at 1080p and
# 4K, on the packed (fast) and the plain (reference) paths: the best of three medians of
# 60 frames, in ms and as a ratio to a memcpy of the same frame timed in the same run.
# Usage: scripts/bench.sh [benchmark filter]   (default: every frame benchmark)
set -euo pipefail
cd "$(dirname "$0")/.."
build=build/native
if [ ! -x "$build/qelv_bench" ]; then
  cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
  cmake --build "$build" -j2 --target qelv_bench >/dev/null
fi
filter="${1:-^Frame/}"
csv=$(mktemp)
trap 'rm -f "$csv"' EXIT
"$build/qelv_bench" --benchmark_filter="$filter" --benchmark_repetitions=3 \
  --benchmark_format=csv 2>/dev/null >"$csv"

awk -F, '
  NR == 1 { for (i = 1; i <= NF; ++i) if ($i ~ /median_ms/) col = i; next }
  {
    name = $1; gsub(/"/, "", name)
    if (name ~ /_(mean|median|stddev|cv)$/) next
    split(name, part, "/")
    key = part[2] "/" part[3] "/" part[4]
    v = $col + 0
    if (!(key in best) || v < best[key]) best[key] = v
    if (!(part[2] in seen)) { seen[part[2]] = 1; order[++rows] = part[2] }
  }
  function cell(label, path, size,   key, base) {
    key = label "/" path "/" size
    base = best["memcpy/-/" size]
    if (!(key in best)) return "-"
    if (base > 0) return sprintf("%.3f ms = %.1fx", best[key], best[key] / base)
    return sprintf("%.3f ms", best[key])
  }
  END {
    printf "memcpy of the frame: %.3f ms at 1920x1080, %.3f ms at 3840x2160\n\n", \
      best["memcpy/-/1920x1080"], best["memcpy/-/3840x2160"]
    print "| effect | 1920x1080 fast | 1920x1080 reference | 3840x2160 fast | 3840x2160 reference |"
    print "|---|---|---|---|---|"
    for (r = 1; r <= rows; ++r) {
      label = order[r]
      if (label == "memcpy") continue
      printf "| %s | %s | %s | %s | %s |\n", label, cell(label, "fast", "1920x1080"), \
        cell(label, "reference", "1920x1080"), cell(label, "fast", "3840x2160"), \
        cell(label, "reference", "3840x2160")
    }
  }' "$csv"
