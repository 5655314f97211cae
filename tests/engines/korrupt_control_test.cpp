#include <gtest/gtest.h>

#include "engines/KorruptEngine.h"
#include "support/RealtimeTrap.h"

#include <cmath>
#include <functional>
#include <memory>

// The engine's control tick: intensities and oscillators, the event scheduler, gestures and the
// push into the effects' offset fields. Every test ticks by hand from a seeded generator.

namespace
{
    constexpr float tick = 1.0f / 30.0f;
    constexpr int numFields = 26;

    /** The offset fields of the five effects, as the audio road hands them over. */
    struct Fields
    {
        std::array<std::atomic<float>, numFields> values {};

        KorruptEngine::TargetFields wiring()
        {
            KorruptEngine::TargetFields f;
            size_t i = 0;
            for (auto* group : { f.stereoUtility.data(), f.delayVerb.data(), f.distortion.data(), f.atomizer.data(),
                                 f.finalizer.data() })
            {
                const size_t n = group == f.stereoUtility.data() || group == f.delayVerb.data() ? 4
                               : group == f.finalizer.data() ? 12 : 3;
                for (size_t k = 0; k < n; ++k)
                    group[k] = &values[i++];
            }
            return f;
        }

        void fill (float v)
        {
            for (auto& x : values)
                x = v;
        }

        bool all (const std::function<bool (float)>& test, int first = 0, int last = numFields) const
        {
            for (int i = first; i < last; ++i)
                if (! test (values[(size_t) i].load()))
                    return false;
            return true;
        }
    };

    /** A prepared engine wired to fields, switched on, its gesture slots freed by one idle tick
        as the first tick after switching on does, then set to `amount`. */
    struct Control
    {
        explicit Control (float amount, std::uint32_t seed = 1u, bool wire = true)
        {
            engine->setClockSeed (99ull);
            engine->prepare (48000.0, 512);
            if (wire)
                engine->setModulationTargets (fields.wiring());
            engine->active = true;
            engine->timerTick();
            engine->amount = amount;
            engine->lcgState = seed;
        }

        void ticks (int n)
        {
            for (int i = 0; i < n; ++i)
                engine->timerTick();
        }

        std::unique_ptr<KorruptEngine> engine = std::make_unique<KorruptEngine>();
        Fields fields;
    };

    std::uint32_t step (std::uint32_t s) { return s * 1103515245u + 12345u; }

    /** An offset by target number (1..5) and parameter index; band 0 for the finalizer. */
    float& offsetOf (KorruptEngine::TargetOffsets& o, int target, int index)
    {
        float* const table[5][4] = {
            { &o.stereoWidth, &o.stereoRotation, &o.stereoBalance, &o.stereoMix },
            { &o.delayTime, &o.delayFeedback, &o.delayReverbMix, &o.delayMix },
            { &o.distortionDrive, &o.distortionBitDepth, &o.distortionMix, nullptr },
            { &o.atomizerIntensity, &o.atomizerFeedback, &o.atomizerMix, nullptr },
            { &o.finalizerBandWidth[0], &o.finalizerBandDist[0], nullptr, nullptr },
        };
        return *table[target - 1][index];
    }
}

//==============================================================================
// Intensities, oscillators and the push

TEST (KorruptControl, IntensityGoalsFollowTheAmountAndThresholds)
{
    // (amount, behaviour gain, goals of the five targets)
    struct Row { float amount, gain; std::array<float, 5> goals; };
    const Row rows[] = {
        { 1.0f, 1.0f, { 1.0f, 1.0f, 1.0f, 1.0f, 1.0f } },
        { 1.0f, 0.4f, { 0.4f, 0.4f, 0.4f, 0.4f, 0.4f } },
        { 0.09f, 1.0f, { 0.0f, 0.0f, 0.0f, 0.0f, 0.0f } },
        // Exactly at a threshold the goal is 0.
        { 0.3f, 1.0f, { std::pow (0.2f / 0.9f, 0.7f), std::pow (0.1f / 0.8f, 0.8f), 0.0f, 0.0f, 0.0f } },
        { 0.5f, 1.0f, { std::pow (0.4f / 0.9f, 0.7f), std::pow (0.3f / 0.8f, 0.8f), std::pow (0.2f / 0.7f, 0.9f),
                        0.1f / 0.6f, 0.0f } },
    };

    for (const auto& r : rows)
    {
        Control c (r.amount);
        c.engine->behaviourGain = r.gain;
        c.engine->mirrorControlState();
        c.ticks (1);
        const float smoothing = r.amount >= 0.8f ? 0.3f : 0.1f;
        for (size_t k = 0; k < 5; ++k)
        {
            EXPECT_NEAR (c.engine->targetIntensityGoal[k], r.goals[k], 1.0e-6f) << r.amount << " target " << k;
            EXPECT_NEAR (c.engine->targetIntensity[k], smoothing * r.goals[k], 1.0e-6f) << r.amount << " target " << k;
        }
    }

    // Behaviour gain 0 drives every intensity to 0 whatever the amount.
    Control c (1.0f);
    c.ticks (30);
    c.engine->behaviourGain = 0.0f;
    c.engine->mirrorControlState();
    c.ticks (60);
    for (auto i : c.engine->targetIntensity)
        EXPECT_LT (i, 1.0e-6f);
}

