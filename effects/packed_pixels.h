#pragma once
#include <cstddef>
#include <cstdint>

// Packed byte arithmetic over runs of frame pixels, two pixels per 64-bit lane. All four
// bytes of every pixel are processed, byte 3 included, so every build gives the same words.

// Every byte of groups x 8 pixels becomes max(byte - amount, 0).
void SubtractSaturatedBytes(uint32_t* pixels, size_t groups, uint8_t amount);

// Each pair of pixels, read as one little-endian 64-bit word w, becomes
// ((w >> 1) AND m) + ((c >> 1) AND m) added byte by byte without carries, where c holds
// colour in both halves and m is 0xFF7F7F7F in both halves. The shift runs across the
// whole 64 bits, so byte 3 of the first pixel of a pair takes a bit of the second.
void HalfBlendPairs(uint32_t* pixels, size_t pairs, uint32_t colour);

// Every one of count pixels becomes colour, by aligned 16-byte stores after the first few.
void FillAligned(uint32_t* pixels, size_t count, uint32_t colour);

// Copies count words with stores that pass the cache by: for copies that are kept in case
// and seldom read, so that they take no cache room and no reads of their own. The copy is
// complete for every thread once the caller's next synchronisation publishes it.
void CopyPastCache(uint32_t* to, const uint32_t* from, size_t count);
