#include <gtest/gtest.h>

#include "dsp/Biquad.h"

#include <cstring>
#include <vector>

// Each form is checked bit for bit against a literal transcription of the arithmetic it takes
// over, on noise with a loud burst, so that rounding in any term would show.

namespace
{
    std::vector<float> noise (int n, juce::int64 seed)
    {
        juce::Random random (seed);
        std::vector<float> x ((size_t) n);
        for (int i = 0; i < n; ++i)
            x[(size_t) i] = (random.nextFloat() * 2.0f - 1.0f) * (i > n / 2 && i < n / 2 + 64 ? 40.0f : 0.8f);
        return x;
    }

    bool sameBits (float a, float b) { return std::memcmp (&a, &b, sizeof (float)) == 0; }

    void expectSameBits (const dsp::BiquadCoefficients& a, const dsp::BiquadCoefficients& b)
    {
        EXPECT_TRUE (sameBits (a.b0, b.b0) && sameBits (a.b1, b.b1) && sameBits (a.b2, b.b2)
                     && sameBits (a.a1, b.a1) && sameBits (a.a2, b.a2));
    }

    // Literal reference: double-precision peaking design stored as floats.
    dsp::BiquadCoefficients literalPeakingDouble (double sampleRate, double frequency, double gainDb, double q)
    {
        const double a = std::pow (10.0, gainDb / 40.0);
        const double w = juce::MathConstants<double>::twoPi * frequency / sampleRate;
        const double alpha = std::sin (w) / (2.0 * q);
        const double d = 1.0 + alpha / a;
        dsp::BiquadCoefficients c;
        c.b0 = (float) ((1.0 + alpha * a) / d);
        c.b1 = (float) (-2.0 * std::cos (w) / d);
        c.b2 = (float) ((1.0 - alpha * a) / d);
        c.a1 = c.b1;
        c.a2 = (float) ((1.0 - alpha / a) / d);
        return c;
    }

    // Literal reference: the same design in float (the atomize cut sections).
    dsp::BiquadCoefficients literalPeakingFloat (float rate, float frequency, float cutDb, float q)
    {
        const float a = std::pow (10.0f, -cutDb / 40.0f);
        const float w = juce::MathConstants<float>::twoPi * frequency / rate;
        const float alpha = std::sin (w) / (2.0f * q);
        const float d = 1.0f + alpha / a;
        dsp::BiquadCoefficients c;
        c.b0 = (1.0f + alpha * a) / d;
        c.b1 = -2.0f * std::cos (w) / d;
        c.b2 = (1.0f - alpha * a) / d;
        c.a1 = c.b1;
        c.a2 = (1.0f - alpha / a) / d;
        return c;
    }

    // Literal reference: the 5 Hz DC filter designed straight from its angle.
    dsp::BiquadCoefficients literalDcFilter (double sampleRate)
    {
        const float w = 10.0f * juce::MathConstants<float>::pi / (float) sampleRate;
        const float alpha = std::sin (w) / 1.414f;
        const float c = std::cos (w);
        const float d = 1.0f + alpha;
        dsp::BiquadCoefficients k;
        k.b0 = k.b2 = (1.0f + c) * 0.5f / d;
        k.b1 = -(1.0f + c) / d;
        k.a1 = -2.0f * c / d;
        k.a2 = (1.0f - alpha) / d;
        return k;
    }
}

TEST (Biquad, EachFormMatchesTheArithmeticItReplacesBitForBit)
{
    const auto x = noise (4096, 7);
    const auto c = dsp::peaking<double> (44100.0, 3000.0, std::pow (10.0, 6.0 / 40.0), 0.8);

    {
        dsp::BiquadState<dsp::BiquadForm::pairedDirect> s;
        float x1 = 0, x2 = 0, y1 = 0, y2 = 0;
        for (auto v : x)
        {
            const float ref = c.b0 * v + (c.b1 * x1 - c.a1 * y1) + (c.b2 * x2 - c.a2 * y2);
            x2 = x1; x1 = v; y2 = y1; y1 = ref;
            ASSERT_TRUE (sameBits (s.process (c, v), ref));
        }
    }
    {
        dsp::BiquadState<dsp::BiquadForm::direct> s;
        std::array<float, 4> h {};
        for (auto v : x)
        {
            const float ref = c.b0 * v + c.b1 * h[0] + c.b2 * h[1] - c.a1 * h[2] - c.a2 * h[3];
            h[1] = h[0]; h[0] = v; h[3] = h[2]; h[2] = ref;
            ASSERT_TRUE (sameBits (s.process (c, v), ref));
        }
    }
    {
        dsp::BiquadState<dsp::BiquadForm::transposed> s;
        float z1 = 0, z2 = 0;
        for (auto v : x)
        {
            const float ref = c.b0 * v + z1;
            z1 = c.b1 * v - c.a1 * ref + z2;
            z2 = c.b2 * v - c.a2 * ref;
            ASSERT_TRUE (sameBits (s.process (c, v), ref));
        }
    }
    {
        const auto w = dsp::lowpassUnnormalised (2500.0, 3.0, 44100.0);
        dsp::BiquadState<dsp::BiquadForm::directUnnormalised> s;
        float x1 = 0, x2 = 0, y1 = 0, y2 = 0;
        for (auto v : x)
        {
            const auto out = (w.b0 * (double) v + w.b1 * (double) x1 + w.b2 * (double) x2
                              - w.a1 * (double) y1 - w.a2 * (double) y2) / w.a0;
            x2 = x1; x1 = v; y2 = y1; y1 = (float) out;
            ASSERT_TRUE (sameBits (s.process (w, v), (float) out));
        }
    }
}