TEST (KorruptControl, FromEightTenthsTheOscillatorsRunThreeTimesFaster)
{
    // The first oscillator's step is (2a + 0.2) / 30 x (0.8 + 0.4 c6), three times that from 0.8.
    for (const float a : { 0.5f, 0.79f, 0.8f, 1.0f })
    {
        Control c (a);
        c.ticks (1);
        const float c6 = c.engine->getCharacter()[6];
        const float expected = (2.0f * a + 0.2f) * (a >= 0.8f ? 3.0f : 1.0f) / 30.0f * (0.8f + 0.4f * c6);
        EXPECT_NEAR (c.engine->targetLfoPhase[0], expected, 1.0e-6f) << a;
    }
}

TEST (KorruptControl, BelowATenthIntensitiesDecayAndQuietTargetsGetZeros)
{
    Control c (1.0f, 7u);
    c.ticks (60);
    ASSERT_GT (c.engine->targetIntensity[0], 0.5f);
    EXPECT_TRUE (c.fields.all ([] (float v) { return std::isfinite (v); }));
    EXPECT_FALSE (c.fields.all ([] (float v) { return v == 0.0f; }));

    c.engine->amount = 0.05f;
    for (int t = 0; t < 120; ++t)
    {
        const auto before = c.engine->targetIntensity;
        c.ticks (1);
        for (size_t k = 0; k < 5; ++k)
            EXPECT_NEAR (c.engine->targetIntensity[k], 0.9f * before[k], 1.0e-6f);

        // A target at 0.01 or below gets zeros from every source and from the push.
        const auto& o = c.engine->targetOffsets;
        if (c.engine->targetIntensity[0] <= 0.01f)
        {
            EXPECT_EQ (o.stereoWidth, 0.0f);
            EXPECT_EQ (o.stereoMix, 0.0f);
            EXPECT_TRUE (c.fields.all ([] (float v) { return v == 0.0f; }, 0, 4));
        }
        else
        {
            EXPECT_GT (o.stereoMix, 0.0f);
        }
    }
    EXPECT_TRUE (c.fields.all ([] (float v) { return v == 0.0f; }));
}

TEST (KorruptControl, PushCopiesRunningTargetsAndZeroesQuietOnes)
{
    // At 0.35 the first three targets run and the Atomizer and finalizer stay below their
    // thresholds.
    Control c (0.35f, 3u);
    c.fields.fill (7.0f);
    c.ticks (20);

    const auto& set = c.engine->lastPublishedTargets();
    const auto& o = set.offsets;
    const float expected[] = { o.stereoWidth, o.stereoRotation, o.stereoBalance, o.stereoMix,
                               o.delayTime, o.delayFeedback, o.delayReverbMix, o.delayMix };
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ (c.fields.values[(size_t) i].load(), expected[i]) << i;
    EXPECT_GT (set.intensity[2], 0.01f);
    EXPECT_EQ (c.fields.values[8].load(), o.distortionDrive);
    EXPECT_TRUE (c.fields.all ([] (float v) { return v == 0.0f; }, 11, numFields));

    // The audio side pushes the same set, and allocates nothing doing it.
    c.fields.fill (7.0f);
    {
        testing_rt::RealtimeScope scope;
        c.engine->applyModulationTargets();
        EXPECT_TRUE (scope.counts().clean());
    }
    EXPECT_EQ (c.fields.values[3].load(), o.stereoMix);
    EXPECT_EQ (c.engine->lastPushedTargets().tick, set.tick);
}

