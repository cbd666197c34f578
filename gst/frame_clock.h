#pragma once
/* When the element can draw a frame and which audio it shows. The library counts audio in
 * blocks at a whole number of blocks a second (block k shows the music up to k / rate);
 * the video's frame rate is any fraction. The block rate is the frame rate rounded up, so
 * every frame takes at least one new block; at a whole frame rate there is exactly one
 * block a frame, and frame i is the i-th frame `qelv render --fps RATE` draws. */
#include <gst/gst.h>

#define QELV_GST_MAX_FRAME_RATE 1000 /* the library's highest block rate */

typedef struct {
    int fps_n, fps_d; /* the video's frames a second, fps_n / fps_d */
    int block_rate;
    int sample_rate; /* of the audio fed */
} QelvFrameClock;

/* Sets the frame rate (at most QELV_GST_MAX_FRAME_RATE) and the block rate that follows. */
void qelv_frame_clock_set_frame_rate(QelvFrameClock* clock, int fps_n, int fps_d);

/* The last block frame i shows: the newest whose time is at or before the frame's. */
guint64 qelv_frame_clock_last_block(const QelvFrameClock* clock, guint64 frame);

/* How many samples (frames of audio) must have been fed, counted from the first, before
 * frame i can be drawn: up to the newest sample of its last block. */
guint64 qelv_frame_clock_samples_needed(const QelvFrameClock* clock, guint64 frame);

/* The time to hand qelv_draw_until for frame i: its last block's time, k / rate. */
double qelv_frame_clock_draw_seconds(const QelvFrameClock* clock, guint64 frame);

/* When frame i starts, from the first sample fed. */
GstClockTime qelv_frame_clock_frame_time(const QelvFrameClock* clock, guint64 frame);

/* The time of the audio after this many samples, from the first sample fed. */
GstClockTime qelv_frame_clock_audio_time(const QelvFrameClock* clock, guint64 samples);
