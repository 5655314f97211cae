#include "main/audio/StereoStages.h"

#include <cmath>

namespace stereostages
{
    void applyBalance (juce::AudioBuffer<float>& buffer, int startSample, int numSamples,
                       float gainLeft, float gainRight) noexcept
    {
        if (numSamples <= 0 || ! (gainLeft < 0.999f || gainRight < 0.999f))
            return;

        const int channels = buffer.getNumChannels();

        if (channels >= 2)
        {
            juce::FloatVectorOperations::multiply (buffer.getWritePointer (0, startSample), gainLeft, numSamples);
            juce::FloatVectorOperations::multiply (buffer.getWritePointer (1, startSample), gainRight, numSamples);
        }
        else if (channels == 1)
        {
            juce::FloatVectorOperations::multiply (buffer.getWritePointer (0, startSample),
                                                   (gainLeft + gainRight) * 0.5f, numSamples);
        }
    }

    void applyWidth (juce::AudioBuffer<float>& buffer, int startSample, int numSamples, float width) noexcept
    {
        if (numSamples <= 0 || buffer.getNumChannels() < 2 || ! (std::abs (width - 1.0f) > 0.01f))
            return;

        auto* left = buffer.getWritePointer (0, startSample);
        auto* right = buffer.getWritePointer (1, startSample);

        for (int i = 0; i < numSamples; ++i)
        {
            const float mid = (left[i] + right[i]) * 0.5f;
            const float side = (left[i] - right[i]) * 0.5f * width;
            left[i] = mid + side;
            right[i] = mid - side;
        }
    }
}