TEST (KorruptControl, AnIdleTickClearsWithoutPushingAndSwitchingOffZeroesEveryField)
{
    Control c (1.0f, 11u);
    c.ticks (90);
    ASSERT_GT (c.engine->activeGestureCount + c.engine->eventCount.load(), 0);

    // Amount 0.0005: intensities, gestures and event load go; the fields keep what they had.
    c.fields.fill (7.0f);
    c.engine->amount = 0.0005f;
    c.ticks (1);
    EXPECT_TRUE (c.fields.all ([] (float v) { return v == 7.0f; }));
    for (auto i : c.engine->targetIntensity)
        EXPECT_EQ (i, 0.0f);
    for (const auto& g : c.engine->gestures)
        EXPECT_TRUE (g.free && ! g.running);
    EXPECT_EQ (c.engine->activeGestureCount, 0);
    EXPECT_EQ (c.engine->gestureClock, 0.0f);
    EXPECT_EQ (c.engine->eventLoad, 0.0f);

    // The audio push that still runs at that amount writes zeros: the intensities it sees are 0.
    c.engine->applyModulationTargets();
    EXPECT_TRUE (c.fields.all ([] (float v) { return v == 0.0f; }));

    // Switched off while running: one block later every field is 0, and switching on again
    // does not bring the old set back before the next tick.
    c.engine->amount = 1.0f;
    c.ticks (30);
    ASSERT_FALSE (c.fields.all ([] (float v) { return v == 0.0f; }));
    c.engine->toggleActive();
    c.engine->serviceRequests();
    EXPECT_TRUE (c.fields.all ([] (float v) { return v == 0.0f; }));

    c.engine->toggleActive();
    c.engine->amount = 1.0f;
    c.fields.fill (7.0f);
    c.engine->applyModulationTargets();
    EXPECT_TRUE (c.fields.all ([] (float v) { return v == 0.0f; }));
}

TEST (KorruptControl, WithoutTargetsTheTickRunsAndPushesNothing)
{
    Control c (1.0f, 5u, false);
    c.ticks (60);
    c.engine->applyModulationTargets();
    EXPECT_GT (c.engine->targetIntensity[4], 0.5f);
    EXPECT_TRUE (c.fields.all ([] (float v) { return v == 0.0f; }));
}

TEST (KorruptControl, RandomJumpsSetTheWidthAndLowerOrRaiseEveryBandWidth)
{
    // The width jump fires when its clock is past 2 / (a + 0.1) and the draw passes 40 a %;
    // it sets the width to (r8 mod 200 - 100) x i1, so it can go negative.
    int negativeJumps = 0, misses = 0;
    for (std::uint32_t seed = 1; seed < 60; ++seed)
    {
        Control c (1.0f);
        c.engine->targetIntensity.fill (0.5f);
        c.engine->targetJumpClock[0] = 5.0f;
        c.engine->lcgState = seed;
        c.engine->updateTargetIntensities();

        const auto r = step (seed);
        const float i1 = c.engine->targetIntensity[0];
        const auto& o = c.engine->targetOffsets;
        EXPECT_EQ (c.engine->targetJumpClock[0], 0.0f);

        if ((r >> 16) % 100u < 40u)
        {
            const float width = (float) ((int) ((r >> 8) % 200u) - 100) * i1;
            EXPECT_FLOAT_EQ (o.stereoWidth, width) << seed;
            negativeJumps += width < 0.0f ? 1 : 0;
        }
        else
        {
            EXPECT_NEAR (o.stereoWidth, 50.0f * std::sin (juce::MathConstants<float>::twoPi * c.engine->targetLfoPhase[0]) * i1,
                         1.0e-4f) << seed;
            ++misses;
        }
    }
    EXPECT_GT (negativeJumps, 0);
    EXPECT_GT (misses, 0);

    // The finalizer jump always fires: all six band widths move by (r8 mod 100 - 30) x i5 x 0.6.
    for (const std::uint32_t seed : { 2u, 3u, 4u })
    {
        Control c (1.0f);
        c.engine->targetIntensity.fill (0.5f);
        c.engine->targetJumpClock[4] = 5.0f;
        c.engine->lcgState = seed;
        c.engine->updateTargetIntensities();
        const auto jumped = c.engine->targetOffsets;

        Control plain (1.0f);
        plain.engine->targetIntensity.fill (0.5f);
        plain.engine->updateTargetIntensities();

        const float i5 = plain.engine->targetIntensity[4];
        const float d = (float) ((int) ((step (seed) >> 8) % 100u) - 30) * i5 * 0.6f;
        for (size_t b = 0; b < 6; ++b)
            EXPECT_NEAR (jumped.finalizerBandWidth[b], plain.engine->targetOffsets.finalizerBandWidth[b] + d, 1.0e-4f);
    }
}

