#include <gtest/gtest.h>

#include "main/chain/BeatClock.h"
#include "support/RealtimeTrap.h"

#include <cmath>
#include <vector>

TEST (TapTempo, TapSequences)
{
    struct Case
    {
        const char* name;
        std::vector<double> taps;
        std::vector<float> tempos;       // after each tap; 0 = none
    };

    const Case cases[] = {
        { "first two taps give nothing", { 1000, 1500, 2000, 2500 }, { 0, 0, 120.0f, 120.0f } },
        { "a 100 ms tap is ignored but restarts the interval",
          { 1000, 1500, 1600, 2100 }, { 0, 0, 0, 120.0f } },
        { "mean of the last eight intervals",
          { 1000, 1500, 2000, 2500, 3000, 3500, 4000, 4500, 5000, 5600 },
          { 0, 0, 120, 120, 120, 120, 120, 120, 120, (float) (60000.0 / 512.5) } },     // 117.07
        { "a pause of exactly 240 s starts over",
          { 1000, 1500, 2000, 242000, 242500, 243000 }, { 0, 0, 120.0f, 0, 0, 120.0f } },
        { "a pause just under 240 s is an interval",
          { 1000, 1500, 239999.0 + 1500 }, { 0, 0, (float) (60000.0 / ((500.0 + 239999.0) / 2.0)) } },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.name);
        TapTempo taps;

        for (size_t i = 0; i < c.taps.size(); ++i)
        {
            const auto tempo = taps.tap (c.taps[i]);
            EXPECT_EQ (tempo.value_or (0.0f), c.tempos[i]) << "tap " << i;
        }
    }

}

TEST (BeatClock, TapSetsTheTargetAndLeavesTheGlideToTheAudioSide)
{
    BeatClock clock;
    clock.prepare (44100.0, 512);

    for (double t : { 1000.0, 1400.0, 1800.0 })
        clock.tap (t);

    EXPECT_FLOAT_EQ (clock.getTargetTempo(), 150.0f);
    EXPECT_FLOAT_EQ (clock.getCurrentTempo(), 120.0f);

    clock.advance (0.0, 512);
    EXPECT_GT (clock.getCurrentTempo(), 120.0f);
    EXPECT_LT (clock.getCurrentTempo(), 150.0f);
}

TEST (BeatClock, GlideCoversAFixedShareOfTheGapPerBlockAndSnaps)
{
    BeatClock clock;
    clock.prepare (44100.0, 512);
    clock.setTargetTempo (140.0f);

    const double share = 1.0 - std::exp (-512.0 / 2205.0);
    double expected = 120.0;
    int blocks = 0;

    while (clock.getCurrentTempo() != 140.0f)
    {
        ASSERT_LT (++blocks, 100);
        const double before = clock.getCurrentTempo();
        clock.advance (512.0 * blocks, 512);

        expected = before + (140.0 - before) * share;

        if (std::abs (140.0 - expected) > 0.1)
        {
            ASSERT_NEAR (clock.getCurrentTempo(), expected, 1e-3) << "block " << blocks;
        }
        else
        {
            ASSERT_EQ (clock.getCurrentTempo(), 140.0f) << "block " << blocks;
        }

        EXPECT_NEAR (clock.getSamplesPerBeat(), 60.0 / clock.getCurrentTempo() * 44100.0, 1e-6);
        EXPECT_NEAR (clock.getSamplesPerBar(), 4.0 * clock.getSamplesPerBeat(), 1e-6);
    }

    EXPECT_GT (blocks, 5);
    EXPECT_NEAR (clock.getSamplesPerBeat(), 18900.0, 1e-6);
}

TEST (BeatClock, ImmediateTempoAndTempoRange)
{
    BeatClock clock;
    clock.prepare (48000.0, 256);

    clock.setTempoImmediately (90.0f);
    clock.advance (0.0, 256);
    EXPECT_EQ (clock.getCurrentTempo(), 90.0f);
    EXPECT_EQ (clock.getBaseTempo(), 90.0f);
    EXPECT_DOUBLE_EQ (clock.getSamplesPerBeat(), 32000.0);

    // Tempos are kept inside 0.25..400 whatever a writer passes; a non-number changes nothing.
    for (auto [in, out] : { std::pair { NAN, 90.0f }, { 1000.0f, 400.0f }, { 0.0f, 0.25f }, { -5.0f, 0.25f } })
    {
        clock.setTargetTempo (in);
        EXPECT_EQ (clock.getTargetTempo(), out) << in;
    }

    // A tempo requested while the device is stopped applies at the next prepare.
    BeatClock idle;
    idle.setTempoImmediately (60.0f);
    idle.prepare (44100.0, 512);
    EXPECT_EQ (idle.getCurrentTempo(), 60.0f);
    EXPECT_DOUBLE_EQ (idle.getSamplesPerBeat(), 44100.0);
}

