#pragma once

#include <atomic>
#include <chrono>
#include <thread>

// Stress tests wait for the other thread's progress. A thread that stops making progress has
// to become a failed check rather than a test that spins until the runner kills it, so every
// wait of a test shares one deadline; once it has passed, the waits give up at once and the
// test winds down to its checks.
namespace stress
{
    class Deadline
    {
    public:
        // Far above a sanitizer build's run time, below the runner's per-test timeout.
        explicit Deadline (std::chrono::seconds limit = std::chrono::seconds (200))
            : end (std::chrono::steady_clock::now() + limit)
        {
        }

        bool passed() const { return std::chrono::steady_clock::now() >= end; }

        /** Yields until counter reaches atLeast; false when the deadline passed first. */
        bool waitFor (const std::atomic<int>& counter, int atLeast) const
        {
            while (counter.load() < atLeast)
            {
                if (passed())
                    return false;

                std::this_thread::yield();
            }

            return true;
        }

    private:
        std::chrono::steady_clock::time_point end;
    };
}
