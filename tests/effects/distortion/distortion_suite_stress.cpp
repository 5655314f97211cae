#include <gtest/gtest.h>

#include "effects/distortion/DistortionSuite.h"
#include "support/EffectTestKit.h"
#include "support/StressDeadline.h"

#include <atomic>
#include <cmath>
#include <thread>

// The panel is edited on the message thread (knobs, mode, bypass, offsets, timer ticks) while a
// second thread renders through it, as the audio device does.
TEST (DistortionSuiteStress, EditingWhileRenderingKeepsOutputFiniteAndBounded)
{
    PurpleHeadsUpDisplay hud;
    DistortionSuite suite (&hud);
    suite.prepare (48000.0);
    suite.setSize (600, 161);
    effect_kit::setKnob (suite.mixKnob, 100.0);

    std::atomic<bool> stop { false };
    std::atomic<int> blocksRendered { 0 }, badBlocks { 0 };

    std::thread audio ([&]
    {
        juce::AudioBuffer<float> small (2, 64), large (2, 512);
        std::uint32_t seed = 1;
        while (! stop.load())
        {
            auto& block = (seed % 2 == 0) ? small : large;
            // A bypassed block passes its input untouched, so only finite input is judged.
            const bool finiteInput = seed % 7 != 0;
            effect_kit::fillInput (block, finiteInput ? effect_kit::InputKind::noise : effect_kit::InputKind::nan, seed);
            ++seed;
            suite.process (block);
            if (finiteInput && ! (effect_kit::peakOrInfinity (block) <= 4.0f))
                badBlocks.fetch_add (1);
            blocksRendered.fetch_add (1);
        }
    });

    auto allKnobs = suite.getAllKnobs();
    juce::Random random (42);
    const stress::Deadline deadline;
    for (int edit = 0; (edit < 4000 || blocksRendered.load() < 20000) && ! deadline.passed(); ++edit)
    {
        auto* knob = allKnobs[(size_t) random.nextInt ((int) allKnobs.size())];
        knob->setValue (knob->proportionOfLengthToValue (random.nextDouble()), juce::sendNotificationSync);

        if (edit % 50 == 0)
            suite.setMode (random.nextInt (4));
        if (edit % 97 == 0)
            suite.setBypassed (! suite.isBypassed());
        if (edit % 13 == 0)
        {
            suite.korruptOffsets[(size_t) random.nextInt (3)] = random.nextFloat() * 20.0f - 5.0f;
            suite.randomiserOffsetTargets[(size_t) random.nextInt (3)] = random.nextFloat() * 30.0f;
        }
        if (edit % 31 == 0)
            suite.timerCallback();
    }

    stop = true;
    audio.join();

    EXPECT_GT (blocksRendered.load(), 0);
    EXPECT_EQ (badBlocks.load(), 0);
}
