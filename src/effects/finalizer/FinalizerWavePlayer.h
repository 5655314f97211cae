#pragma once

#include <juce_audio_basics/juce_audio_basics.h>

#include <atomic>
#include <cstdint>
#include <memory>

/** The finalizer's own player, sound side: it plays a decoded buffer it is handed, at a rate
    ratio, with looping, and never decodes anything itself.

    Threads: `setSource` runs on the message thread and swaps the buffer in whole; `render` runs
    on the audio thread and reads under a try-lock, so a swap in progress costs one silent block,
    never a wait. The previous buffer is released by `setSource`, on the message thread.
    `advanceWithoutRender` is the message thread's stand-in for `render` while no device plays. */
class FinalizerWavePlayer
{
public:
    /** Decoded audio as the player reads it: every sample finite, read-only once handed over. */
    struct Source
    {
        juce::AudioBuffer<float> audio;
        double sampleRate = 44100.0;
    };

    /** Hands over the buffer to play (nullptr for none) and stops at the start. */
    void setSource (std::shared_ptr<const Source> newSource);

    /** Writes up to `numFrames` frames of the playing buffer into left and right, advancing the
        position by the file-to-device rate ratio. Returns the frames written; frames past the
        end of a buffer that does not loop are left alone. */
    int render (float* left, float* right, int numFrames, double deviceSampleRate) noexcept;

    /** Moves the position by `frames` whole frames from its integer part, wrapping when looping
        and stopping on the last frame otherwise. Returns false when that stopped the player. */
    bool advanceWithoutRender (double frames) noexcept;

    /** True once after the audio thread ran into the end of a buffer that does not loop. */
    bool takeEnded() noexcept { return ended.exchange (false); }

    /** How many times `render` ran, for telling whether a device is driving the player. */
    std::uint32_t renderCallCount() const noexcept { return renderCalls.load (std::memory_order_relaxed); }

    std::atomic<bool> playing { false }, looping { false };
    std::atomic<double> playPosition { 0.0 };
    std::atomic<int> sampleRate { 44100 };
    std::atomic<int> channels { 2 };
    std::atomic<std::int64_t> length { 0 };
    std::atomic<bool> hasSamples { false };

private:
    juce::SpinLock lock;
    std::shared_ptr<const Source> source;
    std::atomic<bool> ended { false };
    std::atomic<std::uint32_t> renderCalls { 0 };
};
