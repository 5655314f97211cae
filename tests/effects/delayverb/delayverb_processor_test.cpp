#include <gtest/gtest.h>

#include "effects/delayverb/DelayVerbProcessor.h"
#include "DelayVerbLiteral.h"

#include <cmath>
#include <limits>
#include <random>

namespace
{
    using P = DelayVerbParameters;
    constexpr double rate = 48000.0;

    juce::AudioBuffer<float> impulse (int length, float left, float right, int at = 0)
    {
        juce::AudioBuffer<float> b (2, length);
        b.clear();
        b.setSample (0, at, left);
        b.setSample (1, at, right);
        return b;
    }

    juce::AudioBuffer<float> noise (int length, std::uint32_t seed, float level)
    {
        std::mt19937 gen (seed);
        std::uniform_real_distribution<float> dist (-level, level);
        juce::AudioBuffer<float> b (2, length);
        for (int c = 0; c < 2; ++c)
            for (int i = 0; i < length; ++i)
                b.setSample (c, i, dist (gen));
        return b;
    }

    void run (DelayVerbProcessor& fx, juce::AudioBuffer<float>& b, int blockSize = 512)
    {
        for (int start = 0; start < b.getNumSamples(); start += blockSize)
            fx.process (b, start, std::min (blockSize, b.getNumSamples() - start));
    }

    /** A processor prepared at 48 kHz with the knobs at their start values and no wobble. */
    struct Fixture
    {
        Fixture() { fx.prepare (rate, 512); }
        DelayVerbProcessor fx;
        P& p = fx.parameters;
    };

    int peakIndex (const float* x, int from, int to)
    {
        int best = from;
        for (int i = from; i < to; ++i)
            if (std::abs (x[i]) > std::abs (x[best]))
                best = i;
        return best;
    }
}

//==============================================================================
TEST (DelayVerbProcessor, WrapIndexAgreesWithTheRemainderForm)
{
    for (int length : { 1, 2, 3, 4, 7, 882, 240000 })
        for (int index = -2 * length; index < 2 * length; index += std::max (1, length / 97))
        {
            const int literal = std::clamp (((index % length) + length) % length, 0, length - 1);
            ASSERT_EQ (DelayVerbProcessor::wrapIndex (index, length), literal) << index << " of " << length;
        }
}

