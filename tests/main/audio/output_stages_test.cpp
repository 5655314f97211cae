#include <gtest/gtest.h>

#include "main/audio/AutoGain.h"
#include "main/audio/LevelMeter.h"
#include "main/audio/OutputSafety.h"
#include "main/audio/StereoStages.h"
#include "main/audio/StutterStage.h"
#include "support/AudioFixtures.h"
#include "support/RealtimeTrap.h"

#include <cstring>
#include <limits>

namespace
{
    juce::AudioBuffer<float> constantBlock (float left, float right, int n = 64)
    {
        juce::AudioBuffer<float> b (2, n);
        juce::FloatVectorOperations::fill (b.getWritePointer (0), left, n);
        juce::FloatVectorOperations::fill (b.getWritePointer (1), right, n);
        return b;
    }

    constexpr float qnan = std::numeric_limits<float>::quiet_NaN();
    constexpr float infinity = std::numeric_limits<float>::infinity();
}

TEST (OutputSafety, VolumeAndClipTable)
{
    struct Case { float volume, input, expected; };
    const Case cases[] = {
        { 1.0f,  1.5f,  1.0f },                                   // hard clip
        { 1.0f,  -0.25f, -0.25f },
        { 1.02f, 1.5f,  0.9f * std::tanh (1.5f * 1.5f * 1.02f) }, // soft clip, about 0.8819
        { 1.02f, 2.0f,  0.9f * std::tanh (3.0f) },                // 3.06 clamped to 3: about 0.8955
        { 1.02f, -2.0f, -0.9f * std::tanh (3.0f) },
        { 9.0f,  0.1f,  0.9f * std::tanh (1.5f * 0.4f) },         // volume capped at 4
        { 0.0f,  0.7f,  0.0f },
        { 1.0f,  qnan,   0.0f },
        { 0.0f,  qnan,   0.0f },
        { 1.0f,  infinity, 0.0f },
        { 1.0f,  1.0e30f, 1.0f },                                 // clamped to 10 before the gain
        // A volume that is not a usable gain silences the block instead of letting it out unclamped.
        { qnan,   2.0f,  0.0f },
        { infinity, -2.0f, 0.0f },
        { -1.0f, 2.0f,  0.0f },
    };

    for (const auto& c : cases)
    {
        auto block = constantBlock (c.input, c.input, 8);
        outputsafety::apply (block, 0, 8, c.volume);

        for (int ch = 0; ch < 2; ++ch)
            EXPECT_FLOAT_EQ (block.getSample (ch, 5), c.expected) << "volume " << c.volume << " input " << c.input;
    }

    EXPECT_NEAR (0.9f * std::tanh (2.295f), 0.8819f, 1.0e-4f);
}

TEST (AutoGain, LiftsQuietBlocksOnlyAndLetsSilenceDecay)
{
    AutoGain gain;

    // RMS 0.028 settles the estimate at 0.028: gain 0.056 / 0.028 = 2.
    for (int i = 0; i < 30; ++i)
    {
        auto block = constantBlock (0.028f, -0.028f);
        gain.process (block, 0, 64, true);
    }

    EXPECT_NEAR (gain.getFactor(), 2.0f, 1.0e-4f);
    auto quiet = constantBlock (0.028f, 0.028f);
    gain.process (quiet, 0, 64, true);
    EXPECT_NEAR (quiet.getSample (0, 0), 0.056f, 1.0e-5f);

    // Loud material is never lowered.
    auto loud = constantBlock (0.5f, 0.5f);
    gain.process (loud, 0, 64, true);
    EXPECT_EQ (gain.getFactor(), 1.0f);
    EXPECT_EQ (loud.getSample (1, 3), 0.5f);

    // Silence: the estimate decays by 0.3 a block; once at or below 0.0001 nothing is boosted.
    float previous = gain.getLevel();

    for (int i = 0; i < 12; ++i)
    {
        auto silent = constantBlock (0.0f, 0.0f);
        gain.process (silent, 0, 64, true);
        EXPECT_NEAR (gain.getLevel(), 0.3f * previous, 1.0e-9f);
        previous = gain.getLevel();
    }

    EXPECT_LE (gain.getLevel(), 0.0001f);
    EXPECT_EQ (gain.getFactor(), 1.0f);

    // Inactive: factor 1 and the block untouched, the estimate kept.
    const auto kept = gain.getLevel();
    auto block = constantBlock (0.01f, 0.01f);
    gain.process (block, 0, 64, false);
    EXPECT_EQ (gain.getFactor(), 1.0f);
    EXPECT_EQ (gain.getLevel(), kept);
    EXPECT_EQ (block.getSample (0, 0), 0.01f);

    // A non-finite block does not latch the estimate.
    auto broken = constantBlock (qnan, 0.0f);
    gain.process (broken, 0, 64, true);
    auto after = constantBlock (0.028f, 0.028f);
    gain.process (after, 0, 64, true);
    EXPECT_TRUE (std::isfinite (gain.getLevel()));

    EXPECT_TRUE (AutoGain::isActiveFor (0.0f, 0.0f, 50.0f));
    EXPECT_FALSE (AutoGain::isActiveFor (0.01f, 0.0f, 0.0f));
}

