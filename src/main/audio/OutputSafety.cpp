#include "main/audio/OutputSafety.h"

#include <cmath>

namespace outputsafety
{
    float usableVolume (float volumeGain) noexcept
    {
        return std::isfinite (volumeGain) && volumeGain >= 0.0f ? volumeGain : 0.0f;
    }

    void apply (juce::AudioBuffer<float>& buffer, int startSample, int numSamples, float volumeGain) noexcept
    {
        if (numSamples <= 0)
            return;

        const float y = juce::jmin (usableVolume (volumeGain), 4.0f);
        const bool soft = y > 1.01f;

        for (int c = 0; c < buffer.getNumChannels(); ++c)
        {
            auto* data = buffer.getWritePointer (c, startSample);

            for (int i = 0; i < numSamples; ++i)
            {
                const float x = data[i];

                if (! std::isfinite (x))
                {
                    data[i] = 0.0f;
                    continue;
                }

                float v = juce::jlimit (-10.0f, 10.0f, x) * y;

                if (soft)
                    v = 0.9f * std::tanh (juce::jlimit (-3.0f, 3.0f, 1.5f * v));

                data[i] = std::isfinite (v) ? juce::jlimit (-1.0f, 1.0f, v) : 0.0f;
            }
        }
    }
}
