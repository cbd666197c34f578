#include <pulse/error.h>
#include <pulse/introspect.h>
#include <pulse/mainloop.h>
#include <pulse/simple.h>

#include "backends/native/sound_capture.h"

// The PulseAudio protocol, which PipeWire's pulse server speaks too. The simple API opens
// the default output's monitor by its special name and reads blocking, so that capture is
// one call per block; only the listing needs the asynchronous API.
namespace {
constexpr char kClientName[] = "qelv";

std::string ServerError(int code, const std::string& source) {
    switch (code) {
        case PA_ERR_CONNECTIONREFUSED:
        case PA_ERR_CONNECTIONTERMINATED:
        case PA_ERR_INVALIDSERVER:
            return std::string("no sound server is running (") + pa_strerror(code) + ")";
        case PA_ERR_NOENTITY:
            return "the sound server has no source '" + source + "' (see 'qelv play --list-sources')";
        default: return std::string("the sound server refused to capture: ") + pa_strerror(code);
    }
}

class PulseCapture final : public SoundCapture {
public:
    PulseCapture(pa_simple* stream, int rate) : stream(stream), rate(rate) {}
    ~PulseCapture() override { pa_simple_free(stream); }
    PulseCapture(const PulseCapture&) = delete;
    PulseCapture& operator=(const PulseCapture&) = delete;

    bool Read(float* interleaved, int frames, std::string& error) override {
        int code = 0;
        if (pa_simple_read(stream, interleaved, size_t(frames) * 2 * sizeof(float), &code) == 0) return true;
        error = "the sound server stopped the capture: " + std::string(pa_strerror(code));
        return false;
    }
    int sampleRate() const override { return rate; }

private:
    pa_simple* stream;
    int rate;
};

// A connected context over a main loop of its own, iterated until each answer is in.
class PulseQuery {
public:
    PulseQuery() : loop(pa_mainloop_new()), context(pa_context_new(pa_mainloop_get_api(loop), kClientName)) {}
    ~PulseQuery() {
        pa_context_disconnect(context);
        pa_context_unref(context);
        pa_mainloop_free(loop);
    }
    PulseQuery(const PulseQuery&) = delete;
    PulseQuery& operator=(const PulseQuery&) = delete;

    bool Connect(std::string& error) {
        if (pa_context_connect(context, nullptr, PA_CONTEXT_NOFLAGS, nullptr) >= 0) {
            for (;;) {
                const pa_context_state_t state = pa_context_get_state(context);
                if (state == PA_CONTEXT_READY) return true;
                if (!PA_CONTEXT_IS_GOOD(state) || pa_mainloop_iterate(loop, 1, nullptr) < 0) break;
            }
        }
        error = ServerError(pa_context_errno(context), {});
        return false;
    }

    // Runs the loop until the operation is done.
    void Finish(pa_operation* operation) {
        if (!operation) return;
        while (pa_operation_get_state(operation) == PA_OPERATION_RUNNING && pa_mainloop_iterate(loop, 1, nullptr) >= 0) {
        }
        pa_operation_unref(operation);
    }

    pa_context* get() const { return context; }

private:
    pa_mainloop* loop;
    pa_context* context;
};

struct Listing {
    std::vector<SoundSource>* sources;
    std::string defaultMonitor;
};
}  // namespace

std::unique_ptr<SoundCapture> OpenSoundCapture(const std::string& source, int sampleRate, int framesPerRead,
                                               std::string& error) {
    const pa_sample_spec spec{PA_SAMPLE_FLOAT32NE, uint32_t(sampleRate), 2};
    // A fragment of one block: the server hands each block over as soon as it is full,
    // instead of its default of a couple of seconds' worth.
    pa_buffer_attr attributes{};
    attributes.maxlength = uint32_t(-1);
    attributes.fragsize = uint32_t(framesPerRead) * uint32_t(pa_frame_size(&spec));
    int code = 0;
    pa_simple* stream = pa_simple_new(nullptr, kClientName, PA_STREAM_RECORD, source.c_str(), "visualisation", &spec,
                                      nullptr, &attributes, &code);
    if (!stream) {
        error = ServerError(code, source);
        return nullptr;
    }
    return std::make_unique<PulseCapture>(stream, sampleRate);
}

bool ListSoundSources(std::vector<SoundSource>& sources, std::string& error) {
    PulseQuery query;
    if (!query.Connect(error)) return false;
    Listing listing{&sources, {}};
    query.Finish(pa_context_get_server_info(
        query.get(),
        [](pa_context*, const pa_server_info* info, void* data) {
            if (info && info->default_sink_name)
                static_cast<Listing*>(data)->defaultMonitor = std::string(info->default_sink_name) + ".monitor";
        },
        &listing));
    query.Finish(pa_context_get_source_info_list(
        query.get(),
        [](pa_context*, const pa_source_info* info, int end, void* data) {
            if (end || !info) return;
            auto& listing = *static_cast<Listing*>(data);
            listing.sources->push_back({info->name, info->description ? info->description : "",
                                        listing.defaultMonitor == info->name});
        },
        &listing));
    return true;
}