TEST (DelayVerbProcessor, MatchesTheLiteralFormWithThePadMovingEveryBlock)
{
    // Cached pan cosine and sine and compare-and-subtract wrapping must not change one bit.
    struct Case { const char* name; delayverb_test::LiteralSettings s; int blockSize; bool padMoves; int length = 48000; };
    delayverb_test::LiteralSettings worst;
    worst.feedback = 95; worst.modDepth = 20; worst.modRate = 10; worst.size = 100; worst.decay = 20;
    worst.damp = 100; worst.late = 100; worst.delayMixLeft = worst.delayMixRight = 100;
    worst.reverbMixLeft = worst.reverbMixRight = 100; worst.time = 250.0f; worst.pingPong = 1.0f;

    delayverb_test::LiteralSettings shortLines = worst;
    shortLines.time = 0.5f; shortLines.stereo = 0.0f; shortLines.preDelay = 0.0f; shortLines.modDepth = 20;

    // The longest delay (a synced 1/1 at 20 BPM plays at the line's length less one) with the
    // deepest wobble reads from more than one line length behind the write position.
    delayverb_test::LiteralSettings longest = worst;
    longest.time = 5000.0f; longest.stereo = 50.0f;

    delayverb_test::LiteralSettings defaultsDl = {};
    defaultsDl.delayMixLeft = 100;

    delayverb_test::LiteralSettings mixed = {};
    mixed.delayMixLeft = 40; mixed.delayMixRight = 70; mixed.reverbMixLeft = 25; mixed.reverbMixRight = 90;
    mixed.lowpass = 900; mixed.highpass = 1500; mixed.width = 0; mixed.pingPong = 0.4f; mixed.delayPan = -0.3f;

    const Case cases[] = {
        { "defaults, D L 100", defaultsDl, 512, false },
        { "worst case, pad moving, 64", worst, 64, true },
        { "worst case, pad moving, 512", worst, 512, true },
        { "shortest delays, 1-sample blocks", shortLines, 1, true },
        { "longest delays, deepest wobble", longest, 512, true, 250000 },
        { "mixed, odd blocks", mixed, 333, true },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.name);
        DelayVerbProcessor fx;
        fx.prepare (rate, 512);
        delayverb_test::LiteralDelayVerb literal (rate);

        auto& p = fx.parameters;
        p.setKnob (P::time, c.s.time);            p.setKnob (P::feedback, c.s.feedback);
        p.setKnob (P::stereo, c.s.stereo);        p.setKnob (P::delayMod, c.s.modDepth);
        p.setKnob (P::delayRate, c.s.modRate);    p.setKnob (P::delayLowpass, c.s.lowpass);
        p.setKnob (P::delayHighpass, c.s.highpass);
        p.setKnob (P::preDelay, c.s.preDelay);    p.setKnob (P::decay, c.s.decay);
        p.setKnob (P::size, c.s.size);            p.setKnob (P::damp, c.s.damp);
        p.setKnob (P::late, c.s.late);            p.setKnob (P::width, c.s.width);
        p.setKnob (P::delayLeft, c.s.delayMixLeft);   p.setKnob (P::delayRight, c.s.delayMixRight);
        p.setKnob (P::reverbLeft, c.s.reverbMixLeft); p.setKnob (P::reverbRight, c.s.reverbMixRight);
        p.pingPong = c.s.pingPong;

        const int length = c.length;
        auto input = noise (length, 7, 0.9f);
        auto expected = input;
        auto settings = c.s;
        float worstDiff = 0.0f;

        for (int start = 0, block = 0; start < length; start += c.blockSize, ++block)
        {
            const int n = std::min (c.blockSize, length - start);
            if (c.padMoves)
                settings.delayPan = std::sin ((float) block * 0.37f);
            p.delayPan = settings.delayPan;

            fx.process (input, start, n);
            literal.process (expected.getWritePointer (0, start), expected.getWritePointer (1, start), n, settings);
        }

        for (int ch = 0; ch < 2; ++ch)
            for (int i = 0; i < length; ++i)
                worstDiff = std::max (worstDiff, std::abs (input.getSample (ch, i) - expected.getSample (ch, i)));

        EXPECT_EQ (worstDiff, 0.0f);
    }
}

//==============================================================================
TEST (DelayVerbProcessor, DelayAndPanShapeTheEchoes)
{
    // An impulse of 0.2 in the given channels; D L and D R at 100, no wobble. The first echo
    // arrives after 250.5 ms (12024 samples) on the left and 260.5 ms (12504) on the right.
    struct Case { const char* name; float pan, pingPong, inLeft, inRight; float echoLeft, echoRight; };
    const float c45 = std::cos (0.7853982f);
    const Case cases[] = {
        { "centre", 0.0f, 0.0f, 0.2f, 0.2f, 0.7f * c45 * 0.2f, 0.7f * c45 * 0.2f },
        { "hard left", -1.0f, 0.0f, 0.2f, 0.2f, 0.7f * 0.2f, 0.0f },
        { "hard right", 1.0f, 0.0f, 0.2f, 0.2f, 0.0f, 0.7f * 0.2f },
        // Ping-pong: the right output hears the left line with weight 1 - sin (45 degrees).
        { "ping-pong, left only", 0.0f, 1.0f, 0.2f, 0.0f, 0.7f * c45 * 0.2f, 0.7f * (1.0f - c45) * 0.2f },
        { "no ping-pong, left only", 0.0f, 0.0f, 0.2f, 0.0f, 0.7f * c45 * 0.2f, 0.0f },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.name);
        Fixture f;
        f.p.setKnob (P::delayMod, 0.0f);
        f.p.setKnob (P::delayLeft, 100.0f);
        f.p.setKnob (P::delayRight, 100.0f);
        f.p.delayPan = c.pan;
        f.p.pingPong = c.pingPong;

        auto b = impulse (13000, c.inLeft, c.inRight);
        run (f.fx, b);

        EXPECT_FLOAT_EQ (b.getSample (0, 0), std::tanh (0.5f * c.inLeft));
        EXPECT_NEAR (b.getSample (0, 12024), std::tanh (c.echoLeft), 1.0e-6f);
        // The right line's own echo comes 10 ms later; ping-pong hears the left one at 12024.
        const float rightAtLeftEcho = b.getSample (1, 12024);
        const float rightOwnEcho = b.getSample (1, 12504);
        EXPECT_NEAR (c.inRight > 0.0f ? rightOwnEcho : rightAtLeftEcho, std::tanh (c.echoRight), 1.0e-6f);
    }
}