//==============================================================================
// Events

TEST (KorruptEvents, DecisionIntervalFollowsAmountAndZone)
{
    // (amount, energy, sustain): the next decision comes 0.75 to 1.25 periods of the rate later.
    const std::array<float, 3> rows[] = {
        { 1.0f, 1.0f, 0.6f }, { 1.0f, 0.5f, 1.0f }, { 0.01f, 1.0f, 0.6f }, { 0.01f, 0.5f, 1.0f }, { 0.3f, 0.7f, 0.8f },
    };

    for (const auto& [a, energy, sustain] : rows)
    {
        Control c (a);
        c.engine->zoneEnergy = energy;
        c.engine->zoneSustain = sustain;
        const float rate = std::max (0.1f, (5.8f * std::pow (a, 1.5f) + 0.2f) * (0.6f * energy + 0.7f)
                                               * (1.0f - 0.3f * sustain));

        for (int decision = 0; decision < 20; ++decision)
        {
            c.engine->scheduleClock = c.engine->scheduleInterval;
            c.engine->scheduleEvents (0.0f);
            EXPECT_EQ (c.engine->scheduleClock, 0.0f);
            EXPECT_GE (c.engine->scheduleInterval * rate, 0.75f - 1.0e-5f) << a;
            EXPECT_LT (c.engine->scheduleInterval * rate, 1.25f) << a;
        }
    }
}

TEST (KorruptEvents, LoadAndQueueLimitTheDecisions)
{
    // At a = 1 events are made while the load is below 4; the one that crosses it is kept whole.
    Control c (1.0f, 21u);
    c.engine->zoneEnergy = 1.0f;
    c.engine->zoneSustain = 0.6f;
    c.engine->eventLoad = 3.99f;
    while (c.engine->eventCount.load() == 0)
    {
        c.engine->scheduleClock = c.engine->scheduleInterval;
        c.engine->scheduleEvents (0.0f);
    }
    EXPECT_EQ (c.engine->eventLoad, 3.99f + c.engine->eventQueue[0].weight);

    // At the limit, or with sixteen queued, no decision makes an event, yet each redraws the interval.
    for (const auto& [load, queued] : { std::pair { 4.0f, 0 }, std::pair { 0.0f, 16 } })
    {
        c.engine->eventLoad = load;
        c.engine->eventCount = queued;
        for (int decision = 0; decision < 50; ++decision)
        {
            const auto before = c.engine->lcgState.load();
            c.engine->scheduleClock = c.engine->scheduleInterval;
            c.engine->scheduleEvents (0.0f);
            EXPECT_NE (c.engine->lcgState.load(), before);
        }
        EXPECT_EQ (c.engine->eventCount.load(), queued);
        EXPECT_EQ (c.engine->eventLoad, load);
    }
}

