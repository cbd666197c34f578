"""What the element's tests share: GStreamer with the build tree's element and a registry
of its own (GST_PLUGIN_PATH comes from ctest), the demo track as a WAV made by the tool,
and pipelines run to their end with the frames an appsink named "out" receives."""
import atexit
import os
import shutil
import subprocess
import sys
import tempfile
import time

import gi

gi.require_version("Gst", "1.0")
gi.require_version("GstApp", "1.0")
from gi.repository import Gst, GstApp  # noqa: E402,F401  (GstApp: the appsink's methods)


class Frame:
    def __init__(self, sample):
        buffer = sample.get_buffer()
        structure = sample.get_caps().get_structure(0)
        self.pts = buffer.pts
        self.running_time = sample.get_segment().to_running_time(Gst.Format.TIME, buffer.pts)
        self.duration = buffer.duration
        self.size = (structure.get_value("width"), structure.get_value("height"))
        _, numerator, denominator = structure.get_fraction("framerate")
        self.rate = (numerator, denominator)
        self.data = buffer.extract_dup(0, buffer.get_size())


def fail(message):
    print("FAIL: " + message)
    sys.exit(1)


def start(tool):
    """Starts GStreamer; returns a scratch folder (removed at exit) and the demo WAV in it."""
    work = tempfile.mkdtemp(prefix="qelv-gst-")
    atexit.register(shutil.rmtree, work, True)
    # A registry of our own, so that no stale one from another build is used.
    os.environ["GST_REGISTRY"] = os.path.join(work, "registry.bin")
    Gst.init(None)
    if Gst.ElementFactory.find("qelv") is None:
        fail("GStreamer finds no qelv element in GST_PLUGIN_PATH=%s" % os.environ.get("GST_PLUGIN_PATH"))
    wav = os.path.join(work, "demo.wav")
    subprocess.run([tool, "analyze", "--demo", "--wav", wav], check=True, capture_output=True)
    return work, wav


def on_frame(pipeline, element_name, action):
    """Calls action(n) on the streaming thread as frame n leaves the element, so that what
    it changes takes effect from a known frame on."""
    count = [0]

    def probe(_pad, _info):
        action(count[0])
        count[0] += 1
        return Gst.PadProbeReturn.OK

    pad = pipeline.get_by_name(element_name).get_static_pad("src")
    pad.add_probe(Gst.PadProbeType.BUFFER, probe)


def pull(sink):
    """The next frame, or None after a tenth of a second. No sample outlives the call: the
    appsink reuses one it holds alone."""
    sample = sink.try_pull_sample(Gst.SECOND // 10)
    return Frame(sample) if sample else None


def run(pipeline, seconds=120, each=None):
    """Plays the pipeline to its end: the frames received and the warnings posted. Fails on
    an error or when it takes longer than `seconds`. each(frames, pipeline) is called in
    this thread after every frame."""
    if isinstance(pipeline, str):
        pipeline = Gst.parse_launch(pipeline)
    sink = pipeline.get_by_name("out")
    bus = pipeline.get_bus()
    frames, warnings = [], []
    pipeline.set_state(Gst.State.PLAYING)
    deadline = time.monotonic() + seconds
    try:
        while True:
            message = bus.pop_filtered(Gst.MessageType.ERROR | Gst.MessageType.WARNING)
            while message:
                error, _debug = message.parse_error() if message.type == Gst.MessageType.ERROR else message.parse_warning()
                if message.type == Gst.MessageType.ERROR:
                    fail("pipeline error: " + error.message)
                warnings.append(error.message)
                message = bus.pop_filtered(Gst.MessageType.ERROR | Gst.MessageType.WARNING)
            frame = pull(sink)
            if frame:
                frames.append(frame)
                if each:
                    each(frames, pipeline)
            elif sink.is_eos():
                return frames, warnings
            if time.monotonic() > deadline:
                fail("no end of stream within %d s (%d frames)" % (seconds, len(frames)))
    finally:
        pipeline.set_state(Gst.State.NULL)


def check(condition, message):
    if not condition:
        fail(message)
