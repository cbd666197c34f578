#pragma once
/* Which preset the element's `preset` property means, and the presets its shuffle picks
 * from, as `qelv play` has them: a file when one is there by that name, else a shipped
 * preset by name; the shuffle steps among the presets beside a file, or else among the
 * shipped ones. */
#include <glib.h>
#include <qelv/qelv.h>

/* Loads the preset into the engine: empty for the chain the engine started with (its
 * bytes in default_chain, as qelv_save_preset wrote them). The library's result code;
 * qelv_errmsg says why a load failed. */
int qelv_gst_load_preset(qelv_engine* engine, const char* preset, GBytes* default_chain);

typedef struct QelvPresetChoice QelvPresetChoice;

/* The presets to shuffle among while `preset` is in force. */
QelvPresetChoice* qelv_preset_choice_new(const char* preset);
void qelv_preset_choice_free(QelvPresetChoice* choice);

/* Loads a preset other than the current one, picked with `random`, which becomes the
 * current one. FALSE with nothing loaded when there is no other; the library's result
 * code in *result, and the preset tried in *tried (owned by the choice), otherwise. */
gboolean qelv_preset_choice_load_random(QelvPresetChoice* choice, qelv_engine* engine, GRand* random, int* result,
                                        const char** tried);