TEST (KorruptEvents, ConfigurationByTypeAndTarget)
{
    // (type, target, tempo, sustain, attack, release, slots), at 48 kHz and a = 1 (depth 1).
    struct Row { int type, target; float bpm, sustain; int attack, release, slots; };
    const Row rows[] = {
        { 0, 2, 120.0f, 0.5f, 2400, 7200, -1 },       // one to three slots
        { 1, 1, 120.0f, 0.5f, 48000, 36000, 1 },
        { 1, 1, 40.0f, 0.5f, 96000, 72000, 1 },       // below 60 BPM the beat is one second
        { 2, 1, 120.0f, 1.0f, 12000, 960, 0 },
        { 3, 4, 120.0f, 0.5f, 24000, 1440, 0 },
        { 4, 2, 120.0f, 0.5f, 14400, 14400, 0 },
        { 5, 3, 120.0f, 0.5f, 24000, 18000, 2 },
        { 5, 2, 120.0f, 0.5f, 24000, 18000, 0 },
        { 6, 1, 120.0f, 0.5f, 24000, 3600, 0 },
        { 7, 1, 60.0f, 0.5f, 96000, 21600, 0 },
        { 8, 1, 120.0f, 0.5f, 96000, 72000, 0 },
        { 9, 5, 120.0f, 0.5f, 9600, 3600, 2 },        // both finalizer parameters
        { 9, 1, 120.0f, 0.75f, 9600, 4200, 4 },
        { 9, 0, 120.0f, 0.5f, 9600, 3600, 0 },        // no target qualified
    };

    for (const auto& r : rows)
    {
        Control c (1.0f);
        c.engine->tempoBpm = r.bpm;
        c.engine->zoneEnergy = 1.0f;
        c.engine->zoneSustain = r.sustain;
        KorruptEngine::Event e;
        e.type = r.type;
        e.target = r.target;
        c.engine->configureEvent (e);

        EXPECT_EQ (e.attackSamples, r.attack) << r.type << "/" << r.target;
        EXPECT_EQ (e.releaseSamples, r.release) << r.type << "/" << r.target;
        EXPECT_TRUE (e.running);
        EXPECT_EQ (e.depth, r.type == 8 ? 0.3f : 1.0f);
        if (r.slots >= 0)
            EXPECT_EQ (e.slotCount, r.slots) << r.type << "/" << r.target;
        else
            EXPECT_TRUE (e.slotCount >= 1 && e.slotCount <= 3);
    }

    // The slots' ranges come from the parameter table: type 9 takes 1.5 x the swing, type 5 on
    // the Distortion its two fixed ranges.
    Control c (1.0f);
    c.engine->zoneSustain = 0.5f;
    KorruptEngine::Event nine;
    nine.type = 9;
    nine.target = 2;
    c.engine->configureEvent (nine);
    EXPECT_EQ (nine.slots[0].from, -750.0f);
    EXPECT_EQ (nine.slots[0].to, 750.0f);
    EXPECT_EQ (nine.slots[3].paramIndex, 3);
    EXPECT_EQ (nine.jitter, 0.8f);

    KorruptEngine::Event five;
    five.type = 5;
    five.target = 3;
    c.engine->configureEvent (five);
    EXPECT_EQ (five.slots[1].paramIndex, 1);
    EXPECT_EQ (five.slots[1].from, -4.0f);
    EXPECT_EQ (five.slots[1].to, -8.0f);
}

TEST (KorruptEvents, ARepeatedPairIsDrawnOnceMoreOnlyWithinTheLastThree)
{
    // What a decision at a = 1 would pick: the creation draw, then type and target.
    std::uint32_t seed = 1u;
    while ((step (seed) >> 16) % 100u >= 45u)   // a seed whose decision creates an event
        ++seed;

    Control probe (1.0f);
    probe.engine->zoneEnergy = 1.0f;
    probe.engine->zoneSustain = 0.6f;
    probe.engine->lcgState = step (seed);
    const int type = probe.engine->chooseEventType();
    const int target = probe.engine->chooseEventTarget();
    const int redrawnType = probe.engine->chooseEventType();
    const int redrawnTarget = probe.engine->chooseEventTarget();

    // (history place of the repeated pair, back from historyPos; expected pair)
    const std::tuple<int, int, int> rows[] = { { 1, redrawnType, redrawnTarget }, { 3, redrawnType, redrawnTarget },
                                               { 4, type, target } };
    for (const auto& [back, expectType, expectTarget] : rows)
    {
        Control c (1.0f);
        c.engine->zoneEnergy = 1.0f;
        c.engine->zoneSustain = 0.6f;
        c.engine->historyPos = 5;
        c.engine->typeHistory[(size_t) (5 - back)] = type;
        c.engine->targetHistory[(size_t) (5 - back)] = target;
        c.engine->lcgState = seed;
        c.engine->scheduleClock = c.engine->scheduleInterval;
        c.engine->scheduleEvents (0.0f);

        ASSERT_EQ (c.engine->eventCount.load(), 1);
        EXPECT_EQ (c.engine->eventQueue[0].type, expectType) << back;
        EXPECT_EQ (c.engine->eventQueue[0].target, expectTarget) << back;
        EXPECT_EQ (c.engine->typeHistory[5], expectType);
        EXPECT_EQ (c.engine->historyPos, 6);
    }
}