TEST (DelayVerbProcessor, DefaultsWithTheLeftDelayMixWobbleAroundTheKnobTime)
{
    Fixture f;
    f.p.setKnob (P::delayLeft, 100.0f);
    auto b = impulse (14000, 0.3f, 0.3f);
    run (f.fx, b);

    // Right: D R and R R are 0, so only tanh of the input.
    EXPECT_FLOAT_EQ (b.getSample (1, 0), std::tanh (0.3f));
    for (int i = 1; i < b.getNumSamples(); ++i)
        ASSERT_EQ (b.getSample (1, i), 0.0f) << i;

    // Left: half the input, then the echo 250.5 ms later, moved by at most 2 ms at 1 Hz.
    EXPECT_FLOAT_EQ (b.getSample (0, 0), std::tanh (0.15f));
    const int at = peakIndex (b.getReadPointer (0), 1, b.getNumSamples());
    EXPECT_NEAR (at, 12024, 96);
    EXPECT_NEAR (b.getSample (0, at), std::tanh (0.7f * 0.70710677f * 0.3f), 1.0e-6f);
}

TEST (DelayVerbProcessor, FeedbackIsHeldAtNinetyFivePercent)
{
    // Echo-to-echo level of a 1 kHz burst through the feedback path: 0.75 x FDBK / 100 times
    // the filters' (nearly flat) response there. Offsets beyond 95 change nothing.
    struct Case { float knob, korrupt, randomiserTarget, factor; };
    const Case cases[] = { { 95, 0, 0, 0.7125f }, { 95, 40, 0, 0.7125f }, { 60, 30, 0, 0.675f },
                           { 40, 0, 0, 0.3f }, { 10, -50, 0, 0.0f } };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.knob + c.korrupt);
        Fixture f;
        f.p.setKnob (P::delayMod, 0.0f);
        f.p.setKnob (P::stereo, 0.0f);
        f.p.setKnob (P::time, 100.5f);                   // 4824 samples
        f.p.setKnob (P::delayLowpass, 20000.0f);
        f.p.setKnob (P::delayHighpass, 20.0f);
        f.p.setKnob (P::delayLeft, 100.0f);
        f.p.setKnob (P::feedback, c.knob);
        f.p.korruptOffsets[1] = c.korrupt;

        const int period = 4824, burst = 2400;
        juce::AudioBuffer<float> b (2, period * 4);
        b.clear();
        for (int i = 0; i < burst; ++i)
            for (int ch = 0; ch < 2; ++ch)
                b.setSample (ch, i, 0.01f * std::sin (6.2831855f * 1000.0f * (float) i / (float) rate));
        run (f.fx, b);

        // Past the burst the output is tanh (0.7 x cos 45 x echo); undo both to get the echo.
        auto echoRms = [&] (int k)
        {
            double sum = 0.0;
            for (int i = k * period + 200; i < k * period + burst - 200; ++i)
            {
                const double e = std::atanh ((double) b.getSample (0, i)) / (0.7 * 0.70710677);
                sum += e * e;
            }
            return std::sqrt (sum / (burst - 400));
        };

        const double first = echoRms (1), second = echoRms (2);
        EXPECT_NEAR (first, 0.01 / std::sqrt (2.0), 1.0e-4);
        EXPECT_NEAR (second / first, c.factor, 0.01);
    }
}

TEST (DelayVerbProcessor, CombFeedbackFromDecayAndSize)
{
    struct Case { float decay, size, feedback; };
    const Case cases[] = { { 20, 100, 0.92f }, { 0.1f, 10, 0.070125f }, { 2.5f, 50, 0.365625f }, { 20, 90, 0.855f } };
    for (const auto& c : cases)
        EXPECT_NEAR (DelayVerbProcessor::combFeedback (c.decay, c.size), c.feedback, 1.0e-6f) << c.decay << " " << c.size;
}

