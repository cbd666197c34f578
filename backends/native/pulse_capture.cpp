#include <pulse/context.h>
#include <pulse/error.h>
#include <pulse/introspect.h>
#include <pulse/rtclock.h>
#include <pulse/stream.h>
#include <pulse/thread-mainloop.h>
#include <pulse/timeval.h>

#include <algorithm>
#include <deque>

#include "backends/native/sound_capture.h"

// The PulseAudio protocol, which PipeWire's pulse server speaks too, through its
// asynchronous API on a loop thread of its own: every wait for the server has a deadline
// or can be interrupted, so a server that stops answering (stopped, swapped out, hung)
// never holds up the end of a run.
namespace {
constexpr char kClientName[] = "qelv";
// How long the server has to answer a connection, a stream's opening or a listing.
constexpr pa_usec_t kAnswerTime = 5 * PA_USEC_PER_SEC;
// The most sound kept for a reader that has fallen behind; the oldest goes first.
constexpr size_t kMostSecondsKept = 2;

std::string ServerError(int code, const std::string& source) {
    switch (code) {
        case PA_ERR_CONNECTIONREFUSED:
        case PA_ERR_CONNECTIONTERMINATED:
        case PA_ERR_INVALIDSERVER:
            return std::string("no sound server is running (") + pa_strerror(code) + ")";
        case PA_ERR_NOENTITY:
            return "the sound server has no source '" + source + "' (see 'qelv play --list-sources')";
        default:
            return "the sound server refused to capture " +
                   (source.empty() ? std::string("anything") : "'" + source + "'") + ": " + pa_strerror(code);
    }
}

// A context over a loop thread of its own; a lost connection is replaced by a new context
// on the same loop. The loop's lock is held between Lock and Unlock, and while the loop
// runs a callback.
class PulseConnection {
public:
    PulseConnection() : loop(pa_threaded_mainloop_new()) {}
    ~PulseConnection() {
        // Once the loop thread has stopped, nothing else touches the context.
        if (started) pa_threaded_mainloop_stop(loop);
        DropContext();
        pa_threaded_mainloop_free(loop);
    }
    PulseConnection(const PulseConnection&) = delete;
    PulseConnection& operator=(const PulseConnection&) = delete;

    // Connects and returns with the loop locked, whether it connected or not.
    bool Connect(std::string& error) {
        started = pa_threaded_mainloop_start(loop) == 0;
        Lock();
        if (!started) {
            error = "cannot start the sound server's client thread";
            return false;
        }
        return Reconnect(PA_CONTEXT_NOFLAGS, error);
    }

    // With the loop locked: lets go of the context and connects a new one.
    bool Reconnect(pa_context_flags_t flags, std::string& error) {
        DropContext();
        context = pa_context_new(pa_threaded_mainloop_get_api(loop), kClientName);
        if (!context) {
            error = "cannot make a sound server connection";
            return false;
        }
        pa_context_set_state_callback(context, &PulseConnection::Wake<pa_context>, this);
        if (pa_context_connect(context, nullptr, flags, nullptr) < 0) {
            error = ServerError(pa_context_errno(context), {});
            return false;
        }
        bool ready = false;
        const bool answered = WaitUntil([&] {
            const pa_context_state_t state = pa_context_get_state(context);
            ready = state == PA_CONTEXT_READY;
            return ready || !PA_CONTEXT_IS_GOOD(state);
        });
        if (ready) return true;
        error = answered ? ServerError(pa_context_errno(context), {}) : "the sound server does not answer";
        return false;
    }

    // With the loop locked: whether the context is still connected.
    bool Connected() const { return context && pa_context_get_state(context) == PA_CONTEXT_READY; }

    // With the loop locked: every wait, now and later, ends at once.
    void Interrupt() {
        interrupted = true;
        WakeWaiters();
    }
    bool Interrupted() const { return interrupted; }

    // With the loop locked: waits until done() holds, or the answer time has passed or the
    // wait was interrupted (false).
    template <typename Done>
    bool WaitUntil(Done done) {
        bool late = false;
        Alarm alarm{this, &late};
        pa_time_event* timer = pa_context_rttime_new(context, pa_rtclock_now() + kAnswerTime, &Alarm::Ring, &alarm);
        while (!done() && !late && !interrupted) Wait();
        if (timer) pa_threaded_mainloop_get_api(loop)->time_free(timer);
        return done();
    }

