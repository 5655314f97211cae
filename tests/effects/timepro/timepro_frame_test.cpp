#include <gtest/gtest.h>

#include "TimeProFixture.h"
#include "support/EffectTestKit.h"

#include <cmath>
#include <limits>

using namespace timepro_test;

TEST (TimeProFrame, BlocksThatMustPassLeaveTheBufferBitIdentical)
{
    struct Case { const char* what; bool prepared; int mode; bool bypassed; };
    const Case cases[] = {
        { "no mode chosen yet", true, -1, false },
        { "bypassed", true, 0, true },
        { "before the first prepare, a mode chosen", false, 1, false },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.what);
        HeightAndWeightProcessor processor;
        if (c.prepared)
            processor.prepare (48000.0, 512);
        processor.parameters.mode = c.mode;
        processor.parameters.bypassed = c.bypassed;
        processor.parameters.mix = 100.0f;
        processor.parameters.setKnob (P::microMix, 100.0f);
        processor.parameters.setKnob (P::grainMix, 100.0f);

        auto buffer = stereoSignal (2048);
        buffer.setSample (0, 7, 3.5f);   // tanh would change it
        const auto original = buffer;
        processor.process (buffer, 0, buffer.getNumSamples());

        for (int ch = 0; ch < 2; ++ch)
            for (int i = 0; i < buffer.getNumSamples(); ++i)
                ASSERT_EQ (buffer.getSample (ch, i), original.getSample (ch, i)) << ch << " " << i;
    }
}

TEST (TimeProFrame, ActiveOnlyWithTheGlobalMixAboveAHundredthAndNotBypassed)
{
    HeightAndWeightProcessor processor;
    // Section mixes do not count, whatever they say.
    processor.parameters.setKnob (P::microMix, 100.0f);
    processor.parameters.setKnob (P::grainMix, 100.0f);
    EXPECT_FALSE (processor.isActive());

    processor.parameters.mix = 0.01f;
    EXPECT_FALSE (processor.isActive());
    processor.parameters.mix = 0.02f;
    EXPECT_TRUE (processor.isActive());
    processor.parameters.bypassed = true;
    EXPECT_FALSE (processor.isActive());
}

TEST (TimeProFrame, GlobalStageIsTanhOfTheBlendAndSaturatesBelowOne)
{
    // A mode whose kernel is not built here hands the block on, so only the global stage acts.
    struct Case { const char* what; float out, mix, input, expected; };
    const Case cases[] = {
        { "OUT 0, MIX 100: tanh of the input", 0.0f, 100.0f, 0.6f, std::tanh (0.6f) },
        { "OUT 0, MIX 50: still tanh of the input", 0.0f, 50.0f, -0.8f, std::tanh (-0.8f) },
        { "OUT +12, MIX 100, full scale: just under tanh (4)", 12.0f, 100.0f, 1.0f, std::tanh (std::pow (10.0f, 0.6f)) },
        { "OUT +12, MIX 100, negative full scale", 12.0f, 100.0f, -1.0f, -std::tanh (std::pow (10.0f, 0.6f)) },
        { "OUT +12, MIX 100, beyond full scale: held at 4, then tanh", 12.0f, 100.0f, 1.5f, std::tanh (4.0f) },
        { "OUT -24, MIX 100", -24.0f, 100.0f, 1.0f, std::tanh (std::pow (10.0f, -24.0f / 20.0f)) },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.what);
        Rig rig (44100.0, 2);
        rig.set (P::outputLevel, c.out);
        rig.set (P::globalMix, c.mix);
        juce::AudioBuffer<float> buffer (2, 64);
        for (int ch = 0; ch < 2; ++ch)
            juce::FloatVectorOperations::fill (buffer.getWritePointer (ch), c.input, 64);
        rig.run (buffer);

        for (int ch = 0; ch < 2; ++ch)
            EXPECT_NEAR (buffer.getSample (ch, 63), c.expected, 1.0e-6f);
    }

    EXPECT_NEAR (std::tanh (std::pow (10.0f, 0.6f)), 0.9993f, 1.0e-4f);
    EXPECT_NEAR (std::tanh (4.0f), 0.9993f, 1.0e-4f);
}

TEST (TimeProFrame, SamplesPerDivisionAndTheTempoTheModesUse)
{
    struct Division { float division; int samples; };
    for (auto [division, samples] : { Division { 4.0f, 22050 }, Division { 16.0f, 5512 }, Division { 1.0f, 88200 } })
        EXPECT_EQ (HeightAndWeightProcessor::samplesPerDivision (44100.0, 120.0, division), samples) << division;

    // No usable tempo, rate or division: the short fallback rather than a division by zero.
    for (double bad : { 0.0, -5.0, std::numeric_limits<double>::quiet_NaN() })
    {
        EXPECT_EQ (HeightAndWeightProcessor::samplesPerDivision (44100.0, bad, 4.0), 4410) << bad;
        EXPECT_EQ (HeightAndWeightProcessor::samplesPerDivision (bad, 120.0, 4.0), 4410) << bad;
        EXPECT_EQ (HeightAndWeightProcessor::samplesPerDivision (44100.0, 120.0, bad), 4410) << bad;
    }

    // The modes with a SYNC choice: 120 BPM unless SYNC is on and the tempo is positive.
    HeightAndWeightProcessor processor;
    processor.prepare (44100.0, 512);
    struct Tempo { bool sync; float bpm; int samples; };
    const Tempo tempi[] = { { false, 90.0f, 22050 }, { true, 0.0f, 22050 }, { true, -3.0f, 22050 },
                            { true, 90.0f, 29400 }, { true, 240.0f, 11025 } };
    for (const auto& t : tempi)
    {
        processor.parameters.tempoSyncEnabled = t.sync;
        processor.parameters.bpm = t.bpm;
        EXPECT_EQ (processor.loopDivisionSamples (4.0f), t.samples) << t.sync << " " << t.bpm;
    }
    processor.parameters.bpm = 90.0f;
    EXPECT_EQ (processor.samplesPerDivision (4.0f), 29400);
}

