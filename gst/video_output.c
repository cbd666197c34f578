#include "gst/video_output.h"

GST_DEBUG_CATEGORY_EXTERN(gst_qelv_debug);
#define GST_CAT_DEFAULT gst_qelv_debug

static GstCaps* fixate(GstCaps* caps) {
    caps = gst_caps_make_writable(gst_caps_truncate(caps));
    GstStructure* structure = gst_caps_get_structure(caps, 0);
    gst_structure_fixate_field_nearest_int(structure, "width", 640);
    gst_structure_fixate_field_nearest_int(structure, "height", 360);
    gst_structure_fixate_field_nearest_fraction(structure, "framerate", 50, 1);
    if (gst_structure_has_field(structure, "pixel-aspect-ratio"))
        gst_structure_fixate_field_nearest_fraction(structure, "pixel-aspect-ratio", 1, 1);
    return gst_caps_fixate(caps);
}

static GstBufferPool* configured_pool(GstBufferPool* pool, GstCaps* caps, guint size, guint min, guint max,
                                      gboolean video_meta) {
    GstStructure* config = gst_buffer_pool_get_config(pool);
    gst_buffer_pool_config_set_params(config, caps, size, min, max);
    if (video_meta) gst_buffer_pool_config_add_option(config, GST_BUFFER_POOL_OPTION_VIDEO_META);
    if (gst_buffer_pool_set_config(pool, config) && gst_buffer_pool_set_active(pool, TRUE)) return pool;
    gst_object_unref(pool);
    return NULL;
}

/* Downstream's pool where it offers one that takes the format, else one of our own. */
static GstBufferPool* choose_pool(GstPad* srcpad, GstCaps* caps, const GstVideoInfo* info) {
    GstQuery* query = gst_query_new_allocation(caps, TRUE);
    if (!gst_pad_peer_query(srcpad, query)) GST_DEBUG_OBJECT(srcpad, "downstream answers no allocation query");
    const gboolean video_meta = gst_query_find_allocation_meta(query, GST_VIDEO_META_API_TYPE, NULL);
    GstBufferPool* pool = NULL;
    guint size = 0, min = 0, max = 0;
    if (gst_query_get_n_allocation_pools(query) > 0)
        gst_query_parse_nth_allocation_pool(query, 0, &pool, &size, &min, &max);
    gst_query_unref(query);
    if (pool) pool = configured_pool(pool, caps, MAX(size, (guint)info->size), min, max, video_meta);
    if (!pool) pool = configured_pool(gst_video_buffer_pool_new(), caps, (guint)info->size, 0, 0, video_meta);
    return pool;
}

gboolean qelv_video_output_negotiate(QelvVideoOutput* output, GstPad* srcpad, GstObject* owner) {
    GstCaps* template_caps = gst_pad_get_pad_template_caps(srcpad);
    GstCaps* possible = gst_pad_peer_query_caps(srcpad, template_caps);
    gst_caps_unref(template_caps);
    if (gst_caps_is_empty(possible)) {
        GST_WARNING_OBJECT(owner, "downstream takes none of our video formats");
        gst_caps_unref(possible);
        return FALSE;
    }
    GstCaps* caps = fixate(possible);
    GstVideoInfo info;
    gboolean ok = gst_video_info_from_caps(&info, caps) && gst_pad_set_caps(srcpad, caps);
    if (ok) {
        GST_DEBUG_OBJECT(owner, "video out: %" GST_PTR_FORMAT, caps);
        qelv_video_output_clear(output);
        output->pool = choose_pool(srcpad, caps, &info);
        output->info = info;
        output->negotiated = output->pool != NULL;
        ok = output->negotiated;
    }
    gst_caps_unref(caps);
    return ok;
}

GstFlowReturn qelv_video_output_acquire(QelvVideoOutput* output, GstBuffer** buffer) {
    return gst_buffer_pool_acquire_buffer(output->pool, buffer, NULL);
}

void qelv_video_output_clear(QelvVideoOutput* output) {
    if (output->pool) {
        gst_buffer_pool_set_active(output->pool, FALSE);
        gst_object_unref(output->pool);
        output->pool = NULL;
    }
    output->negotiated = FALSE;
}
