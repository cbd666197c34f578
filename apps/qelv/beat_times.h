#pragma once
#include <vector>

#include "player/sample_stream.h"

// The times, in seconds from the start, of the blocks at which the beat detector fires,
// with the beat settings in force, blocks being 1 / fps seconds apart. The chain must be
// empty: the blocks go through the same intake as when playing, with nothing drawn.
std::vector<double> BeatTimes(const std::vector<SampleBlock>& blocks, double fps);