TEST (BeatClock, BarAndBeatOfThePlayPosition)
{
    BeatClock clock;
    clock.prepare (44100.0, 512);       // 120 BPM: 22050 samples a beat, 88200 a bar

    clock.advance (2 * 88200.0 + 3 * 22050.0 - 512.0, 512);
    EXPECT_EQ (clock.getBarIndex(), 2);
    EXPECT_EQ (clock.getBeatInBar(), 3);
    EXPECT_DOUBLE_EQ (clock.getPositionSamples(), 2 * 88200.0 + 3 * 22050.0);

    clock.advance (2 * 88200.0 + 3 * 22050.0 - 513.0, 512);
    EXPECT_EQ (clock.getBeatInBar(), 2);
    EXPECT_EQ (clock.getTotalSamples(), 1024u);
}

namespace
{
    // One loud stretch at the start of a block gives exactly one onset, at the block start.
    void feedBurst (BeatClock& clock, double blockStart, int length = 1024)
    {
        std::vector<float> block ((size_t) length, 0.5f);
        clock.processOnsets (block.data(), length, blockStart);
    }
}

TEST (BeatClock, OnsetWindows)
{
    struct Case { int length; int onsets; };

    for (const auto& c : { Case { 511, 0 }, Case { 512, 0 }, Case { 513, 1 }, Case { 1024, 1 } })
    {
        BeatClock clock;
        feedBurst (clock, 1000.0, c.length);
        EXPECT_EQ (clock.getOnsets().size(), c.onsets) << c.length;
    }

    // Non-finite input reads as silence: no onset and nothing poisoned.
    BeatClock clock;
    std::vector<float> bad (1024, std::numeric_limits<float>::quiet_NaN());
    bad[100] = std::numeric_limits<float>::infinity();
    clock.processOnsets (bad.data(), 1024, 0.0);
    EXPECT_EQ (clock.getOnsets().size(), 0);

    // The stereo entry hears the mean of the two channels.
    std::vector<float> left (1024, 0.5f), right (1024, -0.5f);
    clock.processOnsets (left.data(), right.data(), 1024, 0.0);
    EXPECT_EQ (clock.getOnsets().size(), 0);
    clock.processOnsets (left.data(), left.data(), 1024, 0.0);
    ASSERT_EQ (clock.getOnsets().size(), 1);
    EXPECT_FLOAT_EQ (clock.getOnsets()[0].strength, 1.0f);
    EXPECT_DOUBLE_EQ (clock.getOnsets()[0].timeSeconds, 0.0);
}

TEST (BeatClock, PhaseCorrectionFromOnsets)
{
    struct Case { const char* name; double offGrid; double expectedOffset; };

    const double beat = 22050.0;
    const Case cases[] = {
        { "5 samples off the grid: unchanged", 5.0, 0.0 },
        { "11 samples off: corrected", 11.0, -11.0 },
        { "a quarter beat late", beat / 4, -beat / 4 },
        { "a quarter beat early", -beat / 4, beat / 4 },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.name);
        BeatClock clock;
        clock.prepare (44100.0, 512);

        for (int k = 1; k <= 4; ++k)
            feedBurst (clock, k * beat + c.offGrid);

        ASSERT_EQ (clock.getOnsets().size(), 4);
        EXPECT_DOUBLE_EQ (clock.getPositionOffset(), c.expectedOffset);
    }
}

TEST (BeatClock, OnsetRingKeepsTheNewest64InOrderWithoutAllocating)
{
    BeatClock clock;
    std::vector<float> burst (1024, 0.5f);
    clock.processOnsets (burst.data(), 1024, 0.0);           // warm-up

    std::optional<testing_rt::RealtimeScope> scope;
    if (testing_rt::trapAvailable())
        scope.emplace();

    for (int k = 1; k < 100; ++k)
    {
        clock.advance (k * 1000.0, 1024);
        clock.processOnsets (burst.data(), 1024, k * 1000.0);
    }

    if (scope)
    {
        EXPECT_TRUE (scope->counts().clean());
        scope.reset();
    }

    const auto& onsets = clock.getOnsets();
    ASSERT_EQ (onsets.size(), 64);
    for (int i = 0; i < 64; ++i)
        EXPECT_EQ (onsets[i].samplePosition, (36 + i) * 1000.0);
}
