/* The `qelv` element. It is a plain GstElement rather than a GstAudioVisualizer: that
 * base class hands its subclass overlapping slices of audio whose number follows the
 * upstream buffer sizes (1024-sample buffers at 44100 Hz give 85 frames a second at a
 * negotiated 50, with uneven timestamps), drops audio with the frames it skips for QoS,
 * and tells its subclass of no flush. Here every sample is fed once, in order, and frame i
 * is drawn as soon as the audio up to its time is in, so its frames are those of
 * `qelv render --audio`. */
#include "gst/gstqelv.h"

#include <gst/audio/audio.h>
#include <math.h>
#include <qelv/qelv.h>

#include "gst/frame_clock.h"
#include "gst/preset_choice.h"
#include "gst/video_output.h"

GST_DEBUG_CATEGORY(gst_qelv_debug);
#define GST_CAT_DEFAULT gst_qelv_debug

#define AUDIO_CAPS                                                                                              \
    "audio/x-raw, format = (string) { " GST_AUDIO_NE(S16) ", " GST_AUDIO_NE(F32) " }, layout = (string) "     \
    "interleaved, rate = (int) [ 8000, 384000 ], channels = (int) [ 1, 8 ]"

static GstStaticPadTemplate sink_template =
    GST_STATIC_PAD_TEMPLATE("sink", GST_PAD_SINK, GST_PAD_ALWAYS, GST_STATIC_CAPS(AUDIO_CAPS));
static GstStaticPadTemplate src_template =
    GST_STATIC_PAD_TEMPLATE("src", GST_PAD_SRC, GST_PAD_ALWAYS, GST_STATIC_CAPS(QELV_GST_VIDEO_CAPS));

enum { PROP_0, PROP_PRESET, PROP_SHUFFLE, PROP_TRANSITION };

#define LONGEST_SHUFFLE 86400.0 /* a day, as `qelv play --shuffle` takes */
#define LONGEST_TRANSITION 60.0

struct _GstQelv {
    GstElement parent;
    GstPad *sinkpad, *srcpad;

    /* Properties, under the object lock; the streaming thread takes changes between frames. */
    gchar* preset;
    gdouble shuffle_seconds, transition_seconds;
    gboolean preset_changed, transition_changed;

    /* From READY to PAUSED until back: the streaming thread's, or the state change's while
     * no data flows. */
    qelv_engine* engine;
    GBytes* default_chain;
    QelvPresetChoice* shuffle;
    GRand* random;
    guint64 frames_drawn, last_preset_change; /* in frames, for the shuffle */

    gboolean audio_float;
    gint channels; /* 0 until the audio's format is known */
    QelvFrameClock clock;
    QelvVideoOutput video;
    GstSegment segment;
    /* The stream time of the first sample fed since the analysis last started, and how
     * far it has come since. */
    GstClockTime audio_start;
    guint64 samples_fed, next_frame;
    guint64 skip_samples; /* samples to pass over before feeding again */
};

G_DEFINE_TYPE(GstQelv, gst_qelv, GST_TYPE_ELEMENT);
GST_ELEMENT_REGISTER_DEFINE_WITH_CODE(qelv, "qelv", GST_RANK_NONE, GST_TYPE_QELV,
                                      GST_DEBUG_CATEGORY_INIT(gst_qelv_debug, "qelv", 0, "Qelv visualiser"));

/* A library call failed where no choice of the user's is at fault: memory, as a rule. */
static gboolean succeeded(GstQelv* self, int result, const char* doing) {
    if (result == QELV_OK) return TRUE;
    GST_ELEMENT_ERROR(self, LIBRARY, FAILED, ("Qelv could not %s: %s", doing, qelv_errmsg(self->engine)),
                      ("%s (%d)", qelv_error_name(result), result));
    return FALSE;
}

/* ---- Presets ------------------------------------------------------------------------- */

static void post_preset_error(GstQelv* self, GstMessageType type, const char* preset, int result) {
    const gint code = result == QELV_ERROR_NOT_FOUND ? GST_RESOURCE_ERROR_NOT_FOUND
                      : result == QELV_ERROR_IO      ? GST_RESOURCE_ERROR_OPEN_READ
                                                     : GST_RESOURCE_ERROR_SETTINGS;
    gchar* text = g_strdup_printf("Could not load the Qelv preset '%s': %s", preset, qelv_errmsg(self->engine));
    gchar* debug = g_strdup_printf("%s (%d)", qelv_error_name(result), result);
    gst_element_message_full(GST_ELEMENT(self), type, GST_RESOURCE_ERROR, code, text, debug, __FILE__, GST_FUNCTION,
                             __LINE__);
}