TEST (KorruptEvents, EventsRunTheirEnvelopeAndLeaveTheQueueQuietTargetsUnmoved)
{
    // A type 1 event on the Delay/Verb's first parameter: attack one beat x 2, release one beat.
    for (const float intensity : { 1.0f, 0.005f })
    {
        Control c (1.0f);
        c.engine->targetIntensity.fill (intensity);
        KorruptEngine::Event e;
        e.type = 1;
        e.target = 2;
        e.attackSamples = 4800;     // 0.1 s
        e.releaseSamples = 9600;    // 0.2 s
        e.depth = 1.0f;
        e.jitter = 0.0f;
        e.slots[0] = { 0, 0.0f, 300.0f };
        e.slotCount = 1;
        e.attackCurve = 1;
        e.running = true;
        c.engine->eventQueue[0] = e;
        c.engine->eventCount = 1;
        c.engine->wobbles = {};

        std::vector<float> moves;
        int ticksRun = 0;
        while (c.engine->eventCount.load() > 0 && ticksRun < 100)
        {
            c.engine->targetOffsets = {};
            c.engine->stepEvents (tick);
            moves.push_back (c.engine->targetOffsets.delayTime);
            ++ticksRun;
        }

        // Three ticks of attack, six of release (the last reaches 1 and ends the event).
        EXPECT_EQ (ticksRun, 9) << intensity;
        if (intensity < 0.01f)
        {
            for (auto m : moves)
                EXPECT_EQ (m, 0.0f);
        }
        else
        {
            EXPECT_NEAR (moves[0], 100.0f, 1.0e-3f);
            EXPECT_NEAR (moves[2], 300.0f, 1.0e-3f);
            EXPECT_NEAR (moves.back(), 0.0f, 1.0e-3f);
        }
    }
}

TEST (KorruptEvents, EventMovesAreClampedPerParameter)
{
    // (target, index, start, v, result): v is the slot's value at the event's envelope.
    struct Row { int target, index; float start, v, result; };
    const Row rows[] = {
        { 1, 0, 190.0f, 50.0f, 200.0f },   { 1, 1, -170.0f, -50.0f, -180.0f }, { 1, 2, 90.0f, 50.0f, 100.0f },
        { 1, 3, 95.0f, 40.0f, 100.0f },    { 1, 3, 10.0f, -40.0f, 0.0f },      { 2, 0, -900.0f, -500.0f, -1000.0f },
        { 2, 1, 70.0f, 30.0f, 80.0f },     { 2, 2, -40.0f, -20.0f, -50.0f },   { 2, 3, 40.0f, 40.0f, 60.0f },
        { 3, 0, -10.0f, -20.0f, -20.0f },  { 3, 1, -10.0f, -5.0f, -12.0f },    { 3, 1, -1.0f, 5.0f, 0.0f },
        { 3, 2, 50.0f, 200.0f, 100.0f },   { 4, 0, -40.0f, -20.0f, -50.0f },   { 4, 1, 70.0f, 20.0f, 80.0f },
        { 4, 2, 0.0f, 30.0f, 15.0f },
    };

    for (const auto& r : rows)
    {
        Control c (1.0f);
        c.engine->targetIntensity.fill (1.0f);
        offsetOf (c.engine->targetOffsets, r.target, r.index) = r.start;
        KorruptEngine::Event e;
        e.target = r.target;
        e.slots[0] = { r.index, r.v, r.v };
        e.slotCount = 1;
        e.envelope = 0.37f;
        c.engine->applyEventToTargets (e);
        EXPECT_FLOAT_EQ (offsetOf (c.engine->targetOffsets, r.target, r.index), r.result)
            << r.target << "/" << r.index;
    }

    // The finalizer: each slot draws its own band.
    Control c (1.0f);
    c.engine->targetIntensity.fill (1.0f);
    c.engine->lcgState = 77u;
    KorruptEngine::Event e;
    e.target = 5;
    e.slots[0] = { 0, 5.0f, 5.0f };
    e.slots[1] = { 1, -90.0f, -90.0f };
    e.slotCount = 2;
    c.engine->applyEventToTargets (e);
    const auto widthBand = (step (77u) >> 16) % 6u, distBand = (step (step (77u)) >> 16) % 6u;
    const auto& o = c.engine->targetOffsets;
    for (size_t b = 0; b < 6; ++b)
    {
        EXPECT_EQ (o.finalizerBandWidth[b], b == widthBand ? 2.0f : 0.0f);
        EXPECT_EQ (o.finalizerBandDist[b], b == distBand ? -20.0f : 0.0f);
    }
}

