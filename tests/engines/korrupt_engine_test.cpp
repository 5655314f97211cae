#include <gtest/gtest.h>

#include "engines/KorruptEngine.h"
#include "support/EffectTestKit.h"
#include "support/RealtimeTrap.h"

#include <juce_audio_basics/juce_audio_basics.h>

#include <cmath>
#include <limits>
#include <memory>
#include <vector>

namespace
{
    constexpr float qnan = std::numeric_limits<float>::quiet_NaN();

    std::unique_ptr<KorruptEngine> preparedEngine (double sampleRate = 48000.0, int blockSize = 512)
    {
        auto engine = std::make_unique<KorruptEngine>();
        engine->setClockSeed (1234567ull);
        engine->prepare (sampleRate, blockSize);
        return engine;
    }

    /** Switched on at a level through the knob's rule, with the reseed request taken. */
    void runAtLevel (KorruptEngine& engine, int level)
    {
        engine.active = true;
        engine.setLevelFromKnob (level);
        engine.serviceRequests();
    }

    struct Stereo
    {
        std::vector<float> left, right;
    };

    Stereo noise (int n, float level, std::uint32_t seed)
    {
        Stereo s { std::vector<float> ((size_t) n), std::vector<float> ((size_t) n) };
        for (int i = 0; i < n; ++i)
        {
            seed = seed * 1664525u + 1013904223u;
            s.left[(size_t) i] = level * ((float) (seed >> 8) / 8388608.0f - 1.0f);
            seed = seed * 1664525u + 1013904223u;
            s.right[(size_t) i] = level * ((float) (seed >> 8) / 8388608.0f - 1.0f);
        }
        return s;
    }

    /** The output stage written from its definition, decibels and all, for a chain that leaves
        the pair alone. */
    struct LiteralOutputStage
    {
        double sampleRate;
        float trim;
        float dc[4] {}, low[4] {};

        static float clip (float x, float knee, float range)
        {
            if (std::abs (x) < knee)
                return x;
            return (x > 0.0f ? 1.0f : -1.0f) * (knee + range * std::tanh (2.0f * (std::abs (x) - knee)));
        }

        void run (float& l, float& r)
        {
            const float dry[2] = { l, r };
            float wet[2] = { l, r };
            const float w = 80.0f / (float) sampleRate, a = w / (w + 1.0f);

            for (int ch = 0; ch < 2; ++ch)
            {
                const float x = clip (wet[ch], 0.85f, 0.15f);
                const float y = 0.995f * dc[ch * 2 + 1] + x - dc[ch * 2];
                dc[ch * 2] = x;
                dc[ch * 2 + 1] = y;
                wet[ch] = std::clamp (clip (y, 0.95f, 0.05f), -trim, trim);

                low[ch] += a * (wet[ch] - low[ch]);
                low[ch + 2] += a * (dry[ch] - low[ch + 2]);
                const float wetLevel = std::abs (low[ch]) + 0.0001f, dryLevel = std::abs (low[ch + 2]) + 0.0001f;
                const float d = 20.0f * std::log10 (wetLevel / dryLevel);
                if (std::abs (d) > 2.0f)
                    wet[ch] = wet[ch] - low[ch] + std::pow (10.0f, (d > 0 ? 2.0f : -2.0f) / 20.0f) * dryLevel / wetLevel * low[ch];
                wet[ch] = std::clamp (wet[ch], -trim, trim);
            }

            l = 0.75f * wet[0] + 0.25f * dry[0];
            r = 0.75f * wet[1] + 0.25f * dry[1];
        }
    };
}

