#include <gtest/gtest.h>

#include "FinalizerFixture.h"
#include "support/RealtimeTrap.h"

#include <limits>

namespace
{
    // Every stage that keeps state is active, so a latched value anywhere would show.
    void everyStageOn (TavroFinalizer& fin)
    {
        fin.subDb = 4.0f;
        fin.airDb = -3.0f;
        fin.tiltDb = 2.0f;
        fin.updateEqCoefficients();
        for (size_t k = 0; k < 6; ++k)
        {
            fin.bandDrive[k] = 2.0f;
            fin.bandMode[k] = (int) k % 3 + 1;
            fin.bandWidth[k] = 0.5f + 0.25f * (float) k;
        }
        fin.width = 1.7f;
        fin.asymmetryDeg = 30.0f;
        fin.rotateDeg = 12.0f;
        fin.densityAmount = 1.0f;
        fin.articAmount = 1.0f;
        fin.residueAmount = 1.0f;
        fin.motionAmount = 0.2f;
        fin.aboveAmount = 1.0f;
        fin.belowAmount = 1.0f;
    }

    std::pair<float, float> programme (int i)
    {
        return { 0.6f * (float) std::sin (i * 0.031) + 0.2f * (float) std::sin (i * 0.53),
                 0.5f * (float) std::sin (i * 0.017 + 1.0) };
    }
}

TEST (FinalizerRobustness, ANonFiniteInputSampleCountsAsSilenceAndTheRestOfTheBlockPlays)
{
    // The same sine through two finalizers with every stage on; one of them gets a bad sample
    // where the other gets 0. Everything, in that block and after, must come out the same: the
    // finite samples are processed normally and no state is thrown away.
    struct Case { const char* what; float value; int channel; };
    const Case cases[] = {
        { "NaN left",   std::numeric_limits<float>::quiet_NaN(), 0 },
        { "+Inf right", std::numeric_limits<float>::infinity(),  1 },
        { "-Inf left",  -std::numeric_limits<float>::infinity(), 0 },
    };
    constexpr int badAt = 5 * 512 + 100;

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.what);
        FinalizerRig bad, clean;
        everyStageOn (bad.fin);
        everyStageOn (clean.fin);

        auto withValueAt = [&] (float value)
        {
            return [=] (int i)
            {
                auto frame = sineFrame (i);
                if (i == badAt)
                    (c.channel == 0 ? frame.first : frame.second) = value;
                return frame;
            };
        };

        for (int block = 0; block < 12; ++block)
        {
            auto a = bad.run (512, withValueAt (c.value), block * 512);
            auto b = clean.run (512, withValueAt (0.0f), block * 512);
            for (int ch = 0; ch < 2; ++ch)
            {
                for (int i = 0; i < 512; ++i)
                {
                    ASSERT_EQ (a.getSample (ch, i), b.getSample (ch, i)) << "block " << block << " sample " << i;
                }
            }

            if (block == 5)
            {
                EXPECT_GT (a.getMagnitude (0, 0, 512), 0.1f) << "the block with the bad sample still plays";
            }
        }
    }
}

TEST (FinalizerRobustness, ABadBlockLeavesNoTraceInTheFilters)
{
    // Finite input that overflows inside the chain turns the filters' state non-finite: the
    // block is silenced and the state starts again from rest, as a fresh finalizer's does.
    struct Case { const char* what; float value; };
    const Case cases[] = {
        { "huge positive", 3.0e38f },
        { "huge negative", -3.0e38f },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.what);
        FinalizerRig used, fresh;
        everyStageOn (used.fin);
        everyStageOn (fresh.fin);
        used.fin.inputGainDb = 20.0f;
        fresh.fin.inputGainDb = 20.0f;

        for (int block = 0; block < 10; ++block)
            used.run (512, programme, block * 512);

        auto bad = used.run (512, [&] (int i) { return i == 100 ? std::pair (c.value, 0.1f) : programme (i); });
        EXPECT_EQ (bad.getMagnitude (0, 0, 512) + bad.getMagnitude (1, 0, 512), 0.0f);

        for (int block = 0; block < 10; ++block)
        {
            auto a = used.run (512, programme, block * 512);
            auto b = fresh.run (512, programme, block * 512);
            for (int ch = 0; ch < 2; ++ch)
            {
                for (int i = 0; i < 512; ++i)
                {
                    ASSERT_EQ (a.getSample (ch, i), b.getSample (ch, i)) << "block " << block << " sample " << i;
                }
            }
        }
    }
}

TEST (FinalizerRobustness, ANonFiniteSettingSilencesOnlyWhileItLasts)
{
    FinalizerRig rig;
    rig.makeNeutral();
    rig.fin.width = std::numeric_limits<float>::quiet_NaN();

    auto out = rig.run (512, programme);
    EXPECT_EQ (out.getMagnitude (0, 0, 512) + out.getMagnitude (1, 0, 512), 0.0f);
    EXPECT_TRUE (std::isfinite (rig.fin.readMeters().midRms));

    rig.fin.width = 1.0f;
    out = rig.run (512, programme, 512);
    EXPECT_NEAR (out.getSample (0, 511), programme (1023).first, 1.0e-5f);
}

TEST (FinalizerRobustness, AnUnusableDeviceRateStillGivesSound)
{
    for (double rate : { 0.0, -44100.0, std::numeric_limits<double>::quiet_NaN() })
    {
        SCOPED_TRACE (rate);
        TavroFinalizerHUD hud;
        TavroFinalizer fin (&hud);
        fin.prepare (rate, 512);

        juce::AudioBuffer<float> buffer (2, 512);
        for (int i = 0; i < 512; ++i)
        {
            const auto [l, r] = programme (i);
            buffer.setSample (0, i, l);
            buffer.setSample (1, i, r);
        }
        fin.process (buffer);
        EXPECT_GT (buffer.getMagnitude (0, 0, 512), 0.1f);
        EXPECT_TRUE (std::isfinite (fin.readMeters().midRms));
    }
}

TEST (FinalizerRobustness, ProcessingAllocatesAndLocksNothing)
{
    if (! testing_rt::trapAvailable())
        GTEST_SKIP() << "allocation trap not available in this build";

    for (int blockSize : { 64, 512, 9000 })
    {
        SCOPED_TRACE (blockSize);
        FinalizerRig rig;
        everyStageOn (rig.fin);

        juce::AudioBuffer<float> buffer (2, blockSize);
        auto fill = [&] (int block)
        {
            for (int i = 0; i < blockSize; ++i)
            {
                const auto [l, r] = programme (block * blockSize + i);
                buffer.setSample (0, i, l);
                buffer.setSample (1, i, r);
            }
        };

        fill (0);
        rig.fin.process (buffer);   // warm-up

        testing_rt::Counts counts;
        {
            testing_rt::RealtimeScope scope;
            // Enough blocks for the feature histories to wrap; at 64 also for the level count to restart.
            const int blocks = blockSize == 64 ? 1100 : 120;
            for (int block = 1; block < blocks; ++block)
            {
                fill (block);
                rig.fin.process (buffer);
                if (block == 500)
                {
                    buffer.setSample (0, 3, std::numeric_limits<float>::quiet_NaN());
                    rig.fin.process (buffer);
                }
            }
            counts = scope.counts();
        }
        EXPECT_TRUE (counts.clean()) << counts.allocations << " allocations, " << counts.locks << " locks";
        EXPECT_EQ (rig.fin.readMeters().features.levelHistory.size(), FinalizerFeatures::historyCapacity);
    }
}
