#include <gtest/gtest.h>

#include "main/ParameterRandomiser.h"

#include <cmath>
#include <limits>
#include <map>
#include <random>
#include <string>

// The randomiser's draws, resets, locks, periodic step and MetaControl energy, on seeded
// generators so that every failure repeats.

namespace
{
    struct Clamp { float lo, hi, loOverdrive, hiOverdrive; };

    std::string key (const char* section, const char* label) { return std::string (section) + "/" + label; }

    // Each target's limits, normal and overdrive, written out here independently of the code.
    const std::map<std::string, Clamp>& spaceClamps()
    {
        static const std::map<std::string, Clamp> m {
            { key ("Delay", "Time: "), { 30, 4000, 30, 5200 } },       { key ("Delay", "Feedback: "), { 10, 75, 10, 95 } },
            { key ("Delay", "Mix: "), { 5, 55, 5, 100 } },             { key ("Delay", "HPF: "), { 20, 500, 20, 2000 } },
            { key ("Delay", "Stereo: "), { 0, 50, 0, 50 } },           { key ("Delay", "Mod Depth: "), { 0, 18, 0, 20 } },
            { key ("Delay", "Mod Rate: "), { 0.05f, 8, 0.05f, 10 } },  { key ("Delay", "Duck: "), { 0, 20, 0, 24 } },
            { key ("Reverb", "Size: "), { 0.1f, 0.95f, 0.1f, 1 } },    { key ("Reverb", "Decay: "), { 0.3f, 10, 0.3f, 20 } },
            { key ("Reverb", "Mix: "), { 0, 45, 0, 100 } },            { key ("Reverb", "Lo Cut: "), { 20, 400, 20, 400 } },
            { key ("Reverb", "Hi Cut: "), { 2000, 18000, 2000, 18000 } }, { key ("Reverb", "Mod Rate: "), { 0.1f, 2.5f, 0.1f, 2.5f } },
            { key ("Reverb", "Duck: "), { 0, 18, 0, 18 } },
            { key ("Stereo FX", "Rotation: "), { -45, 45, -45, 45 } }, { key ("Stereo FX", "PAN: "), { -0.5f, 0.5f, -0.5f, 0.5f } },
            { key ("Atomizer", "Intensity: "), { 35, 85, 35, 85 } },   { key ("Atomizer", "Depth: "), { 0.6f, 3.5f, 0.6f, 3.5f } },
            { key ("Atomizer", "Feedback: "), { 25, 60, 25, 60 } },    { key ("Atomizer", "Rate: "), { 0.1f, 3.5f, 0.1f, 3.5f } },
            { key ("Atomizer", "Excite: "), { 20, 80, 20, 80 } },      { key ("Atomizer", "Char: "), { 20, 80, 20, 80 } },
            { key ("Atomizer", "St.Offset: "), { 30, 150, 30, 150 } }, { key ("Atomizer", "Tone: "), { -4, 4, -4, 4 } },
            { key ("Stereo FX", "WIDTH: "), { 0, 200, 0, 200 } },      { key ("Stereo FX", "BALANCE: "), { -100, 100, -100, 100 } },
            { key ("Stereo FX", "Mono Freq: "), { 20, 300, 20, 300 } }, { key ("Stereo FX", "Lo Xover: "), { 20, 300, 20, 300 } },
            { key ("Stereo FX", "Hi Xover: "), { 1000, 8000, 1000, 8000 } }, { key ("Stereo FX", "Lo Width: "), { 0, 100, 0, 100 } },
            { key ("Stereo FX", "Mid Width: "), { 50, 150, 50, 150 } }, { key ("Stereo FX", "Hi Width: "), { 80, 200, 80, 200 } },
            { key ("Stereo FX", "Mid Gain: "), { -12, 12, -18, 18 } }, { key ("Stereo FX", "Side Gain: "), { -12, 12, -18, 18 } },
            { key ("Binaural/Interaural", "ILD: "), { 0, 24, 0, 24 } }, { key ("Binaural/Interaural", "ITD: "), { 0, 1000, 0, 1000 } },
            { key ("Binaural/Interaural", "IACC: "), { 20, 100, 0, 100 } },
            { key ("Binaural/Interaural", "L Delay: "), { -500, 500, -500, 500 } },
            { key ("Binaural/Interaural", "R Delay: "), { -500, 500, -500, 500 } },
            { key ("Binaural/Interaural", "Phase Rot: "), { 0, 120, 0, 120 } },
            { key ("Dynamics", "Threshold: "), { -30, -5, -30, -5 } }, { key ("Dynamics", "Ratio: "), { 0.8f, 2.5f, 0.8f, 2.5f } },
            { key ("Dynamics", "Attack: "), { 2, 50, 2, 50 } },        { key ("Dynamics", "Release: "), { 30, 300, 30, 300 } },
            { key ("Delay", "Pan: "), { -1, 1, -1, 1 } },              { key ("Delay", "Ping-Pong: "), { 0, 1, 0, 1 } },
        };
        return m;
    }

