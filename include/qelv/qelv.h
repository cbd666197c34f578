/*
 * qelv.h - the Qelv music visualiser as a library.
 *
 * An engine draws a visualisation of the audio it is fed, one frame per call, with the
 * effects of a preset. This header is the whole interface, and it reads top to bottom as
 * its manual. It is plain C; only opaque handles, numbers and plain buffers cross it.
 *
 *     qelv_engine* engine;
 *     if (qelv_create(640, 360, &engine) != QELV_OK) return;
 *     if (qelv_load_shipped_preset(engine, "aurora") != QELV_OK)
 *         fprintf(stderr, "%s\n", qelv_errmsg(engine));
 *     for (;;) {
 *         qelv_feed_int16(engine, pcm, frames, 2, 44100);        (the audio thread)
 *         qelv_draw(engine, pixels, 640 * 4, QELV_FORMAT_XRGB);   (the drawing thread)
 *     }
 *     qelv_destroy(engine);
 *
 * Build with `pkg-config --cflags --libs qelv`, or in CMake with find_package(Qelv) and
 * the target Qelv::qelv.
 *
 * Conventions:
 *   - Every call that can fail returns an int result code: QELV_OK (0) or one of the
 *     negative QELV_ERROR_ codes below. A failed call changes nothing, and the engine
 *     keeps a message that says why (qelv_errmsg). A NULL engine gives
 *     QELV_ERROR_ARGUMENT.
 *   - Pointers passed in are only borrowed for the call; nothing keeps them afterwards.
 *     Strings returned are owned by the library; the lifetime of each is stated.
 *   - Sizes and counts are size_t; a "frame" of audio is one sample of every channel.
 *   - No call aborts the program, throws, or reads or writes outside the buffers given.
 */
#ifndef QELV_QELV_H
#define QELV_QELV_H

#include <stddef.h>
#include <stdint.h>

#if defined(__GNUC__)
#define QELV_API __attribute__((visibility("default")))
#else
#define QELV_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* An engine; opaque, made by qelv_create (see "Engines" below). */
typedef struct qelv_engine qelv_engine;

/* ---- Version --------------------------------------------------------------------------
 * The version of Qelv that this header belongs to, as text and as a number,
 * MAJOR * 1000000 + MINOR * 1000 + PATCH. The library's soname (libqelv.so.1) changes only
 * when a program built against an older header could no longer run with it. */
#define QELV_VERSION_MAJOR 5
#define QELV_VERSION_MINOR 2
#define QELV_VERSION_PATCH 0
#define QELV_VERSION "5.2.0"
#define QELV_VERSION_NUMBER (QELV_VERSION_MAJOR * 1000000 + QELV_VERSION_MINOR * 1000 + QELV_VERSION_PATCH)

/* The version of the library actually loaded, which may be newer than the header's. */
QELV_API int qelv_version_number(void);
QELV_API const char* qelv_version(void); /* static text, e.g. "5.2.0" */

/* ---- Results and errors --------------------------------------------------------------- */
#define QELV_OK 0
#define QELV_ERROR_ARGUMENT (-1)  /* a null pointer, or a number outside its documented range */
#define QELV_ERROR_PRESET (-2)    /* data that is not a preset in either form */
#define QELV_ERROR_IO (-3)        /* a file that cannot be read */
#define QELV_ERROR_MEMORY (-4)    /* memory (or another resource of the system) ran out */
#define QELV_ERROR_NOT_FOUND (-5) /* no shipped preset of that name */

/* A short name for a result code ("invalid argument", ...); static text, never NULL. */
QELV_API const char* qelv_error_name(int code);

/* Why the engine's most recent failed call failed, in a sentence that names the file or
 * value at fault; "no error" when no call has failed yet. A later success does not clear
 * it. With engine NULL: why this thread's most recent failed call without an engine
 * (qelv_create, qelv_analyze_float) failed.
 * The text is a copy for the calling thread, valid until its next qelv_errmsg. */
QELV_API const char* qelv_errmsg(const qelv_engine* engine);

/* ---- Engines ----------------------------------------------------------------------------
 * An engine owns everything it uses: its effects, frame, audio analysis and settings.
 * Engines share nothing, so any number may run in one process, each on threads of its
 * own, and each draws exactly the frames it would draw alone. */

/* Frame sides are 8 to 8192 pixels. */
#define QELV_MIN_SIDE 8
#define QELV_MAX_SIDE 8192

