#pragma once
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

// One host block: what the host writes into the module record before one Render — the
// 1152 spectrum bytes (channel 0, then 1), then the 1152 waveform bytes.
constexpr size_t kBlockBytes = 2304;
struct SampleBlock {
    uint8_t bytes[kBlockBytes];
};

// A sample stream file (".qsb") is blocks back to back with no header. A file that ends
// part-way through a block gives its whole blocks and a note saying so; one with no whole
// block is an error. Read block by block in fixed memory, however large the file.
class SampleStreamReader {
public:
    SampleStreamReader() = default;
    SampleStreamReader(const SampleStreamReader&) = delete;
    SampleStreamReader& operator=(const SampleStreamReader&) = delete;
    ~SampleStreamReader();

    bool Open(const std::string& path, std::string& error, std::string* note = nullptr);
    // The whole blocks the file holds.
    int64_t blockCount() const { return blocks; }
    // The next block; false with a message past the last one or when reading failed.
    bool Next(SampleBlock& block, std::string& error);

private:
    std::FILE* file = nullptr;
    std::string name;
    int64_t blocks = 0, taken = 0;
};

bool WriteSampleStream(const std::string& path, const std::vector<SampleBlock>& blocks, std::string& error);
