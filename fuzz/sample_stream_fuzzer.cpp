// Feeds arbitrary bytes as a sample stream file and draws the default chain from each of
// its first blocks, so hostile spectra and waveforms reach the intake and every effect.
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "host/default_chain.h"
#include "engine/engine.h"
#include "engine/lockstep_renderer.h"
#include "player/sample_stream.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string path =
        (std::filesystem::temp_directory_path() / ("qelv-stream-fuzz-" + std::to_string(getpid()) + ".qsb")).string();
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(data), std::streamsize(size));
    static Engine engine;
    static const bool built = (BuildDefaultChain(engine.chain), true);
    (void)built;

    SampleStreamReader reader;
    std::string error, note;
    if (!reader.Open(path, error, &note)) {
        if (size >= kBlockBytes) std::abort();
        return 0;
    }
    if (reader.blockCount() != int64_t(size / kBlockBytes)) std::abort();
    LockstepRenderer renderer(engine, 37, 23);
    SampleBlock block;
    for (int64_t i = 0; i < reader.blockCount() && i < 8; ++i) {
        if (!reader.Next(block, error)) std::abort();
        renderer.RenderFrame(block.bytes);
    }
    return 0;
}
