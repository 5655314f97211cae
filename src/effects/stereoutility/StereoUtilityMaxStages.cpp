#include "effects/stereoutility/StereoUtilityMaxBlockSettings.h"
#include "dsp/RingRead.h"

#include <algorithm>
#include <cmath>

// The delay, phase, pitch, chorus and space stages. Each runs only when its block settings say
// so, and only then moves its own lines and state.

namespace
{
    constexpr float twoPi = 6.2831855f;

    /** An index into a line of `length` samples for -length <= index < 2 * length: the same
        result as a remainder there, without the division (a few dozen of them per sample add up
        to most of the effect's cost). */
    inline int wrap (int index, int length) noexcept
    {
        return index >= length ? index - length : (index < 0 ? index + length : index);
    }

    inline void advance (int& index, int length) noexcept
    {
        if (++index == length)
            index = 0;
    }

    /** A position moved into [0, length) by whole lengths. */
    inline float wrapPosition (float position, int length) noexcept
    {
        while (position < 0.0f)
            position += (float) length;
        return position;
    }

    /** fmod for 0 <= r < 3 * half: each subtraction is exact (the operands are within a factor
        of two), so the result is fmod's to the bit. */
    inline float remainder (float r, float half) noexcept
    {
        while (r >= half)
            r -= half;
        return r;
    }

    struct Tap { float gain, left, right; };

    // Tap gain, weight of the left line's tap in the left sum, of the right line's in the right
    // sum; the cross terms take half the weight.
    constexpr std::array<Tap, 8> taps {{ { 0.8f, 0.8f, 0.2f }, { 0.7f, 0.4f, 0.6f }, { 0.6f, 0.8f, 0.2f },
                                         { 0.5f, 0.4f, 0.6f }, { 0.45f, 0.6f, 0.4f }, { 0.4f, 0.2f, 0.8f },
                                         { 0.35f, 0.6f, 0.4f }, { 0.3f, 0.2f, 0.8f } }};
}

float StereoUtilityMaxProcessor::timeDifference (float right, const BlockSettings& s) noexcept
{
    const int length = (int) itdLine.size();
    itdLine[(size_t) itdWrite] = right;

    const float position = wrapPosition ((float) itdWrite - s.geometry.timeDifferenceSamples, length);
    const int i = (int) position;
    const float f = position - (float) i;

    const int i0 = wrap (i, length);   // a position a hair below the length rounds up to it
    const float xm = itdLine[(size_t) wrap (i0 - 1, length)];
    const float x0 = itdLine[(size_t) i0];
    const float x1 = itdLine[(size_t) wrap (i0 + 1, length)];
    const float x2 = itdLine[(size_t) wrap (i0 + 2, length)];
    advance (itdWrite, length);

    // Third-order Lagrange through the four taps around the read position.
    return 0.5f * (f - 1.0f) * (f + 1.0f) * (f - 2.0f) * x0
         - (f - 2.0f) * f * (f - 1.0f) * xm / 6.0f
         - 0.5f * (f - 2.0f) * f * (f + 1.0f) * x1
         + (f - 1.0f) * f * (f + 1.0f) * x2 / 6.0f;
}

StereoUtilityMaxProcessor::Pair StereoUtilityMaxProcessor::fineDelays (Pair x, const BlockSettings& s) noexcept
{
    const int length = (int) fineDelayLine[0].size();
    const bool write[2] = { s.writeLeftDelay, s.writeRightDelay };
    const bool hear[2] = { s.hearLeftDelay, s.hearRightDelay };
    const float delay[2] = { s.geometry.leftFineDelay, s.geometry.rightFineDelay };
    const float eta[2] = { s.leftThiran, s.rightThiran };
    float value[2] = { x.left, x.right };

    for (size_t c = 0; c < 2; ++c)
    {
        auto& line = fineDelayLine[c];
        auto& index = fineDelayWrite[c];

        if (write[c])
        {
            line[(size_t) index] = value[c];
            const float position = wrapPosition ((float) index - delay[c], length);
            const float read = line[(size_t) wrap ((int) position, length)];

            // The read takes the whole samples; the first-order all-pass adds the fraction.
            auto& state = thiran[c];
            const float y = eta[c] * (read - state.y1) + state.x1;
            state.x1 = read;
            state.y1 = y;

            if (hear[c])
                value[c] = y;
        }

        advance (index, length);
    }

    return { value[0], value[1] };
}

