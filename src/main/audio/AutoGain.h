#pragma once

#include <juce_audio_basics/juce_audio_basics.h>

/** Lifts quiet material toward an RMS of 0.056 (about -25 dBFS), at most x6, while the
    randomiser's EQ, space or master amount is in use. It never lowers a signal, and silence
    decays the level estimate below the boost threshold instead of being pumped up to noise. */
class AutoGain
{
public:
    /** Audio thread. `active` is whether any of the randomiser's three amounts exceeds 0.01. */
    void process (juce::AudioBuffer<float>& buffer, int startSample, int numSamples, bool active) noexcept;

    float getLevel() const noexcept  { return autoGainLevel; }
    float getFactor() const noexcept { return autoGainFactor; }

    static bool isActiveFor (float eqAmount, float spaceAmount, float masterAmount) noexcept
    {
        return eqAmount > 0.01f || spaceAmount > 0.01f || masterAmount > 0.01f;
    }

private:
    float autoGainLevel = 0.0f;
    float autoGainFactor = 1.0f;
};