/* Makes an engine that draws width x height frames, starting black, with the built-in
 * chain of effects that `qelv render` uses without a preset, a block rate of 50 and no
 * transitions. On success *engine is the new engine, which the caller owns and gives back
 * with qelv_destroy; on failure *engine is NULL. */
QELV_API int qelv_create(int width, int height, qelv_engine** engine);

/* Frees the engine and all it owns. NULL is allowed and does nothing. No other call on
 * the engine may be running or follow. */
QELV_API void qelv_destroy(qelv_engine* engine);

/* Later frames have the new size and start black, as after a window is resized. */
QELV_API int qelv_resize(qelv_engine* engine, int width, int height);

/* ---- Presets ----------------------------------------------------------------------------
 * A preset is a chain of effects with their settings. It comes in two forms: the binary
 * form (".qlp", starting with a fixed 24-byte header, at most 1 MiB) and the JSON form
 * that `qelv preset to-json` writes. Loading replaces the engine's chain, whole, from the
 * next frame on. A preset that cannot be loaded leaves the chain in force untouched. */

/* A preset file: the JSON form when the name ends in ".json", the binary form otherwise.
 * Of a binary file beyond 1 MiB only the first 1 MiB is read. */
QELV_API int qelv_load_preset_file(qelv_engine* engine, const char* path);

/* A preset in memory, in either form: data starting with the binary header is read as
 * the binary form (its first 1 MiB), anything else as the JSON form (at most 16 MiB). */
QELV_API int qelv_load_preset_memory(qelv_engine* engine, const void* data, size_t size);

/* One of the presets installed with Qelv, by name ("aurora", "beat-star", ...: the file
 * names in PREFIX/share/qelv/presets without their extension). */
QELV_API int qelv_load_shipped_preset(qelv_engine* engine, const char* name);

/* The largest preset in the binary form. */
#define QELV_PRESET_MAX_BYTES 1048576

/* The engine's chain in the binary form, as the control panel's Save writes it. *size is
 * set to its length. buffer may be NULL (with capacity 0) to ask only the length; a
 * buffer of QELV_PRESET_MAX_BYTES always suffices. A buffer too small gives
 * QELV_ERROR_ARGUMENT and writes nothing, with *size still set. */
QELV_API int qelv_save_preset(qelv_engine* engine, void* buffer, size_t capacity, size_t* size);

/* Soft preset changes: every later load fades from the old picture to the new one over
 * this many seconds of blocks, as `qelv play --transition` does; 0 (the default) cuts.
 * 0 to 60 seconds; a fade under way ends at once. */
QELV_API int qelv_set_transition(qelv_engine* engine, double seconds);

/* ---- Audio ------------------------------------------------------------------------------
 * The engine analyses the audio it is fed into sample blocks, at a fixed number of blocks
 * a second of audio (the block rate, 50 unless set): block k shows the music at time
 * k / block rate, and is made as soon as the newest sample it shows has been fed. The
 * analysis is the one `qelv render --audio` and `qelv analyze` use.
 *
 * PCM is interleaved (a frame is one sample of every channel), 1 to 8 channels, at 8000
 * to 384000 samples a second, in chunks of any length (0 included). Mono shows on both
 * sides of the picture; of more than two channels the first two are shown, as left and
 * right. 32-bit float samples are full scale at -1 and 1; 16-bit samples are taken as
 * sample / 32768. A chunk with another rate or channel count than the one before starts
 * the analysis afresh (as at the start of a new track: the earlier samples no longer show)
 * and time goes on from where the earlier audio ended, to within a block.
 *
 * Blocks wait for the drawing calls below. At most QELV_MAX_WAITING_BLOCKS wait; when
 * more come, the oldest go straight to the beat detector and the spectrum's held peaks,
 * so a beat in audio that is never drawn is still counted. */
#define QELV_MAX_WAITING_BLOCKS 1024

/* samples holds frames * channels values. */
QELV_API int qelv_feed_float(qelv_engine* engine, const float* samples, size_t frames, int channels, int sample_rate);
QELV_API int qelv_feed_int16(qelv_engine* engine, const int16_t* samples, size_t frames, int channels,
                             int sample_rate);

/* For hosts with an analysis of their own: ready-made sample blocks, each QELV_BLOCK_BYTES
 * long, laid out as the plug-in's host hands them over: 576 spectrum bytes of the left
 * channel, 576 of the right, then 576 waveform bytes (signed) of the left channel and 576
 * of the right. They take the next block numbers, as if made from PCM. Switching between
 * PCM and blocks starts the PCM analysis afresh. */
