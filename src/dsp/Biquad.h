#pragma once

#include <juce_core/juce_core.h>

#include <array>
#include <cmath>
#include <type_traits>

/** Second-order sections: one state type, one set of coefficient designs.

    Several effects pin their output bit for bit, and the same filter written in a different
    order of operations rounds differently. So the arithmetic is chosen by an explicit form,
    never by a private copy of the filter:

    | Form                 | per-sample arithmetic                                         | matches                      |
    |----------------------|---------------------------------------------------------------|------------------------------|
    | `pairedDirect`       | float, direct form I: b0 x + (b1 x1 - a1 y1) + (b2 x2 - a2 y2) | the finalizer's `StereoBiquad` (its EQ bands and DC filter) |
    | `direct`             | float, direct form I: b0 x + b1 x1 + b2 x2 - a1 y1 - a2 y2     | the finalizer's atomize cut sections |
    | `transposed`         | float, transposed direct form II                               | the Smart EQ's bands         |
    | `directUnnormalised` | double coefficients with a0, float history, divided by a0 last | the Distortion Suite's crush lowpass |

    `pairedDirect` pairs each delay's feed-forward and feedback terms, so a section whose
    numerator equals its denominator (a peaking filter at 0 dB) is exactly transparent.

    Designs: `peaking` (in float or double, stored as float) is the finalizer's; `rbj` is the
    Smart EQ's six shapes in float, normalised by a0 (its `highpass` at 5 Hz, Q 0.707 is also
    the finalizer's DC filter bit for bit); `lowpassUnnormalised` is the Distortion Suite's. */
namespace dsp
{
    enum class BiquadForm { pairedDirect, direct, transposed, directUnnormalised };

    /** Coefficients already divided by a0. */
    struct BiquadCoefficients
    {
        float b0 = 1.0f, b1 = 0.0f, b2 = 0.0f, a1 = 0.0f, a2 = 0.0f;
    };

    /** Coefficients in double precision with a0 kept apart; the output is divided by a0. */
    struct WideBiquadCoefficients
    {
        double b0 = 1.0, b1 = 0.0, b2 = 0.0, a0 = 1.0, a1 = 0.0, a2 = 0.0;
    };

    template <BiquadForm Form>
    using BiquadCoefficientsFor = std::conditional_t<Form == BiquadForm::directUnnormalised,
                                                     WideBiquadCoefficients, BiquadCoefficients>;

    /** The history of one channel. Direct forms keep x1, x2, y1, y2; the transposed form keeps
        its two delay registers in s[0] and s[1]. */
    template <BiquadForm Form>
    struct BiquadState
    {
        using Coefficients = BiquadCoefficientsFor<Form>;

        std::array<float, 4> s {};   // x1, x2, y1, y2 (or z1, z2 for the transposed form)

        void clear() noexcept { s = {}; }

        bool isFinite() const noexcept
        {
            return std::isfinite (s[0]) && std::isfinite (s[1]) && std::isfinite (s[2]) && std::isfinite (s[3]);
        }

        inline float process (const Coefficients& c, float x) noexcept
        {
            if constexpr (Form == BiquadForm::pairedDirect)
            {
                const float y = c.b0 * x + (c.b1 * s[0] - c.a1 * s[2]) + (c.b2 * s[1] - c.a2 * s[3]);
                s[1] = s[0]; s[0] = x; s[3] = s[2]; s[2] = y;
                return y;
            }
            else if constexpr (Form == BiquadForm::direct)
            {
                const float y = c.b0 * x + c.b1 * s[0] + c.b2 * s[1] - c.a1 * s[2] - c.a2 * s[3];
                s[1] = s[0]; s[0] = x; s[3] = s[2]; s[2] = y;
                return y;
            }
            else if constexpr (Form == BiquadForm::transposed)
            {
                const float y = c.b0 * x + s[0];
                s[0] = c.b1 * x - c.a1 * y + s[1];
                s[1] = c.b2 * x - c.a2 * y;
                return y;
            }
            else
            {
                const double out = (c.b0 * (double) x + c.b1 * (double) s[0] + c.b2 * (double) s[1]
                                    - c.a1 * (double) s[2] - c.a2 * (double) s[3]) / c.a0;
                s[1] = s[0]; s[0] = x; s[3] = s[2]; s[2] = (float) out;
                return (float) out;
            }
        }
    };