    // With the loop locked: until the operation has finished, or the answer time has passed.
    bool Finish(pa_operation* operation) {
        if (!operation) return false;
        pa_operation_set_state_callback(operation, &PulseConnection::Wake<pa_operation>, this);
        const bool done = WaitUntil([operation] { return pa_operation_get_state(operation) != PA_OPERATION_RUNNING; });
        pa_operation_unref(operation);
        return done;
    }

    void Lock() { pa_threaded_mainloop_lock(loop); }
    void Unlock() { pa_threaded_mainloop_unlock(loop); }
    // With the loop locked: until a callback or another thread wakes it.
    void Wait() { pa_threaded_mainloop_wait(loop); }
    void WakeWaiters() { pa_threaded_mainloop_signal(loop, 0); }
    // A callback that only wakes the waiters, whatever changed.
    template <typename Changed>
    static void Wake(Changed*, void* self) {
        static_cast<PulseConnection*>(self)->WakeWaiters();
    }
    pa_context* get() const { return context; }

private:
    struct Alarm {
        PulseConnection* connection;
        bool* late;
        static void Ring(pa_mainloop_api*, pa_time_event*, const struct timeval*, void* self) {
            auto* alarm = static_cast<Alarm*>(self);
            *alarm->late = true;
            alarm->connection->WakeWaiters();
        }
    };

    void DropContext() {
        if (!context) return;
        pa_context_set_state_callback(context, nullptr, nullptr);
        pa_context_disconnect(context);
        pa_context_unref(context);
        context = nullptr;
    }

    pa_threaded_mainloop* loop;
    pa_context* context = nullptr;
    bool started = false, interrupted = false;
};

// The loop's lock, held for a scope.
class Locked {
public:
    explicit Locked(PulseConnection& connection) : connection(connection) { connection.Lock(); }
    ~Locked() { connection.Unlock(); }
    Locked(const Locked&) = delete;
    Locked& operator=(const Locked&) = delete;

private:
    PulseConnection& connection;
};

class PulseCapture final : public SoundCapture {
public:
    PulseCapture(std::unique_ptr<PulseConnection> connection, std::string source, int rate, int framesPerRead)
        : connection(std::move(connection)), source(std::move(source)), rate(rate), framesPerRead(framesPerRead) {}
    ~PulseCapture() override {
        // Before the connection, whose destructor stops the loop thread.
        const Locked locked(*connection);
        DropStream();
    }
    PulseCapture(const PulseCapture&) = delete;
    PulseCapture& operator=(const PulseCapture&) = delete;

    // With the loop locked: opens the record stream and waits until it runs.
    bool Open(std::string& error) {
        const pa_sample_spec spec{PA_SAMPLE_FLOAT32NE, uint32_t(rate), 2};
        stream = pa_stream_new(connection->get(), "visualisation", &spec, nullptr);
        if (!stream) {
            error = ServerError(pa_context_errno(connection->get()), source);
            return false;
        }
        pa_stream_set_state_callback(stream, &PulseConnection::Wake<pa_stream>, connection.get());
        pa_stream_set_read_callback(stream, &PulseCapture::Arrived, this);
        // A fragment of one block: the server hands each block over as soon as it is
        // full, instead of its default of a couple of seconds' worth.
        pa_buffer_attr attributes{};
        attributes.maxlength = uint32_t(-1);
        attributes.fragsize = uint32_t(framesPerRead) * uint32_t(pa_frame_size(&spec));
        if (pa_stream_connect_record(stream, source.c_str(), &attributes, PA_STREAM_ADJUST_LATENCY) < 0) {
            error = ServerError(pa_context_errno(connection->get()), source);
            return false;
        }
        bool ready = false;
        const bool answered = connection->WaitUntil([&] {
            const pa_stream_state_t state = pa_stream_get_state(stream);
            ready = state == PA_STREAM_READY;
            return ready || !PA_STREAM_IS_GOOD(state);
        });
        if (ready) return true;
        error = answered ? ServerError(pa_context_errno(connection->get()), source)
                         : "the sound server does not answer a capture of '" + source + "'";
        return false;
    }

