"""A file played by playbin with the element as its visualiser, the way players show one:
the vis-plugin property, the "vis" flag, and a video sink, here an appsink that plays in
time with the sound. Two seconds of moving frames must arrive.
Usage: playbin_test.py QELV_TOOL"""
import sys
import time

from qelv_gst import Gst, check, fail, pull, start

PLAY_FLAG_VIS = 0x8
work, wav = start(sys.argv[1])

playbin = Gst.ElementFactory.make("playbin")
playbin.set_property("uri", Gst.filename_to_uri(wav))
playbin.set_property("vis-plugin", Gst.ElementFactory.make("qelv"))
playbin.set_property("flags", int(playbin.get_property("flags")) | PLAY_FLAG_VIS)
playbin.set_property("audio-sink", Gst.ElementFactory.make("fakesink"))
sink = Gst.ElementFactory.make("appsink")
sink.set_property("caps", Gst.Caps.from_string("video/x-raw,width=160,height=90"))
playbin.set_property("video-sink", sink)

frames = []
bus = playbin.get_bus()
playbin.set_state(Gst.State.PLAYING)
deadline = time.monotonic() + 30
try:
    while len(frames) < 100:
        error = bus.pop_filtered(Gst.MessageType.ERROR)
        if error:
            fail("playbin: " + error.parse_error()[0].message)
        if time.monotonic() > deadline:
            fail("only %d frames within 30 s" % len(frames))
        frame = pull(sink)
        if frame:
            frames.append(frame)
finally:
    playbin.set_state(Gst.State.NULL)

check(all(f.size == (160, 90) for f in frames), "frames of other sizes: %s" % {f.size for f in frames})
distinct = len({f.data for f in frames})
check(distinct > 90, "only %d of 100 frames differ from the others: the picture hardly moves" % distinct)
span = (frames[-1].pts - frames[0].pts) / Gst.SECOND
check(1.9 <= span <= 2.1, "100 frames span %.2f s, not 2 s at 50 frames a second" % span)
print("ok: 100 frames, %d different, over %.2f s" % (distinct, span))
