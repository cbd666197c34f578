#pragma once
#include <cstdint>
#include <string>
#include <vector>

// One host block: what the host writes into the module record before one Render — the
// 1152 spectrum bytes (channel 0, then 1), then the 1152 waveform bytes.
constexpr size_t kBlockBytes = 2304;
struct SampleBlock {
    uint8_t bytes[kBlockBytes];
};

// A sample stream file (".qsb") is blocks back to back with no header.
// A file that ends part-way through a block gives its whole blocks and a note saying so;
// one with no whole block is an error.
bool ReadSampleStream(const std::string& path, std::vector<SampleBlock>& blocks, std::string& error,
                      std::string* note = nullptr);
bool WriteSampleStream(const std::string& path, const std::vector<SampleBlock>& blocks, std::string& error);