    bool Read(float* interleaved, int frames, std::string& error) override {
        const Locked locked(*connection);
        const size_t wanted = 2 * size_t(std::max(frames, 0));
        for (;;) {
            if (connection->Interrupted()) {
                error = "the capture was interrupted";
                return false;
            }
            if (samples.size() >= wanted) break;
            if (!stream || pa_stream_get_state(stream) != PA_STREAM_READY) {
                const std::string cause = pa_strerror(pa_context_errno(connection->get()));
                error = connection->Connected() ? "the sound server ended the capture of '" + source + "' (" + cause + ")"
                                                : "the sound server went away (" + cause + ")";
                return false;
            }
            connection->Wait();
        }
        std::copy_n(samples.begin(), wanted, interleaved);
        samples.erase(samples.begin(), samples.begin() + ptrdiff_t(wanted));
        return true;
    }

    bool Reopen(std::string& error) override {
        const Locked locked(*connection);
        DropStream();
        samples.clear();
        if (connection->Interrupted()) {
            error = "the capture was interrupted";
            return false;
        }
        // A source that went away leaves the connection standing. Retries never start a
        // server of their own: the one that went away comes back by itself or not at all.
        if (!connection->Connected() && !connection->Reconnect(PA_CONTEXT_NOAUTOSPAWN, error)) return false;
        return Open(error);
    }

    void Interrupt() override {
        const Locked locked(*connection);
        connection->Interrupt();
    }

    int sampleRate() const override { return rate; }

private:
    // With the loop locked.
    void DropStream() {
        if (!stream) return;
        pa_stream_set_state_callback(stream, nullptr, nullptr);
        pa_stream_set_read_callback(stream, nullptr, nullptr);
        pa_stream_disconnect(stream);
        pa_stream_unref(stream);
        stream = nullptr;
    }

    // On the loop thread, locked: takes in what the server has sent.
    static void Arrived(pa_stream* stream, size_t, void* self) {
        auto& capture = *static_cast<PulseCapture*>(self);
        const void* data = nullptr;
        size_t bytes = 0;
        while (pa_stream_peek(stream, &data, &bytes) == 0 && bytes > 0) {
            const size_t count = bytes / sizeof(float);
            if (data) {
                const auto* values = static_cast<const float*>(data);
                capture.samples.insert(capture.samples.end(), values, values + count);
            } else {
                capture.samples.insert(capture.samples.end(), count, 0.0f);  // a hole: silence
            }
            pa_stream_drop(stream);
        }
        const size_t most = 2 * kMostSecondsKept * size_t(capture.rate);
        if (capture.samples.size() > most) capture.samples.erase(capture.samples.begin(), capture.samples.end() - ptrdiff_t(most));
        capture.connection->WakeWaiters();
    }

    const std::unique_ptr<PulseConnection> connection;
    const std::string source;
    const int rate, framesPerRead;
    pa_stream* stream = nullptr;
    std::deque<float> samples;  // interleaved, arrived and not yet read
};

struct Listing {
    std::vector<SoundSource>* sources;
    std::string defaultMonitor;
};
}  // namespace

std::unique_ptr<SoundCapture> OpenSoundCapture(const std::string& source, int sampleRate, int framesPerRead,
                                               std::string& error) {
    auto connection = std::make_unique<PulseConnection>();
    PulseConnection& server = *connection;
    const bool connected = server.Connect(error);
    std::unique_ptr<PulseCapture> capture;
    bool opened = false;
    if (connected) {
        capture = std::make_unique<PulseCapture>(std::move(connection), source, sampleRate, framesPerRead);
        opened = capture->Open(error);
    }
    server.Unlock();
    if (!opened) return nullptr;
    return capture;
}

bool ListSoundSources(std::vector<SoundSource>& sources, std::string& error) {
    PulseConnection server;
    const bool connected = server.Connect(error);
    if (!connected) {
        server.Unlock();
        return false;
    }
    Listing listing{&sources, {}};
    const bool listed =
        server.Finish(pa_context_get_server_info(
            server.get(),
            [](pa_context*, const pa_server_info* info, void* data) {
                if (info && info->default_sink_name)
                    static_cast<Listing*>(data)->defaultMonitor = std::string(info->default_sink_name) + ".monitor";
            },
            &listing)) &&
        server.Finish(pa_context_get_source_info_list(
            server.get(),
            [](pa_context*, const pa_source_info* info, int end, void* data) {
                if (end || !info) return;
                auto& listing = *static_cast<Listing*>(data);
                listing.sources->push_back({info->name, info->description ? info->description : "",
                                            listing.defaultMonitor == info->name});
            },
            &listing));
    server.Unlock();
    if (!listed) error = "the sound server does not answer a listing of its sources";
    return listed;
}