    const std::map<std::string, Clamp>& timeProClamps()
    {
        static const std::map<std::string, Clamp> m {
            { key ("Half Time", "Time: "), { 0.5f, 4, 0.25f, 8 } },    { key ("Half Time", "Smooth: "), { 0, 100, 0, 100 } },
            { key ("Half Time", "Trans: "), { 0, 100, 0, 100 } },      { key ("Half Time", "Char: "), { 0, 100, 0, 100 } },
            { key ("Half Time", "Mix: "), { 0, 100, 0, 100 } },
            { key ("Slicer", "Length: "), { 10, 500, 10, 500 } },      { key ("Slicer", "Rate: "), { 1, 16, 1, 32 } },
            { key ("Slicer", "Mix: "), { 0, 100, 0, 100 } },
            { key ("Stutter", "Length: "), { 10, 500, 10, 500 } },     { key ("Stutter", "Rate: "), { 1, 32, 1, 64 } },
            { key ("Stutter", "Decay: "), { 0, 100, 0, 100 } },        { key ("Stutter", "Mix: "), { 0, 100, 0, 100 } },
            { key ("Dynamics", "Slope: "), { 6, 48, 6, 72 } },         { key ("Dynamics", "Trim: "), { -6, 6, -12, 12 } },
            { key ("Dynamics", "Threshold: "), { -60, 0, -60, 0 } },   { key ("Dynamics", "Attack: "), { 1, 100, 1, 100 } },
            { key ("Dynamics", "Attenuation: "), { 0, 24, 0, 36 } },   { key ("Dynamics", "Release: "), { 10, 500, 10, 500 } },
            { key ("Character", "Drive: "), { 0, 100, 0, 100 } },      { key ("Character", "Character: "), { 0, 100, 0, 100 } },
            { key ("Character", "Air: "), { 0, 100, 0, 100 } },        { key ("Character", "Density: "), { 0, 100, 0, 100 } },
            { key ("Character", "Saturation: "), { 0, 100, 0, 100 } },
            { key ("Modulation", "Dry: "), { 40, 100, 40, 100 } },     { key ("Modulation", "LFO Rate: "), { 0.1f, 10, 0.1f, 20 } },
            { key ("Modulation", "Rate Curve: "), { 0, 100, 0, 100 } }, { key ("Modulation", "Rate Fine: "), { -50, 50, -50, 50 } },
            { key ("Modulation", "Res Q: "), { 0.5f, 10, 0.5f, 15 } }, { key ("Modulation", "Res Intensity: "), { 0, 100, 0, 100 } },
        };
        return m;
    }

    template <typename Targets, size_t N>
    void expectWithinClamps (const Targets& targets, const std::array<TargetRow<Targets>, N>& rows,
                             const std::map<std::string, Clamp>& clamps, bool overdrive, const std::string& context)
    {
        for (const auto& row : rows)
        {
            const auto found = clamps.find (key (row.section, row.label));
            ASSERT_NE (found, clamps.end()) << row.section << " " << row.label;
            const auto& c = found->second;
            const float v = targets.*(row.value);
            EXPECT_GE (v, overdrive ? c.loOverdrive : c.lo) << row.section << " " << row.label << context;
            EXPECT_LE (v, overdrive ? c.hiOverdrive : c.hi) << row.section << " " << row.label << context;
        }
    }
}

TEST (ParameterRandomiser, DrawsAreTheTopTwentyFourBitsOfTheSeededTwister)
{
    // The standard 32-bit twister: seeded with its default seed, its first output is fixed.
    ParameterRandomiser standard (5489u);
    EXPECT_EQ (standard.nextRandom(), (float) (3499211612u >> 8) / 16777216.0f);

    ParameterRandomiser r (2024u);
    std::mt19937 reference (2024u);
    for (int i = 0; i < 1000; ++i)
    {
        const float expected = (float) (reference() >> 8) / 16777216.0f;
        const float drawn = r.nextRandom();
        ASSERT_EQ (drawn, expected) << "draw " << i;
        ASSERT_LT (drawn, 1.0f);
    }

    // Reseeding repeats the sequence from its start.
    r.reseed (2024u);
    reference.seed (2024u);
    EXPECT_EQ (r.nextRandom(), (float) (reference() >> 8) / 16777216.0f);
}

