#include <gtest/gtest.h>

#include "StereoUtilityFixture.h"

#include <cmath>
#include <limits>

using namespace stereo_utility_test;

namespace
{
    struct CountingTap final : StereoUtilityMaxProcessor::OutputTap
    {
        void outputBlock (const float*, const float*, int numSamples) noexcept override
        {
            ++blocks;
            samples += numSamples;
        }

        int blocks = 0, samples = 0;
    };

    /** The wet sample a fully wet output came from. */
    float wetOf (float out) { return std::atanh (out); }
}

//==============================================================================
TEST (StereoUtilityMaxSound, NeutralStagesGiveTanhOfTheInput)
{
    // The bands add back to the input whatever the crossovers, and the stages that stay off at
    // these settings (balance within 1 %, IACC 99, mono bass at 25 Hz, ROOM 1 %) leave it alone.
    struct Case { double rate; float lowCross, highCross, balance, iacc; };
    const Case cases[] = { { 48000.0, 120.0f, 3000.0f, 0.0f, 100.0f }, { 44100.0, 300.0f, 1000.0f, 0.5f, 99.0f },
                           { 96000.0, 20.0f, 8000.0f, 1.0f, 100.0f }, { 48000.0, 120.0f, 3000.0f, -1.0f, 99.0f } };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (testing::Message() << c.rate << " Hz, X " << c.lowCross << "/" << c.highCross << ", BAL " << c.balance);
        Rig rig (c.rate);
        rig.neutralStages();
        rig.set (Knob::lowCrossover, c.lowCross);
        rig.set (Knob::highCrossover, c.highCross);
        rig.set (Knob::balance, c.balance);
        rig.set (Knob::iacc, c.iacc);

        auto block = noise (4096, 0.9f);
        const juce::AudioBuffer<float> dry (block);
        rig.run (block, 333);

        float worst = 0.0f;
        for (int ch = 0; ch < 2; ++ch)
            for (int i = 0; i < block.getNumSamples(); ++i)
                worst = std::max (worst, std::abs (block.getSample (ch, i) - std::tanh (dry.getSample (ch, i))));
        EXPECT_LT (worst, 1.0e-6f);
        EXPECT_EQ (rig.processor.getSideEnvelope(), 0.0f);   // D RAT 1: the envelope never moves
    }
}

TEST (StereoUtilityMaxSound, MixesAtZeroGiveTheClampedInputWhileTheWetPathRuns)
{
    // All knobs at their defaults: bands, reflections and mono bass run on the wet path.
    Rig quiet, heard;
    heard.fullMix();

    auto first = noise (2048, 1.5f, 3);
    const juce::AudioBuffer<float> dry (first);
    auto heardFirst = first;
    quiet.run (first);
    heard.run (heardFirst);

    for (int ch = 0; ch < 2; ++ch)
        for (int i = 0; i < first.getNumSamples(); ++i)
            ASSERT_EQ (first.getSample (ch, i), juce::jlimit (-1.0f, 1.0f, dry.getSample (ch, i))) << ch << " " << i;

    // Raising the mix now sounds exactly like a processor that was heard all along: the
    // reflections and filters kept running while the mix was at 0.
    quiet.fullMix();
    auto second = noise (2048, 0.5f, 4);
    auto heardSecond = second;
    quiet.run (second);
    heard.run (heardSecond);
    EXPECT_TRUE (identical (second, heardSecond));
}