/* The preset property's value into the engine, with the shuffle's presets to go with it.
 * A new engine has the built-in chain already, and loads nothing for an empty value. */
static int load_preset(GstQelv* self, const gchar* preset, gboolean fresh_engine) {
    const int result =
        fresh_engine && !preset[0] ? QELV_OK : qelv_gst_load_preset(self->engine, preset, self->default_chain);
    qelv_preset_choice_free(self->shuffle);
    self->shuffle = qelv_preset_choice_new(preset);
    self->last_preset_change = self->frames_drawn;
    return result;
}

/* Any change of preset, by property or shuffle, starts the shuffle's wait again, even one
 * that fails, so that a damaged file is not tried at every beat. */
static void shuffle_on_beat(GstQelv* self) {
    GST_OBJECT_LOCK(self);
    const gdouble seconds = self->shuffle_seconds;
    GST_OBJECT_UNLOCK(self);
    const double frames_a_second = (double)self->clock.fps_n / self->clock.fps_d;
    if (seconds <= 0 || !qelv_last_frame_was_beat(self->engine) ||
        (double)(self->frames_drawn - self->last_preset_change) < ceil(seconds * frames_a_second))
        return;
    self->last_preset_change = self->frames_drawn;
    int result;
    const char* tried;
    if (!qelv_preset_choice_load_random(self->shuffle, self->engine, self->random, &result, &tried)) {
        GST_DEBUG_OBJECT(self, "the shuffle has no other preset to change to");
        return;
    }
    GST_INFO_OBJECT(self, "shuffled to %s", tried);
    if (result != QELV_OK) post_preset_error(self, GST_MESSAGE_WARNING, tried, result);
}

/* Property changes made while playing, before the next frame. A preset that fails then is
 * a warning: the picture goes on with the chain in force. */
static void take_property_changes(GstQelv* self) {
    GST_OBJECT_LOCK(self);
    gchar* preset = self->preset_changed ? g_strdup(self->preset) : NULL;
    const gboolean transition_changed = self->transition_changed;
    const gdouble transition = self->transition_seconds;
    self->preset_changed = self->transition_changed = FALSE;
    GST_OBJECT_UNLOCK(self);
    if (transition_changed) qelv_set_transition(self->engine, transition);
    if (preset) {
        const int result = load_preset(self, preset, FALSE);
        if (result != QELV_OK) post_preset_error(self, GST_MESSAGE_WARNING, preset, result);
        g_free(preset);
    }
}

/* ---- The engine's life: READY to PAUSED and back --------------------------------------- */

static void restart_analysis(GstQelv* self) {
    if (self->engine) qelv_reset_audio(self->engine);
    self->audio_start = GST_CLOCK_TIME_NONE;
    self->samples_fed = 0;
    self->next_frame = 0;
    self->skip_samples = 0;
}

static void stop_engine(GstQelv* self) {
    qelv_video_output_clear(&self->video);
    qelv_destroy(self->engine);
    self->engine = NULL;
    g_clear_pointer(&self->default_chain, g_bytes_unref);
    g_clear_pointer(&self->shuffle, qelv_preset_choice_free);
    self->channels = 0;
}