TEST (ParameterRandomiser, EveryDrawnTargetStaysInsideItsClamp)
{
    // Amounts, master amounts and tempos at the extremes and in between, with and without the
    // overdrive flags: the rows that multiply several of them are the ones that overshoot.
    EXPECT_EQ (spaceTargetRows().size(), spaceClamps().size());
    EXPECT_EQ (timeProTargetRows().size(), timeProClamps().size());

    for (const bool overdrive : { false, true })
    {
        ParameterRandomiser r (1234u + (overdrive ? 1u : 0u));
        ParameterRandomiser dice (99u);
        r.spaceOverdrive = r.timeProOverdrive = r.eqOverdrive = overdrive;
        r.linkStereo = false;

        for (int i = 0; i < 1000; ++i)
        {
            r.setTempo (i % 4 == 0 ? 20.0f : (i % 4 == 1 ? 300.0f : 20.0f + 280.0f * dice.nextRandom()));
            r.setMasterAmount (i % 3 == 0 ? 100.0f : 100.0f * dice.nextRandom());
            const float amount = i % 2 == 0 ? 100.0f : 1.0f + 99.0f * dice.nextRandom();
            r.setSpaceAmount (amount);
            r.setTimeProAmount (amount);

            const auto context = " draw " + std::to_string (i);
            expectWithinClamps (r.space, spaceTargetRows(), spaceClamps(), overdrive, context);
            expectWithinClamps (r.timePro, timeProTargetRows(), timeProClamps(), overdrive, context);
            ASSERT_FALSE (::testing::Test::HasFailure()) << context;
        }
    }
}

TEST (ParameterRandomiser, EqGroupResetsBelowOnePercentAndSpansGrowWithMasterAndOverdrive)
{
    ParameterRandomiser r (7u);
    r.setEqAmount (100.0f);
    r.eqPending = false;
    r.setEqAmount (0.5f);
    EXPECT_TRUE (r.eqPending);
    EXPECT_EQ (r.eqTargetAmount, 0.0f);
    for (auto g : r.eqGains)
        EXPECT_EQ (g, 0.0f);

    struct Case { float master; bool overdrive; float lowSpan; };
    const Case cases[] = { { 0.0f, false, 12.0f }, { 100.0f, false, 36.0f }, { 100.0f, true, 54.0f } };

    for (const auto& c : cases)
    {
        ParameterRandomiser eq (21u);
        eq.eqOverdrive = c.overdrive;
        eq.masterAmount = c.master;
        float widest = 0.0f;

        for (int i = 0; i < 1000; ++i)
        {
            eq.setEqAmount (100.0f);
            EXPECT_EQ (eq.eqTargetAmount, 100.0f);

            for (size_t band = 0; band < 6; ++band)
            {
                const float g = eq.eqGains[band];
                const float limit = band >= 4 ? 12.0f : c.lowSpan;
                ASSERT_LE (std::abs (g), limit) << "band " << band << " master " << c.master;

                if (band < 4)
                {
                    widest = std::max (widest, g);
                    if (c.overdrive)
                    {
                        ASSERT_GE (g, -3.0f) << "band " << band;
                    }
                }
            }
        }

        // The whole span is used, not just the part below the old limit.
        EXPECT_GT (widest, 0.9f * c.lowSpan) << c.master;
    }
}

TEST (ParameterRandomiser, DelayTimeFollowsTheTempoAndItsNoteTable)
{
    // At 120 BPM the one-beat entry gives 500 ms ± 5 %; its neighbours (0.875 and 1.25 beats)
    // end at 459 and start at 594, so anything in between comes from the one-beat entry.
    ParameterRandomiser r (5u);
    r.setTempo (120.0f);
    int oneBeat = 0;

    for (int i = 0; i < 2000; ++i)
    {
        r.setSpaceAmount (100.0f);
        const float t = r.space.delayTime;
        if (t > 460.0f && t < 590.0f)
        {
            ++oneBeat;
            EXPECT_GE (t, 475.0f);
            EXPECT_LE (t, 525.0f);
        }
    }
    EXPECT_GT (oneBeat, 0);

    // At 20 BPM the three-beat entry (8550 to 9450 ms) is cut to the limit.
    for (const bool overdrive : { false, true })
    {
        ParameterRandomiser slow (6u);
        slow.setTempo (20.0f);
        slow.spaceOverdrive = overdrive;
        float longest = 0.0f;

        for (int i = 0; i < 500; ++i)
        {
            slow.setSpaceAmount (100.0f);
            longest = std::max (longest, slow.space.delayTime);
        }
        EXPECT_EQ (longest, overdrive ? 5200.0f : 4000.0f);
    }
}