TEST (DelayVerbProcessor, WidthScalesOnlyTheSideOfTheReverb)
{
    // The reverb part of each output: atanh (out) - 0.5 x in, with R L and R R at 100.
    auto reverbParts = [] (float width)
    {
        Fixture f;
        f.p.setKnob (P::reverbLeft, 100.0f);
        f.p.setKnob (P::reverbRight, 100.0f);
        f.p.setKnob (P::late, 100.0f);
        f.p.setKnob (P::width, width);
        auto in = noise (9600, 3, 0.05f);
        auto out = in;
        run (f.fx, out);
        std::vector<std::pair<double, double>> parts;
        for (int i = 0; i < in.getNumSamples(); ++i)
            parts.emplace_back (std::atanh ((double) out.getSample (0, i)) - 0.5 * in.getSample (0, i),
                                std::atanh ((double) out.getSample (1, i)) - 0.5 * in.getSample (1, i));
        return parts;
    };

    const auto mono = reverbParts (0.0f), normal = reverbParts (100.0f), wide = reverbParts (200.0f);
    double sideEnergy = 0.0;
    for (size_t i = 0; i < normal.size(); ++i)
    {
        EXPECT_NEAR (mono[i].first, mono[i].second, 1.0e-6);
        const double side = normal[i].first - normal[i].second;
        EXPECT_NEAR (wide[i].first - wide[i].second, 2.0 * side, 1.0e-6);
        EXPECT_NEAR (wide[i].first + wide[i].second, normal[i].first + normal[i].second, 1.0e-6);
        sideEnergy += side * side;
    }
    EXPECT_GT (sideEnergy, 1.0e-3);   // the channels differ, so the side is not trivially 0
}

TEST (DelayVerbProcessor, TimeLimitsAndDryLevel)
{
    struct Case { const char* name; double sampleRate; bool sync; float bpm, note, time; int echoAt; };
    const Case cases[] = {
        // 1/1 at 20 BPM is 12000 ms; the 5 s line plays it at N - 1 samples.
        { "synced beyond the line", 48000.0, true, 20.0f, 5.0f, 250.0f, 239999 },
        // At 1 kHz 0.5 ms is half a sample: it plays at one.
        { "below one sample", 1000.0, false, 120.0f, 2.0f, 0.5f, 1 },
        { "synced 1/8 at 120", 48000.0, true, 120.0f, 2.0f, 250.0f, 12000 },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.name);
        DelayVerbProcessor fx;
        fx.prepare (c.sampleRate, 512);
        fx.parameters.setKnob (P::delayMod, 0.0f);
        fx.parameters.setKnob (P::delayLeft, 100.0f);
        fx.parameters.setKnob (P::time, c.time);
        fx.parameters.syncEnabled = c.sync;
        fx.parameters.bpm = c.bpm;
        fx.parameters.note = c.note;

        auto b = impulse (c.echoAt + 100, 0.4f, 0.0f);
        run (fx, b);
        EXPECT_EQ (peakIndex (b.getReadPointer (0), 1, b.getNumSamples()), c.echoAt);
    }

    // All four mixes at 100: the dry factor is 1 - 0.5 - 0.5 = 0, and nothing wet has arrived yet.
    Fixture f;
    for (auto k : { P::delayLeft, P::delayRight, P::reverbLeft, P::reverbRight })
        f.p.setKnob (k, 100.0f);
    auto b = impulse (64, 0.8f, -0.8f);
    run (f.fx, b);
    EXPECT_EQ (b.getSample (0, 0), 0.0f);
    EXPECT_EQ (b.getSample (1, 0), 0.0f);
}

