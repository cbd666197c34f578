#!/usr/bin/env bash
# Prints one frame's cost of every effect type and of the nine-effect chain: on the packed
# (fast) path at 1080p, 4K and 8K on 1, 2 and all the processor's threads, and on the
# plain (reference) path at 1080p and 4K on one. Each figure is the best of the runs'
# medians of 60 frames (BENCH_REPETITIONS runs, default 3), in ms, on one thread as a
# multiple of a memcpy of the same frame timed in the same run, on more threads as a share
# of the same work's time on one.
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
"$build/qelv_bench" --benchmark_filter="$filter" --benchmark_repetitions="${BENCH_REPETITIONS:-3}" \
  --benchmark_format=csv 2>/dev/null >"$csv"

awk -F, '
  NR == 1 { for (i = 1; i <= NF; ++i) if ($i ~ /median_ms/) col = i; next }
  {
    name = $1; gsub(/"/, "", name)
    if (name ~ /_(mean|median|stddev|cv)$/) next
    split(name, part, "/")
    key = part[2] "/" part[3] "/" part[4] "/" part[5]
    v = $col + 0
    if (!(key in best) || v < best[key]) best[key] = v
    have[part[3] "/" part[4] "/" part[5]] = 1
    if (!(part[2] in seenCase)) { seenCase[part[2]] = 1; cases[++ncases] = part[2] }
    if (!(part[4] in seenSize)) { seenSize[part[4]] = 1; sizes[++nsizes] = part[4] }
    if (!(part[5] in seenThreads)) { seenThreads[part[5]] = 1; threads[++nthreads] = part[5] + 0 }
  }
  function cell(label, path, size, n,   key, one, base) {
    key = label "/" path "/" size "/" n
    if (!(key in best)) return "-"
    if (n == 1) {
      base = best["memcpy/-/" size "/1"]
      return base > 0 ? sprintf("%.3f ms = %.1fx", best[key], best[key] / base) : sprintf("%.3f ms", best[key])
    }
    one = best[label "/" path "/" size "/1"]
    return one > 0 ? sprintf("%.3f ms = %.2f", best[key], best[key] / one) : sprintf("%.3f ms", best[key])
  }
  function table(path,   r, s, t, label, line, any) {
    line = "| effect |"
    for (s = 1; s <= nsizes; ++s)
      for (t = 1; t <= nthreads; ++t)
        if ((path "/" sizes[s] "/" threads[t]) in have) {
          line = line sprintf(" %s %d thread%s |", sizes[s], threads[t], threads[t] > 1 ? "s" : "")
          cols[++ncols] = s "/" t
        }
    print line
    line = "|---|"
    for (r = 1; r <= ncols; ++r) line = line "---|"
    print line
    for (r = 1; r <= ncases; ++r) {
      label = cases[r]
      if (label == "memcpy") continue
      line = "| " label " |"
      for (c = 1; c <= ncols; ++c) {
        split(cols[c], st, "/")
        line = line " " cell(label, path, sizes[st[1]], threads[st[2]]) " |"
      }
      print line
    }
    ncols = 0
  }
  END {
    for (i = 2; i <= nthreads; ++i)   # threads in rising order
      for (j = i; j > 1 && threads[j - 1] > threads[j]; --j) {
        t = threads[j]; threads[j] = threads[j - 1]; threads[j - 1] = t
      }
    line = "memcpy of the frame:"
    for (s = 1; s <= nsizes; ++s)
      line = line sprintf("%s %.3f ms at %s", s > 1 ? "," : "", best["memcpy/-/" sizes[s] "/1"], sizes[s])
    print line
    print ""
    print "Fast path (1 thread: ms = multiple of the memcpy; more threads: ms = share of the 1-thread time):"
    print ""
    table("fast")
    print ""
    print "Reference path, one thread:"
    print ""
    table("reference")
  }' "$csv"
