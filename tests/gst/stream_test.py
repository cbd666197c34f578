"""The element in pipelines the way players drive it: sizes and frame rates renegotiated
mid-stream, a flushing seek, the next track, presets changed while playing (with and without a fade, and
one that cannot be loaded), and the shuffle.
Usage: stream_test.py QELV_TOOL SOURCE_DIR"""
import os
import shutil
import subprocess
import sys
import wave

from qelv_gst import Gst, check, on_frame, run, start

tool, source = sys.argv[1], sys.argv[2]
work, wav = start(tool)
with wave.open(wav) as track:
    samples, rate = track.getnframes(), track.getframerate()


def frames_of(seconds_of_audio_samples, fps):
    """How many frames `qelv render` draws of this much audio: block k needs sample k * rate / fps."""
    return -(-seconds_of_audio_samples * fps // rate)


def ms(time):
    return time / Gst.MSECOND


def source_of(wav_file):
    return "filesrc location=%s ! wavparse ! " % wav_file


def small(element="qelv name=vis", width=32, height=24):
    caps = "video/x-raw,width=%d,height=%d,framerate=50/1" % (width, height)
    return source_of(wav) + element + " ! " + caps + " ! appsink name=out sync=false max-buffers=4"


def test_renegotiation():
    """A new size goes on with the same timing; a new rate goes on from the audio reached."""
    line = (source_of(wav) + "qelv preset=aurora ! capsfilter name=size caps=video/x-raw,width=64,height=48,"
            "framerate=50/1 ! appsink name=out sync=false max-buffers=4")

    def change(frames, pipeline):
        caps = {100: "video/x-raw,width=96,height=72,framerate=50/1",
                400: "video/x-raw,width=96,height=72,framerate=25/1"}.get(len(frames))
        if caps:
            pipeline.get_by_name("size").set_property("caps", Gst.Caps.from_string(caps))

    frames, _ = run(line, each=change)
    sizes = [f.size for f in frames]
    resized = sizes.index((96, 72))
    check(100 <= resized <= 110 and sizes[:resized] == [(64, 48)] * resized and
          all(size == (96, 72) for size in sizes[resized:]),
          "sizes did not change once from 64x48 to 96x72 soon after frame 100: %s" % sorted(set(sizes)))
    check(all(len(f.data) == f.size[0] * f.size[1] * 4 for f in frames), "a frame's bytes do not fit its size")
    slower = next(i for i, f in enumerate(frames) if f.rate == (25, 1))
    check(400 <= slower <= 410, "the rate changed at frame %d, not soon after 400" % slower)
    at_50 = [f.pts for f in frames[:slower]]
    check(at_50 == [i * 20 * Gst.MSECOND for i in range(slower)],
          "frames at 50 a second are not 20 ms apart from 0 across the size change")
    at_25 = [f.pts - frames[slower].pts for f in frames[slower:]]
    check(at_25 == [i * 40 * Gst.MSECOND for i in range(len(at_25))], "frames at 25 a second are not 40 ms apart")
    # The first frame at the new rate starts where the last at the old one ends, to a sample.
    gap = frames[slower].pts - (frames[slower - 1].pts + frames[slower - 1].duration)
    check(abs(gap) <= Gst.SECOND // rate, "the new rate starts %.3f ms after the old frames end" % ms(gap))
    end = samples * Gst.SECOND // rate
    check(end - 40 * Gst.MSECOND <= frames[-1].pts < end, "the last frame, at %.1f ms, is not at the audio's end"
          % ms(frames[-1].pts))


def test_seek():
    """After a flushing seek the analysis starts again at the new place, every frame on time."""
    sought = []

    def seek(frames, pipeline):
        if len(frames) == 30 and not sought:
            sought.append(pipeline.seek_simple(Gst.Format.TIME, Gst.SeekFlags.FLUSH | Gst.SeekFlags.ACCURATE,
                                               10 * Gst.SECOND))

    frames, _ = run(small(), each=seek)
    check(sought == [True], "the seek was refused")
    after = [f.pts for f in frames[30:]]
    expected = frames_of(samples - 10 * rate, 50)
    check(after == [10 * Gst.SECOND + i * 20 * Gst.MSECOND for i in range(expected)],
          "after the seek to 10 s: %d frames from %.1f ms, not %d 20 ms apart from 10 s"
          % (len(after), ms(after[0]) if after else -1, expected))


def test_next_track():
    """The next track's timestamps start again in a segment of its own; the frames follow
    them, so that in running time they go on 20 ms apart across the change."""
    line = ("concat name=tracks ! qelv ! video/x-raw,width=32,height=24,framerate=50/1 "
            "! appsink name=out sync=false max-buffers=4 " + (source_of(wav) + "tracks. ") * 2)
    frames, _ = run(line)
    per_track = frames_of(samples, 50)
    check(len(frames) == 2 * per_track, "%d frames of two tracks, not %d" % (len(frames), 2 * per_track))
    check([f.pts for f in frames[per_track:]] == [f.pts for f in frames[:per_track]],
          "the second track's frames are not timed as the first's")
    check([f.running_time for f in frames] == [i * 20 * Gst.MSECOND for i in range(len(frames))],
          "the frames' running times are not 20 ms apart across the tracks")


def frames_with(element, at=None, preset=None):
    """The frames of the demo through `element`; the preset changed to `preset` as frame
    `at` leaves the element."""
    pipeline = Gst.parse_launch(small(element))
    if at is not None:
        vis = pipeline.get_by_name("vis")
        on_frame(pipeline, "vis", lambda n: n == at and vis.set_property("preset", preset))
    return run(pipeline)


def first_difference(a, b):
    return next((i for i, (x, y) in enumerate(zip(a, b)) if x.data != y.data), None)


def test_preset_changes():
    """A preset set while playing draws from the next frame on; with a transition the
    picture fades over it; one that cannot be loaded warns, naming it, and changes nothing."""
    plain, _ = frames_with("qelv name=vis preset=aurora")
    cut, _ = frames_with("qelv name=vis preset=aurora", 100, "beat-star")
    faded, _ = frames_with("qelv name=vis preset=aurora transition=1", 100, "beat-star")
    kept, warnings = frames_with("qelv name=vis preset=aurora", 100, "nonesuch")
    check(len(cut) == len(plain) == len(faded) == len(kept), "a preset change changed the number of frames")
    check(first_difference(plain, cut) == 101, "the new preset did not draw from frame 101 on")
    check(first_difference(cut, faded) == 101, "the fade did not start at frame 101")
    check(first_difference(plain, kept) is None, "a preset that failed to load changed the picture")
    check(len(warnings) == 1 and "'nonesuch'" in warnings[0], "no warning naming the preset: %s" % warnings)


def shuffle_changes(seconds):
    """The frames from which the shuffle's changes show: each follows the first beat frame
    drawn once `seconds` of frames have been drawn since the last change."""
    lines = subprocess.run([tool, "analyze", "--beats", wav], check=True, capture_output=True, text=True).stdout
    changes, last = [], 0
    for beat in (round(float(t) * 50) for t in lines.split()):
        if beat + 1 - last >= seconds * 50:
            last = beat + 1
            changes.append(last)
    return changes


def test_shuffle():
    """The shuffle changes preset on the first beat after its time, among the presets
    beside the preset file: with one other there, exactly when and to what is known."""
    folder = os.path.join(work, "two")
    os.mkdir(folder)
    for name in ("aurora", "beat-star"):
        shutil.copy(os.path.join(source, "presets", name + ".qlp"), folder)
    aurora = os.path.join(folder, "aurora.qlp")
    first, second = shuffle_changes(0.5)[:2]
    plain, _ = frames_with("qelv name=vis preset=" + aurora)
    by_hand, _ = frames_with("qelv name=vis preset=" + aurora, first - 1, os.path.join(folder, "beat-star.qlp"))
    shuffled, warnings = frames_with("qelv name=vis shuffle=0.5 preset=" + aurora)
    check(first_difference(plain, shuffled) == first, "the shuffle did not change preset at frame %d" % first)
    check(first_difference(by_hand, shuffled) == second,
          "the shuffle did not change to the other preset at frame %d and back at %d" % (first, second))
    check(not warnings, "warnings: %s" % warnings)
    # Among the shipped presets the pick is random; the picture changes all the same.
    built_in, _ = frames_with("qelv name=vis")
    shipped, warnings = frames_with("qelv name=vis shuffle=0.5")
    check(first_difference(built_in, shipped) == first, "the shuffle among the shipped presets changed nothing")
    check(not warnings, "warnings: %s" % warnings)


for test in (test_renegotiation, test_seek, test_next_track, test_preset_changes, test_shuffle):
    test()
    print("ok " + test.__name__)
