#pragma once
/* The element's video side: the format agreed with downstream, and the buffers frames are
 * drawn into. Frames go out in the library's own pixel layout, 32-bit words 0x00RRGGBB in
 * the machine's byte order (BGRx on a little-endian machine), so nothing is converted. */
#include <gst/gst.h>
#include <gst/video/video.h>

#if G_BYTE_ORDER == G_LITTLE_ENDIAN
#define QELV_GST_VIDEO_FORMAT "BGRx"
#else
#define QELV_GST_VIDEO_FORMAT "xRGB"
#endif

/* Frame sizes the library draws, and the frame rates it can follow. */
#define QELV_GST_VIDEO_CAPS                                                                                    \
    "video/x-raw, format = (string) " QELV_GST_VIDEO_FORMAT ", width = (int) [ 8, 8192 ], height = (int) [ 8, " \
    "8192 ], framerate = (fraction) [ 1/2147483647, 1000/1 ]"

typedef struct {
    GstVideoInfo info; /* valid once negotiated */
    gboolean negotiated;
    GstBufferPool* pool;
} QelvVideoOutput;

/* Agrees a format with downstream through the source pad, where downstream leaves a choice
 * taking the size and rate `qelv render` draws by default (640x360 at 50 frames a second),
 * sends it, and sets up buffers for it. */
gboolean qelv_video_output_negotiate(QelvVideoOutput* output, GstPad* srcpad, GstObject* owner);

/* A buffer for the next frame. */
GstFlowReturn qelv_video_output_acquire(QelvVideoOutput* output, GstBuffer** buffer);

/* Lets go of the buffers and forgets the format. */
void qelv_video_output_clear(QelvVideoOutput* output);
