#include "main/audio/MemoryPlayers.h"

namespace memoryplayer
{
    namespace
    {
        // Only called with int (position) < length - 1, so both neighbours exist.
        inline float sampleAt (const Copy& source, int channel, double position) noexcept
        {
            const int j = (int) position;
            const float a = source.frame (channel, j), b = source.frame (channel, j + 1);
            return (b - a) * (float) (position - j) + a;
        }

        inline void writeFrame (juce::AudioBuffer<float>& out, int index, const Copy& source,
                                int sourceChannels, double position, bool atStart) noexcept
        {
            for (int k = 0; k < out.getNumChannels(); ++k)
            {
                const int c = juce::jmin (k, sourceChannels - 1);
                out.setSample (k, index, atStart ? source.frame (c, 0) : sampleAt (source, c, position));
            }
        }

        inline void clearTail (juce::AudioBuffer<float>& out, int from, int end) noexcept
        {
            if (end > from)
                for (int k = 0; k < out.getNumChannels(); ++k)
                    out.clear (k, from, end - from);
        }
    }

    Outcome renderSingle (const Copy& copy, double& position, double step, bool loop,
                          juce::AudioBuffer<float>& out, int startSample, int numSamples) noexcept
    {
        const int channels = copy.samples->getNumChannels();
        const int len = copy.length;
        const int end = startSample + numSamples;

        for (int i = startSample; i < end; ++i)
        {
            const int j = (int) position;

            if (j >= 0 && j < len - 1)
            {
                writeFrame (out, i, copy, channels, position, false);
            }
            else
            {
                if (! loop)
                {
                    clearTail (out, i, end);
                    return Outcome::ended;
                }

                position = 0.0;
                writeFrame (out, i, copy, channels, position, true);
            }

            position += step;
        }

        return Outcome::playing;
    }

    Outcome renderPlayRev (const Copy& forward, const Copy& reversed, PlayRevState& state, double step,
                           bool loop, juce::AudioBuffer<float>& out, int startSample, int numSamples) noexcept
    {
        const int channels = juce::jmin (forward.samples->getNumChannels(), reversed.samples->getNumChannels());
        const int len = juce::jmin (forward.length, reversed.length);
        const int end = startSample + numSamples;

        for (int i = startSample; i < end; ++i)
        {
            const bool onForward = state.readsForward();
            double& position = onForward ? state.forwardPosition : state.reversePosition;
            const auto& source = onForward ? forward : reversed;
            const int j = (int) position;

            if (j >= 0 && j < len - 1)
            {
                writeFrame (out, i, source, channels, position, false);
                position += step;
                continue;
            }

            if (state.secondHalf && ! loop)
            {
                clearTail (out, i, end);
                return Outcome::ended;
            }

            state.secondHalf = ! state.secondHalf;
            state.forwardPosition = 0.0;
            state.reversePosition = 0.0;

            const bool nowForward = state.readsForward();
            writeFrame (out, i, nowForward ? forward : reversed, channels, 0.0, true);
            (nowForward ? state.forwardPosition : state.reversePosition) += step;
        }

        return Outcome::playing;
    }
}