TEST (ParameterRandomiser, LinkedStereoAndLocksHoldTheirTargets)
{
    ParameterRandomiser r (11u);
    r.setSpaceAmount (80.0f);
    const auto first = r.space;
    r.lockCrossovers = true;
    r.lockBassWidth = true;
    r.lockMidSideGains = true;

    for (int i = 0; i < 50; ++i)
    {
        r.setSpaceAmount (100.0f);
        EXPECT_EQ (r.space.balance, 0.0f);
        EXPECT_EQ (r.space.loXover, first.loXover);
        EXPECT_EQ (r.space.hiXover, first.hiXover);
        EXPECT_EQ (r.space.monoFreq, first.monoFreq);
        EXPECT_EQ (r.space.loWidth, first.loWidth);
        EXPECT_EQ (r.space.midGain, first.midGain);
        EXPECT_EQ (r.space.sideGain, first.sideGain);
    }

    // A reset does not consult the locks.
    r.setSpaceAmount (0.5f);
    EXPECT_EQ (r.space.loXover, 200.0f);
    EXPECT_EQ (r.space.hiXover, 3000.0f);
    EXPECT_EQ (r.space.delayFeedback, 25.0f);
    EXPECT_EQ (r.space.reverbSize, 0.4f);
    EXPECT_EQ (r.space.reverbDecay, 2.0f);
    EXPECT_EQ (r.spaceMixTarget, 0.0f);

    r.linkStereo = false;
    bool balanceMoved = false;
    for (int i = 0; i < 20; ++i)
    {
        r.setSpaceAmount (100.0f);
        balanceMoved = balanceMoved || r.space.balance != 0.0f;
    }
    EXPECT_TRUE (balanceMoved);
}

TEST (ParameterRandomiser, TimeProSectionLocksAndResetLeavesLocksAlone)
{
    ParameterRandomiser r (13u);
    r.setTimeProAmount (70.0f);
    const auto first = r.timePro;
    r.lockHalfTime = r.lockDynamics = true;

    for (int i = 0; i < 20; ++i)
    {
        r.setTimeProAmount (100.0f);
        EXPECT_EQ (r.timePro.halfTime, first.halfTime);
        EXPECT_EQ (r.timePro.halfMix, first.halfMix);
        EXPECT_EQ (r.timePro.threshold, first.threshold);
        EXPECT_EQ (r.timePro.dynamicsOn, first.dynamicsOn);
    }

    r.timeProPending = false;
    r.setTimeProAmount (0.9f);
    EXPECT_TRUE (r.timeProPending);
    EXPECT_EQ (r.timePro.halfTime, 2.0f);
    EXPECT_EQ (r.timePro.slicerLength, 100.0f);
    EXPECT_FALSE (r.timePro.tape || r.timePro.dynamicsOn || r.timePro.vocalMode);
    EXPECT_TRUE (r.lockHalfTime && r.lockDynamics);
    EXPECT_FALSE (r.lockSlicer || r.lockStutter || r.lockCharacter);
}

TEST (ParameterRandomiser, FreezeStoresAmountsWithoutRegenerating)
{
    ParameterRandomiser r (17u);
    r.freezeLock = true;
    r.setEqAmount (60.0f);
    r.setSpaceAmount (60.0f);
    r.setTimeProAmount (60.0f);
    r.setMasterAmount (60.0f);

    EXPECT_EQ (r.eqAmount.load(), 60.0f);
    EXPECT_EQ (r.masterAmount.load(), 60.0f);
    EXPECT_FALSE (r.eqPending || r.spacePending || r.timeProPending);

    // The direct group operations are the callers' business and ignore the lock.
    r.randomiseSpaceGroup();
    EXPECT_TRUE (r.spacePending);

    // The first setter after unfreezing regenerates with what was stored.
    r.freezeLock = false;
    r.setMasterAmount (60.0f);
    EXPECT_TRUE (r.eqPending && r.timeProPending);
    EXPECT_FLOAT_EQ (r.eqTargetAmount, 60.0f);
}