TEST (StereoUtilityMaxSound, StageGainsAtTheFirstSample)
{
    // What each single stage does to an impulse before any line has anything to give back.
    const float l = 0.1f, r = 0.02f, mid = 0.06f, side = 0.04f;
    const float mask = std::pow (mid * mid / (0.0001f + mid * mid + side * side), 1.5f);
    const float extractedMid = 0.5f * mid + mid * mask * 0.7f;

    struct Case { const char* what; Knob knob; float value; float left, right; };
    const Case cases[] = {
        { "ROT 90", Knob::rotation, 90.0f, -r, l },
        { "ILD 12", Knob::levelDifference, 12.0f, l * 1.9952623f, r * 0.5011872f },
        { "MID +6", Knob::mid, 6.0f, mid * 1.9952623f + side, mid * 1.9952623f - side },
        { "WIDTH 0", Knob::width, 0.0f, mid, mid },
        { "EXTR 100", Knob::extraction, 100.0f, extractedMid + side, extractedMid - side },
        { "PITCH 50: direct at half level", Knob::pitch, 50.0f, 0.5f * l, 0.5f * r },
        { "MOD D 1: chorus off", Knob::modDepth, 1.0f, l, r },
        { "MOD D 2: direct at 0.7", Knob::modDepth, 2.0f, 0.7f * l, 0.7f * r },
        { "MOD D 100", Knob::modDepth, 100.0f, 0.7f * l, 0.7f * r },
        { "BAL 50: 1.414, not root 2", Knob::balance, 50.0f, l * 0.5411140f, r * 1.3063659f },
        { "BAL -100", Knob::balance, -100.0f, l * 1.414f, 0.0f },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.what);
        Rig rig;
        rig.neutralStages();
        rig.set (c.knob, c.value);
        auto block = impulse (8, l, r);
        rig.run (block);
        EXPECT_NEAR (wetOf (block.getSample (0, 0)), c.left, 2.0e-6f);
        EXPECT_NEAR (wetOf (block.getSample (1, 0)), c.right, 2.0e-6f);
    }
}

TEST (StereoUtilityMaxSound, OffsetSumsBeyondTheRangeSaturateAndUnreadControlsAreNotHeard)
{
    // Knob plus Korrupt offset beyond the range sounds exactly like the end of the range; the
    // rotation offset and DECOR are kept for their writers and the panel but reach no stage.
    struct Case { const char* what; Knob knob; float value; std::atomic<float> StereoUtilityMaxParameters::* offset; float amount; float equivalent; };
    const Case cases[] = {
        { "WIDTH 150 + 100", Knob::width, 150.0f, &StereoUtilityMaxParameters::modWidthOffset, 100.0f, 200.0f },
        { "WIDTH 20 - 50", Knob::width, 20.0f, &StereoUtilityMaxParameters::modWidthOffset, -50.0f, 0.0f },
        { "BAL 80 + 40", Knob::balance, 80.0f, &StereoUtilityMaxParameters::modBalanceOffset, 40.0f, 100.0f },
        { "BAL -60 - 90", Knob::balance, -60.0f, &StereoUtilityMaxParameters::modBalanceOffset, -90.0f, -100.0f },
        { "rotation offset is not heard", Knob::rotation, 30.0f, &StereoUtilityMaxParameters::modRotationOffset, 90.0f, 30.0f },
        { "DECOR is not heard", Knob::decor, 100.0f, &StereoUtilityMaxParameters::modRotationOffset, 0.0f, 0.0f },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.what);
        Rig offset, plain;
        offset.fullMix();
        plain.fullMix();
        offset.set (c.knob, c.value);
        (offset.processor.parameters.*(c.offset)).store (c.amount);
        plain.set (c.knob, c.equivalent);

        auto a = noise (2048, 0.7f);
        auto b = a;
        offset.run (a);
        plain.run (b);
        EXPECT_TRUE (identical (a, b));
    }
}

TEST (StereoUtilityMaxSound, MonoBassStartsAbove25Hz)
{
    // An 8 Hz side signal: at 25 Hz the stage is off and the side passes; at 26 Hz its low
    // part is folded to mono, which for a pure side signal is silence.
    for (auto [corner, on] : { std::pair { 25.0f, false }, std::pair { 26.0f, true } })
    {
        Rig rig;
        rig.neutralStages();
        rig.set (Knob::monoBelow, corner);

        juce::AudioBuffer<float> block (2, 96000);
        for (int i = 0; i < block.getNumSamples(); ++i)
        {
            const float s = 0.5f * std::sin (juce::MathConstants<float>::twoPi * 8.0f * (float) i / 48000.0f);
            block.setSample (0, i, s);
            block.setSample (1, i, -s);
        }
        juce::AudioBuffer<float> saturated (block);
        for (int i = 0; i < saturated.getNumSamples(); ++i)
            saturated.setSample (0, i, std::tanh (saturated.getSample (0, i)));
        const auto passed = saturated.getRMSLevel (0, 48000, 48000);
        rig.run (block);
        const auto ratio = block.getRMSLevel (0, 48000, 48000) / passed;

        if (on)
        {
            EXPECT_LT (ratio, 0.6f) << corner;
        }
        else
        {
            EXPECT_NEAR (ratio, 1.0f, 1.0e-4f) << corner;
        }
    }
}

