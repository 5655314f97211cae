#include <gtest/gtest.h>

#include "effects/smarteq/SmartEQ.h"
#include "support/StressDeadline.h"

#include <atomic>
#include <cmath>
#include <random>
#include <thread>
#include <vector>

namespace
{
    bool coefficientsMatchSettings (const smarteq::Snapshot& snap)
    {
        for (const auto& band : snap.bands)
        {
            auto copy = band;
            smarteq::computeCoefficients (copy, snap.sampleRate);
            if (copy.b0 != band.b0 || copy.b1 != band.b1 || copy.b2 != band.b2
                || copy.a1 != band.a1 || copy.a2 != band.a2)
                return false;
        }
        return true;
    }

    bool allGainsEqual (const smarteq::Snapshot& snap)
    {
        for (const auto& band : snap.bands)
            if (band.gainLeftDb != snap.bands[0].gainLeftDb || band.gainRightDb != snap.bands[0].gainLeftDb)
                return false;
        return true;
    }
}

// The message thread rewrites the bands (macro EQ, presets, knobs, toggles) while another thread
// renders: every block must run on one whole published set and stay finite and bounded.
TEST (SmartEqStress, BandEditsWhileRendering)
{
    SmartEQ eq;
    eq.prepare (48000.0);

    enum Phase { uniformGains = 0, anything = 1 };
    std::atomic<int> phase { uniformGains };
    std::atomic<bool> stop { false };
    std::atomic<int> blocks { 0 }, tornSets { 0 }, unevenGains { 0 }, badSamples { 0 };
    const stress::Deadline deadline;

    std::thread audio ([&]
    {
        std::vector<float> l (512), r (512);
        double t = 0.0;
        for (int k = 0; ! stop.load(); ++k)
        {
            const int n = k % 2 == 0 ? 64 : 512;
            for (int i = 0; i < n; ++i, t += 1.0 / 48000.0)
            {
                l[(size_t) i] = 0.7f * (float) std::sin (6.283185307 * 220.0 * t);
                r[(size_t) i] = 0.7f * (float) std::sin (6.283185307 * 1330.0 * t);
            }

            eq.getProcessor().process (l.data(), r.data(), n);

            for (int i = 0; i < n; ++i)
                if (! std::isfinite (l[(size_t) i]) || ! std::isfinite (r[(size_t) i])
                    || std::abs (l[(size_t) i]) > 1.0f || std::abs (r[(size_t) i]) > 1.0f)
                    badSamples.fetch_add (1);

            const auto& used = eq.getAudioSnapshot();
            if (! coefficientsMatchSettings (used))
                tornSets.fetch_add (1);
            if (phase.load() == uniformGains && ! allGainsEqual (used))
                unevenGains.fetch_add (1);

            blocks.fetch_add (1);
        }
    });

    // Phase one: only whole-EQ writes that keep every band's gain equal, so a block that sees
    // some bands from one write and some from another shows up as uneven gains.
    const auto phaseEnd = juce::Time::getMillisecondCounterHiRes() + 800.0;
    int step = 0;
    while ((juce::Time::getMillisecondCounterHiRes() < phaseEnd || blocks.load() < 200) && ! deadline.passed())
    {
        std::array<float, 6> gains;
        gains.fill ((float) (step % 25) - 12.0f);
        eq.applyMacroEq (100.0f, gains);
        if (++step % 7 == 0)
            eq.applyPreset (10);
    }

    phase.store (anything);
    const bool stalled = ! deadline.waitFor (blocks, blocks.load() + 2);

    // Phase two: presets, knob sweeps and toggles of every kind.
    std::mt19937 rng (11);
    const auto end = juce::Time::getMillisecondCounterHiRes() + 800.0;
    while ((juce::Time::getMillisecondCounterHiRes() < end || blocks.load() < 400) && ! deadline.passed())
    {
        const int b = (int) (rng() % 6);
        switch (rng() % 6)
        {
            case 0: eq.applyPreset (1 + (int) (rng() % 10)); break;
            case 1: eq.getMacroKnob (b, (SmartEQ::MacroKnob) (rng() % 4)).setValue ((double) (rng() % 101), juce::sendNotificationSync); break;
            case 2: eq.getBandKnob (b, (SmartEQ::BandKnob) (rng() % SmartEQ::numBandKnobs)).setValue (-100.0 + (double) (rng() % 1100), juce::sendNotificationSync); break;
            case 3:
            {
                auto& toggle = eq.getBandToggle (b, (SmartEQ::BandToggle) (rng() % SmartEQ::numBandToggles));
                toggle.setToggleState (! toggle.getToggleState(), juce::sendNotificationSync);
                break;
            }
            case 4: eq.getGainFader (b, rng() % 2 == 0).setValue (-15.0 + (double) (rng() % 31), juce::sendNotificationSync); break;
            default:
            {
                std::array<float, 6> gains;
                for (auto& g : gains)
                    g = (float) (rng() % 40) - 20.0f;
                eq.applyMacroEq ((float) (rng() % 3), gains);
                break;
            }
        }
    }

    stop.store (true);
    audio.join();

    EXPECT_FALSE (stalled) << "the renderer stopped making progress";
    EXPECT_EQ (tornSets.load(), 0);
    EXPECT_EQ (unevenGains.load(), 0);
    EXPECT_EQ (badSamples.load(), 0);
    EXPECT_GT (blocks.load(), 400);
}
