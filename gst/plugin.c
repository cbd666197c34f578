/* The plug-in file, libgstqelv.so: one element. */
#include <qelv/qelv.h>

#include "gst/gstqelv.h"

#define PACKAGE "qelv"

static gboolean plugin_init(GstPlugin* plugin) { return GST_ELEMENT_REGISTER(qelv, plugin); }

/* GStreamer's own macro leaves the descriptor's padding to zero itself. */
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
GST_PLUGIN_DEFINE(GST_VERSION_MAJOR, GST_VERSION_MINOR, qelv, "Qelv music visualiser", plugin_init, QELV_VERSION,
                  GST_LICENSE_UNKNOWN, "Qelv", "file:///usr/share/doc/qelv/README.md")
