#pragma once

#include <cstdint>

// Counts heap allocations, releases and mutex locks made on the current thread while a
// RealtimeScope is alive. Audio-road tests run one warm-up block, then wrap the blocks they
// check in a scope and expect zero counts.
namespace testing_rt
{
    struct Counts
    {
        std::uint64_t allocations = 0, releases = 0, locks = 0;

        bool clean() const noexcept { return allocations == 0 && releases == 0 && locks == 0; }
    };

    /** False in sanitizer builds, where the sanitizer owns malloc and the trap is compiled out. */
    bool trapAvailable() noexcept;

    class RealtimeScope
    {
    public:
        RealtimeScope() noexcept;
        ~RealtimeScope();

        /** What happened on this thread since the scope opened. */
        Counts counts() const noexcept;

    private:
        Counts start;
    };
}
