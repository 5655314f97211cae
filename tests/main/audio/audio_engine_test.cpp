#include <gtest/gtest.h>

#include "main/audio/AudioEngineRig.h"
#include "support/RealtimeTrap.h"

#include <cmath>

// The road as a class of its own: it runs, and allocates nothing, without a window.

namespace
{
    juce::AudioBuffer<float> toneFile (double rate, double seconds)
    {
        juce::AudioBuffer<float> b (2, (int) (rate * seconds));
        for (int i = 0; i < b.getNumSamples(); ++i)
        {
            b.setSample (0, i, 0.5f * std::sin (0.05f * (float) i));
            b.setSample (1, i, 0.5f * std::sin (0.031f * (float) i));
        }
        return b;
    }

    float peakOf (const juce::AudioBuffer<float>& b)
    {
        return juce::jmax (b.getMagnitude (0, 0, b.getNumSamples()), b.getMagnitude (1, 0, b.getNumSamples()));
    }
}

TEST (AudioEngine, UnconnectedOrUnloadedItPlaysSilence)
{
    AudioEngine bare;
    bare.prepare (256, 48000.0, 0);
    juce::AudioBuffer<float> block (2, 256);
    block.applyGain (0.0f);
    block.setSample (0, 3, 0.7f);
    bare.process (juce::AudioSourceChannelInfo (&block, 0, 256));
    EXPECT_EQ (peakOf (block), 0.0f);
    EXPECT_FALSE (bare.isEffectActive (0));

    auto rig = std::make_unique<AudioEngineRig>();
    rig->engine.prepare (256, 48000.0, 0);
    block.setSample (1, 9, -0.4f);
    rig->engine.process (juce::AudioSourceChannelInfo (&block, 0, 256));
    EXPECT_EQ (peakOf (block), 0.0f);
}

TEST (AudioEngine, AFilePlaysThroughEveryEffectWithoutAllocatingAndMetersIt)
{
    auto rig = std::make_unique<AudioEngineRig>();
    rig->everyEffectOn();
    rig->engine.levelMeter.setEnabled (true);
    rig->engine.prepare (512, 48000.0, 0);
    rig->play (toneFile (48000.0, 1.0), 48000.0);

    for (int id = 0; id < numEffects; ++id)
        EXPECT_TRUE (rig->engine.isEffectActive (id)) << id;

    juce::AudioBuffer<float> block (2, 512);
    const juce::AudioSourceChannelInfo info (&block, 0, 512);
    rig->engine.process (info);   // warm-up

    float peak = 0.0f;
    bool finite = true;
    {
        testing_rt::RealtimeScope scope;
        for (int i = 0; i < 200; ++i)   // past the end of the file: it loops
        {
            rig->engine.process (info);
            peak = juce::jmax (peak, peakOf (block));
            for (int c = 0; c < 2; ++c)
                for (int s = 0; s < 512; ++s)
                    finite = finite && std::isfinite (block.getSample (c, s));
        }
        EXPECT_TRUE (scope.counts().clean());
    }

    EXPECT_TRUE (finite);
    EXPECT_GT (peak, 0.01f);
    EXPECT_LE (peak, 1.0f);
    EXPECT_TRUE (rig->engine.transport.isPlaying());

    // The meter reads the file as the transport delivers it, before the effects.
    EXPECT_NEAR (rig->engine.levelMeter.getPeakLeft(), 0.5f, 0.05f);
    EXPECT_GT (rig->engine.levelMeter.getRms(), 0.1f);
}

TEST (AudioEngine, SourceGatesFollowThePanelItsSourceTheInputsAndTheFile)
{
    // Shown, app audio, input through chain, device inputs, file, channels, samples
    // -> capture input, process, capture output.
    struct Row
    {
        AudioEngine::GateInputs in;
        bool captureInput, process, captureOutput;
    };

    const Row rows[] = {
        // Nothing loaded and no live input: the block is cleared, whatever the panel shows.
        { { false, false, false, false, false, 2, 256 }, false, false, false },
        { { true,  true,  false, true,  false, 2, 256 }, false, false, false },
        // The external input is recorded untouched, before the block is cleared.
        { { true,  false, false, true,  false, 2, 256 }, true,  false, false },
        { { true,  false, false, true,  true,  1, 256 }, true,  true,  false },
        { { true,  false, false, false, true,  2, 256 }, false, true,  false },
        { { false, false, false, true,  true,  2, 256 }, false, true,  false },
        { { true,  false, false, true,  true,  0, 256 }, false, true,  false },
        { { true,  false, false, true,  true,  2, 0 },   false, true,  false },
        // "Ex-In w/ Fx" plays the input through the chain with or without the panel, but only
        // with inputs.
        { { false, false, true,  true,  false, 2, 256 }, false, true,  false },
        { { true,  false, true,  true,  false, 2, 256 }, false, true,  true },
        { { true,  false, true,  false, false, 2, 256 }, false, false, false },
        // App audio records the finished block while the panel is shown.
        { { true,  true,  false, false, true,  2, 256 }, false, true,  true },
        { { false, true,  false, false, true,  2, 256 }, false, true,  false },
    };

    for (size_t i = 0; i < std::size (rows); ++i)
    {
        const auto gates = AudioEngine::gatesFor (rows[i].in);
        EXPECT_EQ (gates.captureInput, rows[i].captureInput) << "row " << i;
        EXPECT_EQ (gates.processRoad, rows[i].process) << "row " << i;
        EXPECT_EQ (gates.captureOutput, rows[i].captureOutput) << "row " << i;
    }
}

TEST (AudioEngine, LiveInputThroughTheChainPlaysOnlyWithDeviceInputs)
{
    for (const int inputs : { 0, 2 })
    {
        auto rig = std::make_unique<AudioEngineRig>();
        rig->recordingWindow.isAppAudioSource = false;
        rig->recordingWindow.isExInFxSource = true;
        rig->engine.prepare (256, 48000.0, inputs);

        juce::AudioBuffer<float> block (2, 256);
        for (int c = 0; c < 2; ++c)
            for (int s = 0; s < 256; ++s)
                block.setSample (c, s, 0.25f * std::sin (0.1f * (float) s));

        rig->engine.process (juce::AudioSourceChannelInfo (&block, 0, 256));
        if (inputs == 0)
            EXPECT_EQ (peakOf (block), 0.0f);
        else
            EXPECT_GT (peakOf (block), 0.1f);
    }
}

TEST (AudioEngine, KorruptRunsAfterTheChainOnlyWhileSwitchedOnWithAnAmount)
{
    // (active, amount, runs)
    const std::tuple<bool, float, bool> rows[] = {
        { false, 0.5f, false }, { true, 0.0f, false }, { true, 0.0005f, false }, { true, 0.5f, true },
    };

    for (const auto& [active, amount, runs] : rows)
    {
        auto rig = std::make_unique<AudioEngineRig>();
        rig->engine.prepare (512, 48000.0, 0);
        rig->play (toneFile (48000.0, 0.5), 48000.0);
        rig->korrupt.active = active;
        rig->korrupt.amount = amount;

        juce::AudioBuffer<float> block (2, 512);
        rig->engine.process (juce::AudioSourceChannelInfo (&block, 0, 512));
        EXPECT_EQ (rig->korrupt.engineTime > 0.0f, runs) << active << " " << amount;
    }
}