TEST (StereoUtilityMaxSound, SideDynamicsRunForEveryRatioButOne)
{
    struct Case { float ratio; bool runs; };
    for (const auto& c : { Case { 1.0f, false }, Case { 1.0001f, true }, Case { 0.999f, true }, Case { 4.0f, true } })
    {
        Rig rig;
        rig.neutralStages();
        rig.set (Knob::dynamicsRatio, c.ratio);
        auto block = noise (1024, 0.5f);
        const juce::AudioBuffer<float> dry (block);
        rig.run (block);

        EXPECT_EQ (rig.processor.getSideEnvelope() > 0.0f, c.runs) << c.ratio;
        if (! c.runs)
        {
            EXPECT_NEAR (block.getSample (0, 700), std::tanh (dry.getSample (0, 700)), 1.0e-6f);
        }
    }

    // Compression above the threshold: a loud side signal comes out narrower than it went in.
    Rig rig;
    rig.neutralStages();
    rig.set (Knob::dynamicsRatio, 4.0f);
    rig.set (Knob::dynamicsThreshold, -40.0f);
    juce::AudioBuffer<float> block (2, 4800);
    for (int i = 0; i < block.getNumSamples(); ++i)
    {
        const float s = 0.4f * std::sin (0.05f * (float) i);
        block.setSample (0, i, s);
        block.setSample (1, i, -s);
    }
    rig.run (block);
    EXPECT_LT (block.getMagnitude (0, 2400, 2400), 0.1f);
}

TEST (StereoUtilityMaxSound, GatedBlocksAreLeftAloneAndNotShown)
{
    struct Case { const char* what; bool prepare, bypass; int channels, samples; };
    const Case cases[] = { { "before prepare", false, false, 2, 256 }, { "one channel", true, false, 1, 256 },
                           { "no samples", true, false, 2, 0 }, { "bypassed", true, true, 2, 256 } };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.what);
        StereoUtilityMaxProcessor p;
        CountingTap tap;
        p.setOutputTap (&tap);
        if (c.prepare)
            p.prepare (48000.0, 256);
        p.parameters.bypassed = c.bypass;
        p.parameters.leftMix = 100.0f;
        p.parameters.randomWidthTarget = 60.0f;

        juce::AudioBuffer<float> block (c.channels, std::max (1, c.samples));
        juce::Random random (5);
        for (int ch = 0; ch < c.channels; ++ch)
            for (int i = 0; i < block.getNumSamples(); ++i)
                block.setSample (ch, i, random.nextFloat() * 2.0f - 1.0f);
        const juce::AudioBuffer<float> dry (block);

        p.process (block, 0, c.samples);
        for (int ch = 0; ch < c.channels; ++ch)
            for (int i = 0; i < block.getNumSamples(); ++i)
                ASSERT_EQ (block.getSample (ch, i), dry.getSample (ch, i));
        EXPECT_EQ (tap.blocks, 0);
        EXPECT_EQ (p.randomWidthOffset.load(), 0.0f);
        p.setOutputTap (nullptr);
    }
}