TEST (KorruptEvents, TheFirstSixteenEventsStartFromEmptyHistories)
{
    Control c (1.0f, 31u);
    for (size_t i = 0; i < 8; ++i)
    {
        EXPECT_EQ (c.engine->typeHistory[i], -1);
        EXPECT_EQ (c.engine->targetHistory[i], -1);
    }

    int made = 0;
    for (int t = 0; t < 3000 && made < 16; ++t)
    {
        const int before = c.engine->eventCount.load();
        c.ticks (1);
        made += std::max (0, c.engine->eventCount.load() - before);
        ASSERT_LE (c.engine->eventCount.load(), 16);
    }
    EXPECT_GE (made, 16);
    for (size_t i = 0; i < 8; ++i)
    {
        EXPECT_GE (c.engine->typeHistory[i], 0);
        EXPECT_NE (c.engine->typeHistory[i], 8);
        EXPECT_TRUE (c.engine->targetHistory[i] >= 1 && c.engine->targetHistory[i] <= 5);
    }
    EXPECT_TRUE (c.fields.all ([] (float v) { return std::isfinite (v); }));
}

//==============================================================================
// Gestures

TEST (KorruptGestures, IntervalByZoneAndTempo)
{
    // (zone, tempo, interval) at a = 1.
    const std::tuple<int, float, float> rows[] = {
        { 0, 120.0f, 1.0f }, { 1, 120.0f, 0.5f }, { 2, 120.0f, 0.25f }, { 2, 60.0f, 0.5f }, { 2, 30.0f, 0.5f },
        { 3, 120.0f, 0.5f }, { 4, 120.0f, 0.5f }, { 5, 120.0f, 0.5f }, { 1, 60.0f, 0.5f },
    };

    for (const auto& [zone, bpm, interval] : rows)
    {
        Control c (1.0f);
        c.engine->zone = zone;
        c.engine->mirrorControlState();
        c.engine->tempoBpm = bpm;
        c.engine->stepGestures (tick);
        EXPECT_FLOAT_EQ (c.engine->gestureInterval, interval) << zone << " " << bpm;
    }
}

TEST (KorruptGestures, DelayShapesAndQuietTargets)
{
    const auto strokes = [] (int shape, int target, float delay, float intensity, float duration)
    {
        Control c (1.0f);
        c.engine->targetIntensity.fill (intensity);
        c.engine->activeGestureCount = 8;   // no new gesture
        auto& g = c.engine->gestures[0];
        g = {};
        g.shape = shape;
        g.target = target;
        g.param = 0;
        g.delay = delay;
        g.duration = duration;
        g.depth = 1.0f;
        g.running = true;

        std::vector<float> values;
        while (c.engine->gestures[0].running && values.size() < 200)
        {
            c.engine->targetOffsets = {};
            c.engine->stepGestures (tick);
            values.push_back (c.engine->targetOffsets.delayTime / 500.0f);
        }
        EXPECT_TRUE (c.engine->gestures[0].free);
        EXPECT_EQ (c.engine->activeGestureCount, 7);
        return values;
    };

    // A drawn delay of 0.49 s holds the stroke for 15 ticks.
    const auto delayed = strokes (2, 1, 0.49f, 1.0f, 0.5f);
    ASSERT_GT (delayed.size(), 16u);
    for (size_t t = 0; t < 15; ++t)
        EXPECT_EQ (delayed[t], 0.0f) << t;
    EXPECT_EQ (delayed[15], 1.0f);

    // Shape 0 starts near full depth and decays to about 2 % of it; shape 5 pushes down and
    // fades out. The last step may overshoot the end by up to one tick.
    const auto decay = strokes (0, 1, 0.0f, 1.0f, 1.0f);
    EXPECT_NEAR (decay.front(), std::exp (-4.0f / 30.0f), 1.0e-4f);
    EXPECT_NEAR (decay.back(), std::exp (-4.0f), 0.003f);
    const auto fall = strokes (5, 1, 0.0f, 1.0f, 1.0f);
    EXPECT_NEAR (fall.front(), -29.0f / 30.0f, 1.0e-4f);
    for (size_t t = 1; t < fall.size(); ++t)
        EXPECT_GT (fall[t], fall[t - 1]);
    EXPECT_NEAR (fall.back(), 0.0f, 0.035f);

    // On a quiet target the stroke runs to its end and moves nothing.
    for (auto v : strokes (2, 1, 0.0f, 0.005f, 0.5f))
        EXPECT_EQ (v, 0.0f);
}

