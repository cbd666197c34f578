#include "gst/frame_clock.h"

void qelv_frame_clock_set_frame_rate(QelvFrameClock* clock, int fps_n, int fps_d) {
    clock->fps_n = fps_n;
    clock->fps_d = fps_d;
    const guint64 rounded_up = ((guint64)fps_n + (guint64)fps_d - 1) / (guint64)fps_d;
    clock->block_rate = (int)CLAMP(rounded_up, 1, QELV_GST_MAX_FRAME_RATE);
}

guint64 qelv_frame_clock_last_block(const QelvFrameClock* clock, guint64 frame) {
    /* frame * fps_d / fps_n seconds, times block_rate, rounded down: exact in integers. */
    return gst_util_uint64_scale(frame, (guint64)clock->fps_d * (guint64)clock->block_rate, (guint64)clock->fps_n);
}

guint64 qelv_frame_clock_samples_needed(const QelvFrameClock* clock, guint64 frame) {
    /* Block k's newest sample is number floor(k * sample_rate / block_rate). */
    const guint64 block = qelv_frame_clock_last_block(clock, frame);
    return gst_util_uint64_scale(block, (guint64)clock->sample_rate, (guint64)clock->block_rate) + 1;
}

double qelv_frame_clock_draw_seconds(const QelvFrameClock* clock, guint64 frame) {
    /* In this form the library takes exactly block k and none after it. */
    return (double)qelv_frame_clock_last_block(clock, frame) / (double)clock->block_rate;
}

GstClockTime qelv_frame_clock_frame_time(const QelvFrameClock* clock, guint64 frame) {
    return gst_util_uint64_scale(frame, (guint64)clock->fps_d * GST_SECOND, (guint64)clock->fps_n);
}

GstClockTime qelv_frame_clock_audio_time(const QelvFrameClock* clock, guint64 samples) {
    return gst_util_uint64_scale(samples, GST_SECOND, (guint64)clock->sample_rate);
}