    /** One set of coefficients shared by `Channels` histories. */
    template <BiquadForm Form, int Channels = 1>
    struct Biquad
    {
        using Coefficients = BiquadCoefficientsFor<Form>;

        Coefficients coefficients {};
        std::array<BiquadState<Form>, (size_t) Channels> channels {};

        inline float process (int channel, float x) noexcept
        {
            return channels[(size_t) channel].process (coefficients, x);
        }

        void clear() noexcept
        {
            for (auto& c : channels)
                c.clear();
        }

        bool isFinite() const noexcept
        {
            for (auto& c : channels)
                if (! c.isFinite())
                    return false;
            return true;
        }
    };

    //==============================================================================
    /** Peaking (bell) section for amplitude `a` = 10^(gainDb / 40), worked out in `Real`
        precision and stored as floats. */
    template <typename Real>
    BiquadCoefficients peakingFromAngle (Real sinW, Real cosW, Real a, Real twoQ) noexcept
    {
        const Real alpha = sinW / twoQ;
        const Real d = Real (1) + alpha / a;

        BiquadCoefficients c;
        c.b0 = (float) ((Real (1) + alpha * a) / d);
        c.b1 = (float) (Real (-2) * cosW / d);
        c.b2 = (float) ((Real (1) - alpha * a) / d);
        c.a1 = c.b1;
        c.a2 = (float) ((Real (1) - alpha / a) / d);
        return c;
    }

    template <typename Real>
    BiquadCoefficients peaking (Real sampleRate, Real frequency, Real a, Real q) noexcept
    {
        const Real w = juce::MathConstants<Real>::twoPi * frequency / sampleRate;
        return peakingFromAngle (std::sin (w), std::cos (w), a, Real (2) * q);
    }

    /** Per-sample coefficients of a moving bell, one array per coefficient (a1 equals b1). */
    struct PeakingTrack
    {
        static constexpr int capacity = 64;
        float b0[capacity], b1[capacity], b2[capacity], a2[capacity];

        BiquadCoefficients at (int i) const noexcept { return { b0[i], b1[i], b2[i], b1[i], a2[i] }; }
    };

    /** `peaking<float>` for the first `n` (at most `PeakingTrack::capacity`) of `frequencies`,
        value for value the same, with the divisions of several samples done side by side. */
    inline void peakingEach (float sampleRate, const float* frequencies, float a, float q, int n,
                             PeakingTrack& out) noexcept
    {
        float sinW[PeakingTrack::capacity], cosW[PeakingTrack::capacity];

        for (int i = 0; i < n; ++i)
            sinW[i] = juce::MathConstants<float>::twoPi * frequencies[i] / sampleRate;

        for (int i = 0; i < n; ++i)
        {
            const float w = sinW[i];
            sinW[i] = std::sin (w);
            cosW[i] = std::cos (w);
        }

        const float twoQ = 2.0f * q;
        for (int i = 0; i < n; ++i)
        {
            const auto c = peakingFromAngle (sinW[i], cosW[i], a, twoQ);
            out.b0[i] = c.b0;
            out.b1[i] = c.b1;
            out.b2[i] = c.b2;
            out.a2[i] = c.a2;
        }
    }

    /** The classic shelf, cut, notch and bell shapes, in float. */
    enum class BiquadShape { bell, lowShelf, highShelf, highpass, lowpass, notch };

