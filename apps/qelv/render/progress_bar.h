#pragma once
#include <chrono>
#include <cstdint>

// A one-line bar on stderr for long renders, shown only when stderr is a terminal: the
// share done, the frame written, and the time gone and the time left.
class ProgressBar {
public:
    // total: the frames drawn, of which the first preRoll are not written.
    ProgressBar(int64_t total, int64_t preRoll);
    ~ProgressBar();
    void Update(int64_t done);

private:
    int64_t total, preRoll;
    std::chrono::steady_clock::time_point started = std::chrono::steady_clock::now();
    int shown = -1;           // permille last drawn
    int64_t shownSecond = -1;  // of the time gone
    bool active;
};