/* An engine with the preset in force; an unknown or damaged preset stops the start. */
static gboolean start_engine(GstQelv* self) {
    if (qelv_create(640, 360, &self->engine) != QELV_OK) {
        GST_ELEMENT_ERROR(self, RESOURCE, FAILED, ("Could not make a Qelv engine: %s", qelv_errmsg(NULL)), (NULL));
        return FALSE;
    }
    /* Kept to go back to when the preset is emptied while playing. */
    size_t size = 0;
    void* chain = NULL;
    gboolean saved = succeeded(self, qelv_save_preset(self->engine, NULL, 0, &size), "keep its built-in chain");
    if (saved) {
        chain = g_malloc(size);
        saved = succeeded(self, qelv_save_preset(self->engine, chain, size, &size), "keep its built-in chain");
    }
    self->default_chain = g_bytes_new_take(chain, saved ? size : 0);
    if (!saved) {
        stop_engine(self);
        return FALSE;
    }

    GST_OBJECT_LOCK(self);
    gchar* preset = g_strdup(self->preset);
    const gdouble transition = self->transition_seconds;
    self->preset_changed = self->transition_changed = FALSE;
    GST_OBJECT_UNLOCK(self);
    qelv_set_transition(self->engine, transition);
    self->frames_drawn = 0;
    const int result = load_preset(self, preset, TRUE);
    if (result != QELV_OK) post_preset_error(self, GST_MESSAGE_ERROR, preset, result);
    g_free(preset);
    if (result != QELV_OK) {
        stop_engine(self);
        return FALSE;
    }
    qelv_frame_clock_set_frame_rate(&self->clock, 50, 1);
    gst_segment_init(&self->segment, GST_FORMAT_TIME);
    restart_analysis(self);
    return TRUE;
}

static GstStateChangeReturn gst_qelv_change_state(GstElement* element, GstStateChange transition) {
    GstQelv* self = GST_QELV(element);
    if (transition == GST_STATE_CHANGE_READY_TO_PAUSED && !start_engine(self)) return GST_STATE_CHANGE_FAILURE;
    const GstStateChangeReturn result = GST_ELEMENT_CLASS(gst_qelv_parent_class)->change_state(element, transition);
    if (transition == GST_STATE_CHANGE_PAUSED_TO_READY) stop_engine(self);
    return result;
}

/* ---- Video format ---------------------------------------------------------------------- */

/* A new size goes on from the picture drawn so far; a new frame rate starts the analysis
 * at the new block rate, from the audio reached. */
static GstFlowReturn negotiate(GstQelv* self) {
    const GstVideoInfo before = self->video.info;
    const gboolean had_format = self->video.negotiated;
    if (!qelv_video_output_negotiate(&self->video, self->srcpad, GST_OBJECT(self))) return GST_FLOW_NOT_NEGOTIATED;
    const GstVideoInfo* now = &self->video.info;
    if ((!had_format || now->width != before.width || now->height != before.height) &&
        !succeeded(self, qelv_resize(self->engine, now->width, now->height), "change the frame size"))
        return GST_FLOW_ERROR;
    if (!had_format || now->fps_n != before.fps_n || now->fps_d != before.fps_d) {
        GstClockTime start = self->audio_start;
        guint64 skip = 0;
        if (had_format && GST_CLOCK_TIME_IS_VALID(start)) {
            /* The new frames follow on from where the frames drawn end; the audio up to
             * there, less than a frame, is left out of the analysis that starts again. */
            const GstClockTime end = qelv_frame_clock_frame_time(&self->clock, self->next_frame);
            const guint64 at = gst_util_uint64_scale_int_ceil(end, self->clock.sample_rate, GST_SECOND);
            skip = at > self->samples_fed ? at - self->samples_fed : 0;
            start += qelv_frame_clock_audio_time(&self->clock, self->samples_fed + skip);
        }
        qelv_frame_clock_set_frame_rate(&self->clock, now->fps_n, now->fps_d);
        if (!succeeded(self, qelv_set_block_rate(self->engine, self->clock.block_rate), "change the block rate"))
            return GST_FLOW_ERROR;
        restart_analysis(self);
        self->audio_start = start;
        self->skip_samples = skip;
        GST_INFO_OBJECT(self, "%d/%d frames a second, %d blocks a second", now->fps_n, now->fps_d,
                        self->clock.block_rate);
    }
    return GST_FLOW_OK;
}

/* Agrees a video format before the first frame and whenever downstream asks again. */
static GstFlowReturn ensure_negotiated(GstQelv* self) {
    if (!gst_pad_check_reconfigure(self->srcpad) && self->video.negotiated) return GST_FLOW_OK;
    const GstFlowReturn flow = negotiate(self);
    if (flow != GST_FLOW_OK) gst_pad_mark_reconfigure(self->srcpad);
    return flow == GST_FLOW_NOT_NEGOTIATED && GST_PAD_IS_FLUSHING(self->srcpad) ? GST_FLOW_FLUSHING : flow;
}

/* ---- Audio in, frames out --------------------------------------------------------------- */

