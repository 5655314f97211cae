#pragma once

#include <juce_core/juce_core.h>

#include <atomic>
#include <cstdint>
#include <type_traits>

/** Hands a plain-data value from the message thread to the audio thread.

    The writer copies the whole value into the shared slot under a spin lock. The reader, once
    per block, copies the slot into its own copy only when something new was published and only
    if it gets the lock at the first try: on a miss it keeps the copy it already had, so it never
    waits and never sees a half-written value. */
template <typename T>
class PodSnapshot
{
public:
    static_assert (std::is_trivially_copyable_v<T>, "the slot is copied while a spin lock is held");

    PodSnapshot() = default;
    explicit PodSnapshot (const T& initial) : shared (initial), readerCopy (initial) {}

    /** Writer side (message thread). May wait for the reader's copy to finish. */
    void publish (const T& value) noexcept
    {
        const juce::SpinLock::ScopedLockType sl (lock);
        shared = value;
        sequence.store (sequence.load (std::memory_order_relaxed) + 1, std::memory_order_release);
    }

    /** Reader side (audio thread): the newest value it could take without waiting. */
    const T& acquire() noexcept
    {
        if (sequence.load (std::memory_order_acquire) != readerSequence)
        {
            const juce::SpinLock::ScopedTryLockType tl (lock);

            if (tl.isLocked())
            {
                readerCopy = shared;
                readerSequence = sequence.load (std::memory_order_relaxed);
            }
        }

        return readerCopy;
    }

    /** Reader side for the prepare step, when no block is in flight: takes the newest value,
        waiting for a writer if one is busy. Without it the first blocks after a prepare would
        run on the default value whenever their try-lock happened to meet a publish. */
    void takeLatest() noexcept
    {
        const juce::SpinLock::ScopedLockType sl (lock);
        readerCopy = shared;
        readerSequence = sequence.load (std::memory_order_relaxed);
    }

    /** The reader's current copy, without looking for a newer one. Reader thread only. */
    const T& current() const noexcept { return readerCopy; }

private:
    juce::SpinLock lock;
    T shared {};
    std::atomic<std::uint32_t> sequence { 0 };

    T readerCopy {};
    std::uint32_t readerSequence = 0;
};
