#include <gtest/gtest.h>

#include "effects/dictionary/DictionaryReaderProcessor.h"
#include "support/EffectTestKit.h"
#include "support/RealtimeTrap.h"
#include "ReaderLiteral.h"

#include <cmath>
#include <cstring>
#include <functional>

namespace
{
    struct Reader
    {
        explicit Reader (double rate = 44100.0)
        {
            processor.prepare (rate, 512);
            p.reading = true;
            p.wordCount = 3;
            p.mix = 100.0f;
        }

        void engines (bool micro, bool granular, bool halfTime)
        {
            p.microPitch = micro;
            p.granular = granular;
            p.halfTime = halfTime;
        }

        void run (juce::AudioBuffer<float>& b, int block = 512)
        {
            for (int start = 0; start < b.getNumSamples(); start += block)
                processor.process (b, start, std::min (block, b.getNumSamples() - start));
        }

        DictionaryReaderProcessor processor;
        DictionaryReaderParameters& p = processor.parameters;
    };

    juce::AudioBuffer<float> noise (int n, int seed = 3, float level = 0.5f)
    {
        juce::Random random (seed);
        juce::AudioBuffer<float> b (2, n);
        for (int c = 0; c < 2; ++c)
            for (int i = 0; i < n; ++i)
                b.setSample (c, i, level * (random.nextFloat() * 2.0f - 1.0f));
        return b;
    }

    bool sameBits (const juce::AudioBuffer<float>& a, const juce::AudioBuffer<float>& b)
    {
        for (int c = 0; c < a.getNumChannels(); ++c)
            if (std::memcmp (a.getReadPointer (c), b.getReadPointer (c), sizeof (float) * (size_t) a.getNumSamples()) != 0)
                return false;
        return true;
    }
}

TEST (ReaderEngines, SizesFollowTheSampleRate)
{
    Reader r (44100.0);
    EXPECT_EQ (r.processor.getMicroPitchLength(), 1543);
    EXPECT_EQ (r.processor.getMicroPitchDelay(), 661);
    EXPECT_EQ (r.processor.getGrainRingValues(), 352800);
    EXPECT_EQ (r.processor.getGrainLength(), 1764);
    EXPECT_EQ (r.processor.getGrainInterval (0.0f), 2940.0);
    EXPECT_NEAR (r.processor.getGrainInterval (1.0f), 44100.0 / 35.0, 1e-9);

    // Half-time plays no faster than at 1.2; slower factors divide the speed.
    EXPECT_NEAR (DictionaryReaderProcessor::halfTimeSpeed (0.5f, 0.0), 1.0 / 1.2, 1e-7);
    EXPECT_NEAR (DictionaryReaderProcessor::halfTimeSpeed (1.0f, 0.0), 0.8333333, 1e-6);
    EXPECT_NEAR (DictionaryReaderProcessor::halfTimeSpeed (3.0f, 0.0), 1.0 / 3.0, 1e-7);
}

TEST (ReaderEngines, GrainsStartOnTheirClockAndReadAtTheirPitch)
{
    // One grain every 2940 samples at 44.1 kHz; at +12 semitones it reads twice as fast and is
    // done after 882 samples; a later pitch change leaves the running grain's speed alone.
    Reader r;
    r.engines (false, true, false);
    r.p.grPitch = 12.0f;

    auto b = noise (2940);
    r.processor.process (b, 0, 2939);
    EXPECT_EQ (r.processor.getLiveGrainCount(), 0);
    r.processor.process (b, 2939, 1);
    ASSERT_EQ (r.processor.getLiveGrainCount(), 1);
    const auto& g = r.processor.getGrain (0);
    EXPECT_EQ (g.length, 1764);
    EXPECT_EQ (g.speed, 2.0f);
    EXPECT_EQ (g.start, (2940 - 2 * 1764 + 176400) % 176400);
    EXPECT_GE (g.pan, 0.35f);
    EXPECT_LE (g.pan, 0.65f);

    r.p.grPitch = 0.0f;
    auto more = noise (1000, 4);
    r.processor.process (more, 0, 880);
    ASSERT_EQ (r.processor.getLiveGrainCount(), 1);
    EXPECT_EQ (r.processor.getGrain (0).speed, 2.0f);
    r.processor.process (more, 880, 1);
    EXPECT_EQ (r.processor.getLiveGrainCount(), 0);   // played on samples 1..882
}

TEST (ReaderEngines, LeavesTheBlockAloneWhenNotSounding)
{
    struct Case
    {
        const char* name;
        std::function<void (DictionaryReaderParameters&)> set;
    };
    const Case cases[] = {
        { "bypassed", [] (DictionaryReaderParameters& p) { p.bypassed = true; } },
        { "no words", [] (DictionaryReaderParameters& p) { p.wordCount = 0; } },
        { "not reading", [] (DictionaryReaderParameters& p) { p.reading = false; } },
        { "MIX 0", [] (DictionaryReaderParameters& p) { p.mix = 0.0f; } },
    };

    for (const auto& c : cases)
    {
        Reader r;
        r.engines (true, true, true);
        c.set (r.p);
        auto b = noise (4096, 5, 3.0f);   // beyond tanh's knee, so any processing would show
        const juce::AudioBuffer<float> input (b);
        r.run (b);
        EXPECT_TRUE (sameBits (b, input)) << c.name;
    }
}