static gboolean set_audio_format(GstQelv* self, GstCaps* caps) {
    const GstStructure* structure = gst_caps_get_structure(caps, 0);
    const gchar* format = gst_structure_get_string(structure, "format");
    gint rate = 0, channels = 0;
    if (!format || !gst_structure_get_int(structure, "rate", &rate) ||
        !gst_structure_get_int(structure, "channels", &channels))
        return FALSE;
    const gboolean audio_float = g_str_equal(format, GST_AUDIO_NE(F32));
    if (self->channels && (rate != self->clock.sample_rate || channels != self->channels ||
                           audio_float != self->audio_float)) {
        GST_INFO_OBJECT(self, "new audio format: the analysis starts afresh");
        restart_analysis(self);
    }
    self->audio_float = audio_float;
    self->channels = channels;
    self->clock.sample_rate = rate;
    return TRUE;
}

static GstFlowReturn draw_frame(GstQelv* self) {
    take_property_changes(self);
    GstBuffer* buffer = NULL;
    GstFlowReturn flow = qelv_video_output_acquire(&self->video, &buffer);
    if (flow != GST_FLOW_OK) return flow;
    GstVideoFrame frame;
    if (!gst_video_frame_map(&frame, &self->video.info, buffer, GST_MAP_WRITE)) {
        gst_buffer_unref(buffer);
        GST_ELEMENT_ERROR(self, RESOURCE, WRITE, ("Could not write into a video buffer"), (NULL));
        return GST_FLOW_ERROR;
    }
    const int result =
        qelv_draw_until(self->engine, GST_VIDEO_FRAME_PLANE_DATA(&frame, 0), GST_VIDEO_FRAME_PLANE_STRIDE(&frame, 0),
                        QELV_FORMAT_XRGB, qelv_frame_clock_draw_seconds(&self->clock, self->next_frame));
    gst_video_frame_unmap(&frame);
    if (!succeeded(self, result, "draw a frame")) {
        gst_buffer_unref(buffer);
        return GST_FLOW_ERROR;
    }
    const GstClockTime start = qelv_frame_clock_frame_time(&self->clock, self->next_frame);
    const GstClockTime end = qelv_frame_clock_frame_time(&self->clock, self->next_frame + 1);
    GST_BUFFER_PTS(buffer) = self->audio_start + start;
    GST_BUFFER_DURATION(buffer) = end - start;
    ++self->next_frame;
    ++self->frames_drawn;
    shuffle_on_beat(self);
    return gst_pad_push(self->srcpad, buffer);
}

static gboolean feed(GstQelv* self, const guint8* samples, guint64 frames) {
    const int result =
        self->audio_float
            ? qelv_feed_float(self->engine, (const float*)samples, frames, self->channels, self->clock.sample_rate)
            : qelv_feed_int16(self->engine, (const gint16*)samples, frames, self->channels, self->clock.sample_rate);
    self->samples_fed += frames;
    return succeeded(self, result, "take the sound");
}

/* Audio marked as not following on from what came before (after a gap, or the next
 * track's) starts the analysis again at its own time when its timestamps jump, so that
 * the frames keep to the sound. Unmarked buffers are counted on: live sources' timestamps
 * drift a little. */
static void follow_timestamps(GstQelv* self, GstBuffer* buffer) {
    const GstClockTime pts = GST_BUFFER_PTS(buffer);
    if (GST_CLOCK_TIME_IS_VALID(self->audio_start) && GST_BUFFER_IS_DISCONT(buffer) && GST_CLOCK_TIME_IS_VALID(pts)) {
        const GstClockTime expected = self->audio_start + qelv_frame_clock_audio_time(&self->clock, self->samples_fed) -
                                      qelv_frame_clock_audio_time(&self->clock, self->skip_samples);
        const GstClockTime half_frame = qelv_frame_clock_frame_time(&self->clock, 1) / 2;
        if (GST_CLOCK_DIFF(expected, pts) > (GstClockTimeDiff)half_frame ||
            GST_CLOCK_DIFF(pts, expected) > (GstClockTimeDiff)half_frame) {
            GST_INFO_OBJECT(self, "audio jumps from %" GST_TIME_FORMAT " to %" GST_TIME_FORMAT, GST_TIME_ARGS(expected),
                            GST_TIME_ARGS(pts));
            restart_analysis(self);
        }
    }
    if (!GST_CLOCK_TIME_IS_VALID(self->audio_start))
        self->audio_start = GST_CLOCK_TIME_IS_VALID(pts) ? pts : self->segment.start;
}

