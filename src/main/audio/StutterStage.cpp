#include "main/audio/StutterStage.h"

void StutterStage::prepare (double sampleRate)
{
    const int length = juce::jmax (1, (int) (2.0 * sampleRate));

    if (stutterBuffer.getNumChannels() != 2 || stutterBuffer.getNumSamples() != length)
        stutterBuffer.setSize (2, length);

    stutterBuffer.clear();
    stutterWritePos = 0;
    stutterCounter = 0;
}

void StutterStage::process (juce::AudioBuffer<float>& buffer, int startSample, int numSamples) noexcept
{
    const float a = stutterAmount.load (std::memory_order_relaxed);
    const int m = stutterSliceLength.load (std::memory_order_relaxed);
    const int mode = stutterMode.load (std::memory_order_relaxed);
    const int p = stutterBuffer.getNumSamples();

    if (! stutterOn.load (std::memory_order_relaxed) || ! (a > 0.0f) || m <= 0 || p <= 0
        || buffer.getNumChannels() < 2 || numSamples <= 0)
        return;

    auto* left = buffer.getWritePointer (0, startSample);
    auto* right = buffer.getWritePointer (1, startSample);
    auto* ringLeft = stutterBuffer.getWritePointer (0);
    auto* ringRight = stutterBuffer.getWritePointer (1);

    for (int i = 0; i < numSamples; ++i)
    {
        const int w = stutterWritePos;
        ringLeft[w] = left[i];
        ringRight[w] = right[i];

        const int n = stutterCounter % m;
        juce::int64 r = 0;

        switch (mode)
        {
            case 1:  r = (juce::int64) p + w - n; break;
            case 2:  r = (stutterSliceCount % 2 != 0) ? (juce::int64) p + w - n
                                                      : (juce::int64) w + n + p - m; break;
            case 4:
            {
                const float f = juce::jmax (0.1f, 1.0f - (float) n / (float) m * 0.8f);
                stutterRampFactor = f;
                r = (juce::int64) w + (juce::int64) (f * (float) n) + p - m;
                break;
            }
            default: r = (juce::int64) w + p + n - m; break;
        }

        r %= p;
        r = juce::jlimit ((juce::int64) 0, (juce::int64) p - 1, r);

        left[i] = a * ringLeft[r] + (1.0f - 0.7f * a) * left[i];
        right[i] = a * ringRight[r] + (1.0f - 0.7f * a) * right[i];

        stutterWritePos = (w + 1) % p;

        if (++stutterCounter >= m)
        {
            stutterCounter = 0;
            ++stutterSliceCount;
            stutterRampFactor = 1.0f;
        }
    }
}
