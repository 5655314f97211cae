#pragma once

// Small generated audio files for the waveform view's tests, in the test's own TMPDIR.
#include "support/AudioFixtures.h"

#include <cmath>
#include <functional>

namespace waveformtest
{
    /** Writes a 16-bit WAV; gen gives sample i of channel ch. An empty File if writing failed. */
    inline juce::File writeWav (const juce::String& name, double seconds, double sampleRate, int channels,
                                const std::function<float (juce::int64, int)>& gen)
    {
        const auto file = juce::File::getSpecialLocation (juce::File::tempDirectory).getChildFile (name);
        const auto frames = (int) std::llround (seconds * sampleRate);

        if (! audiofixtures::writeWav (file, sampleRate, channels, frames,
                                       [&gen] (int channel, int frame) { return gen (frame, channel); }))
            return {};

        return file;
    }

    inline juce::File sineWav (const juce::String& name, double seconds, double sampleRate = 44100.0, int channels = 1)
    {
        return writeWav (name, seconds, sampleRate, channels, [sampleRate] (juce::int64 i, int)
        {
            return 0.5f * (float) std::sin (juce::MathConstants<double>::twoPi * 440.0 * (double) i / sampleRate);
        });
    }
}
