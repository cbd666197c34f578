#pragma once
/* The `qelv` element: draws the audio passing through it as video, one frame per block of
 * the library's analysis, in the frame's own byte layout. */
#include <gst/gst.h>

G_BEGIN_DECLS

#define GST_TYPE_QELV (gst_qelv_get_type())
G_DECLARE_FINAL_TYPE(GstQelv, gst_qelv, GST, QELV, GstElement)

GST_ELEMENT_REGISTER_DECLARE(qelv);

G_END_DECLS
