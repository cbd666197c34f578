#pragma once
// The blur's inner rows on vector lanes, written once over a vector type V and
// instantiated by each instruction-set file (blur_sse2.cpp, blur_avx2.cpp). Everything
// sits in an unnamed namespace so that each file keeps its own copy, compiled for its own
// instructions.
//
// Every inner word is new = Inner(left, already new) + b, where b = Inner(above, new) +
// Inner(right, old) + Inner(below, old) is known for a whole row before the row starts.
// Only the left term chains. A piece of a row is cut into equal segments, one per lane of
// two sets of V::kLanes lanes, and each lane walks its segment eight words at a time
// through a transpose; the two sets walk side by side, so that neither waits long for its
// own chain. A lane starts from the last word of the segment before, which is not known
// yet: it is guessed by walking the end of that segment from a guess. The chain forgets
// its start within a few words, but not always exactly, so once the walk is done the
// start of every lane is checked against the end of the lane before (the first lane
// against the true word left of the piece), and the piece is walked again from the
// corrected starts until they agree. Each round makes at least one more lane exact; when
// all agree, every word equals the plain in-order pass.
#include <cstddef>
#include <cstdint>

namespace {
constexpr int kBlock = 8;
// Words of a row walked as one piece; their b values stay in the first-level cache.
constexpr size_t kPiece = 2048;
// The guess is walked over this many words; a wrong start then almost never survives.
constexpr size_t kLeadIn = 3 * kBlock;
constexpr uint32_t kGuess = 0x7FFFFFFFu;

inline uint32_t InnerWord(uint32_t w) { return uint32_t(int32_t(w) >> 2) & 0xFF3F3F3Fu; }

// Blurs count words of an inner row in place: above holds the new words over them and
// below the old words under them, carry is the new word left of row[0] and right the old
// word right of row[count - 1]. ahead is the same piece of a row further down, fetched
// into the cache while this one is worked on. Returns the new last word.
template <class V>
uint32_t BlurPieceOnLanes(uint32_t* row, const uint32_t* above, const uint32_t* below, size_t count,
                          uint32_t carry, uint32_t right, const uint32_t* ahead) {
    using R = typename V::Reg;
    constexpr size_t kLanes = size_t(V::kLanes);
    alignas(32) uint32_t b[kPiece];
    size_t i = 0;
    // The right neighbours of these lanes all lie inside the piece.
    for (; i + kLanes < count; i += kLanes) {
        __builtin_prefetch(ahead + i);
        const R under = V::Inner(V::Load(below + i));
        const R over = V::Inner(V::Load(above + i));
        V::Store(b + i, V::Add(V::Add(under, over), V::Inner(V::Load(row + i + 1))));
    }
    for (; i < count; ++i)
        b[i] = InnerWord(below[i]) + InnerWord(above[i]) + InnerWord(i + 1 < count ? row[i + 1] : right);

    constexpr size_t kSets = 2;
    const size_t segment = count / (kSets * kLanes * kBlock) * kBlock;
    i = 0;
    if (segment >= kLeadIn) {
        const size_t setWords = kLanes * segment;
        R column[kSets][kBlock];
        // Every lane walks the end of its own segment from the guess; shifted up a lane
        // (the last lane of set 0 into lane 0 of set 1), that is the guessed start of the
        // next lane.
        R led[kSets], start[kSets], n[kSets];
        for (size_t s = 0; s < kSets; ++s) {
            led[s] = V::Broadcast(kGuess);
            for (size_t x = segment - kLeadIn; x < segment; x += kBlock) {
                V::LoadColumns(b + s * setWords + x, segment, column[s]);
                for (int j = 0; j < kBlock; ++j) led[s] = V::Add(V::Inner(led[s]), column[s][j]);
            }
            start[s] = V::ShiftUp(led[s], s == 0 ? carry : V::Last(led[s - 1]));
        }
        for (;;) {
            for (size_t s = 0; s < kSets; ++s) n[s] = start[s];
            for (size_t x = 0; x < segment; x += kBlock) {
                for (size_t s = 0; s < kSets; ++s) V::LoadColumns(b + s * setWords + x, segment, column[s]);
                for (int j = 0; j < kBlock; ++j)
                    for (size_t s = 0; s < kSets; ++s) column[s][j] = n[s] = V::Add(V::Inner(n[s]), column[s][j]);
                for (size_t s = 0; s < kSets; ++s) V::StoreColumns(column[s], row + s * setWords + x, segment);
            }
            bool agree = true;
            for (size_t s = 0; s < kSets; ++s) {
                const R next = V::ShiftUp(n[s], s == 0 ? carry : V::Last(n[s - 1]));
                agree = V::Equal(next, start[s]) && agree;
                start[s] = next;
            }
            if (agree) break;
        }
        carry = V::Last(n[kSets - 1]);
        i = kSets * setWords;
    }
    for (; i < count; ++i) carry = row[i] = InnerWord(carry) + b[i];
    return carry;
}

template <class V>
void BlurRowOnLanes(uint32_t* row, const uint32_t* above, const uint32_t* below, size_t width,
                    const uint32_t* ahead) {
    uint32_t carry = above[width - 1];
    for (size_t x = 0; x < width; x += kPiece) {
        const size_t count = width - x < kPiece ? width - x : kPiece;
        // Right of the row's last word lies the first word of the row below.
        const uint32_t right = x + count < width ? row[x + count] : below[0];
        carry = BlurPieceOnLanes<V>(row + x, above + x, below + x, count, carry, right, ahead + x);
    }
}
}  // namespace