TEST (ReaderEngines, WithEveryEngineOffTheMixStillEndsInTanh)
{
    Reader r;
    r.p.mix = 50.0f;
    juce::AudioBuffer<float> b (2, 4);
    const float in[] = { 10.0f, -10.0f, 0.5f, 0.0f };
    for (int i = 0; i < 4; ++i)
    {
        b.setSample (0, i, in[i]);
        b.setSample (1, i, -in[i]);
    }

    r.processor.process (b, 0, 4);
    EXPECT_FLOAT_EQ (b.getSample (0, 0), std::tanh (4.0f));
    EXPECT_NEAR (b.getSample (0, 0), 0.9993f, 1e-4f);
    EXPECT_FLOAT_EQ (b.getSample (0, 1), -std::tanh (4.0f));
    EXPECT_FLOAT_EQ (b.getSample (0, 2), std::tanh (0.5f));
    EXPECT_FLOAT_EQ (b.getSample (1, 0), -std::tanh (4.0f));
    EXPECT_EQ (b.getSample (0, 3), 0.0f);
}

TEST (ReaderEngines, NonFiniteInputCountsAsSilence)
{
    // A bad sample upstream reads as 0 and leaves nothing behind in the rings.
    Reader poisoned, clean;
    for (auto* r : { &poisoned, &clean })
        r->engines (true, true, true);

    auto a = noise (8192, 9);
    auto b = a;
    const float bad[] = { std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(),
                          -std::numeric_limits<float>::infinity() };
    for (int k = 0; k < 3; ++k)
    {
        a.setSample (0, 100 + k, bad[k]);
        a.setSample (1, 3000 + k, bad[k]);
        b.setSample (0, 100 + k, 0.0f);
        b.setSample (1, 3000 + k, 0.0f);
    }

    platform::crtSrand (1);
    poisoned.run (a);
    platform::crtSrand (1);
    clean.run (b);
    EXPECT_TRUE (sameBits (a, b));
}

TEST (ReaderEngines, MatchTheLiteralFormBitForBit)
{
    // Every engine alone and all three, at the rest values and pushed ones (a pitch that puts
    // grains between frames, a fast grain clock, a slow half-time), at two rates and with a
    // one-channel block: the same samples as the plain form.
    struct Case
    {
        const char* name;
        double rate;
        bool micro, granular, halfTime;
        ReaderEngineParams engine;
        float verbDrive, mix;
    };

    ReaderEngineParams pushed;
    pushed.mpMix = 0.9f;
    pushed.grMix = 0.5f;
    pushed.htMix = 0.8f;
    pushed.mpDetune = -17.0f;
    pushed.grPitch = -7.3f;
    pushed.htTime = 3.1f;

    const Case cases[] = {
        { "micro-pitch", 44100.0, true, false, false, {}, 0.0f, 1.0f },
        { "granular", 44100.0, false, true, false, {}, 0.0f, 1.0f },
        { "half-time", 44100.0, false, false, true, {}, 0.0f, 1.0f },
        { "all at rest", 48000.0, true, true, true, {}, 0.0f, 0.6f },
        { "all pushed", 48000.0, true, true, true, pushed, 1.0f, 1.0f },
        { "all pushed 96k", 96000.0, true, true, true, pushed, 0.4f, 0.37f },
    };

    for (const auto& c : cases)
    {
        Reader r (c.rate);
        r.engines (c.micro, c.granular, c.halfTime);
        r.p.storeEngineParams (c.engine);
        r.p.verbDrive = c.verbDrive;
        r.p.mix = c.mix * 100.0f;

        reader_literal::Reader literal (c.rate);
        reader_literal::Settings s { c.mix, c.micro, c.granular, c.halfTime, c.engine, c.verbDrive };

        auto ours = noise ((int) c.rate, 11);   // a second: grains overlap, the rings wrap
        auto theirs = ours;

        platform::crtSrand (1);
        r.run (ours, 480);
        platform::crtSrand (1);
        for (int start = 0; start < theirs.getNumSamples(); start += 480)
        {
            const int n = std::min (480, theirs.getNumSamples() - start);
            literal.process (theirs.getWritePointer (0, start), theirs.getWritePointer (1, start), n, s);
        }

        EXPECT_TRUE (sameBits (ours, theirs)) << c.name;
    }
}

TEST (ReaderEngines, OneChannelBlocksSoundLikeTheLeftOfAPair)
{
    Reader mono, stereo;
    for (auto* r : { &mono, &stereo })
        r->engines (true, true, true);

    auto pair = noise (20000, 12);
    for (int i = 0; i < pair.getNumSamples(); ++i)
        pair.setSample (1, i, pair.getSample (0, i));
    juce::AudioBuffer<float> single (1, pair.getNumSamples());
    single.copyFrom (0, 0, pair, 0, 0, pair.getNumSamples());

    platform::crtSrand (1);
    stereo.run (pair);
    platform::crtSrand (1);
    mono.run (single);

    EXPECT_EQ (std::memcmp (single.getReadPointer (0), pair.getReadPointer (0), sizeof (float) * 20000), 0);
}