/* Feeds the buffer's samples in order, drawing each frame once the audio up to its time
 * is in, so that at most a frame's blocks ever wait in the engine. */
static GstFlowReturn gst_qelv_chain(GstPad* pad, GstObject* parent, GstBuffer* buffer) {
    (void)pad;
    GstQelv* self = GST_QELV(parent);
    if (!self->channels) {
        gst_buffer_unref(buffer);
        return GST_FLOW_NOT_NEGOTIATED;
    }
    follow_timestamps(self, buffer);
    GstMapInfo map;
    if (!gst_buffer_map(buffer, &map, GST_MAP_READ)) {
        gst_buffer_unref(buffer);
        GST_ELEMENT_ERROR(self, STREAM, FAILED, ("Could not read an audio buffer"), (NULL));
        return GST_FLOW_ERROR;
    }
    const gsize bytes_per_frame = (gsize)self->channels * (self->audio_float ? sizeof(float) : sizeof(gint16));
    const guint8* samples = map.data;
    guint64 left = map.size / bytes_per_frame;
    GstFlowReturn flow = GST_FLOW_OK;
    while (flow == GST_FLOW_OK) {
        flow = ensure_negotiated(self);
        if (flow != GST_FLOW_OK) break;
        const guint64 passed = MIN(self->skip_samples, left);
        self->skip_samples -= passed;
        samples += passed * bytes_per_frame;
        left -= passed;
        const guint64 needed = qelv_frame_clock_samples_needed(&self->clock, self->next_frame);
        const guint64 take = needed > self->samples_fed ? MIN(needed - self->samples_fed, left) : 0;
        if (take > 0 && !feed(self, samples, take)) {
            flow = GST_FLOW_ERROR;
            break;
        }
        samples += take * bytes_per_frame;
        left -= take;
        if (self->samples_fed < needed) break;
        flow = draw_frame(self);
    }
    gst_buffer_unmap(buffer, &map);
    gst_buffer_unref(buffer);
    return flow;
}

static gboolean gst_qelv_sink_event(GstPad* pad, GstObject* parent, GstEvent* event) {
    GstQelv* self = GST_QELV(parent);
    switch (GST_EVENT_TYPE(event)) {
        case GST_EVENT_CAPS: {
            GstCaps* caps;
            gst_event_parse_caps(event, &caps);
            gboolean ok = set_audio_format(self, caps);
            gst_event_unref(event);
            /* The video format goes out now, ahead of the segment that follows. */
            if (ok && ensure_negotiated(self) != GST_FLOW_OK)
                GST_DEBUG_OBJECT(self, "no video format yet; trying again with data");
            return ok;
        }
        case GST_EVENT_FLUSH_STOP:
            restart_analysis(self);
            gst_segment_init(&self->segment, GST_FORMAT_TIME);
            break;
        case GST_EVENT_SEGMENT:
            gst_event_copy_segment(event, &self->segment);
            if (self->segment.format != GST_FORMAT_TIME) {
                /* Frames are timed; audio counted otherwise is taken from time 0. */
                gst_event_unref(event);
                gst_segment_init(&self->segment, GST_FORMAT_TIME);
                event = gst_event_new_segment(&self->segment);
            }
            break;
        default: break;
    }
    return gst_pad_event_default(pad, parent, event);
}

static gboolean gst_qelv_src_query(GstPad* pad, GstObject* parent, GstQuery* query) {
    GstQelv* self = GST_QELV(parent);
    if (GST_QUERY_TYPE(query) != GST_QUERY_LATENCY) return gst_pad_query_default(pad, parent, query);
    /* A frame goes out once the sample at its own time is in: up to a frame after it. */
    if (!gst_pad_peer_query(self->sinkpad, query)) return FALSE;
    gboolean live;
    GstClockTime min, max;
    gst_query_parse_latency(query, &live, &min, &max);
    const GstClockTime frame = self->video.negotiated ? qelv_frame_clock_frame_time(&self->clock, 1) : 0;
    gst_query_set_latency(query, live, min + frame, GST_CLOCK_TIME_IS_VALID(max) ? max + frame : max);
    return TRUE;
}

/* ---- Properties -------------------------------------------------------------------------- */