TEST (ParameterRandomiser, StepIsIdleWhenFrozenStoppedOrWithoutMaster)
{
    struct Case { float master; bool frozen; bool playing; bool steps; };
    const Case cases[] = { { 0.0f, false, true, false }, { 100.0f, true, true, false },
                           { 100.0f, false, false, false }, { 100.0f, false, true, true } };

    for (const auto& c : cases)
    {
        ParameterRandomiser r (23u), twin (23u);
        r.masterAmount = c.master;
        r.freezeLock = c.frozen;
        r.enabled = c.playing;

        for (int i = 0; i < 30; ++i)
            r.step();

        EXPECT_EQ (r.stepCount, c.steps ? 30 : 0) << c.master << c.frozen << c.playing;
        // No draw was taken: both generators still agree.
        EXPECT_EQ (r.nextRandom() == twin.nextRandom(), ! c.steps);
    }

    // With everything at full, the step regenerates groups over time in turn.
    ParameterRandomiser r (29u);
    r.setEqAmount (100.0f);
    r.setSpaceAmount (100.0f);
    r.setTimeProAmount (100.0f);
    r.setMasterAmount (100.0f);
    r.enabled = true;
    int space = 0, timePro = 0, eq = 0;

    for (int i = 0; i < 3000; ++i)
    {
        r.eqPending = r.spacePending = r.timeProPending = false;
        r.step();
        space += r.spacePending;
        timePro += r.timeProPending;
        eq += r.eqPending;
        EXPECT_LE (r.spacePending + r.timeProPending + r.eqPending, 1);
    }

    EXPECT_NEAR (space, 300, 60);    // 30 % of 1000 turns
    EXPECT_NEAR (timePro, 300, 60);
    EXPECT_NEAR (eq, 75, 30);        // 7.5 % of 1000 turns
}

TEST (ParameterRandomiser, MetaEnergyCapsOverloadsAndDecays)
{
    // Held at 95: the overload time grows by 1/30 s per tick and trips on the 901st.
    ParameterRandomiser r (31u);
    r.metaControlMode = 4;
    r.metaControlValue = 50.0f;
    r.metaEnergy = 95.0f;

    for (int tick = 1; tick <= 900; ++tick)
    {
        r.updateMetaEnergy();
        ASSERT_EQ (r.metaEnergy, 95.0f) << "tick " << tick;
    }
    r.updateMetaEnergy();
    EXPECT_EQ (r.metaEnergy, 0.0f);
    EXPECT_EQ (r.metaOverloadSeconds, 0.0f);

    struct Case { int mode; float value; bool limit; float energy; float expected; };
    const Case cases[] = {
        { 4, 50.0f, true, 99.0f, 96.0f },     // capped
        { 4, 50.0f, false, 99.0f, 99.0f },    // protection off
        { 4, 49.0f, true, 99.0f, 99.0f * 0.98f },
        { 0, 80.0f, true, 99.0f, 99.0f * 0.98f },
        { 5, 80.0f, true, 50.0f, 50.0f * 0.98f },
        { 4, 80.0f, true, 60.0f, 60.0f },     // feeding mode below 94 holds
    };

    for (const auto& c : cases)
    {
        ParameterRandomiser m (37u);
        m.metaControlMode = c.mode;
        m.metaControlValue = c.value;
        m.limitProtection = c.limit;
        m.metaEnergy = c.energy;
        m.metaOverloadSeconds = 3.0f;
        m.updateMetaEnergy();
        EXPECT_FLOAT_EQ (m.metaEnergy, c.expected) << c.mode << " " << c.value;
    }

    ParameterRandomiser readouts (41u);
    readouts.metaEnergy = 140.0f;
    readouts.metaCoupling = -3.0f;
    EXPECT_EQ (readouts.energyReadout(), 100.0f);
    EXPECT_EQ (readouts.couplingReadout(), 0.0f);
}

TEST (ParameterRandomiser, MetaControlValueFeedsCouplingOrEnergy)
{
    struct Case { int mode; float value; float stored, coupling, energy; };
    const Case cases[] = {
        { 0, -5.0f, 0.0f, 50.0f, 0.0f },
        { 1, 70.0f, 70.0f, 70.0f, 0.0f },
        { 4, 150.0f, 100.0f, 50.0f, 2.0f },
        { 4, std::numeric_limits<float>::quiet_NaN(), 0.0f, 50.0f, 0.0f },
    };

    for (const auto& c : cases)
    {
        ParameterRandomiser r (43u);
        r.metaControlMode = c.mode;
        r.setMetaControlValue (c.value);
        EXPECT_EQ (r.metaControlValue, c.stored) << c.mode;
        EXPECT_EQ (r.metaCoupling, c.coupling) << c.mode;
        EXPECT_TRUE (r.metaPending);
        // Mode 4 with nothing drawn: the energy grows by value / 50 and the empty groups add none.
        EXPECT_FLOAT_EQ (r.metaEnergy, c.energy) << c.mode;
    }
}