TEST (Biquad, FormsDifferWhereTheirArithmeticDoes)
{
    // If the forms were interchangeable there would be no reason to keep them apart; a steep,
    // resonant section on noise separates them within a few hundred samples.
    const auto x = noise (2048, 3);
    const auto c = dsp::rbj (dsp::BiquadShape::lowpass, 80.0f, 8.0f, 1.0f, 48000.0);
    dsp::BiquadState<dsp::BiquadForm::pairedDirect> paired;
    dsp::BiquadState<dsp::BiquadForm::direct> direct;
    dsp::BiquadState<dsp::BiquadForm::transposed> transposed;

    bool pairedVsDirect = false, directVsTransposed = false;
    for (auto v : x)
    {
        const float a = paired.process (c, v), b = direct.process (c, v), t = transposed.process (c, v);
        pairedVsDirect |= ! sameBits (a, b);
        directVsTransposed |= ! sameBits (b, t);
    }
    EXPECT_TRUE (pairedVsDirect);
    EXPECT_TRUE (directVsTransposed);
}

TEST (Biquad, DesignsMatchTheirLiteralForms)
{
    struct Case { double rate, frequency, gainDb, q; };
    for (auto k : { Case { 44100, 80, -4.5, 0.7 }, Case { 48000, 200, 3, 0.9 }, Case { 96000, 10000, 0, 0.7 },
                    Case { 8000, 3000, 12, 0.8 }, Case { 44100, 7000, -24, 0.7 } })
    {
        SCOPED_TRACE (k.frequency);
        expectSameBits (dsp::peaking<double> (k.rate, k.frequency, std::pow (10.0, k.gainDb / 40.0), k.q),
                        literalPeakingDouble (k.rate, k.frequency, k.gainDb, k.q));

        const auto rate = (float) k.rate, f = (float) k.frequency, cut = (float) k.gainDb, q = (float) k.q;
        expectSameBits (dsp::peaking<float> (rate, f, std::pow (10.0f, -cut / 40.0f), q),
                        literalPeakingFloat (rate, f, cut, q));

        expectSameBits (dsp::rbj (dsp::BiquadShape::highpass, 5.0f, 0.707f, 1.0f, k.rate), literalDcFilter (k.rate));
    }
}

TEST (Biquad, ZeroGainPeakingIsTransparentOnlyInThePairedForm)
{
    // A 0 dB bell has numerator == denominator; the paired form cancels each delay's terms
    // exactly, so the output is the input bit for bit however long it runs.
    const auto x = noise (8192, 11);
    const auto c = dsp::peaking<double> (44100.0, 200.0, 1.0, 0.9);
    dsp::Biquad<dsp::BiquadForm::pairedDirect, 2> stereo;
    stereo.coefficients = c;

    for (auto v : x)
    {
        ASSERT_EQ (stereo.process (0, v), v);
        ASSERT_EQ (stereo.process (1, -v), -v);
    }
}

TEST (Biquad, ShapesHaveTheirTextbookResponses)
{
    // DC and Nyquist gains: sum of b over sum of a at z = 1, alternating sums at z = -1.
    auto gainAt = [] (const dsp::BiquadCoefficients& c, float z)
    {
        return (c.b0 + c.b1 * z + c.b2 * z * z) / (1.0f + c.a1 * z + c.a2 * z * z);
    };

    const float a6 = std::pow (10.0f, 6.0f / 40.0f);
    const auto lowShelf = dsp::rbj (dsp::BiquadShape::lowShelf, 200.0f, 0.7f, a6, 48000.0);
    const auto highShelf = dsp::rbj (dsp::BiquadShape::highShelf, 2000.0f, 0.7f, a6, 48000.0);
    const auto highpass = dsp::rbj (dsp::BiquadShape::highpass, 100.0f, 0.7f, 1.0f, 48000.0);
    const auto lowpass = dsp::rbj (dsp::BiquadShape::lowpass, 1000.0f, 0.7f, 1.0f, 48000.0);
    const auto notch = dsp::rbj (dsp::BiquadShape::notch, 1000.0f, 2.0f, 1.0f, 48000.0);

    EXPECT_NEAR (gainAt (lowShelf, 1.0f), std::pow (10.0f, 6.0f / 20.0f), 1e-3f);   // +6 dB at DC
    EXPECT_NEAR (gainAt (lowShelf, -1.0f), 1.0f, 1e-3f);
    EXPECT_NEAR (gainAt (highShelf, -1.0f), std::pow (10.0f, 6.0f / 20.0f), 1e-3f);
    EXPECT_NEAR (gainAt (highpass, 1.0f), 0.0f, 1e-6f);
    EXPECT_NEAR (gainAt (lowpass, 1.0f), 1.0f, 1e-5f);
    EXPECT_NEAR (gainAt (lowpass, -1.0f), 0.0f, 1e-6f);
    EXPECT_NEAR (gainAt (notch, 1.0f), 1.0f, 1e-5f);

    const auto wide = dsp::lowpassUnnormalised (1000.0, 0.7, 48000.0);
    EXPECT_NEAR ((wide.b0 + wide.b1 + wide.b2) / (wide.a0 + wide.a1 + wide.a2), 1.0, 1e-9);
}

TEST (Biquad, ClearAndFiniteCheck)
{
    dsp::Biquad<dsp::BiquadForm::transposed, 2> f;
    f.coefficients = dsp::rbj (dsp::BiquadShape::bell, 1000.0f, 1.0f, 2.0f, 44100.0);
    f.process (1, std::numeric_limits<float>::infinity());
    EXPECT_FALSE (f.isFinite());
    f.clear();
    EXPECT_TRUE (f.isFinite());
    EXPECT_EQ (f.process (0, 0.0f), 0.0f);
}
