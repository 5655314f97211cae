#include "main/audio/AutoGain.h"

#include <cmath>

void AutoGain::process (juce::AudioBuffer<float>& buffer, int startSample, int numSamples, bool active) noexcept
{
    if (! active || buffer.getNumChannels() < 2 || numSamples <= 0)
    {
        autoGainFactor = 1.0f;
        return;
    }

    auto* left = buffer.getWritePointer (0, startSample);
    auto* right = buffer.getWritePointer (1, startSample);

    float sum = 0.0f;

    for (int i = 0; i < numSamples; ++i)
        sum += left[i] * left[i] + right[i] * right[i];

    const float rms = std::sqrt (sum / (2.0f * (float) numSamples));
    autoGainLevel = 0.7f * rms + 0.3f * autoGainLevel;

    // A non-finite block must not latch the estimate for every later block.
    if (! std::isfinite (autoGainLevel))
        autoGainLevel = 0.0f;

    float gain = 1.0f;

    if (autoGainLevel > 0.0001f && autoGainLevel < 0.056f)
        gain = juce::jmin (6.0f, 0.056f / autoGainLevel);

    autoGainFactor = gain;

    if (gain > 1.01f)
    {
        juce::FloatVectorOperations::multiply (left, gain, numSamples);
        juce::FloatVectorOperations::multiply (right, gain, numSamples);
    }
}
