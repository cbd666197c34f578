#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "apps/qelv/render/frame_sink.h"

namespace {
// Keeps the first word of every frame; fails at the frame numbered failAt.
class Recording final : public FrameSink {
public:
    Recording(std::vector<uint32_t>& seen, int failAt, bool& finished)
        : seen(seen), failAt(failAt), finished(finished) {}
    bool Write(const uint32_t* pixels, std::string& error) override {
        if (int(seen.size()) == failAt) {
            error = "disk full";
            return false;
        }
        seen.push_back(pixels[0] + pixels[5]);
        return true;
    }
    bool Finish(std::string&) override { return finished = true; }

private:
    std::vector<uint32_t>& seen;
    int failAt;
    bool& finished;
};

TEST(QueuedFrames, PassesEveryFrameOnInOrderAndThenFinishes) {
    std::vector<uint32_t> seen;
    bool finished = false;
    auto sink = QueueFrames(std::make_unique<Recording>(seen, -1, finished), 3, 2, 2);
    std::string error;
    for (uint32_t f = 0; f < 50; ++f) {
        // The caller's frame is reused at once, as the engine's is.
        std::vector<uint32_t> frame(6, f);
        ASSERT_TRUE(sink->Write(frame.data(), error));
    }
    ASSERT_TRUE(sink->Finish(error));
    EXPECT_TRUE(finished);
    ASSERT_EQ(seen.size(), 50u);
    for (uint32_t f = 0; f < 50; ++f) EXPECT_EQ(seen[f], 2 * f);
}

TEST(QueuedFrames, ReportsTheInnerErrorAndDoesNotFinish) {
    std::vector<uint32_t> seen;
    bool finished = false;
    auto sink = QueueFrames(std::make_unique<Recording>(seen, 3, finished), 3, 2, 2);
    std::string error;
    const std::vector<uint32_t> frame(6, 1);
    bool ok = true;
    for (int f = 0; f < 20 && ok; ++f) ok = sink->Write(frame.data(), error);
    if (ok) ok = sink->Finish(error);
    EXPECT_FALSE(ok);
    EXPECT_EQ(error, "disk full");
    EXPECT_FALSE(finished);
    EXPECT_EQ(seen.size(), 3u);
}

TEST(QueuedFrames, DestroyedUnfinishedStopsItsThread) {
    std::vector<uint32_t> seen;
    bool finished = false;
    {
        auto sink = QueueFrames(std::make_unique<Recording>(seen, -1, finished), 3, 2, 4);
        std::string error;
        const std::vector<uint32_t> frame(6, 1);
        ASSERT_TRUE(sink->Write(frame.data(), error));
    }
    EXPECT_FALSE(finished);
}
}  // namespace