//==============================================================================
TEST (KorruptEngine, ConstructionDefaults)
{
    KorruptEngine engine;
    EXPECT_FALSE (engine.active.load());
    EXPECT_EQ (engine.amount.load(), 0.0f);
    EXPECT_EQ (engine.level.load(), 0);
    EXPECT_EQ (engine.zone, 2);
    EXPECT_EQ (engine.targetZone, 2);
    EXPECT_FLOAT_EQ (engine.logisticX, 0.4f);
    EXPECT_EQ (engine.getSampleRate(), 44100.0);
    for (auto entry : engine.effectHistory)
        EXPECT_EQ (entry, -1);
    EXPECT_EQ (engine.getCharacter()[11], 40.0f);
    EXPECT_TRUE (engine.getLines().tape.left.empty());
}

TEST (KorruptEngine, ReseedIsDeterministicPerLevelAndVisitCount)
{
    for (int level = 0; level <= 10; ++level)
    {
        KorruptEngine a, b;
        a.reseedLevel (level);
        b.reseedLevel (level);
        EXPECT_EQ (a.getCharacter(), b.getCharacter()) << "level " << level;

        b.levelVisits[(size_t) level] = 1;
        b.reseedLevel (level);
        EXPECT_NE (a.getCharacter(), b.getCharacter()) << "level " << level;

        for (int visits = 0; visits < 40; ++visits)
        {
            b.levelVisits[(size_t) level] = visits * 7919;
            b.reseedLevel (level);
            const float c11 = b.getCharacter()[11];
            EXPECT_EQ (c11, std::floor (c11));
            EXPECT_GE (c11, 5.0f);
            EXPECT_LE (c11, 79.0f);
            for (int i = 0; i < 10; ++i)
                EXPECT_TRUE (b.getCharacter()[(size_t) i] >= -0.35f && b.getCharacter()[(size_t) i] <= 0.3493f);
        }
    }
}

TEST (KorruptEngine, OutputTrimFromDecibels)
{
    struct Case { float dB; float expected; };
    const Case cases[] = { { -30.0f, 0.0630957f }, { -200.0f, 0.0630957f }, { -24.0f, 0.0630957f },
                           { -6.0f, 0.5011872f }, { 0.0f, 1.0f }, { 6.0f, 1.0f }, { qnan, 1.0f },
                           { -std::numeric_limits<float>::infinity(), 0.0630957f } };
    for (const auto& c : cases)
    {
        KorruptEngine engine;
        engine.setOutputTrimDb (c.dB);
        EXPECT_NEAR (engine.outputTrim, c.expected, 1.0e-6f) << "dB " << c.dB;
    }
}

TEST (KorruptEngine, BufferLengthsFollowTheSampleRate)
{
    auto at48k = preparedEngine (48000.0);
    EXPECT_EQ (at48k->getLines().tape.left.size(), 192000u);
    EXPECT_EQ (at48k->getLines().freeze.left.size(), 48000u);
    EXPECT_EQ (at48k->getLines().freeze.right.size(), 48000u);
    EXPECT_EQ (at48k->getLines().warble.left.size(), 48000u);

    auto at1k = preparedEngine (1000.0);
    EXPECT_EQ (at1k->getLines().freeze.left.size(), 2048u);
    EXPECT_EQ (at1k->getLines().flanger.left.size(), 10u);
    EXPECT_EQ (at1k->getLines().repeat.left.size(), 4096u);
}

TEST (KorruptEngine, SeedFollowsTheInjectedClock)
{
    auto a = preparedEngine(), b = preparedEngine();
    EXPECT_EQ (a->pcgState, b->pcgState);
    EXPECT_EQ (a->biases, b->biases);
    EXPECT_EQ (a->walks[3].value, b->walks[3].value);

    KorruptEngine c;
    c.setClockSeed (7654321ull);
    c.prepare (48000.0, 512);
    EXPECT_NE (a->pcgState, c.pcgState);
    for (const auto& slot : c.effectSlots)
        EXPECT_TRUE (slot.gain >= 0.5f && slot.gain <= 1.0f && slot.enabled);
}

