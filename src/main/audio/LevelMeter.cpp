#include "main/audio/LevelMeter.h"

#include <cmath>

void LevelMeter::measure (const juce::AudioBuffer<float>& buffer, int startSample, int numSamples) noexcept
{
    if (! isEnabled() || numSamples <= 0)
        return;

    const int channels = buffer.getNumChannels();
    float peaks[2] = { 0.0f, 0.0f };
    double sumOfSquares = 0.0;

    for (int c = 0; c < juce::jmin (2, channels); ++c)
    {
        const auto* data = buffer.getReadPointer (c, startSample);

        for (int i = 0; i < numSamples; ++i)
        {
            peaks[c] = juce::jmax (peaks[c], std::abs (data[i]));
            sumOfSquares += (double) data[i] * data[i];
        }
    }

    // Channels past the second are not summed but do count in the divisor.
    const auto divisor = (double) numSamples * juce::jmax (1, channels);

    peakLeft.store (peaks[0], std::memory_order_relaxed);
    peakRight.store (peaks[1], std::memory_order_relaxed);
    rms.store ((float) std::sqrt (sumOfSquares / divisor), std::memory_order_relaxed);
}