static void gst_qelv_set_property(GObject* object, guint id, const GValue* value, GParamSpec* spec) {
    GstQelv* self = GST_QELV(object);
    GST_OBJECT_LOCK(self);
    switch (id) {
        case PROP_PRESET:
            g_free(self->preset);
            self->preset = g_value_dup_string(value);
            if (!self->preset) self->preset = g_strdup("");
            self->preset_changed = TRUE;
            break;
        case PROP_SHUFFLE: self->shuffle_seconds = g_value_get_double(value); break;
        case PROP_TRANSITION:
            self->transition_seconds = g_value_get_double(value);
            self->transition_changed = TRUE;
            break;
        default: G_OBJECT_WARN_INVALID_PROPERTY_ID(object, id, spec); break;
    }
    GST_OBJECT_UNLOCK(self);
}

static void gst_qelv_get_property(GObject* object, guint id, GValue* value, GParamSpec* spec) {
    GstQelv* self = GST_QELV(object);
    GST_OBJECT_LOCK(self);
    switch (id) {
        case PROP_PRESET: g_value_set_string(value, self->preset); break;
        case PROP_SHUFFLE: g_value_set_double(value, self->shuffle_seconds); break;
        case PROP_TRANSITION: g_value_set_double(value, self->transition_seconds); break;
        default: G_OBJECT_WARN_INVALID_PROPERTY_ID(object, id, spec); break;
    }
    GST_OBJECT_UNLOCK(self);
}

static void gst_qelv_finalize(GObject* object) {
    GstQelv* self = GST_QELV(object);
    g_free(self->preset);
    g_rand_free(self->random);
    G_OBJECT_CLASS(gst_qelv_parent_class)->finalize(object);
}

static void gst_qelv_class_init(GstQelvClass* klass) {
    GObjectClass* object_class = G_OBJECT_CLASS(klass);
    GstElementClass* element_class = GST_ELEMENT_CLASS(klass);
    object_class->set_property = gst_qelv_set_property;
    object_class->get_property = gst_qelv_get_property;
    object_class->finalize = gst_qelv_finalize;
    element_class->change_state = gst_qelv_change_state;

    const GParamFlags flags = G_PARAM_READWRITE | G_PARAM_STATIC_STRINGS | GST_PARAM_MUTABLE_PLAYING;
    g_object_class_install_property(
        object_class, PROP_PRESET,
        g_param_spec_string("preset", "Preset",
                            "A shipped preset's name (such as aurora) or a preset file (.qlp, or .json); empty for "
                            "the built-in chain",
                            "", flags));
    g_object_class_install_property(
        object_class, PROP_SHUFFLE,
        g_param_spec_double("shuffle", "Shuffle",
                            "Change to a preset picked at random on the first beat after this many seconds (from "
                            "those beside the preset file, or else the shipped ones); 0 never",
                            0, LONGEST_SHUFFLE, 0, flags));
    g_object_class_install_property(
        object_class, PROP_TRANSITION,
        g_param_spec_double("transition", "Transition",
                            "Fade from the old picture to the new one over this many seconds when the preset "
                            "changes; 0 cuts",
                            0, LONGEST_TRANSITION, 0, flags));

    gst_element_class_add_static_pad_template(element_class, &sink_template);
    gst_element_class_add_static_pad_template(element_class, &src_template);
    gst_element_class_set_static_metadata(element_class, "Qelv visualiser", "Visualization",
                                          "Draws music as moving pictures with the effects of a Qelv preset",
                                          "Qelv developers <qelv@localhost>");
}

static void gst_qelv_init(GstQelv* self) {
    self->sinkpad = gst_pad_new_from_static_template(&sink_template, "sink");
    gst_pad_set_chain_function(self->sinkpad, GST_DEBUG_FUNCPTR(gst_qelv_chain));
    gst_pad_set_event_function(self->sinkpad, GST_DEBUG_FUNCPTR(gst_qelv_sink_event));
    gst_element_add_pad(GST_ELEMENT(self), self->sinkpad);

    self->srcpad = gst_pad_new_from_static_template(&src_template, "src");
    gst_pad_set_query_function(self->srcpad, GST_DEBUG_FUNCPTR(gst_qelv_src_query));
    gst_element_add_pad(GST_ELEMENT(self), self->srcpad);

    self->preset = g_strdup("");
    self->random = g_rand_new();
    self->audio_start = GST_CLOCK_TIME_NONE;
}