//==============================================================================
TEST (KorruptEngine, SwitchingOffClearsTheRunningStateAtTheNextBlockButKeepsSettings)
{
    auto engine = preparedEngine();
    runAtLevel (*engine, 4);
    runAtLevel (*engine, 7);
    engine->safeMode = false;
    engine->setOutputTrimDb (-6.0f);
    engine->periodicityOn = false;
    engine->logisticX = 0.9f;

    // The menu: off, then a reset request; the audio thread keeps calling process.
    engine->active = false;
    engine->requestSoftReset();
    for (int l = 0; l <= 10; ++l)
        EXPECT_EQ (engine->levelVisits[(size_t) l].load(), 0);

    std::vector<float> left (64, 0.1f), right (64, 0.1f);
    engine->process (left.data(), right.data(), 64);

    EXPECT_EQ (engine->amount.load(), 0.0f);
    EXPECT_EQ (engine->level.load(), 0);
    EXPECT_FLOAT_EQ (engine->logisticX, 0.4f);
    EXPECT_FALSE (engine->safeMode);
    EXPECT_NEAR (engine->outputTrim, 0.5011872f, 1.0e-6f);
    EXPECT_FALSE (engine->periodicityOn);
    EXPECT_EQ (left, std::vector<float> (64, 0.1f));
}

TEST (KorruptEngine, KnobReseedCarriesTheVisitCountItWasMadeWith)
{
    auto engine = preparedEngine();
    engine->active = true;
    engine->setLevelFromKnob (3);
    engine->setLevelFromKnob (5);
    engine->setLevelFromKnob (3);   // second visit of level 3: only this request survives
    engine->serviceRequests();

    KorruptEngine reference;
    reference.levelVisits[3] = 2;
    reference.reseedLevel (3);
    EXPECT_EQ (engine->getCharacter(), reference.getCharacter());
    EXPECT_EQ (engine->level.load(), 3);
    EXPECT_FLOAT_EQ (engine->amount.load(), 0.3f);

    // Level 0 is stored but neither counted nor reseeded; an inactive engine ignores the knob.
    engine->setLevelFromKnob (0);
    EXPECT_EQ (engine->levelVisits[0].load(), 0);
    engine->active = false;
    engine->setLevelFromKnob (8);
    EXPECT_EQ (engine->level.load(), 0);
}

//==============================================================================
TEST (KorruptEngine, EntryGates)
{
    struct Case { const char* name; bool active; float amount; bool fading; int n; bool changed; };
    const Case cases[] = {
        { "inactive", false, 1.0f, false, 512, false },
        { "amount below a thousandth", true, 0.0005f, false, 512, false },
        { "longer than 8192", true, 1.0f, false, 8193, false },
        { "8192", true, 1.0f, false, 8192, true },
        { "one sample", true, 1.0f, false, 1, true },
        { "fading with amount 0", true, 0.0f, true, 512, true },
    };

    for (const auto& c : cases)
    {
        auto engine = preparedEngine();
        engine->active = c.active;
        engine->amount = c.amount;
        engine->fadingOut = c.fading;
        // A chain that would be heard if it ran: every sample doubled.
        engine->setChainHookForTests ([] (float& l, float& r, void*) noexcept { l *= 2.0f; r *= 2.0f; }, nullptr);

        auto input = noise (c.n, 0.3f, 5);
        auto out = input;
        engine->process (out.left.data(), out.right.data(), c.n);
        EXPECT_EQ (out.left != input.left, c.changed) << c.name;

        if (c.fading)
        {
            float gain = 1.0f;
            for (int i = 0; i < c.n; ++i)
            {
                gain *= 0.9995f;
                ASSERT_FLOAT_EQ (out.left[(size_t) i], input.left[(size_t) i] * gain) << i;
            }
            EXPECT_TRUE (engine->fadingOut);
        }
    }
}