TEST (DelayVerbProcessor, KnobsWithoutAStageChangeNothing)
{
    auto render = [] (bool atMaximum)
    {
        Fixture f;
        for (auto k : { P::delayLeft, P::delayRight, P::reverbLeft, P::reverbRight })
            f.p.setKnob (k, 60.0f);
        for (auto k : { P::delayDuck, P::reverbLow, P::reverbHigh, P::early, P::reverbMod, P::reverbRate, P::reverbDuck })
        {
            const auto& spec = P::knobTable()[(size_t) k];
            f.p.setKnob (k, (float) (atMaximum ? spec.maximum : spec.minimum));
        }
        auto b = noise (24000, 11, 0.7f);
        run (f.fx, b);
        return b;
    };

    const auto low = render (false), high = render (true);
    for (int ch = 0; ch < 2; ++ch)
        for (int i = 0; i < low.getNumSamples(); ++i)
            ASSERT_EQ (low.getSample (ch, i), high.getSample (ch, i)) << ch << " " << i;
}

//==============================================================================
TEST (DelayVerbProcessor, NonFiniteInputCountsAsSilenceAndLaterEchoesReturn)
{
    const float bad[] = { std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(),
                          -std::numeric_limits<float>::infinity() };
    for (float value : bad)
    {
        SCOPED_TRACE (value);
        Fixture f;
        f.p.setKnob (P::delayMod, 0.0f);
        f.p.setKnob (P::delayLeft, 100.0f);

        // Every other sample bad, the rest a steady level: the bad ones count as silence.
        juce::AudioBuffer<float> poison (2, 512);
        for (int ch = 0; ch < 2; ++ch)
            for (int i = 0; i < 512; ++i)
                poison.setSample (ch, i, i % 2 == 0 ? value : 0.25f);
        run (f.fx, poison);
        for (int ch = 0; ch < 2; ++ch)
            for (int i = 0; i < 512; ++i)
                ASSERT_EQ (poison.getSample (ch, i), i % 2 == 0 ? 0.0f : std::tanh (ch == 0 ? 0.125f : 0.25f)) << i;
        EXPECT_TRUE (f.fx.linesAreFinite());

        // A later impulse is heard, and so is its echo 12024 samples on.
        juce::AudioBuffer<float> gap (2, 24000);
        gap.clear();
        f.p.setKnob (P::feedback, 0.0f);
        run (f.fx, gap);
        auto b = impulse (13000, 0.2f, 0.0f);
        run (f.fx, b);
        EXPECT_TRUE (f.fx.linesAreFinite());
        EXPECT_FLOAT_EQ (b.getSample (0, 0), std::tanh (0.1f));
        EXPECT_NEAR (b.getSample (0, 12024), std::tanh (0.7f * 0.70710677f * 0.2f), 1.0e-6f);
    }
}

TEST (DelayVerbProcessor, PrepareKeepsTheLinesAndResetClearsThem)
{
    Fixture f;
    f.p.setKnob (P::delayMod, 0.0f);
    f.p.setKnob (P::delayLeft, 100.0f);
    f.p.setKnob (P::time, 100.5f);   // 4824 samples

    // An impulse written near the end of the line ...
    const int length = 240000, delay = 4824, at = length - delay + 50;
    auto first = impulse (at + 50, 0.5f, 0.0f, at);
    run (f.fx, first);

    // ... is read again 50 samples after a second prepare at the same rate, which starts the
    // write position at 0 but keeps the line.
    f.fx.prepare (rate, 512);
    EXPECT_EQ (f.fx.getDelayLineLength(), length);
    juce::AudioBuffer<float> after (2, 5000);
    after.clear();
    run (f.fx, after);
    EXPECT_EQ (peakIndex (after.getReadPointer (0), 0, 5000), 50);
    EXPECT_NEAR (after.getSample (0, 50), std::tanh (0.7f * 0.70710677f * 0.5f), 1.0e-6f);

    f.fx.reset();
    EXPECT_TRUE (f.fx.linesAreFinite());
    after.clear();
    run (f.fx, after);
    EXPECT_EQ (after.getMagnitude (0, 0, after.getNumSamples()), 0.0f);

    // A new rate changes every length.
    f.fx.prepare (44100.0, 512);
    EXPECT_EQ (f.fx.getDelayLineLength(), 220500);
    EXPECT_EQ (f.fx.getPreDelayLength(), 11025);
    const int combs[] = { 2205, 4410, 6615, 8820 };
    for (int k = 0; k < 4; ++k)
        EXPECT_EQ (f.fx.getCombLength (k), combs[k]);
    EXPECT_EQ (f.fx.getAllpassLength (0), 882);
    EXPECT_EQ (f.fx.getAllpassLength (1), 1764);
}

