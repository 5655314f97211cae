#pragma once

#include <juce_audio_basics/juce_audio_basics.h>

#include "dsp/DecodedAudio.h"

#include <atomic>
#include <cstdint>
#include <memory>

/** The finalizer's own player, sound side: it plays a decoded buffer it is handed, at a rate
    ratio, with looping, and never decodes anything itself. The buffer is shared read-only with
    whoever else holds the file (the main transport, the waveform views), never copied.

    Threads: `setSource` runs on the message thread and swaps the buffer in whole; `render` runs
    on the audio thread and reads under a try-lock, so a swap in progress costs one silent block,
    never a wait. The player's reference is dropped by `setSource`, on the message thread.
    `advanceWithoutRender` is the message thread's stand-in for `render` while no device plays. */
class FinalizerWavePlayer
{
public:
    /** Hands over the buffer to play (nullptr for none) and stops at the start. The player
        reads at most `maxFrames` frames of it. */
    void setSource (SharedDecodedAudio newSource, std::int64_t maxFrames);

    /** The buffer the player holds (message thread). */
    const SharedDecodedAudio& getSource() const noexcept { return source; }

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
    SharedDecodedAudio source;
    std::int64_t sourceFrames = 0;      // the frames of `source` the render may read
    std::atomic<bool> ended { false };
    std::atomic<std::uint32_t> renderCalls { 0 };
};