//==============================================================================
TEST (StereoUtilityMaxSound, GeometryAtTheNamedSettings)
{
    using Geometry = StereoUtilityMaxProcessor::Geometry;
    struct Case
    {
        const char* what;
        double rate;
        std::vector<std::pair<Knob, float>> knobs;
        std::function<void (const Geometry&, const StereoUtilityMaxProcessor&)> check;
    };

    const Case cases[] = {
        { "ITD 1000 us at 48 kHz", 48000.0, { { Knob::timeDifference, 1000.0f } },
          [] (const Geometry& g, auto&) { EXPECT_EQ (g.timeDifferenceSamples, 48.0f); } },
        { "HAAS 40 ms at 44.1 kHz", 44100.0, { { Knob::haas, 40.0f } },
          [] (const Geometry& g, auto&) { EXPECT_EQ (g.haasSamples, 1764); } },
        { "smallest HAAS is one sample", 48000.0, { { Knob::haas, 0.011f } },
          [] (const Geometry& g, auto&) { EXPECT_EQ (g.haasSamples, 1); } },
        { "decorrelation at 48 kHz: stages 2 and 3 fold on the left", 48000.0, {},
          [] (const Geometry& g, const StereoUtilityMaxProcessor& p)
          {
              EXPECT_EQ (p.getDecorrelationLength (2), 623);
              EXPECT_EQ (p.getDecorrelationLength (3), 815);
              EXPECT_EQ (g.decorrelationLeft, (std::array<int, 4> { 244, 385, 4, 114 }));
              EXPECT_EQ (g.decorrelationRight, (std::array<int, 4> { 244, 325, 449, 565 }));
          } },
        { "decorrelation at 44.1 kHz: only stage 3 folds", 44100.0, {},
          [] (const Geometry& g, const StereoUtilityMaxProcessor& p)
          {
              EXPECT_EQ (p.getDecorrelationLength (3), 757);
              EXPECT_EQ (g.decorrelationLeft[2], 576);
              EXPECT_EQ (g.decorrelationLeft[3], 97);
          } },
        { "DIFF 50, IACC 0: section gain 0.63", 48000.0, { { Knob::diffusion, 50.0f }, { Knob::iacc, 0.0f } },
          [] (const Geometry& g, auto&) { EXPECT_NEAR (g.decorrelationGain, 0.63f, 1.0e-6f); } },
        { "ROOM 30: taps from 1.9 ms to 15.2 ms", 48000.0, { { Knob::room, 30.0f } },
          [] (const Geometry& g, auto&)
          {
              EXPECT_NEAR (g.reflectionSpacing, 753.6f, 1.0e-3f);
              EXPECT_EQ (g.reflectionTaps.front(), 90);
              EXPECT_EQ (g.reflectionTaps.back(), 730);
          } },
        { "ROOM 0 still spaces the taps 1 ms apart", 48000.0, { { Knob::room, 0.0f } },
          [] (const Geometry& g, auto&) { EXPECT_NEAR (g.reflectionSpacing, 48.0f, 1.0e-4f); } },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.what);
        Rig rig (c.rate);
        for (auto [k, v] : c.knobs)
            rig.set (k, v);
        c.check (rig.processor.currentGeometry(), rig.processor);
    }
}

TEST (StereoUtilityMaxSound, DelaysArriveWhereTheGeometrySays)
{
    struct Case { const char* what; double rate; Knob knob; float value; int channel, delay; };
    const Case cases[] = {
        { "ITD 1000 us at 48 kHz", 48000.0, Knob::timeDifference, 1000.0f, 1, 48 },
        { "HAAS 40 ms at 44.1 kHz", 44100.0, Knob::haas, 40.0f, 1, 1764 },
        { "L DLY 1000 us at 48 kHz, whole samples", 48000.0, Knob::leftDelay, 1000.0f, 0, 48 },
        { "R DLY 500 us at 48 kHz", 48000.0, Knob::rightDelay, 500.0f, 1, 24 },
        { "negative L DLY is not heard", 48000.0, Knob::leftDelay, -1000.0f, 0, 0 },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.what);
        Rig rig (c.rate);
        rig.neutralStages();
        rig.set (c.knob, c.value);
        auto block = impulse (4096, 0.3f, 0.3f);
        rig.run (block, 256);

        const float* out = block.getReadPointer (c.channel);
        EXPECT_NEAR (out[c.delay], std::tanh (0.3f), 1.0e-6f);
        float elsewhere = 0.0f;
        for (int i = 0; i < block.getNumSamples(); ++i)
            if (i != c.delay)
                elsewhere = std::max (elsewhere, std::abs (out[i]));
        EXPECT_LT (elsewhere, 1.0e-6f);
    }
}

