#include "main/audio/CircuitBend.h"

#include <cmath>
#include <cstring>

namespace
{
    std::uint32_t entropySeed()
    {
        std::random_device device;
        return device();
    }

    float finiteOrZero (float x) noexcept
    {
        return std::isfinite (x) ? x : 0.0f;
    }

    float flipBit (float x, int bit) noexcept
    {
        std::uint32_t pattern;
        std::memcpy (&pattern, &x, sizeof (pattern));
        pattern ^= 1u << bit;
        std::memcpy (&x, &pattern, sizeof (x));
        return x;
    }

    /** Which corruptions act in one block: each needs its mode (or the full bend) and its
        threshold on the amount. */
    struct Stages
    {
        bool crush, hold, wrap, replay, feedback, smear, flip;

        Stages (int mode, float a) noexcept
        {
            auto on = [mode] (int m) { return mode == m || mode == CircuitBend::fullBend; };
            crush    = on (CircuitBend::bitCrush)          && a > 0.05f;
            hold     = on (CircuitBend::sampleRateReduce)  && a > 0.1f;
            wrap     = on (CircuitBend::overflowWrap)      && a > 0.15f;
            replay   = on (CircuitBend::bufferGlitch)      && a > 0.2f;
            feedback = on (CircuitBend::feedbackChaos)     && a > 0.25f;
            smear    = on (CircuitBend::phaseDestroy)      && a > 0.3f;
            flip     = on (CircuitBend::bitFlip)           && a > 0.35f;
        }
    };
}

CircuitBend::CircuitBend() : generator (entropySeed()) {}

CircuitBend::CircuitBend (std::uint32_t seed) : generator (seed) {}

float CircuitBend::quantisationSteps (float a) noexcept
{
    return std::exp2 (16.0f - 14.0f * a);
}

int CircuitBend::holdPeriod (float a) noexcept
{
    return 1 + (int) (31.0f * a);
}

float CircuitBend::nextUniform() noexcept
{
    return (float) (generator() >> 8) * (1.0f / 16777216.0f);
}

int CircuitBend::nextRingIndex() noexcept
{
    return (int) (generator() >> 20);   // the top 12 bits: 0..4095
}

void CircuitBend::prepare (double, int)
{
    // Nothing depends on the rate or the block length.
}

void CircuitBend::reset()
{
    bendHoldCounter = 0;
    bendHeldLeft = bendHeldRight = 0.0f;
    bendFeedbackLeft = bendFeedbackRight = 0.0f;
    bendHistoryLeft.fill (0.0f);
    bendHistoryRight.fill (0.0f);
    bendHistoryWritePos = 0;
}

bool CircuitBend::isActive() const noexcept
{
    return amount.load (std::memory_order_relaxed) > 0.0f;
}

void CircuitBend::process (juce::AudioBuffer<float>& buffer, int startSample, int numSamples) noexcept
{
    if (buffer.getNumChannels() >= 2 && numSamples > 0)
        process (buffer.getWritePointer (0, startSample), buffer.getWritePointer (1, startSample), numSamples);
}

void CircuitBend::process (float* left, float* right, int numSamples) noexcept
{
    juce::ScopedNoDenormals noDenormals;

    const float amountNow = amount.load (std::memory_order_relaxed);

    // Written as "not above 0" so that a NaN amount bends nothing either.
    if (! (amountNow > 0.0f) || left == nullptr || right == nullptr)
        return;

    const float a = juce::jmin (amountNow, 100.0f) / 100.0f;
    const Stages stages (mode.load (std::memory_order_relaxed), a);
    const float q = quantisationSteps (a);
    const int period = holdPeriod (a);
    const float wrapGain = 7.0f * a + 1.0f;
    const float replayChance = 0.5f * a;
    const float feedbackGain = 0.85f * a;
    const float smearMix = 0.5f * a;
    const float flipChance = 0.02f * a;
    constexpr int ringMask = historySize - 1;

    for (int i = 0; i < numSamples; ++i)
    {
        // A sample that is not a number would stay in the rings and the feedback memories for
        // good; it counts as silence.
        float l = finiteOrZero (left[i]);
        float r = finiteOrZero (right[i]);

        bendHistoryLeft[(size_t) bendHistoryWritePos] = l;
        bendHistoryRight[(size_t) bendHistoryWritePos] = r;
        bendHistoryWritePos = (bendHistoryWritePos + 1) & ringMask;

        if (stages.crush)
        {
            l = std::round (l * q) / q;
            r = std::round (r * q) / q;
        }

        if (stages.hold)
        {
            // ">=" and not "==": a smaller amount shortens the period below a count already
            // reached, and the hold must not then run on until the counter wraps.
            if (++bendHoldCounter >= period)
            {
                bendHoldCounter = 0;
                bendHeldLeft = l;
                bendHeldRight = r;
            }

            l = bendHeldLeft;
            r = bendHeldRight;
        }

        if (stages.wrap)
        {
            l = std::fmod (l * wrapGain + 3.0f, 2.0f) - 1.0f;
            r = std::fmod (r * wrapGain + 3.0f, 2.0f) - 1.0f;
        }

        if (stages.replay && replayChance > nextUniform())
        {
            const auto slot = (size_t) nextRingIndex();
            l = bendHistoryLeft[slot];
            r = bendHistoryRight[slot];
        }

        if (stages.feedback)
        {
            l += feedbackGain * bendFeedbackLeft;
            bendFeedbackLeft = std::tanh (l);
            r += feedbackGain * bendFeedbackRight;
            bendFeedbackRight = std::tanh (r);
        }

        if (stages.smear)
        {
            const float t = 0.1f * (float) i;
            const int dl = (int) (std::abs (std::sin (l * a * 10.0f + t) * a) * 64.0f);
            const int dr = (int) (std::abs (std::sin (r * a * 10.0f + t + 0.5f) * a) * 64.0f);
            l = smearMix * bendHistoryLeft[(size_t) ((bendHistoryWritePos - dl) & ringMask)] + (1.0f - smearMix) * l;
            r = smearMix * bendHistoryRight[(size_t) ((bendHistoryWritePos - dr) & ringMask)] + (1.0f - smearMix) * r;
        }

        if (stages.flip && flipChance > nextUniform())
        {
            const int flips = 1 + (int) (7.0f * nextUniform());

            for (int f = 0; f < flips; ++f)
            {
                const int bit = (int) (23.0f * nextUniform());
                l = flipBit (l, bit);
                r = flipBit (r, bit);
            }

            l = finiteOrZero (l);
            r = finiteOrZero (r);
        }

        left[i] = juce::jlimit (-1.0f, 1.0f, finiteOrZero (l));
        right[i] = juce::jlimit (-1.0f, 1.0f, finiteOrZero (r));
    }
}
