#include "gst/preset_choice.h"

#include <string.h>

#include "shipped_preset_names.h" /* generated from presets/ at build time */

static gboolean is_file(const char* path) { return g_file_test(path, G_FILE_TEST_IS_REGULAR); }

static gboolean is_bare_name(const char* preset) { return strchr(preset, G_DIR_SEPARATOR) == NULL; }

/* A file by that name wins over a shipped preset, as with `qelv play --preset`. */
static gboolean means_file(const char* preset) { return is_file(preset) || !is_bare_name(preset); }

int qelv_gst_load_preset(qelv_engine* engine, const char* preset, GBytes* default_chain) {
    if (preset[0] == '\0') {
        gsize size = 0;
        const void* bytes = g_bytes_get_data(default_chain, &size);
        return qelv_load_preset_memory(engine, bytes, size);
    }
    return means_file(preset) ? qelv_load_preset_file(engine, preset) : qelv_load_shipped_preset(engine, preset);
}

struct QelvPresetChoice {
    gboolean files; /* paths of the files beside a preset file; else shipped names */
    GPtrArray* presets;
    guint current; /* presets->len: none of them */
};

static gint compare_strings(gconstpointer a, gconstpointer b) {
    return strcmp(*(const gchar* const*)a, *(const gchar* const*)b);
}

/* The .qlp files in the preset file's folder, sorted by name. */
static void add_files_beside(QelvPresetChoice* choice, const char* path) {
    gchar* folder = g_path_get_dirname(path);
    GDir* dir = g_dir_open(folder, 0, NULL);
    for (const gchar* name; dir && (name = g_dir_read_name(dir));) {
        gchar* candidate = g_build_filename(folder, name, NULL);
        if (g_str_has_suffix(name, ".qlp") && is_file(candidate))
            g_ptr_array_add(choice->presets, candidate);
        else
            g_free(candidate);
    }
    if (dir) g_dir_close(dir);
    g_ptr_array_sort(choice->presets, compare_strings);
    g_free(folder);
}

/* The current preset's place in the list, matched by file name or shipped name. */
static guint find_current(const QelvPresetChoice* choice, const char* preset) {
    gchar* own = g_path_get_basename(preset);
    guint found = choice->presets->len;
    for (guint i = 0; i < choice->presets->len && found == choice->presets->len; ++i) {
        gchar* name = g_path_get_basename(g_ptr_array_index(choice->presets, i));
        if (strcmp(name, own) == 0) found = i;
        g_free(name);
    }
    g_free(own);
    return found;
}

QelvPresetChoice* qelv_preset_choice_new(const char* preset) {
    QelvPresetChoice* choice = g_new0(QelvPresetChoice, 1);
    choice->presets = g_ptr_array_new_with_free_func(g_free);
    choice->files = preset[0] != '\0' && means_file(preset);
    if (choice->files) {
        add_files_beside(choice, preset);
    } else {
        for (gsize i = 0; i < G_N_ELEMENTS(kShippedPresetNames); ++i)
            g_ptr_array_add(choice->presets, g_strdup(kShippedPresetNames[i]));
    }
    choice->current = preset[0] == '\0' ? choice->presets->len : find_current(choice, preset);
    return choice;
}

void qelv_preset_choice_free(QelvPresetChoice* choice) {
    if (!choice) return;
    g_ptr_array_free(choice->presets, TRUE);
    g_free(choice);
}

gboolean qelv_preset_choice_load_random(QelvPresetChoice* choice, qelv_engine* engine, GRand* random, int* result,
                                        const char** tried) {
    const guint count = choice->presets->len;
    const gboolean has_current = choice->current < count;
    const guint others = has_current ? count - 1 : count;
    if (others == 0) return FALSE;
    guint pick = (guint)g_rand_int_range(random, 0, (gint32)others);
    if (has_current && pick >= choice->current) ++pick;
    choice->current = pick;
    *tried = g_ptr_array_index(choice->presets, pick);
    *result = choice->files ? qelv_load_preset_file(engine, *tried) : qelv_load_shipped_preset(engine, *tried);
    return TRUE;
}