TEST (StereoUtilityMaxSound, DecorrelationWeightFollowsIacc)
{
    // At the first sample every section answers -g times its input, so the cascade gives g^4.
    const auto g = [] (float diff, float iacc) { return (0.5f + 0.4f * diff / 100.0f) * (0.5f + 0.4f * (1.0f - iacc / 100.0f)); };
    struct Case { float iacc, diff, expected; };
    const Case cases[] = { { 100.0f, 50.0f, 1.0f }, { 99.0f, 50.0f, 1.0f },
                           { 98.0f, 50.0f, 0.98f + 0.02f * std::pow (g (50.0f, 98.0f), 4.0f) },
                           { 0.0f, 50.0f, std::pow (0.63f, 4.0f) }, { 0.0f, 0.0f, std::pow (0.5f * 0.9f, 4.0f) } };

    for (const auto& c : cases)
    {
        Rig rig;
        rig.neutralStages();
        rig.set (Knob::iacc, c.iacc);
        rig.set (Knob::diffusion, c.diff);
        auto block = impulse (16, 0.1f, 0.1f);
        rig.run (block);
        EXPECT_NEAR (wetOf (block.getSample (0, 0)) / 0.1f, c.expected, 1.0e-5f) << c.iacc << " " << c.diff;
        EXPECT_NEAR (wetOf (block.getSample (1, 0)) / 0.1f, c.expected, 1.0e-5f) << c.iacc << " " << c.diff;
    }
}

TEST (StereoUtilityMaxSound, MonoInputReachesTheReflectionsWithTheTapWeights)
{
    // DIFF 0 keeps the network out; ROOM 50 and EARLY 0 dB scale every reflection by 0.5.
    Rig rig;
    rig.neutralStages();
    rig.set (Knob::room, 50.0f);
    rig.set (Knob::early, 0.0f);
    rig.set (Knob::diffusion, 0.0f);

    const auto geometry = rig.processor.currentGeometry();
    EXPECT_EQ (geometry.reflectionTaps, (std::array<int, 8> { 146, 281, 452, 575, 722, 869, 1015, 1187 }));

    auto block = impulse (2048, 0.1f, 0.1f);
    rig.run (block);

    const float gains[] = { 0.8f, 0.7f, 0.6f, 0.5f, 0.45f, 0.4f, 0.35f, 0.3f };
    const float leftWeights[] = { 0.8f, 0.4f, 0.8f, 0.4f, 0.6f, 0.2f, 0.6f, 0.2f };
    const float rightWeights[] = { 0.2f, 0.6f, 0.2f, 0.6f, 0.4f, 0.8f, 0.4f, 0.8f };

    for (size_t k = 0; k < 8; ++k)
    {
        const int at = geometry.reflectionTaps[k];
        EXPECT_NEAR (wetOf (block.getSample (0, at)), 0.1f * 0.5f * gains[k] * (leftWeights[k] + 0.5f * rightWeights[k]), 1.0e-6f) << k;
        EXPECT_NEAR (wetOf (block.getSample (1, at)), 0.1f * 0.5f * gains[k] * (0.5f * leftWeights[k] + rightWeights[k]), 1.0e-6f) << k;
    }
    EXPECT_LT (std::abs (block.getSample (0, 100)), 1.0e-6f);

    // With diffusion the network adds to the tail between the taps.
    Rig diffused;
    diffused.neutralStages();
    diffused.set (Knob::room, 50.0f);
    diffused.set (Knob::diffusion, 100.0f);
    auto tail = impulse (2048, 0.1f, 0.1f);
    diffused.run (tail);
    EXPECT_GT (std::abs (tail.getSample (0, 3)), 1.0e-5f);
}

//==============================================================================
TEST (StereoUtilityMaxSound, RandomiserOffsetsMoveATenthOfAPercentPerProcessedBlock)
{
    Rig rig;
    auto& p = rig.processor;
    p.parameters.randomWidthTarget = 60.0f;
    p.parameters.randomBalanceTarget = -15.0f;
    p.parameters.randomMixTarget = 20.0f;

    auto block = noise (64, 0.1f);
    p.process (block, 0, 64);
    EXPECT_FLOAT_EQ (p.randomWidthOffset.load(), 0.06f);
    EXPECT_FLOAT_EQ (p.randomBalanceOffset.load(), -0.015f);
    EXPECT_FLOAT_EQ (p.randomMixOffset.load(), 0.02f);

    p.process (block, 0, 64);
    EXPECT_FLOAT_EQ (p.randomWidthOffset.load(), 0.06f + 59.94f * 0.001f);

    // A bypassed block is not processed, so the offsets stand still.
    p.parameters.bypassed = true;
    p.process (block, 0, 64);
    EXPECT_FLOAT_EQ (p.randomWidthOffset.load(), 0.06f + 59.94f * 0.001f);
}