TEST (KorruptEngine, PanicFadeEndsBelowAThousandthAndProcessingResumes)
{
    auto engine = preparedEngine();
    runAtLevel (*engine, 5);
    engine->fadingOut = true;

    std::vector<float> l (512), r (512);
    int blocks = 0;
    while (engine->fadingOut && blocks < 100)
    {
        std::fill (l.begin(), l.end(), 0.5f);
        std::fill (r.begin(), r.end(), 0.5f);
        engine->process (l.data(), r.data(), 512);
        ++blocks;
    }
    EXPECT_NEAR (blocks, 27, 1);   // 0.9995^n falls below 0.001 near n = 13813
    EXPECT_LT (engine->fadeGain, 0.001f);

    // The next block is processed again.
    std::fill (l.begin(), l.end(), 0.5f);
    std::fill (r.begin(), r.end(), 0.5f);
    engine->process (l.data(), r.data(), 512);
    EXPECT_NE (l[100], 0.5f);
}

TEST (KorruptEngine, NonFiniteChainOutputNeverLeavesAndElevenInARowEngageTheSafety)
{
    auto engine = preparedEngine();
    runAtLevel (*engine, 8);
    engine->safeMode = false;

    struct Switch { int nanFrom; int index; } sw { 3, 0 };
    engine->setChainHookForTests ([] (float& l, float& r, void* ctx) noexcept
    {
        auto& s = *static_cast<Switch*> (ctx);
        if (s.index++ >= s.nanFrom)
            l = r = std::numeric_limits<float>::quiet_NaN();
    }, &sw);

    // Three good samples, then NaN: the wet side holds the third good pair.

    auto input = noise (20, 0.4f, 9);
    auto out = input;
    engine->process (out.left.data(), out.right.data(), 20);

    for (int i = 0; i < 20; ++i)
    {
        ASSERT_TRUE (std::isfinite (out.left[(size_t) i]) && std::isfinite (out.right[(size_t) i]));
    }
    EXPECT_TRUE (engine->safetyEngaged);
    EXPECT_FLOAT_EQ (engine->amount.load(), 0.3f);
    EXPECT_EQ (engine->nonFiniteRun, 17);

    // From the first sample on, the pair held is the silence the watch starts with.
    auto fresh = preparedEngine();
    runAtLevel (*fresh, 8);
    Switch always { 0, 0 };
    fresh->setChainHookForTests ([] (float& l, float& r, void* ctx) noexcept
    {
        ++static_cast<Switch*> (ctx)->index;
        l = r = std::numeric_limits<float>::quiet_NaN();
    }, &always);
    auto block = noise (10, 0.4f, 3);
    const auto dry = block;
    fresh->process (block.left.data(), block.right.data(), 10);
    for (int i = 0; i < 10; ++i)
        EXPECT_FLOAT_EQ (block.left[(size_t) i], 0.25f * dry.left[(size_t) i]);
    EXPECT_FALSE (fresh->safetyEngaged);   // ten in a row are not yet a trip
}

TEST (KorruptEngine, WithNoEffectTheOutputIsTheSafetyStageBlendedWithTheDry)
{
    // Against the literal stage with its per-sample decibels: the ratio test must agree. A loud
    // bass under a quiet top makes the low band match work in both directions.
    for (const float trimDb : { 0.0f, -6.0f })
    {
        auto engine = preparedEngine();
        runAtLevel (*engine, 10);
        engine->setOutputTrimDb (trimDb);

        LiteralOutputStage literal { 48000.0, engine->outputTrim };
        const int n = 512;
        for (int block = 0; block < 40; ++block)
        {
            auto s = noise (n, 0.2f, (std::uint32_t) block + 1);
            for (int i = 0; i < n; ++i)
            {
                const float bass = 1.6f * std::sin (2.0f * 3.14159265f * 50.0f * (float) (block * n + i) / 48000.0f);
                s.left[(size_t) i] += bass;
                s.right[(size_t) i] -= bass * 0.5f;
            }

            auto expected = s;
            for (int i = 0; i < n; ++i)
                literal.run (expected.left[(size_t) i], expected.right[(size_t) i]);

            auto out = s;
            engine->process (out.left.data(), out.right.data(), n);
            for (int i = 0; i < n; ++i)
            {
                ASSERT_NEAR (out.left[(size_t) i], expected.left[(size_t) i], 1.0e-6f) << block << ":" << i;
                ASSERT_NEAR (out.right[(size_t) i], expected.right[(size_t) i], 1.0e-6f) << block << ":" << i;
            }
        }
    }
}

