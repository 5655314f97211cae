#pragma once

#include "effects/finalizer/TavroFinalizer.h"

#include <juce_audio_basics/juce_audio_basics.h>

#include <cmath>
#include <functional>
#include <memory>

// A finalizer with its display, prepared at 48 kHz, and helpers to feed it blocks.
struct FinalizerRig
{
    static constexpr double rate = 48000.0;

    TavroFinalizerHUD hud;
    std::unique_ptr<TavroFinalizer> finalizer = std::make_unique<TavroFinalizer> (&hud);
    TavroFinalizer& fin = *finalizer;

    explicit FinalizerRig (bool prepared = true)
    {
        if (prepared)
            fin.prepare (rate, 512);
    }

    /** Drives, widths, stereo and character stages neutral, DC off, ceiling 0 dB. */
    void makeNeutral()
    {
        fin.densityAmount = 0.0f;
        fin.articAmount = 0.0f;
        fin.residueAmount = 0.0f;
        fin.motionAmount = 0.0f;
        fin.aboveAmount = 0.0f;
        fin.belowAmount = 0.0f;
        fin.ceilingDb = 0.0f;
        fin.dcFilterButton.setToggleStateAndMirror (false, juce::dontSendNotification);
    }

    /** Processes `numSamples` frames made by gen (sample index) -> {left, right}; returns the output. */
    juce::AudioBuffer<float> run (int numSamples, const std::function<std::pair<float, float> (int)>& gen,
                                  int startIndex = 0)
    {
        juce::AudioBuffer<float> buffer (2, numSamples);
        for (int i = 0; i < numSamples; ++i)
        {
            const auto [l, r] = gen (startIndex + i);
            buffer.setSample (0, i, l);
            buffer.setSample (1, i, r);
        }
        fin.process (buffer);
        return buffer;
    }
};

inline std::pair<float, float> sineFrame (int i, float freq = 440.0f, float amp = 0.5f)
{
    const float v = amp * (float) std::sin (2.0 * juce::MathConstants<double>::pi * freq * i / FinalizerRig::rate);
    return { v, 0.8f * v };
}