TEST (DelayVerbProcessor, UnpreparedOrBypassedLeavesTheBlockAlone)
{
    DelayVerbProcessor fresh;
    fresh.parameters.setKnob (P::delayLeft, 100.0f);
    auto b = noise (256, 5, 0.5f);
    const auto before = b;
    fresh.process (b, 0, 256);

    Fixture f;
    f.p.setKnob (P::delayLeft, 100.0f);
    f.p.bypassed = true;
    auto c = before;
    f.fx.process (c, 0, 256);

    for (int ch = 0; ch < 2; ++ch)
        for (int i = 0; i < 256; ++i)
        {
            ASSERT_EQ (b.getSample (ch, i), before.getSample (ch, i));
            ASSERT_EQ (c.getSample (ch, i), before.getSample (ch, i));
        }
}

TEST (DelayVerbProcessor, OffsetsActivateAndMoveTheMixes)
{
    Fixture f;
    EXPECT_FALSE (f.fx.isActive());

    // The randomiser's target alone: its smoothed value only moves while blocks are processed.
    f.p.randomiserOffsetTargets[2] = 25.0f;
    EXPECT_FALSE (f.fx.isActive());

    f.p.korruptOffsets[3] = 25.0f;
    EXPECT_TRUE (f.fx.isActive());
    f.p.setKnob (P::delayLeft, 40.0f);
    EXPECT_FLOAT_EQ (f.fx.getDelayLeftMix(), 40.0f);
    f.p.setKnob (P::delayLeft, 10.0f);
    EXPECT_FLOAT_EQ (f.fx.getDelayLeftMix(), 25.0f);
    EXPECT_FLOAT_EQ (f.fx.getDelayRightMix(), 25.0f);

    f.p.setKnob (P::reverbLeft, 90.0f);
    f.p.korruptOffsets[2] = 20.0f;
    EXPECT_FLOAT_EQ (f.fx.getReverbLeftMix(), 100.0f);
    f.p.korruptOffsets[2] = -200.0f;
    EXPECT_FLOAT_EQ (f.fx.getReverbLeftMix(), 0.0f);

    // One processed block moves each smoothed offset a fixed share of the way.
    f.p.korruptOffsets[3] = 0.0f;
    f.p.randomiserOffsetTargets[0] = 100.0f;
    juce::AudioBuffer<float> b (2, 64);
    b.clear();
    f.fx.process (b, 0, 64);
    EXPECT_FLOAT_EQ (f.fx.getRandomiserOffset (0), 0.05f);
    EXPECT_FLOAT_EQ (f.fx.getRandomiserOffset (2), 0.025f);
    EXPECT_FLOAT_EQ (f.fx.getDelayLeftMix(), 10.0f);
}

TEST (DelayVerbProcessor, SyncedTimeAndNames)
{
    struct Case { float bpm, note, type, ms; const char* noteName; const char* typeName; };
    const Case cases[] = {
        { 120, 2, 0, 250.0f, "1/8", "Normal" },     { 120, 2, 1, 375.0f, "1/8", "Dotted" },
        { 120, 2, 2, 166.66667f, "1/8", "Triplet" }, { 0, 5, 1, 250.0f, "1/1", "Dotted" },
        { -10, 0, 0, 250.0f, "1/32", "Normal" },    { 20, 5, 0, 12000.0f, "1/1", "Normal" },
        { 120, 9, 0, 2000.0f, "1/1", "Normal" },    { 120, -3, 0, 62.5f, "1/32", "Normal" },
        { std::numeric_limits<float>::quiet_NaN(), 2, 0, 250.0f, "1/8", "Normal" },
    };

    for (const auto& c : cases)
    {
        EXPECT_NEAR (delayverb::syncedDelayMs (c.bpm, c.note, c.type), c.ms, 0.01f) << c.bpm << " " << c.note << " " << c.type;
        EXPECT_STREQ (delayverb::noteName (c.note), c.noteName);
        EXPECT_STREQ (delayverb::typeName (c.type), c.typeName);
    }
}
