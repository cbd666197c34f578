/* render_wav: the first seconds of a WAV file drawn by libqelv, one PNG file a frame.
 *
 *     render_wav INPUT.wav OUTPUT_FOLDER [SECONDS [PRESET]]
 *
 * SECONDS defaults to 3; PRESET is the name of a shipped preset ("aurora", ...).
 * Build it with either
 *     cc render_wav.c $(pkg-config --cflags --libs qelv sndfile stb) -o render_wav
 * or the CMakeLists.txt beside it (find_package(Qelv)). */
#include <errno.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <qelv/qelv.h>
#include <sndfile.h>
#include <stb_image_write.h>

enum { WIDTH = 320, HEIGHT = 180, BLOCK_RATE = 50, PIECE = 4096 };

static int render(SNDFILE* wav, const SF_INFO* info, qelv_engine* engine, const char* folder, double seconds) {
    short* pcm = malloc(sizeof(short) * PIECE * (size_t)info->channels);
    unsigned char* pixels = malloc((size_t)WIDTH * HEIGHT * 4);
    long long fed = 0;
    int frame, ended = 0, status = 0;
    if (!pcm || !pixels) {
        fprintf(stderr, "out of memory\n");
        status = 1;
    }
    for (frame = 0; !status && frame < seconds * BLOCK_RATE; ++frame) {
        /* Frame i shows the music up to i / BLOCK_RATE seconds: feed at least that far.
         * Audio fed beyond waits for the frames it belongs to. */
        const long long wanted = (long long)frame * info->samplerate / BLOCK_RATE + 1;
        char name[4096];
        while (fed < wanted && !ended) {
            const sf_count_t got = sf_readf_short(wav, pcm, PIECE);
            ended = got <= 0;
            if (!ended && qelv_feed_int16(engine, pcm, (size_t)got, info->channels, info->samplerate) != QELV_OK) {
                fprintf(stderr, "%s\n", qelv_errmsg(engine));
                status = 1;
                break;
            }
            fed += got > 0 ? got : 0;
        }
        if (status || fed < wanted) break; /* the track is shorter */
        if (qelv_draw_until(engine, pixels, WIDTH * 4, QELV_FORMAT_RGBA, (double)frame / BLOCK_RATE) != QELV_OK) {
            fprintf(stderr, "%s\n", qelv_errmsg(engine));
            status = 1;
            break;
        }
        snprintf(name, sizeof name, "%s/frame-%04d.png", folder, frame);
        if (!stbi_write_png(name, WIDTH, HEIGHT, 4, pixels, WIDTH * 4)) {
            fprintf(stderr, "cannot write %s\n", name);
            status = 1;
        }
    }
    if (!status) printf("%d frames in %s; beats: %u\n", frame, folder, qelv_beat_count(engine));
    free(pcm);
    free(pixels);
    return status;
}

int main(int argc, char** argv) {
    SF_INFO info = {0};
    SNDFILE* wav;
    qelv_engine* engine;
    int status;
    if (argc < 3) {
        fprintf(stderr, "usage: %s INPUT.wav OUTPUT_FOLDER [SECONDS [PRESET]]\n", argv[0]);
        return 2;
    }
    wav = sf_open(argv[1], SFM_READ, &info);
    if (!wav) {
        fprintf(stderr, "%s: %s\n", argv[1], sf_strerror(NULL));
        return 1;
    }
    if (mkdir(argv[2], 0777) != 0 && errno != EEXIST) {
        perror(argv[2]);
        return 1;
    }
    if (qelv_create(WIDTH, HEIGHT, &engine) != QELV_OK) {
        fprintf(stderr, "%s\n", qelv_errmsg(NULL));
        return 1;
    }
    if (argc > 4 && qelv_load_shipped_preset(engine, argv[4]) != QELV_OK) {
        fprintf(stderr, "%s\n", qelv_errmsg(engine));
        status = 1;
    } else {
        status = render(wav, &info, engine, argv[2], argc > 3 ? atof(argv[3]) : 3.0);
    }
    qelv_destroy(engine);
    sf_close(wav);
    return status;
}