TEST (StereoStages, CentreIsBitIdenticalAndGainsAndWidthApply)
{
    juce::AudioBuffer<float> original (2, 256);
    const auto noise = audiofixtures::sine (997.0, 44100.0, 0.8f);

    for (int c = 0; c < 2; ++c)
        for (int i = 0; i < 256; ++i)
            original.setSample (c, i, noise (c, i) * (c == 0 ? 1.0f : 0.37f));

    auto block = original;
    stereostages::applyBalance (block, 0, 256, 1.0f, 1.0f);
    stereostages::applyWidth (block, 0, 256, 1.0f);

    for (int c = 0; c < 2; ++c)
        EXPECT_EQ (std::memcmp (block.getReadPointer (c), original.getReadPointer (c), 256 * sizeof (float)), 0);

    // Pan right by half: left 1.0 x, right 0.5 x.
    block = original;
    stereostages::applyBalance (block, 0, 256, 1.0f, 0.5f);
    EXPECT_EQ (block.getSample (0, 10), original.getSample (0, 10));
    EXPECT_EQ (block.getSample (1, 10), original.getSample (1, 10) * 0.5f);

    // One channel takes the mean gain.
    juce::AudioBuffer<float> mono (1, 4);
    juce::FloatVectorOperations::fill (mono.getWritePointer (0), 1.0f, 4);
    stereostages::applyBalance (mono, 0, 4, 1.0f, 0.5f);
    EXPECT_EQ (mono.getSample (0, 2), 0.75f);

    // Width 0 is mono, width 2 doubles the side.
    block = constantBlock (1.0f, 0.0f, 4);
    stereostages::applyWidth (block, 0, 4, 0.0f);
    EXPECT_EQ (block.getSample (0, 0), 0.5f);
    EXPECT_EQ (block.getSample (1, 0), 0.5f);

    block = constantBlock (1.0f, 0.0f, 4);
    stereostages::applyWidth (block, 0, 4, 2.0f);
    EXPECT_EQ (block.getSample (0, 0), 1.5f);
    EXPECT_EQ (block.getSample (1, 0), -0.5f);
}

TEST (LevelMeter, PeaksAndRmsOfTheBlock)
{
    LevelMeter meter;
    auto block = constantBlock (0.5f, -0.25f, 100);

    meter.measure (block, 0, 100);
    EXPECT_EQ (meter.getPeakLeft(), 0.0f);   // off: nothing measured

    meter.setEnabled (true);
    meter.measure (block, 0, 100);
    EXPECT_EQ (meter.getPeakLeft(), 0.5f);
    EXPECT_EQ (meter.getPeakRight(), 0.25f);
    EXPECT_NEAR (meter.getRms(), std::sqrt ((0.25f + 0.0625f) / 2.0f), 1.0e-6f);

    // A third channel counts in the divisor only.
    juce::AudioBuffer<float> three (3, 10);
    three.clear();
    juce::FloatVectorOperations::fill (three.getWritePointer (0), 0.6f, 10);
    juce::FloatVectorOperations::fill (three.getWritePointer (2), 5.0f, 10);
    meter.measure (three, 0, 10);
    EXPECT_NEAR (meter.getRms(), std::sqrt (0.36f / 3.0f), 1.0e-6f);
    EXPECT_EQ (meter.getPeakRight(), 0.0f);
}

TEST (StutterStage, SilentUntilSwitchedOnThenRepeatsTheSlice)
{
    StutterStage stutter;
    stutter.prepare (100.0);   // a 200-frame ring
    EXPECT_EQ (stutter.getRingLength(), 200);

    auto block = constantBlock (0.3f, 0.3f, 16);
    stutter.process (block, 0, 16);
    EXPECT_EQ (block.getSample (0, 7), 0.3f);
    EXPECT_EQ (stutter.getWritePosition(), 0);

    // Mode 0 reads the frame one slice back: w + P + N - M.
    stutter.setOn (true);
    stutter.setAmount (1.0f);
    stutter.setSliceLength (4);
    juce::AudioBuffer<float> ramp (2, 12);

    for (int i = 0; i < 12; ++i)
    {
        ramp.setSample (0, i, (float) (i + 1));
        ramp.setSample (1, i, (float) (i + 1));
    }

    stutter.process (ramp, 0, 12);
    // Sample 5: w = 5, N = 1, r = 5 + 200 + 1 - 4 = 202 mod 200 = 2 (holding 3): 1 x 3 + 0.3 x 6.
    EXPECT_FLOAT_EQ (ramp.getSample (0, 5), 3.0f + 0.3f * 6.0f);
    EXPECT_EQ (stutter.getSliceCount(), 3);

    stutter.prepare (100.0);
    EXPECT_EQ (stutter.getWritePosition(), 0);
}

TEST (OutputStages, ProcessWithoutAllocatingOrLocking)
{
    if (! testing_rt::trapAvailable())
        GTEST_SKIP() << "sanitizer build";

    StutterStage stutter;
    stutter.prepare (48000.0);
    stutter.setOn (true);
    stutter.setAmount (0.5f);
    stutter.setSliceLength (300);
    AutoGain gain;
    LevelMeter meter;
    meter.setEnabled (true);
    auto block = constantBlock (0.01f, 0.02f, 512);

    testing_rt::RealtimeScope scope;

    for (int i = 0; i < 50; ++i)
    {
        meter.measure (block, 0, 512);
        stereostages::applyBalance (block, 0, 512, 0.8f, 1.0f);
        stereostages::applyWidth (block, 0, 512, 1.5f);
        stutter.process (block, 0, 512);
        gain.process (block, 0, 512, true);
        outputsafety::apply (block, 0, 512, 1.5f);
    }

    EXPECT_TRUE (scope.counts().clean());
}
