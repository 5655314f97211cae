#pragma once

#include <atomic>

/** What the recording panel's input meter shows: the last block's RMS per channel, decaying
    peaks and the clip lamps with their holds.

    The capture writes it on the audio thread and the panel's idle decay on the message thread,
    so every field is an atomic; nothing here repaints. A write raises `dirty`, and the panel's
    timer repaints the meter when it finds it raised. */
struct CaptureMeterState
{
    static constexpr int clipHoldCalls = 60;
    static constexpr float clipLevel = 0.99f;
    static constexpr float peakDecay = 0.95f;

    std::atomic<float> levelLeft { 0.0f }, levelRight { 0.0f };
    std::atomic<float> peakLeft { 0.0f }, peakRight { 0.0f };
    std::atomic<bool> clipLeft { false }, clipRight { false };
    std::atomic<int> clipHoldLeft { 0 }, clipHoldRight { 0 };
    std::atomic<bool> dirty { false };

    /** One call per captured block (or per idle-decay tick): the peak decays per call, and a
        lit lamp goes out on the 60th call after its last clip. */
    void setLevels (float left, float right) noexcept
    {
        updateSide (left, levelLeft, peakLeft, clipLeft, clipHoldLeft);
        updateSide (right, levelRight, peakRight, clipRight, clipHoldRight);
        dirty.store (true, std::memory_order_release);
    }

    /** A full-scale sample on either side lights both lamps. */
    void lightBothClipLamps() noexcept
    {
        clipLeft.store (true, std::memory_order_relaxed);
        clipRight.store (true, std::memory_order_relaxed);
        clipHoldLeft.store (clipHoldCalls, std::memory_order_relaxed);
        clipHoldRight.store (clipHoldCalls, std::memory_order_relaxed);
        dirty.store (true, std::memory_order_release);
    }

    /** True once per batch of writes: the reader repaints then. */
    bool takeDirty() noexcept { return dirty.exchange (false, std::memory_order_acq_rel); }

private:
    static void updateSide (float level, std::atomic<float>& storedLevel, std::atomic<float>& peak,
                            std::atomic<bool>& clip, std::atomic<int>& hold) noexcept
    {
        storedLevel.store (level, std::memory_order_relaxed);

        const float oldPeak = peak.load (std::memory_order_relaxed);
        peak.store (level > oldPeak ? level : oldPeak * peakDecay, std::memory_order_relaxed);

        if (level >= clipLevel)
        {
            clip.store (true, std::memory_order_relaxed);
            hold.store (clipHoldCalls, std::memory_order_relaxed);
            return;
        }

        const int held = hold.load (std::memory_order_relaxed);

        if (held > 0)
        {
            hold.store (held - 1, std::memory_order_relaxed);

            if (held - 1 == 0)
                clip.store (false, std::memory_order_relaxed);
        }
    }
};
