#include <gtest/gtest.h>

#include "dsp/Decibels.h"

#include <cstring>
#include <limits>

namespace
{
    bool sameBits (float a, float b) { return std::memcmp (&a, &b, sizeof (float)) == 0; }
}

TEST (Decibels, EachFormMatchesTheHelperItReplacesBitForBit)
{
    using dsp::DecibelForm;

    for (float dB = -120.0f; dB <= 24.0f; dB += 0.37f)
    {
        const float silent = dB > -100.0f ? std::pow (10.0f, dB / 20.0f) : 0.0f;
        const float passes = dB <= -100.0f ? 0.0f : std::pow (10.0f, dB * 0.05f);
        const float plain = std::pow (10.0f, dB / 20.0f);

        ASSERT_TRUE (sameBits (dsp::decibelsToGain<DecibelForm::flooredNanSilent> (dB), silent)) << dB;
        ASSERT_TRUE (sameBits (dsp::decibelsToGain<DecibelForm::flooredNanPasses> (dB), passes)) << dB;
        ASSERT_TRUE (sameBits (dsp::decibelsToGain<DecibelForm::unfloored> (dB), plain)) << dB;
    }
}

TEST (Decibels, FloorAndNonFiniteInputs)
{
    using dsp::DecibelForm;
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();

    EXPECT_EQ (dsp::decibelsToGain (-100.0f), 0.0f);
    EXPECT_EQ (dsp::decibelsToGain<DecibelForm::flooredNanPasses> (-100.0f), 0.0f);
    EXPECT_GT (dsp::decibelsToGain<DecibelForm::unfloored> (-100.0f), 0.0f);
    EXPECT_FLOAT_EQ (dsp::decibelsToGain (-6.0206f), 0.5f);
    EXPECT_EQ (dsp::decibelsToGain (0.0f), 1.0f);

    EXPECT_EQ (dsp::decibelsToGain<DecibelForm::flooredNanSilent> (nan), 0.0f);
    EXPECT_TRUE (std::isnan (dsp::decibelsToGain<DecibelForm::flooredNanPasses> (nan)));
    EXPECT_TRUE (std::isnan (dsp::decibelsToGain<DecibelForm::unfloored> (nan)));
    EXPECT_EQ (dsp::decibelsToGain (-inf), 0.0f);
    EXPECT_EQ (dsp::decibelsToGain (inf), inf);
}

TEST (Decibels, GainToDecibelsNeverFallsBelowTheFloor)
{
    struct Case { float gain, expected; };
    for (auto c : { Case { 1.0f, 0.0f }, Case { 0.1f, -20.0f }, Case { 0.0f, -100.0f }, Case { -0.5f, -100.0f },
                    Case { 1e-9f, -100.0f }, Case { std::numeric_limits<float>::quiet_NaN(), -100.0f } })
        EXPECT_NEAR (dsp::gainToDecibels (c.gain), c.expected, 1e-4f) << c.gain;

    EXPECT_EQ (dsp::gainToDecibels (0.0f, -80.0f), -80.0f);
    EXPECT_NEAR (dsp::gainToDecibels (dsp::decibelsToGain (-37.5f)), -37.5f, 1e-4f);
}