TEST (ReaderEngines, GrainWindowTableIsTheCosineItself)
{
    for (double rate : { 22050.0, 44100.0, 48000.0, 96000.0 })
    {
        Reader r (rate);
        const int g = r.processor.getGrainLength();
        for (int k = 0; k < g; ++k)
        {
            const float literal = 0.5f * (1.0f - std::cos (juce::MathConstants<float>::twoPi * (float) k / (float) g));
            ASSERT_EQ (DictionaryReaderProcessor::hannWindow ((float) k, g), literal) << rate << " " << k;
        }
    }
}

TEST (ReaderEngines, RevertRequestSendsPositionsBackToTheStart)
{
    Reader r;
    r.engines (true, true, true);
    auto b = noise (10000, 13);
    r.run (b);
    ASSERT_GT (r.processor.getHalfTimeRead(), 0.0);
    ASSERT_GT (r.processor.getHalfTimePhase(), 0.0);

    r.p.engineResetRequests.fetch_add (1);
    r.p.reading = false;   // the request is taken even by a block that does nothing else
    r.processor.process (b, 0, 1);
    EXPECT_EQ (r.processor.getHalfTimeRead(), 0.0);
    EXPECT_EQ (r.processor.getHalfTimePhase(), 0.0);
    EXPECT_EQ (r.processor.getGrainClock(), 0.0f);
    EXPECT_EQ (r.processor.getLiveGrainCount(), 0);
}

TEST (ReaderEngines, ReadingWithEveryEngineAllocatesNothing)
{
    // Blocks up to the dry copies' size and well past it, from 1 and 2 channels, grains busy.
    Reader r (48000.0);
    r.engines (true, true, true);
    r.p.verbDrive = 1.0f;
    r.p.grPitch = -24.0f;
    auto b = noise (20000, 14);
    r.processor.process (b, 0, 64);

    juce::AudioBuffer<float> single (1, 3000);
    single.clear();

    testing_rt::RealtimeScope scope;
    for (int n : { 64, 512, 8192, 20000 })
        r.processor.process (b, 0, n);
    r.processor.process (single, 0, 3000);
    EXPECT_TRUE (scope.counts().clean());
    EXPECT_GT (r.processor.getLiveGrainCount(), 1);
}

//==============================================================================
namespace
{
    struct KitReader
    {
        effect_kit::Parameter atomic (const char* name, double lo, double hi, std::atomic<float>& v)
        {
            return { name, lo, hi, [&v] (double x) { v.store ((float) x); }, [&v] { return (double) v.load(); }, {} };
        }

        effect_kit::EffectAdapter adapter()
        {
            auto fx = effect_kit::processorAdapter ("Dictionary reader", processor);
            auto& p = processor.parameters;
            p.reading = true;
            p.wordCount = 4;
            p.microPitch = p.granular = p.halfTime = true;

            // MIX 0 hands the block on untouched (its own test); from MIX 1 on the tanh bounds it.
            fx.parameters = { atomic ("MIX", 1.0, 100.0, p.mix),
                              atomic ("mpMix", 0.0, 1.0, p.mpMix), atomic ("grMix", 0.0, 0.5, p.grMix),
                              atomic ("htMix", 0.0, 1.0, p.htMix), atomic ("mpDetune", -20.0, 20.0, p.mpDetune),
                              atomic ("grPitch", -24.0, 24.0, p.grPitch), atomic ("htTime", 0.5, 4.0, p.htTime),
                              atomic ("verbDrive", 0.0, 1.0, p.verbDrive) };
            fx.prepare = [this] (double rate, int block) { processor.prepare (rate, block); processor.reset(); };
            fx.neutral = [] {};
            fx.outputBound = std::tanh (4.0f);
            return fx;
        }

        DictionaryReaderProcessor processor;
    };
}

TEST (ReaderKit, OutputStaysFiniteWithinTanhOfFour)
{
    KitReader k;
    effect_kit::RobustnessOptions options;
    options.blockSizes = { 1, 512, 10000 };
    const auto report = effect_kit::checkRobustness (k.adapter(), options);
    EXPECT_TRUE (report.ok()) << report.summary();
}

TEST (ReaderKit, SilenceStaysSilent)
{
    KitReader k;
    const auto report = effect_kit::checkSilence (k.adapter());
    EXPECT_TRUE (report.ok()) << report.summary();
}

TEST (ReaderKit, AllocatesNothingAndTakesNoLock)
{
    KitReader k;
    const auto report = effect_kit::checkRealtime (k.adapter());
    EXPECT_TRUE (report.ok()) << report.summary();
}

TEST (ReaderKit, ParameterStepsJumpNoFurtherThanTheSteadyOutputsDiffer)
{
    KitReader k;
    auto fx = k.adapter();
    const auto report = effect_kit::checkSmoothness (fx);
    EXPECT_TRUE (report.ok()) << report.summary();
}
