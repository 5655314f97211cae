#pragma once

#include <juce_audio_basics/juce_audio_basics.h>

/** The last stage before the device: the volume gain, then a hard clip at +-1, or above unity
    gain a soft clip peaking at 0.9 x tanh(3). Every sample that leaves it is finite. */
namespace outputsafety
{
    /** A volume that is NaN, infinite or negative counts as 0: the block goes silent rather
        than out unclamped. */
    float usableVolume (float volumeGain) noexcept;

    void apply (juce::AudioBuffer<float>& buffer, int startSample, int numSamples, float volumeGain) noexcept;
}