#define QELV_BLOCK_BYTES 2304
QELV_API int qelv_feed_blocks(qelv_engine* engine, const void* blocks, size_t count);

/* Blocks a second of audio, 1 to 1000. Setting it starts the audio afresh, as
 * qelv_reset_audio does, and rescales the transition's length. */
QELV_API int qelv_set_block_rate(qelv_engine* engine, int blocks_per_second);

/* Threads that draw each frame, the calling one included: 1 (the default) draws on the
 * calling thread alone; more share each frame's rows among workers started here, never
 * per frame. 1 to 64. Every number draws the same frames, byte for byte. */
QELV_API int qelv_set_threads(qelv_engine* engine, int threads);

/* Forgets the audio fed so far, for a seek or a flush: blocks not yet drawn are dropped,
 * the analysis starts afresh and time starts again at 0. The picture and the beat count
 * stay. */
QELV_API int qelv_reset_audio(qelv_engine* engine);

/* ---- Drawing ----------------------------------------------------------------------------
 * Each drawing call takes waiting blocks in order, hands them to the beat detector and
 * the spectrum's held peaks, and draws one new frame from them, copying it into the
 * caller's buffer: height rows of width pixels, the rows stride bytes apart (stride is at
 * least width * 4; no alignment is needed). A call with no new block still draws a frame
 * (effects move on) from the samples last taken.
 *
 * One frame a block gives exactly the frames of `qelv render`: frame i drawn with
 * qelv_draw_until(engine, ..., i / (double)block_rate), once a track's audio up to that
 * time has been fed (with no more than QELV_MAX_WAITING_BLOCKS waiting), is byte for byte
 * the i-th frame that `qelv render --audio` draws of the same track at that block rate;
 * fed its blocks instead, the i-th frame of `qelv render --samples`. */
#define QELV_FORMAT_XRGB 0 /* one uint32_t per pixel, 0x00RRGGBB in the machine's byte order;
                              the top byte is the effects' own: read the low 24 bits only */
#define QELV_FORMAT_RGBA 1 /* four bytes per pixel: red, green, blue, 255 */

/* Takes every block made so far. */
QELV_API int qelv_draw(qelv_engine* engine, void* pixels, size_t stride, int format);

/* Takes only the blocks due at time `seconds` (those whose time k / block rate is at
 * most seconds, counted from the first audio fed or the last reset) and leaves later ones
 * waiting: for a player that feeds audio ahead of what it plays and draws the frame of
 * the moment being heard. A time computed as k / (double)block_rate takes block k. */
QELV_API int qelv_draw_until(qelv_engine* engine, void* pixels, size_t stride, int format, double seconds);

/* ---- Beats ------------------------------------------------------------------------------ */
/* The beats the detector has found since the engine was made, in the blocks drawing calls
 * took and in those that overflowed the wait, counted modulo 2^32. */
QELV_API uint32_t qelv_beat_count(const qelv_engine* engine);
/* 1 when the most recent frame was drawn on a beat (a beat in a block it took), else 0. */
QELV_API int qelv_last_frame_was_beat(const qelv_engine* engine);

/* ---- Analysis alone (since 5.2) ---------------------------------------------------------
 * The blocks the engine makes of a whole track, as `qelv analyze` writes them into a
 * sample stream (.qsb): for a host that keeps, sends or compares them. samples holds
 * frames * channels values, as for qelv_feed_float. *count is set to the number of blocks
 * of the track (block k for every k / block_rate up to its last sample), and that many are
 * written to blocks, QELV_BLOCK_BYTES each. blocks may be NULL (with capacity 0) to ask
 * only the count; capacity, in blocks, too small gives QELV_ERROR_ARGUMENT and writes
 * nothing, with *count still set. Failures are told by qelv_errmsg(NULL). */
QELV_API int qelv_analyze_float(const float* samples, size_t frames, int channels, int sample_rate, int block_rate,
                                void* blocks, size_t capacity, size_t* count);

/* ---- The chain, effect by effect (since 5.2) --------------------------------------------
 * What the control panel does, for a program that shows a panel of its own: the engine's
 * chain of effects, index 0 drawn first; the library of effect types to add from; each
 * effect's settings page; the framebuffer-clear flag; the beat detector's settings and its
 * meter. Changes show from the next frame; the chain is what qelv_save_preset saves. */

/* The library: effect types 0 .. qelv_effect_type_count() - 1, the numbers presets store.
 * A type's name is static text ("Fadeout v0.0", ...); NULL for a number outside. */
