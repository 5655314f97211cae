#include <gtest/gtest.h>

#include "effects/finalizer/TavroFinalizer.h"
#include "support/EffectTestKit.h"
#include "support/StressDeadline.h"

#include <atomic>
#include <chrono>
#include <cmath>
#include <thread>

namespace
{
    /** The five equaliser sections at 48 kHz when every tone gain is `gainDb` and the tilt 0. */
    std::array<BiquadCoefficients, 5> eqSetFor (double gainDb)
    {
        const double design[5][2] = { { 80.0, 0.7 }, { 200.0, 0.9 }, { 3000.0, 0.8 }, { 7000.0, 0.7 }, { 10000.0, 0.7 } };
        std::array<BiquadCoefficients, 5> sets;
        for (size_t k = 0; k < 5; ++k)
        {
            StereoBiquad section;
            makePeakingCoefficients (section, 48000.0, design[k][0], gainDb, design[k][1]);
            sets[k] = section.coefficients;
        }
        return sets;
    }

    bool sameSet (const TavroFinalizer::DspState& state, const std::array<BiquadCoefficients, 5>& set)
    {
        for (size_t k = 0; k < 5; ++k)
        {
            const auto& b = state.eqBands[k].coefficients;
            const auto& c = set[k];
            if (b.b0 != c.b0 || b.b1 != c.b1 || b.b2 != c.b2 || b.a1 != c.a1 || b.a2 != c.a2)
                return false;
        }
        return true;
    }
}

// Knobs, equaliser sets, meter reads and timer ticks on the message thread while a second
// thread renders, as the audio device does. Besides the sanitizer's verdict: every block sees
// one whole equaliser set, the output stays finite, and a peak the audio thread stored is
// never lost to a concurrent decay.
TEST (FinalizerStress, KnobsEqualiserAndPeaksWhileRendering)
{
    TavroFinalizerHUD hud;
    hud.setVisible (true);
    TavroFinalizer fin (&hud);
    fin.prepare (48000.0, 512);
    fin.ceilingDb = 0.0f;

    const double gains[] = { -6.0, 0.0, 6.0 };
    const std::array<std::array<BiquadCoefficients, 5>, 3> candidates { eqSetFor (gains[0]), eqSetFor (gains[1]), eqSetFor (gains[2]) };
    auto setAllTones = [&] (double g)
    {
        for (auto* gain : { &fin.subDb, &fin.bodyDb, &fin.presenceDb, &fin.airDb, &fin.tameDb })
            gain->store ((float) g);
        fin.updateEqCoefficients();
    };
    setAllTones (0.0);

    std::atomic<bool> stop { false };
    std::atomic<std::uint32_t> ticks { 0 };
    std::atomic<int> blocksRendered { 0 }, tornSets { 0 }, nonFinite { 0 }, lostPeaks { 0 };

    std::thread audio ([&]
    {
        juce::AudioBuffer<float> small (2, 64), large (2, 512);
        std::uint32_t seed = 1;
        bool firstBlock = true;
        while (! stop.load())
        {
            auto& block = (seed % 2 == 0) ? small : large;
            effect_kit::fillInput (block, effect_kit::InputKind::noise, seed);
            block.applyGain (0.3f);
            block.setSample (0, 0, (float) (seed % 97) / 97.0f);   // a spike of varying height
            ++seed;

            const auto ticksBefore = ticks.load();
            fin.process (block);
            const float pushed = block.getMagnitude (0, 0, block.getNumSamples());
            const float shown = fin.peakLeft.load();
            const auto ticksAfter = ticks.load();

            // A tick in flight on either side may have decayed once without being counted yet.
            const auto decays = (float) (ticksAfter - ticksBefore + 2);
            if (shown < pushed * std::pow (TavroFinalizer::peakDecayPerTick, decays) * (1.0f - 1.0e-6f))
                lostPeaks.fetch_add (1);

            if (! firstBlock && ! (sameSet (fin.audioState(), candidates[0]) || sameSet (fin.audioState(), candidates[1])
                                   || sameSet (fin.audioState(), candidates[2])))
                tornSets.fetch_add (1);
            firstBlock = false;

            if (! (effect_kit::peakOrInfinity (block) < 100.0f))
                nonFinite.fetch_add (1);

            blocksRendered.fetch_add (1);
        }
    });

    juce::Random random (7);
    const stress::Deadline giveUp;
    const auto editUntil = std::chrono::steady_clock::now() + std::chrono::milliseconds (1500);
    for (int edit = 0; (std::chrono::steady_clock::now() < editUntil || blocksRendered.load() < 2000) && ! giveUp.passed(); ++edit)
    {
        switch (edit % 6)
        {
            case 0: setAllTones (gains[random.nextInt (3)]); break;
            case 1: fin.bandDrive[(size_t) random.nextInt (6)] = random.nextFloat() * 2.0f;
                    fin.bandMode[(size_t) random.nextInt (6)] = 1 + random.nextInt (3); break;
            case 2: fin.width = random.nextFloat() * 3.0f;
                    fin.asymmetryDeg = random.nextFloat() * 180.0f - 90.0f;
                    fin.rotateDeg = random.nextFloat() * 90.0f - 45.0f; break;
            case 3: fin.densityAmount = random.nextFloat(); fin.residueAmount = random.nextFloat();
                    fin.motionAmount = random.nextFloat() * 0.2f;
                    fin.aboveAmount = random.nextFloat(); fin.belowAmount = random.nextFloat(); break;
            case 4: fin.dcFilterButton.setToggleStateAndMirror (random.nextBool(), juce::dontSendNotification); break;
            default:
            {
                const auto meters = fin.readMeters();
                if (! std::isfinite (meters.midRms) || ! std::isfinite (meters.features.levelDb))
                    nonFinite.fetch_add (1);
                break;
            }
        }

        fin.timerCallback();
        ticks.fetch_add (1);
    }

    stop = true;
    audio.join();

    EXPECT_GE (blocksRendered.load(), 2000);
    EXPECT_EQ (tornSets.load(), 0);
    EXPECT_EQ (nonFinite.load(), 0);
    EXPECT_EQ (lostPeaks.load(), 0);
}
