#include "effects/blur.h"

#include <algorithm>
#include <chrono>
#include <cstddef>
#include <cstring>

#include "effects/blur_rows.h"
#include "effects/packed_pixels.h"
#include "core/page_definition.h"
#include "core/row_bands.h"

namespace {
// Rows walked above a band to guess the new row over it. The blur forgets where it
// started within a few rows, though not always exactly; a wrong guess is found and mended.
constexpr int32_t kLeadIn = 16;

// The frame's rows cut into bands that the threads blur at once. A band needs the new
// row above it, which the band above makes last; so each band starts from a guess,
// walked from the old rows over it, and keeps its old rows in spare as it overwrites
// them. Once all are done, each guess is checked against the true row above, from the
// top down, and where it differs the words it led astray are done again from the copies.
struct BandedBlur {
    BlurRows rows;
    uint32_t* frame;
    uint32_t* spare;     // a frame of scratch: the old rows of every band but the first
    uint32_t* guesses;   // two rows per band, then two lists of columns for the mending
    BandSplit split;
    const uint32_t* guess[WorkerPool::kMaxThreads] = {};
    bool exact[WorkerPool::kMaxThreads] = {};

    uint32_t* Row(uint32_t* pixels, int32_t y) const { return pixels + size_t(y) * rows.width; }
    const uint32_t* Ahead(int32_t y) const { return Row(frame, std::min(y + 2, rows.height - 1)); }
    void Keep(uint32_t* copy, const uint32_t* row) const { std::memcpy(copy, row, rows.width * 4); }
    int32_t Top(int band) const { return int32_t(split.Begin(band)); }
    int32_t End(int band) const { return int32_t(split.End(band)); }

    // While no band writes: the old first row of the band, for the band above, and the
    // guess of the new row over it, walked from the old row kLeadIn rows higher up (from
    // the frame's first row, when that is closer, which makes the guess exact). A larger
    // first band can leave later ones empty; of the bands that start at a row, the one
    // that holds it copies it.
    void Prepare(int band) {
        if (band == 0 || Top(band) == End(band)) return;
        const int32_t top = Top(band), start = std::max(0, top - kLeadIn);
        Keep(Row(spare, top), Row(frame, top));
        const uint32_t* above = start > 0 ? Row(frame, start - 1) : nullptr;
        for (int32_t y = start; y < top; ++y) {
            uint32_t* row = guesses + (2 * size_t(band) + size_t(y - start) % 2) * rows.width;
            Keep(row, Row(frame, y));
            rows.Blur(y, row, above, Row(frame, y + 1), Ahead(y));
            above = row;
        }
        guess[band] = above;
        exact[band] = start == 0;
    }

    void Draw(int band) const {
        const int32_t top = Top(band), end = End(band);
        const bool keep = band > 0 && !exact[band];
        for (int32_t y = top; y < end; ++y) {
            uint32_t* row = Row(frame, y);
            if (keep && y > top) CopyPastCache(Row(spare, y), row, rows.width);
            const uint32_t* above = y == top ? guess[band] : row - rows.width;
            const uint32_t* below = y + 1 == end ? (end < rows.height ? Row(spare, end) : nullptr) : row + rows.width;
            rows.Blur(y, row, above, below, Ahead(y));
        }
    }

    // Where a guess was wrong, the band's words are done again only where a neighbour they
    // take (the left or the upper, which are new) came out different, row by row, until a
    // row comes out as it already is. changed and next hold column lists for that.
    void Mend(uint32_t* changed, uint32_t* next) const {
        for (int band = 1; band < split.bands; ++band) {
            const int32_t top = Top(band), end = End(band);
            if (exact[band] || top == end) continue;
            const uint32_t* truth = Row(frame, top - 1);
            size_t count = 0;
            for (size_t x = 0; x < rows.width; ++x)
                if (truth[x] != guess[band][x]) changed[count++] = uint32_t(x);
            for (int32_t y = top; y < end && count > 0; ++y) {
                count = MendRow(y, changed, count, next);
                std::swap(changed, next);
            }
        }
    }