QELV_API int qelv_effect_type_count(void);
QELV_API const char* qelv_effect_type_name(int type);

/* The chain's length (0 to QELV_MAX_CHAIN) and the type of the effect at an index. */
#define QELV_MAX_CHAIN 256
QELV_API int qelv_chain_length(qelv_engine* engine, int* length);
QELV_API int qelv_chain_effect_type(qelv_engine* engine, int index, int* type);
/* A new effect of the type, with its default settings, at the chain's end; *index (may be
 * NULL) is its place. A full chain gives QELV_ERROR_ARGUMENT. */
QELV_API int qelv_chain_add(qelv_engine* engine, int type, int* index);
QELV_API int qelv_chain_remove(qelv_engine* engine, int index);
/* The effects at index and index + 1 change places: the panel's "down" on index, its
 * "up" on index + 1. */
QELV_API int qelv_chain_swap(qelv_engine* engine, int index);
QELV_API int qelv_chain_clear(qelv_engine* engine);

/* The framebuffer-clear flag: 1, every frame starts black; 0, frames draw over the last. */
QELV_API int qelv_framebuffer_clear(qelv_engine* engine, int* on);
QELV_API int qelv_set_framebuffer_clear(qelv_engine* engine, int on);

/* An effect's settings page, as the native panels show it: its dialog template (the
 * number of a DIALOG in the resource script ui/qelv.rc, which holds every control's text
 * and place; 0 when the effect has no page) and its controls, each bound to a setting.
 * Several controls may share an identifier (a radio button and a second setting); a
 * change goes to all of them. */
#define QELV_CONTROL_TRACKBAR 0 /* state: the position, minimum to maximum */
#define QELV_CONTROL_CHECKBOX 1 /* state: 1 checked, 0 not */
#define QELV_CONTROL_RADIO 2    /* state: 1 checked, 0 not */
#define QELV_CONTROL_COLOUR 3   /* state: the colour, 0x00RRGGBB */
typedef struct qelv_control {
    int id;   /* the control's identifier in the dialog template */
    int kind; /* QELV_CONTROL_ */
    int32_t minimum, maximum; /* a trackbar's range */
    int32_t state;
} qelv_control;
QELV_API int qelv_effect_page(qelv_engine* engine, int index, int* template_id, int* controls);
/* Control number `control` (0 to controls - 1) of the effect's page, as it stands now. */
QELV_API int qelv_effect_control(qelv_engine* engine, int index, int control, qelv_control* out);
/* What the user did to the control with identifier `id`: a trackbar moved to a position,
 * a box or button checked (1) or cleared (0), a colour chosen. A position outside a
 * trackbar's range gives QELV_ERROR_ARGUMENT. */
QELV_API int qelv_effect_set_control(qelv_engine* engine, int index, int id, int32_t state);

/* The beat detector: sensitivity 1 (most sensitive) to 256, and the band of spectrum
 * bins it listens to, low (the first) and high (one past the last), each 0 to 576. */
QELV_API int qelv_beat_settings(qelv_engine* engine, int* sensitivity, int* low, int* high);
QELV_API int qelv_set_beat_settings(qelv_engine* engine, int sensitivity, int low, int high);
/* The meter: what the detector made of the latest block, its sum and the threshold that
 * a sum must pass to be a beat. Never waits for a frame or a feed. */
QELV_API int qelv_beat_meter(const qelv_engine* engine, int32_t* sum, int32_t* threshold);

/* ---- Threads ----------------------------------------------------------------------------
 * Every call may come from any thread. The feeding calls (qelv_feed_float,
 * qelv_feed_int16, qelv_feed_blocks) may run while a drawing call runs on another thread,
 * the usual case of a player with an audio thread and a drawing thread: they meet only to
 * hand blocks over, never while a frame is drawn. Everything else (drawing, presets,
 * resizing, settings) waits for any other such call on the same engine to finish, as
 * feeding calls wait for each other; qelv_set_block_rate and qelv_reset_audio wait for
 * both kinds. qelv_beat_count, qelv_last_frame_was_beat, qelv_beat_meter and
 * qelv_errmsg never wait for a frame or a feed; qelv_analyze_float and the effect library
 * need no engine. Reading a preset file happens before the wait, so a slow disk does not
 * hold up drawing. qelv_destroy must be the engine's last call, on any thread. */

#ifdef __cplusplus
}
#endif

#endif /* QELV_QELV_H */