TEST (KorruptGestures, GroupValuesAreClampedEvenOnQuietTargets)
{
    // (target, group, value, intensity, offset, start, result) at a = 1.
    using Field = float KorruptEngine::TargetOffsets::*;
    struct Row { int target, group; float value, intensity; Field field; float start, result; };
    using O = KorruptEngine::TargetOffsets;
    const Row rows[] = {
        { 0, 0, 1.0f, 1.0f, &O::stereoWidth, 150.0f, 200.0f },
        { 0, 1, -1.0f, 1.0f, &O::stereoRotation, -100.0f, -180.0f },
        { 0, 2, -0.5f, 1.0f, &O::stereoMix, 20.0f, 0.0f },
        { 0, 3, 1.0f, 1.0f, &O::stereoBalance, 80.0f, 100.0f },
        { 1, 0, 1.0f, 1.0f, &O::delayTime, 600.0f, 1000.0f },
        { 1, 1, -1.0f, 1.0f, &O::delayFeedback, -40.0f, -80.0f },
        { 1, 3, 1.0f, 1.0f, &O::delayReverbMix, 90.0f, 130.0f },   // reverb mix has no clamp here
        { 2, 0, -1.0f, 1.0f, &O::distortionDrive, 0.0f, -20.0f },
        { 2, 1, 1.0f, 1.0f, &O::distortionBitDepth, -6.0f, -12.0f },
        { 2, 1, -1.0f, 1.0f, &O::distortionBitDepth, -6.0f, 0.0f },
        { 3, 0, 1.0f, 1.0f, &O::atomizerIntensity, 50.0f, 150.0f },
        { 3, 3, 0.5f, 1.0f, &O::atomizerFeedback, 10.0f, 25.0f },
        // Quiet: nothing is added, the clamps still run.
        { 2, 0, 1.0f, 0.005f, &O::distortionDrive, 100.0f, 60.0f },
        { 0, 0, 1.0f, 0.005f, &O::stereoWidth, -300.0f, -200.0f },
        { 1, 2, 1.0f, 0.005f, &O::delayMix, 40.0f, 40.0f },
    };

    for (const auto& r : rows)
    {
        Control c (1.0f);
        c.engine->targetIntensity.fill (r.intensity);
        c.engine->targetOffsets.*r.field = r.start;
        c.engine->applyGestureValue (r.target, r.group, r.value);
        EXPECT_FLOAT_EQ (c.engine->targetOffsets.*r.field, r.result) << r.target << "/" << r.group;
    }

    // Group 2 on the finalizer draws a band and changes nothing; groups 0 and 3 move it.
    Control c (1.0f);
    c.engine->targetIntensity.fill (1.0f);
    c.engine->lcgState = 9u;
    c.engine->applyGestureValue (4, 2, 1.0f);
    EXPECT_EQ (c.engine->lcgState.load(), step (9u));
    for (size_t b = 0; b < 6; ++b)
        EXPECT_EQ (c.engine->targetOffsets.finalizerBandWidth[b] + c.engine->targetOffsets.finalizerBandDist[b], 0.0f);

    c.engine->applyGestureValue (4, 3, 0.5f);
    for (size_t b = 0; b < 6; ++b)
    {
        EXPECT_FLOAT_EQ (c.engine->targetOffsets.finalizerBandWidth[b], 0.25f);
        EXPECT_FLOAT_EQ (c.engine->targetOffsets.finalizerBandDist[b], 5.0f);
    }
}