StereoUtilityMaxProcessor::Pair StereoUtilityMaxProcessor::phaseRotation (Pair x, const BlockSettings& s) noexcept
{
    float value[2] = { x.left, x.right };

    for (size_t c = 0; c < 2; ++c)
    {
        float v = value[c];
        for (size_t k = 0; k < (size_t) numPhaseSections; ++k)
        {
            auto& section = phaseState[c][k];
            const float y = (v - section.y1) * s.allpass[k] + section.x1;
            section.x1 = v;
            section.y1 = y;
            v = y;
        }
        value[c] = value[c] * (1.0f - s.phaseBlend) + v * s.phaseBlend;
    }

    return { value[0], value[1] };
}

float StereoUtilityMaxProcessor::haasDelay (float right, const BlockSettings& s) noexcept
{
    const int length = (int) haasLine.size();
    haasLine[(size_t) haasWrite] = right;
    const float delayed = haasLine[(size_t) wrap (haasWrite - s.geometry.haasSamples, length)];
    advance (haasWrite, length);
    return delayed;
}

StereoUtilityMaxProcessor::Pair StereoUtilityMaxProcessor::pitchSpread (Pair x, const BlockSettings& s) noexcept
{
    const int length = (int) pitchLine[0].size();
    const int half = length / 2;
    pitchLine[0][(size_t) pitchWrite] = x.left;
    pitchLine[1][(size_t) pitchWrite] = x.right;

    pitchRead[0] += s.pitchUp;
    pitchRead[1] += s.pitchDown;

    // The read heads jump by half a line where their window is zero, so the jump is not heard.
    for (auto& r : pitchRead)
    {
        while (r >= (float) length) r -= (float) half;
        while (r < 0.0f)            r += (float) half;
    }

    float value[2] = { x.left, x.right };
    for (size_t c = 0; c < 2; ++c)
    {
        const float r = pitchRead[c];
        const int whole = (int) r;
        const float f = r - (float) whole;
        const float window = 0.5f * (1.0f - std::cos (remainder (r, (float) half) / (float) half * twoPi));
        const float read = dsp::lerpRing (pitchLine[c].data(), wrap (whole, length), f, length);
        value[c] = window * 0.5f * s.pitchAmount * read + value[c] * (1.0f - 0.5f * s.pitchAmount);
    }

    advance (pitchWrite, length);
    return { value[0], value[1] };
}

StereoUtilityMaxProcessor::Pair StereoUtilityMaxProcessor::chorus (Pair x, const BlockSettings& s) noexcept
{
    const int length = (int) chorusLine[0].size();
    const float sr = s.sampleRate, d = s.chorusDepth;

    const float sweepL = std::sin (twoPi * chorusPhase);
    const float sweepR = std::sin ((chorusPhase + 0.25f) * twoPi);
    chorusPhase += s.chorusStep;
    if (chorusPhase >= 1.0f)
        chorusPhase -= 1.0f;

    chorusLine[0][(size_t) chorusWrite] = x.left;
    chorusLine[1][(size_t) chorusWrite] = x.right;

    const auto limit = [length] (float delay) { return delay < 1.0f ? 1.0f : std::min (delay, (float) (length - 2)); };
    const float delay[2] = { limit (sr * (d * sweepL * 10.0f + 5.0f) / 1000.0f),
                             limit (sr * (5.0f + 10.0f * d * sweepR) / 1000.0f) };

    float wet[2];
    for (size_t c = 0; c < 2; ++c)
    {
        const float position = wrapPosition ((float) chorusWrite - delay[c], length);
        const int whole = (int) position;
        wet[c] = dsp::lerpRing (chorusLine[c].data(), wrap (whole, length), position - (float) whole, length);
    }

    advance (chorusWrite, length);
    return { d * (wet[0] * 0.3f) + x.left * 0.7f, d * (wet[1] * 0.3f) + x.right * 0.7f };
}

