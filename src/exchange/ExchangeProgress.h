#pragma once

#include <atomic>

// How far a long import or export has come, and whether the user asked it to stop.
// The work runs on another thread and polls `cancelled`; the window reads `done`
// and `total` on a timer. Nothing here blocks.
struct ExchangeProgress
{
    std::atomic<int> done {0};
    std::atomic<int> total {0};
    std::atomic<bool> cancelled {false};

    void reset(int newTotal)
    {
        done = 0;
        total = newTotal;
    }
};
