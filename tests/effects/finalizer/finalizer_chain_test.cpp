#include <gtest/gtest.h>

#include "FinalizerFixture.h"
#include "platform/CrtRand.h"

#include <algorithm>

namespace
{
    float noiseSample()
    {
        return 1.98f * ((float) platform::crtRand() / (float) platform::crtRandMax - 0.5f);   // |x| < 1
    }
}

TEST (FinalizerChain, NeutralSettingsPassTheSignal)
{
    FinalizerRig rig;
    rig.makeNeutral();

    std::vector<float> inL, inR;
    float worst = 0.0f;
    for (int block = 0; block < 20; ++block)
    {
        juce::AudioBuffer<float> buffer (2, 512);
        for (int i = 0; i < 512; ++i)
        {
            buffer.setSample (0, i, noiseSample());
            buffer.setSample (1, i, noiseSample());
        }
        juce::AudioBuffer<float> input (buffer);
        rig.fin.process (buffer);

        for (int ch = 0; ch < 2; ++ch)
            for (int i = 0; i < 512; ++i)
                worst = std::max (worst, std::abs (buffer.getSample (ch, i) - input.getSample (ch, i)));
    }
    EXPECT_LT (worst, 2.0e-6f);
}

TEST (FinalizerChain, CeilingHoldsAFullScaleSquareWhenTheCharacterStagesAreOff)
{
    FinalizerRig rig;   // DC on and ceiling -1 dB, as after construction
    rig.fin.densityAmount = 0.0f;
    rig.fin.articAmount = 0.0f;
    rig.fin.residueAmount = 0.0f;

    float peak = 0.0f;
    for (int block = 0; block < 20; ++block)
    {
        auto out = rig.run (512, [] (int i) { const float v = (i / 100) % 2 == 0 ? 1.0f : -1.0f; return std::pair (v, v); },
                            block * 512);
        peak = std::max ({ peak, out.getMagnitude (0, 0, 512), out.getMagnitude (1, 0, 512) });
    }
    EXPECT_NEAR (peak, 0.891251f, 1.0e-6f);
    EXPECT_NEAR (rig.fin.peakLeft.load(), 0.891251f, 1.0e-6f);
}

TEST (FinalizerChain, DefaultCharacterStagesMayLiftTheMidAboveTheCeiling)
{
    FinalizerRig rig;

    float peak = 0.0f;
    for (int block = 0; block < 40; ++block)
    {
        auto out = rig.run (512, [] (int i) { const float v = (i / 100) % 2 == 0 ? 1.0f : -1.0f; return std::pair (v, v); },
                            block * 512);
        peak = std::max (peak, out.getMagnitude (0, 0, 512));
    }
    EXPECT_GT (peak, 0.8913f);
    EXPECT_LE (peak, 1.2f * 0.891251f + 1.0e-5f);
}

TEST (FinalizerChain, StereoStagesFollowTheirFormulas)
{
    struct Case { const char* what; float asym, rotate, inL, inR, outL, outR; };
    const Case cases[] = {
        { "rotate 45, left only",  0.0f, 45.0f, 1.0f, 0.0f, 0.7071068f, 0.7071068f },
        { "rotate -45, left only", 0.0f, -45.0f, 1.0f, 0.0f, 0.7071068f, -0.7071068f },
        { "asym +90",             90.0f, 0.0f, 0.6f, 0.2f, 0.4f + 0.5f * 0.2f, 0.4f - 1.5f * 0.2f },
        { "asym -90",            -90.0f, 0.0f, 0.6f, 0.2f, 0.4f + 1.5f * 0.2f, 0.4f - 0.5f * 0.2f },
        { "asym 0",                0.0f, 0.0f, 0.6f, 0.2f, 0.6f, 0.2f },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.what);
        FinalizerRig rig;
        rig.makeNeutral();
        rig.fin.asymmetryDeg = c.asym;
        rig.fin.rotateDeg = c.rotate;

        auto out = rig.run (256, [&] (int) { return std::pair (c.inL, c.inR); });
        EXPECT_NEAR (out.getSample (0, 255), c.outL, 1.0e-5f);
        EXPECT_NEAR (out.getSample (1, 255), c.outR, 1.0e-5f);
    }
}

TEST (FinalizerChain, BandModesSaturateWhatTheyShould)
{
    // A side-only signal has no mid for the mono mode to saturate; the other modes bend it.
    struct Case { int mode; bool changes; };
    for (auto c : { Case { 1, false }, Case { 2, true }, Case { 3, true } })
    {
        SCOPED_TRACE (c.mode);
        FinalizerRig rig;
        rig.makeNeutral();
        for (int k = 0; k < 6; ++k)
        {
            rig.fin.bandDrive[(size_t) k] = 2.0f;
            rig.fin.bandMode[(size_t) k] = c.mode;
        }

        auto out = rig.run (512, [] (int i) { const float v = 0.9f * (float) std::sin (i * 0.01); return std::pair (v, -v); });
        float diff = 0.0f;
        for (int i = 0; i < 512; ++i)
            diff = std::max (diff, std::abs (out.getSample (0, i) - 0.9f * (float) std::sin (i * 0.01)));

        if (c.changes)
            EXPECT_GT (diff, 0.05f);
        else
            EXPECT_LT (diff, 1.0e-5f);
    }
}