    // Row y where the row above changed at the count columns listed (rising); lists the
    // columns of row y that changed in out and returns their number. The old words come
    // from the copies kept in spare.
    size_t MendRow(int32_t y, const uint32_t* changed, size_t count, uint32_t* out) const {
        const size_t width = rows.width;
        uint32_t* row = Row(frame, y);
        const uint32_t* above = row - width;
        const uint32_t* old = Row(spare, y);
        const uint32_t* below = y + 1 < rows.height ? Row(spare, y + 1) : nullptr;
        size_t found = 0, p = 0;
        // The first word is always done again: its left neighbour is the last word of the
        // row above.
        size_t x = 0;
        while (x < width) {
            const uint32_t left = x > 0 ? row[x - 1] : above[width - 1];
            const uint32_t right = x + 1 < width ? old[x + 1] : below ? below[0] : 0;
            const uint32_t word = rows.Word(y, x, left, above[x], right, below ? below[x] : 0);
            const bool differs = word != row[x];
            if (differs) {
                row[x] = word;
                out[found++] = uint32_t(x);
            }
            while (p < count && changed[p] <= x) ++p;
            x = differs ? x + 1 : p < count ? changed[p] : width;
        }
        return found;
    }
};

// The cost of a row of the later bands over one of the first band's, from the seconds
// each band took, followed slowly, so that a thread the system held up once moves the
// cut little.
double FollowedRowCost(double previous, const BandSplit& split, const double* spent) {
    const double firstRow = spent[0] / double(split.End(0));
    double laterRows = 0;
    for (int band = 1; band < split.bands; ++band) laterRows += spent[band];
    laterRows /= double(split.count - split.End(0));
    if (!(firstRow > 0 && laterRows > 0)) return previous;
    return std::clamp(0.75 * previous + 0.25 * laterRows / firstRow, 1.0, 3.0);
}
}  // namespace

const PageDefinition* BlurEffect::page() const {
    static const PageDefinition definition = MakePage(109);
    return &definition;
}

// Every pixel becomes the mean of its four neighbours, the frame read as one run of words
// replaced in memory order (blur_rows.h).
void BlurEffect::render(const uint8_t*, uint32_t* frame, int32_t width, int32_t height) {
    if (width <= 0 || height < 2) return;
    const BlurRows rows{size_t(width), height, ChosenInnerBlurRow()};
    // One band per thread, the first larger by what the others' rows cost more.
    BandSplit split = SplitIntoBands(resources, size_t(height), 1, 1);
    split.firstShare = uint32_t(keptRowCost * BandSplit::kShareUnit);
    const size_t rowBytes = size_t(width) * 4;
    // Without room for the copies, one thread blurs the whole frame.
    if (split.bands > 1 && (!resources->scratch.Reserve(rowBytes * size_t(height)) ||
                            !resources->bandRows.Reserve(rowBytes * (2 * size_t(split.bands) + 2))))
        split.bands = 1;
    if (split.bands == 1) {
        BandedBlur{rows, frame, nullptr, nullptr, split}.Draw(0);
        return;
    }
    BandedBlur blur{rows, frame, resources->scratch.get(), resources->bandRows.get(), split};
    ForEachBand(resources, split, [&](int band, size_t, size_t) { blur.Prepare(band); });
    double spent[WorkerPool::kMaxThreads] = {};
    ForEachBand(resources, split, [&](int band, size_t, size_t) {
        const auto start = std::chrono::steady_clock::now();
        blur.Draw(band);
        spent[band] = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    });
    keptRowCost = FollowedRowCost(keptRowCost, split, spent);
    uint32_t* lists = blur.guesses + 2 * size_t(split.bands) * size_t(width);
    blur.Mend(lists, lists + width);
}