    /** `a` is the amplitude 10^(gainDb / 40) (bell and shelves only). */
    inline BiquadCoefficients rbj (BiquadShape shape, float frequencyHz, float q, float a, double sampleRate) noexcept
    {
        const float w0 = frequencyHz * 6.2831855f / (float) sampleRate;
        const float c = std::cos (w0);
        const float s = std::sin (w0);
        const float alpha = s / (2.0f * q);
        const float A = a;

        float b0 = 1.0f, b1 = 0.0f, b2 = 0.0f, a0 = 1.0f, a1 = 0.0f, a2 = 0.0f;

        switch (shape)
        {
            case BiquadShape::lowShelf:
            {
                const float sq = 2.0f * std::sqrt (A) * alpha;
                b0 = A * ((A + 1.0f) - (A - 1.0f) * c + sq);
                b1 = 2.0f * A * ((A - 1.0f) - (A + 1.0f) * c);
                b2 = A * ((A + 1.0f) - (A - 1.0f) * c - sq);
                a0 = (A + 1.0f) + (A - 1.0f) * c + sq;
                a1 = -2.0f * ((A - 1.0f) + (A + 1.0f) * c);
                a2 = (A + 1.0f) + (A - 1.0f) * c - sq;
                break;
            }
            case BiquadShape::highShelf:
            {
                const float sq = 2.0f * std::sqrt (A) * alpha;
                b0 = A * ((A + 1.0f) + (A - 1.0f) * c + sq);
                b1 = -2.0f * A * ((A - 1.0f) + (A + 1.0f) * c);
                b2 = A * ((A + 1.0f) + (A - 1.0f) * c - sq);
                a0 = (A + 1.0f) - (A - 1.0f) * c + sq;
                a1 = 2.0f * ((A - 1.0f) - (A + 1.0f) * c);
                a2 = (A + 1.0f) - (A - 1.0f) * c - sq;
                break;
            }
            case BiquadShape::highpass:
                b0 = (1.0f + c) / 2.0f;
                b1 = -(1.0f + c);
                b2 = (1.0f + c) / 2.0f;
                a0 = 1.0f + alpha;
                a1 = -2.0f * c;
                a2 = 1.0f - alpha;
                break;
            case BiquadShape::lowpass:
                b0 = (1.0f - c) / 2.0f;
                b1 = 1.0f - c;
                b2 = (1.0f - c) / 2.0f;
                a0 = 1.0f + alpha;
                a1 = -2.0f * c;
                a2 = 1.0f - alpha;
                break;
            case BiquadShape::notch:
                b0 = 1.0f;
                b1 = -2.0f * c;
                b2 = 1.0f;
                a0 = 1.0f + alpha;
                a1 = -2.0f * c;
                a2 = 1.0f - alpha;
                break;
            case BiquadShape::bell:
            default:
                b0 = 1.0f + alpha * A;
                b1 = -2.0f * c;
                b2 = 1.0f - alpha * A;
                a0 = 1.0f + alpha / A;
                a1 = -2.0f * c;
                a2 = 1.0f - alpha / A;
                break;
        }

        return { b0 / a0, b1 / a0, b2 / a0, a1 / a0, a2 / a0 };
    }

    /** Second-order lowpass in double precision with a0 kept (for `directUnnormalised`). */
    inline WideBiquadCoefficients lowpassUnnormalised (double frequencyHz, double q, double sampleRate) noexcept
    {
        const double w = juce::MathConstants<double>::twoPi * frequencyHz / sampleRate;
        const double alpha = std::sin (w) / (2.0 * q);
        const double cosw = std::cos (w);

        WideBiquadCoefficients c;
        c.a0 = 1.0 + alpha;
        c.b0 = (1.0 - cosw) / 2.0;
        c.b1 = 1.0 - cosw;
        c.b2 = c.b0;
        c.a1 = -2.0 * cosw;
        c.a2 = 1.0 - alpha;
        return c;
    }
}