TEST (KorruptEngine, OutputStaysWithinTheCeilingPlusAQuarterOfTheDry)
{
    struct Case { const char* name; float trimDb; float inputLevel; float chainGain; };
    const Case cases[] = { { "hot chain", 0.0f, 0.5f, 40.0f }, { "low ceiling", -20.0f, 2.0f, 1.0f },
                           { "silenced chain", -3.0f, 1.5f, 0.0f } };

    for (const auto& c : cases)
    {
        auto engine = preparedEngine();
        runAtLevel (*engine, 10);
        engine->setOutputTrimDb (c.trimDb);
        float gain = c.chainGain;
        engine->setChainHookForTests ([] (float& l, float& r, void* g) noexcept
        {
            l *= *static_cast<float*> (g);
            r *= *static_cast<float*> (g);
        }, &gain);

        for (int block = 0; block < 30; ++block)
        {
            auto s = noise (512, c.inputLevel, (std::uint32_t) block + 11);
            s.left[7] = qnan;
            auto out = s;
            engine->process (out.left.data(), out.right.data(), 512);
            for (size_t i = 0; i < 512; ++i)
            {
                const float dryL = std::isfinite (s.left[i]) ? s.left[i] : 0.0f;
                ASSERT_TRUE (std::isfinite (out.left[i])) << c.name;
                ASSERT_LE (std::abs (out.left[i]), engine->outputTrim * 0.75f + 0.25f * std::abs (dryL) + 1.0e-6f) << c.name << " " << i;
                ASSERT_LE (std::abs (out.right[i]), engine->outputTrim * 0.75f + 0.25f * std::abs (s.right[i]) + 1.0e-6f) << c.name;
            }
        }
    }
}

TEST (KorruptEngine, OnsetFlagComparesWithTheBlockBeforeThePrevious)
{
    auto engine = preparedEngine();
    runAtLevel (*engine, 5);
    const float levels[] = { 0.0f, 0.5f, 0.5f, 0.5f };
    const bool flags[] = { false, true, true, false };   // the third block still sees the silent first
    for (int b = 0; b < 4; ++b)
    {
        std::vector<float> l (256, levels[b]), r (256, levels[b]);
        engine->process (l.data(), r.data(), 256);
        EXPECT_EQ (engine->onsetFlag, flags[b]) << "block " << b;
    }
}

TEST (KorruptEngine, PassesTheEffectKit)
{
    KorruptEngine engine;
    engine.setClockSeed (99ull);

    effect_kit::EffectAdapter fx;
    fx.name = "Korrupt";
    fx.prepare = [&] (double sr, int block) { engine.prepare (sr, block); engine.active = true; };
    fx.process = [&] (juce::AudioBuffer<float>& b) { engine.process (b.getWritePointer (0), b.getWritePointer (1), b.getNumSamples()); };
    // At level 0 the engine does not run and the block passes as it came, NaN included; the
    // kit judges the engine where it processes.
    fx.parameters.push_back ({ "LEVEL", 1.0, 10.0,
                               [&] (double v) { engine.setLevelFromKnob ((int) std::lround (v)); },
                               [&] { return (double) engine.level.load(); }, {} });
    fx.neutral = [&] { engine.setLevelFromKnob (1); };
    fx.outputBound = 0.75f + 0.25f * 1.0e6f;   // the dry quarter of a huge input passes

    auto robust = effect_kit::checkRobustness (fx);
    EXPECT_TRUE (robust.ok()) << robust.summary();
    auto silence = effect_kit::checkSilence (fx);
    EXPECT_TRUE (silence.ok()) << silence.summary();
    auto realtime = effect_kit::checkRealtime (fx);
    EXPECT_TRUE (realtime.ok()) << realtime.summary();
}
