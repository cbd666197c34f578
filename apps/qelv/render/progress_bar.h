#pragma once
#include <cstdint>

// A one-line bar on stderr for long renders, shown only when stderr is a terminal.
class ProgressBar {
public:
    explicit ProgressBar(int64_t total);
    ~ProgressBar();
    void Update(int64_t done);

private:
    int64_t total;
    int shown = -1;  // permille last drawn
    bool active;
};
