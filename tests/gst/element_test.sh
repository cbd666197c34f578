#!/bin/sh
# The element with GStreamer's own tools, as a user meets it: gst-inspect-1.0 finds it in
# the build tree; gst-launch-1.0 draws WAVs of several layouts into frames equal byte for
# byte to `qelv render --audio` of the same WAV, preset, size and rate (each pipeline ends
# only when the end of stream has come through); an unknown or damaged preset stops the
# start within seconds with an error naming it.
# Usage: element_test.sh QELV_TOOL (GST_PLUGIN_PATH names the folder of libgstqelv.so)
set -u
qelv=$1
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
trap 'exit 1' INT TERM
fail() { echo "FAIL: $*"; exit 1; }
# A registry of our own, so that no stale one from another build is used.
export GST_REGISTRY="$dir/registry.bin"

gst-inspect-1.0 qelv >"$dir/inspect" 2>&1 || fail "gst-inspect-1.0 finds no qelv: $(cat "$dir/inspect")"
for want in "Klass *Visualization" "Filename *$GST_PLUGIN_PATH/libgstqelv.so" "preset *:" "shuffle *:" \
  "transition *:" "format: BGRx"; do
  grep -q "$want" "$dir/inspect" || fail "gst-inspect-1.0 qelv shows no '$want'"
done
echo "gst-inspect-1.0: qelv from $GST_PLUGIN_PATH"

# The demo track, and the same sound in other layouts the element takes.
"$qelv" analyze --demo --wav "$dir/demo.wav" 2>/dev/null || fail "qelv analyze --wav failed"
convert_wav() {
  gst-launch-1.0 -q filesrc location="$dir/demo.wav" ! wavparse ! audioconvert ! audioresample ! "$2" ! wavenc \
    ! filesink location="$dir/$1" || fail "could not make $1"
}
convert_wav mono-float-48k.wav audio/x-raw,format=F32LE,channels=1,rate=48000
convert_wav quad.wav audio/x-raw,format=S16LE,channels=4

# wav, size, frame rate for the element, frame rate for the tool, preset (- for none).
# At 30000/1001 the block rate is 30 and frame i takes block i for the first thousand
# frames, longer than the demo: the same frames as at 30.
while read -r wav width height rate tool_rate preset; do
  [ "$preset" = - ] && preset=
  "$qelv" render --audio "$dir/$wav" ${preset:+--preset "$preset"} --size "${width}x$height" --fps "$tool_rate" \
    --out "$dir/tool.rgb" 2>"$dir/err" || fail "qelv render failed: $(cat "$dir/err")"
  timeout 120 gst-launch-1.0 -q filesrc location="$dir/$wav" ! wavparse ! qelv ${preset:+preset="$preset"} \
    ! "video/x-raw,width=$width,height=$height,framerate=$rate" ! filesink location="$dir/element.rgb" \
    >"$dir/err" 2>&1 || fail "gst-launch-1.0 of $wav failed: $(cat "$dir/err")"
  frames=$(($(wc -c <"$dir/tool.rgb") / (width * height * 4)))
  cmp -s "$dir/tool.rgb" "$dir/element.rgb" ||
    fail "$wav at ${width}x$height, $rate, preset '${preset}': the element's frames differ from the tool's" \
      "($(wc -c <"$dir/element.rgb") and $(wc -c <"$dir/tool.rgb") bytes; $(cmp "$dir/tool.rgb" "$dir/element.rgb"))"
  echo "$wav ${width}x$height $rate '${preset}': $frames frames, the same bytes as qelv render"
done <<'ROWS'
demo.wav 96 64 50/1 50 aurora
demo.wav 64 48 25/1 25 -
mono-float-48k.wav 80 40 50/1 50 beat-star
quad.wav 48 36 30000/1001 30 radar
ROWS

# Presets that cannot be loaded: an error naming the preset, within seconds.
head -c 3000 /dev/urandom >"$dir/damaged.qlp"
printf '{"effects": [' >"$dir/cut.json"
for preset in nonesuch "$dir/damaged.qlp" "$dir/cut.json" "$dir/missing.qlp"; do
  start=$(date +%s)
  timeout 20 gst-launch-1.0 -q filesrc location="$dir/demo.wav" ! wavparse ! qelv preset="$preset" ! fakesink \
    >"$dir/err" 2>&1
  rc=$?
  [ $rc -ne 0 ] && [ $rc -ne 124 ] || fail "preset '$preset': exit code $rc"
  [ $(($(date +%s) - start)) -le 5 ] || fail "preset '$preset': more than 5 s to fail"
  grep -q "ERROR: from element .*qelv.*: Could not load the Qelv preset '$preset': " "$dir/err" ||
    fail "preset '$preset': no error naming it: $(cat "$dir/err")"
  echo "preset '$preset': $(grep -m1 'ERROR: from element' "$dir/err" | sed 's/.*: Could not/Could not/')"
done

# The README's pipeline from a file to a video with its sound, at a smaller size.
timeout 200 gst-launch-1.0 -q -e filesrc location="$dir/demo.wav" ! decodebin ! tee name=t \
  t. ! queue ! audioconvert ! audioresample ! qelv preset=aurora \
     ! video/x-raw,width=320,height=180,framerate=50/1 ! videoconvert ! x264enc ! queue ! mux. \
  t. ! queue ! audioconvert ! lamemp3enc ! queue ! mux. \
  mp4mux name=mux ! filesink location="$dir/song.mp4" >"$dir/err" 2>&1 || fail "the .mp4 pipeline: $(cat "$dir/err")"
streams=$(ffprobe -v error -show_entries stream=codec_name,width,height,nb_frames -of csv=p=0 "$dir/song.mp4")
echo "$streams" | grep -qx "h264,320,180,1250" && echo "$streams" | grep -q "^mp3," ||
  fail "the .mp4 holds: $streams"
echo "song.mp4: $(echo "$streams" | tr '\n' ' ')"