TEST (TimeProFrame, HistoryHoldsFourSecondsOfEveryProcessedBlockWithNonFiniteInputAsSilence)
{
    Rig rig (48000.0, 4);   // a mode that reads nothing of it: the history is written anyway
    rig.set (P::globalMix, 100.0f);
    EXPECT_EQ (rig.processor.getHistoryFrames(), 192000);

    juce::AudioBuffer<float> buffer (2, 100);
    for (int i = 0; i < 100; ++i)
    {
        buffer.setSample (0, i, (float) i / 1000.0f);
        buffer.setSample (1, i, -(float) i / 1000.0f);
    }
    buffer.setSample (0, 10, std::numeric_limits<float>::quiet_NaN());
    buffer.setSample (1, 11, std::numeric_limits<float>::infinity());
    buffer.setSample (0, 12, -std::numeric_limits<float>::infinity());
    rig.run (buffer, 32);

    EXPECT_EQ (rig.processor.getHistoryWriteIndex(), 100);
    EXPECT_EQ (rig.processor.getHistorySample (5, 0), 0.005f);
    EXPECT_EQ (rig.processor.getHistorySample (5, 1), -0.005f);
    EXPECT_EQ (rig.processor.getHistorySample (10, 0), 0.0f);
    EXPECT_EQ (rig.processor.getHistorySample (11, 1), 0.0f);
    EXPECT_EQ (rig.processor.getHistorySample (12, 0), 0.0f);
    for (int ch = 0; ch < 2; ++ch)
        for (int i = 10; i <= 12; ++i)
            EXPECT_TRUE (std::isfinite (buffer.getSample (ch, i)));

    // Past four seconds the ring wraps onto its start.
    juce::AudioBuffer<float> rest (2, 192000 - 100 + 5);
    rest.clear();
    rig.run (rest);
    EXPECT_EQ (rig.processor.getHistoryWriteIndex(), 5);
    EXPECT_EQ (rig.processor.getHistorySample (3, 0), 0.0f);
    EXPECT_EQ (rig.processor.getHistorySample (50, 0), 0.05f);
}

TEST (TimeProFrame, ABlockLongerThanTheScratchSpaceSoundsAsInPieces)
{
    // Micro-Pitch and Granular keep state across samples; the knobs stand still, so one block
    // of 20000 must equal the same audio in blocks of 500.
    for (int mode : { 0, 1 })
    {
        SCOPED_TRACE (mode);
        juce::AudioBuffer<float> whole = stereoSignal (20000), pieces = stereoSignal (20000);
        for (auto* buffer : { &whole, &pieces })
        {
            Rig rig (48000.0, mode);
            rig.set (P::globalMix, 80.0f);
            rig.set (P::microMix, 70.0f);
            rig.set (P::grainMix, 70.0f);
            platform::crtSrand (9);
            rig.run (*buffer, buffer == &whole ? 20000 : 500);
        }
        for (int ch = 0; ch < 2; ++ch)
            for (int i = 0; i < 20000; ++i)
                ASSERT_EQ (whole.getSample (ch, i), pieces.getSample (ch, i)) << ch << " " << i;
    }
}

TEST (TimeProFrame, TriggerRestartsTheLoopAtTheFrameTheNextBlockWrites)
{
    Rig rig (48000.0, 3);
    auto& p = rig.processor.parameters;
    juce::AudioBuffer<float> block (2, 300);
    block.clear();
    rig.run (block);

    // The first press after construction turns it on; the restart waits for the next block.
    EXPECT_TRUE (p.toggleTrigger());
    EXPECT_TRUE (p.triggered.load());
    EXPECT_EQ (rig.processor.getAppliedTriggerRequests(), 0u);
    rig.run (block);
    EXPECT_EQ (rig.processor.getLoopStart(), 300);
    EXPECT_EQ (rig.processor.getRepeatCount(), 0);
    EXPECT_EQ (rig.processor.getLoopPosition(), 0.0);
    EXPECT_EQ (rig.processor.getAppliedTriggerRequests(), 1u);

    // Off changes nothing; on again restarts where the history now stands.
    rig.run (block);
    EXPECT_FALSE (p.toggleTrigger());
    rig.run (block);
    EXPECT_EQ (rig.processor.getLoopStart(), 300);
    EXPECT_TRUE (p.toggleTrigger());
    rig.run (block);
    EXPECT_EQ (rig.processor.getLoopStart(), 1200);
    EXPECT_EQ (rig.processor.getAppliedTriggerRequests(), 2u);

    // A press while bypassed is taken at once, not lost.
    EXPECT_FALSE (p.toggleTrigger());
    p.bypassed = true;
    EXPECT_TRUE (p.toggleTrigger());
    rig.run (block);
    EXPECT_EQ (rig.processor.getAppliedTriggerRequests(), 3u);
    EXPECT_EQ (rig.processor.getLoopStart(), 1500);
}