TEST (StereoUtilityMaxSound, MixOffsetsAreAFloorWithNoUpperLimit)
{
    // The floor is the randomiser's and the Korrupt mix offsets together; above 100 % the dry
    // weight turns negative and the clamp still bounds the output.
    StereoUtilityMaxProcessor p;
    p.parameters.modMixOffset = 30.0f;
    p.parameters.leftMix = 10.0f;
    p.parameters.rightMix = 50.0f;
    EXPECT_FLOAT_EQ (p.leftWetWeight(), 0.3f);
    EXPECT_FLOAT_EQ (p.rightWetWeight(), 0.5f);
    p.parameters.modMixOffset = std::numeric_limits<float>::quiet_NaN();   // a broken writer counts as none
    EXPECT_FLOAT_EQ (p.leftWetWeight(), 0.1f);

    p.parameters.modMixOffset = 30.0f;
    p.parameters.leftMix = 0.0f;
    p.parameters.rightMix = 0.0f;
    EXPECT_FLOAT_EQ (p.leftWetWeight(), 0.3f);
    EXPECT_FALSE (p.isActive());   // the chain asks the knobs alone

    for (float dry : { 0.9f, -0.3f, 0.05f, 1000.0f, -1000.0f })
    {
        Rig rig;
        rig.neutralStages();
        rig.set (Knob::leftMix, 0.0f);
        rig.set (Knob::rightMix, 0.0f);
        rig.processor.parameters.modMixOffset = 150.0f;
        auto block = impulse (4, dry, dry);
        rig.run (block);
        const float expected = juce::jlimit (-1.0f, 1.0f, -0.5f * dry + 1.5f * std::tanh (dry));
        EXPECT_NEAR (block.getSample (0, 0), expected, 2.0e-6f) << dry;
        EXPECT_NEAR (block.getSample (1, 0), expected, 2.0e-6f) << dry;
    }
}

TEST (StereoUtilityMaxSound, NonFiniteInputCountsAsZero)
{
    // Every stage on: a NaN or infinity from upstream sounds like a 0 there and leaves no trace.
    const auto everyStage = [] (Rig& rig)
    {
        const std::pair<Knob, float> settings[] = {
            { Knob::width, 200 }, { Knob::balance, 50 }, { Knob::monoBelow, 120 }, { Knob::lowWidth, 0 },
            { Knob::highWidth, 200 }, { Knob::mid, 6 }, { Knob::side, 6 }, { Knob::levelDifference, 12 },
            { Knob::timeDifference, 500 }, { Knob::iacc, 0 }, { Knob::leftDelay, 500 }, { Knob::rightDelay, 500 },
            { Knob::phase, 180 }, { Knob::dynamicsRatio, 4 }, { Knob::haas, 20 }, { Knob::pitch, 50 },
            { Knob::modRate, 10 }, { Knob::modDepth, 100 }, { Knob::rotation, 45 }, { Knob::extraction, 100 },
            { Knob::room, 100 }, { Knob::diffusion, 100 }, { Knob::leftMix, 100 }, { Knob::rightMix, 100 } };
        for (auto [k, v] : settings)
            rig.set (k, v);
    };

    Rig poisoned, clean;
    everyStage (poisoned);
    everyStage (clean);

    auto bad = noise (4096, 0.8f);
    auto good = bad;
    const float nasties[] = { std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(),
                              -std::numeric_limits<float>::infinity() };
    for (int i = 0; i < 3; ++i)
        for (int ch = 0; ch < 2; ++ch)
        {
            bad.setSample (ch, 100 + 700 * i, nasties[i]);
            good.setSample (ch, 100 + 700 * i, 0.0f);
        }

    poisoned.run (bad);
    clean.run (good);
    EXPECT_TRUE (identical (bad, good));
    EXPECT_TRUE (poisoned.processor.stateIsFinite());
}