TEST (FinalizerChain, GainsAndMixesAtTheirLimits)
{
    {
        FinalizerRig rig;
        rig.fin.inputGainDb = -100.0f;
        auto out = rig.run (512, [] (int i) { return sineFrame (i); });
        EXPECT_EQ (out.getMagnitude (0, 0, 512) + out.getMagnitude (1, 0, 512), 0.0f);
    }
    {
        FinalizerRig rig;
        rig.fin.ceilingDb = -100.0f;
        rig.fin.densityAmount = 0.0f;
        auto out = rig.run (512, [] (int i) { return sineFrame (i); });
        EXPECT_EQ (out.getMagnitude (0, 0, 512) + out.getMagnitude (1, 0, 512), 0.0f);
    }
    {
        // The meters read before the channel mixes.
        FinalizerRig rig;
        rig.makeNeutral();
        rig.fin.leftMix = 0.0f;
        auto out = rig.run (512, [] (int i) { return sineFrame (i); });
        EXPECT_EQ (out.getMagnitude (0, 0, 512), 0.0f);
        EXPECT_GT (out.getMagnitude (1, 0, 512), 0.3f);
        EXPECT_NEAR (rig.fin.peakLeft.load(), 0.5f, 0.01f);
    }
}

TEST (FinalizerChain, EqualiserSetsReachTheNextBlock)
{
    FinalizerRig rig;
    rig.makeNeutral();
    rig.fin.subDb = 6.0f;
    rig.fin.updateEqCoefficients();

    // An 80 Hz tone sits at the centre of the low band: +6 dB doubles it (within the filter's shape).
    float peak = 0.0f;
    for (int block = 0; block < 40; ++block)
    {
        auto out = rig.run (512, [] (int i) { return sineFrame (i, 80.0f, 0.25f); }, block * 512);
        if (block >= 20)
            peak = std::max (peak, out.getMagnitude (0, 0, 512));
    }
    EXPECT_NEAR (peak / 0.25f, std::pow (10.0f, 6.0f / 20.0f), 0.02f);
}

TEST (FinalizerChain, ShortBlocksMoveThePeaksButNotTheFeatures)
{
    struct Case { int length; int featureBlocks; };
    for (auto c : { Case { 63, 0 }, Case { 64, 1 }, Case { 0, 0 } })
    {
        SCOPED_TRACE (c.length);
        FinalizerRig rig;
        rig.run (c.length, [] (int i) { return sineFrame (i, 1000.0f); });

        const auto meters = rig.fin.readMeters();
        EXPECT_EQ (meters.features.levelCount, c.featureBlocks);
        EXPECT_EQ (rig.fin.peakLeft.load() > 0.0f, c.length > 0);
        EXPECT_EQ (meters.midRms > 0.0f, c.length > 0);
    }
}

TEST (FinalizerChain, IntegratedLevelRestartsAfterAThousandBlocks)
{
    FinalizerRig rig;
    rig.makeNeutral();
    for (int block = 0; block < 1000; ++block)
        rig.run (64, [] (int i) { return sineFrame (i, 1000.0f, 0.1f); }, block * 64);
    EXPECT_EQ (rig.fin.readMeters().features.levelCount, 1000);

    rig.run (64, [] (int i) { return sineFrame (i, 1000.0f, 0.4f); }, 64000);
    const auto f = rig.fin.readMeters().features;
    EXPECT_EQ (f.levelCount, 100);
    const float avgRms = (f.rmsLeft + f.rmsRight) / 2.0f;
    EXPECT_NEAR (f.levelSum, 100.0 * avgRms, 1.0e-4);
}

TEST (FinalizerChain, ConstantInputAndTheDcSwitch)
{
    for (bool dcOn : { true, false })
    {
        SCOPED_TRACE (dcOn);
        FinalizerRig rig;
        rig.makeNeutral();
        rig.fin.dcFilterButton.setToggleStateAndMirror (dcOn, juce::dontSendNotification);

        juce::AudioBuffer<float> out;
        for (int block = 0; block < 200; ++block)
            out = rig.run (512, [] (int) { return std::pair (0.3f, 0.3f); });

        if (dcOn)
            EXPECT_LT (std::abs (out.getSample (0, 511)), 0.01f);
        else
            EXPECT_NEAR (out.getSample (0, 511), 0.3f, 1.0e-5f);

        EXPECT_EQ (rig.fin.readMeters().features.dcOffset, ! dcOn);
    }
}

TEST (FinalizerChain, ACharacterStageSwitchedOnAgainStartsFromRest)
{
    struct Case { const char* what; std::atomic<float> TavroFinalizer::* amount; float onValue; };
    const Case cases[] = {
        { "residue", &TavroFinalizer::residueAmount, 1.0f },
        { "above",   &TavroFinalizer::aboveAmount,   1.0f },
        { "below",   &TavroFinalizer::belowAmount,   1.0f },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.what);
        FinalizerRig used, fresh;
        used.makeNeutral();
        fresh.makeNeutral();
        auto signal = [] (int i) { return sineFrame (i, 300.0f, 0.7f); };

        (used.fin.*c.amount) = c.onValue;
        for (int block = 0; block < 10; ++block)
            used.run (512, signal, block * 512);
        (used.fin.*c.amount) = 0.0f;
        used.run (512, signal, 10 * 512);

        for (int block = 0; block < 11; ++block)
            fresh.run (512, signal, block * 512);

        (used.fin.*c.amount) = 0.5f;
        (fresh.fin.*c.amount) = 0.5f;
        auto a = used.run (512, signal, 11 * 512);
        auto b = fresh.run (512, signal, 11 * 512);
        for (int i = 0; i < 512; ++i)
            ASSERT_EQ (a.getSample (0, i), b.getSample (0, i)) << i;
    }
}
