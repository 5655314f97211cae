#include "effects/timepro/HeightAndWeightProcessor.h"

#include "platform/CrtRand.h"

#include <algorithm>
#include <cmath>

namespace
{
    constexpr float twoPi = 6.2831855f;
}

float HeightAndWeightProcessor::grainWindow (float phase, int length) noexcept
{
    return (1.0f - std::cos (twoPi * phase / (float) length)) * 0.5f;
}

void HeightAndWeightProcessor::useWindowFor (int length, float increment) noexcept
{
    if (length == windowLength && increment == windowIncrement)
        return;

    // Grains started under other SIZE or PITCH settings walk other phases: those work theirs out.
    for (int g = 0; g < grainCount; ++g)
        grains[(size_t) g].tabled = false;

    windowLength = length;
    windowIncrement = increment;
    windowFilled = 0;
    windowPhase = 0.0f;
}

void HeightAndWeightProcessor::fillWindowTo (int steps) noexcept
{
    // Each grain's phase is the same running sum from 0, so the table repeats it exactly.
    while (windowFilled <= steps)
    {
        windowTable[(size_t) windowFilled++] = grainWindow (windowPhase, windowLength);
        windowPhase += windowIncrement;
    }
}

void HeightAndWeightProcessor::startGrain (int length, float increment, float motion) noexcept
{
    // The pool holds far more grains than the knobs can keep alive (about 40 at most); should it
    // ever fill, a grain is skipped rather than storage grown on the audio thread.
    if (grainCount >= maxGrains)
        return;

    const int frames = (int) grainRing.size() / 2;
    const int r1 = platform::crtRand();
    const int base = (grainWriteIndex - 2 * length + frames) % frames;
    const float jitter = ((float) r1 / 32767.0f - 0.5f) * ((float) frames * motion * -0.5f);
    const int start = ((base - (int) jitter) % frames + frames) % frames;

    const int r2 = platform::crtRand();
    const float pan = ((float) r2 / 32767.0f - 0.5f) * 0.4f * motion + 0.5f;

    const bool tabled = length == windowLength && increment == windowIncrement;
    grains[(size_t) grainCount++] = { start, length, 0, 0.0f, increment, pan, tabled };
}

void HeightAndWeightProcessor::processGranular (float* left, float* right, int n, const BlockSettings& s) noexcept
{
    const float e = s.grainMix;
    if (e < 0.001f && ! s.frozen)
        return;

    const int frames = (int) grainRing.size() / 2;
    if (frames < 1000)
        return;

    useWindowFor (s.grainLength, s.grainIncrement);
    const float* ring = grainRing.data();

    for (int i = 0; i < n; ++i)
    {
        const float xL = left[i], xR = right[i];

        if (! s.frozen)
        {
            grainRing[(size_t) grainWriteIndex * 2] = xL;
            grainRing[(size_t) grainWriteIndex * 2 + 1] = xR;
            grainWriteIndex = (grainWriteIndex + 1) % frames;
        }

        grainTimer += 1.0f;
        if (grainTimer >= s.grainSpacing)
        {
            grainTimer -= s.grainSpacing;
            startGrain (s.grainLength, s.grainIncrement, s.grainMotion);
        }

        float sumL = 0.0f, sumR = 0.0f;
        bool anyFinished = false;
        const int tableSize = (int) windowTable.size();
        for (int g = 0; g < grainCount; ++g)
        {
            auto& grain = grains[(size_t) g];
            float w;
            if (grain.tabled && grain.steps < tableSize)
            {
                if (grain.steps >= windowFilled)
                    fillWindowTo (grain.steps);
                w = windowTable[(size_t) grain.steps];
            }
            else
            {
                w = grainWindow (grain.phase, grain.length);
            }

            // Both terms are below the ring's length, so one subtraction wraps the sum.
            int k = (int) grain.phase + grain.start;
            if (k >= frames)
                k -= frames;
            sumL += w * ring[k * 2] * (1.0f - grain.pan);
            sumR += w * ring[k * 2 + 1] * grain.pan;
            grain.phase += grain.increment;
            ++grain.steps;
            anyFinished = anyFinished || grain.phase >= (float) grain.length;
        }

        if (anyFinished)
        {
            const auto end = std::remove_if (grains.begin(), grains.begin() + grainCount,
                                             [] (const Grain& g) { return g.phase >= (float) g.length; });
            grainCount = (int) (end - grains.begin());
        }

        left[i] = sumL * e * 0.5f + (1.0f - e) * xL;
        right[i] = sumR * e * 0.5f + (1.0f - e) * xR;
    }
}
