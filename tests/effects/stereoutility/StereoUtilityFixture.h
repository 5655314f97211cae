#pragma once

#include "effects/stereoutility/StereoUtilityMaxProcessor.h"

#include <juce_audio_basics/juce_audio_basics.h>

#include <cmath>
#include <functional>
#include <vector>

// A processor with helpers to set knobs by index, feed generated stereo signals and read back
// what the wet path did (the output stage ends in tanh, so atanh gives the wet sample back).
namespace stereo_utility_test
{
    using Knob = StereoUtilityMaxParameters::Knob;

    struct Rig
    {
        explicit Rig (double rate = 48000.0) : sampleRate (rate) { processor.prepare (rate, 512); }

        void set (Knob k, float value) { processor.parameters.setKnob (k, value); }

        /** Every optional stage off, the bands at 100 % and both mixes full: the wet path is the
            input itself before TRIM and tanh. */
        void neutralStages()
        {
            set (Knob::lowWidth, 100.0f);
            set (Knob::midWidth, 100.0f);
            set (Knob::highWidth, 100.0f);
            set (Knob::monoBelow, 25.0f);
            set (Knob::room, 1.0f);
            fullMix();
        }

        void fullMix()
        {
            set (Knob::leftMix, 100.0f);
            set (Knob::rightMix, 100.0f);
        }

        /** Runs the buffer through in blocks of blockSize. */
        void run (juce::AudioBuffer<float>& buffer, int blockSize = 512)
        {
            for (int start = 0; start < buffer.getNumSamples(); start += blockSize)
                processor.process (buffer, start, std::min (blockSize, buffer.getNumSamples() - start));
        }

        StereoUtilityMaxProcessor processor;
        double sampleRate;
    };

    /** Two channels of uniform noise in [-level, level), different per channel. */
    inline juce::AudioBuffer<float> noise (int numSamples, float level, int seed = 7)
    {
        juce::Random random (seed);
        juce::AudioBuffer<float> b (2, numSamples);
        for (int c = 0; c < 2; ++c)
            for (int i = 0; i < numSamples; ++i)
                b.setSample (c, i, level * (random.nextFloat() * 2.0f - 1.0f));
        return b;
    }

    /** One sample of `left` / `right` at frame 0, silence after. */
    inline juce::AudioBuffer<float> impulse (int numSamples, float left, float right)
    {
        juce::AudioBuffer<float> b (2, numSamples);
        b.clear();
        b.setSample (0, 0, left);
        b.setSample (1, 0, right);
        return b;
    }

    inline bool identical (const juce::AudioBuffer<float>& a, const juce::AudioBuffer<float>& b)
    {
        for (int c = 0; c < 2; ++c)
            for (int i = 0; i < a.getNumSamples(); ++i)
                if (a.getSample (c, i) != b.getSample (c, i))
                    return false;
        return true;
    }
}
