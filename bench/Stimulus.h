#pragma once

#include <juce_audio_basics/juce_audio_basics.h>

#include <cmath>
#include <cstdint>
#include <vector>

// The one test signal every benchmark plays, so rows of different cases compare like with like.
namespace bench
{
    constexpr double sampleRate = 48000.0;
    constexpr double stimulusSeconds = 20.0;
    constexpr double twoPi = 6.283185307179586;

    /** A small fixed-seed generator so the stimulus is the same on every run. */
    struct XorShift
    {
        std::uint32_t s;

        /** The next value, uniform in -1..1. */
        float next() noexcept
        {
            s ^= s << 13; s ^= s >> 17; s ^= s << 5;
            return (float) ((double) s / 4294967296.0 * 2.0 - 1.0);
        }
    };

    /** Program (pink noise at -18 dBFS RMS, decorrelated, with kick and snare at 120 BPM peaking
        at -1 dBFS) for 10 s, a full-scale 80 Hz + 3 kHz mix for 5 s, then 5 s of digital silence
        where decaying tails reach the denormal range. */
    struct Stimulus
    {
        Stimulus();

        int numSamples() const noexcept { return (int) left.size(); }

        std::vector<float> left, right;
    };

    /** Built on first use and shared by every case. */
    const Stimulus& stimulus();

    /** Where a block starts in the stimulus, wrapping round at its end. */
    inline int blockStart (int block, int blockSize) noexcept
    {
        return (block % (stimulus().numSamples() / blockSize)) * blockSize;
    }

    /** Copies blockSize stimulus samples from start into the first two channels of the buffer. */
    inline void copyBlock (juce::AudioBuffer<float>& buffer, int start, int blockSize)
    {
        buffer.copyFrom (0, 0, stimulus().left.data() + start, blockSize);
        buffer.copyFrom (1, 0, stimulus().right.data() + start, blockSize);
    }

    /** The moving rows' control signal at a stimulus position: a 2 s sine, -1..1. */
    inline double motion (int startSample) noexcept
    {
        return std::sin (twoPi * (startSample / sampleRate) / 2.0);
    }

    /** A setting moved by +-10 % of its range with the motion s, kept within the range. */
    template <typename T>
    T moved (T value, T min, T max, T s) noexcept
    {
        return juce::jlimit (min, max, value + (T) 0.1 * (max - min) * s);
    }
}
