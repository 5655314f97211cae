#pragma once

#include "effects/timepro/HeightAndWeightProcessor.h"
#include "platform/CrtRand.h"

#include <juce_audio_basics/juce_audio_basics.h>

#include <cmath>
#include <functional>

// A prepared processor with a mode chosen, and a stereo stimulus made in code: the left and the
// right channel differ, so a swap or a mono fold shows.
namespace timepro_test
{
    using P = HeightAndWeightParameters;

    struct Rig
    {
        explicit Rig (double rate = 48000.0, int mode = -1)
        {
            processor.prepare (rate, 512);
            processor.parameters.mode = mode;
        }

        void set (P::Knob k, float value) { processor.parameters.setKnob (k, value); }

        /** Runs the buffer through in blocks of blockSize. */
        void run (juce::AudioBuffer<float>& buffer, int blockSize = 512)
        {
            for (int start = 0; start < buffer.getNumSamples(); start += blockSize)
                processor.process (buffer, start, std::min (blockSize, buffer.getNumSamples() - start));
        }

        HeightAndWeightProcessor processor;
    };

    /** Left a 0.3-level 440 Hz sine, right a 0.2-level 1 kHz sine plus a slow ramp. */
    inline juce::AudioBuffer<float> stereoSignal (int frames, double rate = 48000.0, int offset = 0)
    {
        juce::AudioBuffer<float> b (2, frames);
        for (int i = 0; i < frames; ++i)
        {
            const double t = (double) (i + offset) / rate;
            b.setSample (0, i, (float) (0.3 * std::sin (2.0 * juce::MathConstants<double>::pi * 440.0 * t)));
            b.setSample (1, i, (float) (0.2 * std::sin (2.0 * juce::MathConstants<double>::pi * 1000.0 * t)
                                        + 0.1 * std::fmod (t, 1.0)));
        }
        return b;
    }

    /** A value that undoes the global stage's tanh, for reading what the mode left. */
    inline float untanh (float y) { return std::atanh (y); }
}