//==============================================================================
StereoUtilityMaxProcessor::Pair StereoUtilityMaxProcessor::decorrelate (Pair x, const BlockSettings& s) noexcept
{
    const float g = s.geometry.decorrelationGain;
    float xl = x.left, xr = x.right;

    for (size_t j = 0; j < (size_t) numDecorrelationStages; ++j)
    {
        auto& leftLine = decorLine[0][j];
        auto& rightLine = decorLine[1][j];
        const int lengthL = (int) leftLine.size(), lengthR = (int) rightLine.size();
        const int offsetL = s.geometry.decorrelationLeft[j], offsetR = s.geometry.decorrelationRight[j];

        if (offsetL < 1 || offsetR < 1 || lengthL == 0 || lengthR == 0)
            continue;

        const int i = decorWrite[j];
        const float dl = leftLine[(size_t) wrap (i - offsetL, lengthL)];
        const float dr = rightLine[(size_t) wrap (i - offsetR, lengthR)];
        const float yl = dl - g * xl + g * decorLast[0][j];
        const float yr = dr - g * xr + g * decorLast[1][j];
        leftLine[(size_t) i] = xl + g * dl;
        rightLine[(size_t) wrap (i, lengthR)] = xr + g * dr;
        decorLast[0][j] = yl;
        decorLast[1][j] = yr;
        xl = yl;
        xr = yr;
        advance (decorWrite[j], lengthL);
    }

    const float a = s.directWeight;
    return { xl * (1.0f - a) + x.left * a, xr * (1.0f - a) + x.right * a };
}

StereoUtilityMaxProcessor::Pair StereoUtilityMaxProcessor::earlyReflections (Pair x, const BlockSettings& s) noexcept
{
    const int length = (int) earlyLine[0].size();
    const int w = earlyWrite;
    earlyLine[0][(size_t) w] = x.left;
    earlyLine[1][(size_t) w] = x.right;

    float accL = 0.0f, accR = 0.0f;
    for (size_t k = 0; k < taps.size(); ++k)
    {
        const auto index = (size_t) wrap (w - s.geometry.reflectionTaps[k], length);
        const float l = taps[k].gain * earlyLine[0][index];
        const float r = taps[k].gain * earlyLine[1][index];
        accL += taps[k].left * l + 0.5f * taps[k].right * r;
        accR += 0.5f * taps[k].left * l + taps[k].right * r;
    }

    if (s.network)
    {
        // Four nodes mixed by a Hadamard matrix scaled by 1/2 (energy-preserving) and fed back
        // one sample later through a one-pole damping each, below unity gain.
        auto& p = fdnNodes;
        const float h[4] = { 0.5f * (p[0] + p[1] + p[2] + p[3]), 0.5f * (p[0] - p[1] + p[2] - p[3]),
                             0.5f * (p[0] + p[1] - p[2] - p[3]), 0.5f * (p[0] - p[1] - p[2] + p[3]) };
        for (size_t k = 0; k < 4; ++k)
            fdnDamp[k] = s.damping * fdnDamp[k] + (1.0f - s.damping) * h[k];

        const float q = s.diffusion;
        p = { 0.25f * x.left + 0.6f * q * fdnDamp[0], 0.25f * x.left + 0.6f * q * fdnDamp[1],
              0.25f * x.right + 0.6f * q * fdnDamp[2], 0.25f * x.right + 0.6f * q * fdnDamp[3] };
        accL += q * 0.5f * (h[0] + h[2]);
        accR += q * 0.5f * (h[1] + h[3]);
    }

    advance (earlyWrite, length);
    return { x.left + accL * s.reflectionGain * s.room, x.right + accR * s.reflectionGain * s.room };
}
