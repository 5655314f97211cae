#include <gtest/gtest.h>

#include "main/audio/CircuitBend.h"
#include "support/EffectTestKit.h"
#include "support/RealtimeTrap.h"

#include <cmath>
#include <functional>
#include <limits>
#include <random>
#include <vector>

namespace
{
    struct Pair
    {
        std::vector<float> left, right;

        explicit Pair (int n, const std::function<float (int)>& l, const std::function<float (int)>& r)
        {
            for (int i = 0; i < n; ++i)
            {
                left.push_back (l (i));
                right.push_back (r (i));
            }
        }

        int size() const { return (int) left.size(); }
    };

    void bend (CircuitBend& cb, Pair& p)
    {
        cb.process (p.left.data(), p.right.data(), p.size());
    }

    float ramp (int i) { return -1.2f + 0.0173f * (float) (i % 139); }

    void setUp (CircuitBend& cb, int mode, float amount)
    {
        cb.mode = mode;
        cb.amount = amount;
    }
}

// Each row is one setting and what every output sample must be, given its input and index.
TEST (CircuitBend, StagesAtTheirSettings)
{
    struct Row
    {
        const char* name;
        int mode;
        float amount;
        std::function<float (float x, int i)> expected;
    };

    const Row rows[] = {
        { "amount 5, all stages: below every threshold, only clamped", 7, 5.0f,
          [] (float x, int) { return juce::jlimit (-1.0f, 1.0f, x); } },
        { "amount 100, bit crush: quarters", 0, 100.0f,
          [] (float x, int) { return juce::jlimit (-1.0f, 1.0f, std::round (x * 4.0f) / 4.0f); } },
        { "amount 100, wrap: x * 8 + 3 folded into -1..1", 2, 100.0f,
          [] (float x, int) { return juce::jlimit (-1.0f, 1.0f, std::fmod (x * 8.0f + 3.0f, 2.0f) - 1.0f); } },
        { "mode outside 0..7 bends nothing", 9, 100.0f,
          [] (float x, int) { return juce::jlimit (-1.0f, 1.0f, x); } },
    };

    for (const auto& row : rows)
    {
        SCOPED_TRACE (row.name);
        CircuitBend cb (7);
        setUp (cb, row.mode, row.amount);
        Pair p (600, ramp, [] (int i) { return ramp (i + 50); });
        const Pair in = p;
        bend (cb, p);

        for (int i = 0; i < p.size(); ++i)
        {
            ASSERT_FLOAT_EQ (p.left[(size_t) i], row.expected (in.left[(size_t) i], i)) << "at " << i;
            ASSERT_FLOAT_EQ (p.right[(size_t) i], row.expected (in.right[(size_t) i], i)) << "at " << i;
        }

        // The rings hold every input sample, whatever acted.
        EXPECT_EQ (cb.bendHistoryWritePos, 600);
        EXPECT_EQ (cb.bendHistoryLeft[599], in.left[599]);
        EXPECT_EQ (cb.bendHistoryRight[0], in.right[0]);
    }

    // Wrapping keeps silence silent at full amount: fmod (3, 2) - 1 = 0.
    CircuitBend wrap (7);
    setUp (wrap, CircuitBend::overflowWrap, 100.0f);
    Pair zeros (64, [] (int) { return 0.0f; }, [] (int) { return 0.0f; });
    bend (wrap, zeros);
    for (float x : zeros.left)
        ASSERT_EQ (x, 0.0f);
}

TEST (CircuitBend, AmountZeroTouchesNeitherBlockNorRings)
{
    for (float amount : { 0.0f, -3.0f, std::numeric_limits<float>::quiet_NaN() })
    {
        CircuitBend cb (7);
        setUp (cb, CircuitBend::fullBend, amount);
        Pair p (256, ramp, ramp);
        const Pair in = p;
        bend (cb, p);

        EXPECT_EQ (p.left, in.left);
        EXPECT_EQ (p.right, in.right);
        EXPECT_EQ (cb.bendHistoryWritePos, 0);
        EXPECT_EQ (cb.bendHistoryLeft[0], 0.0f);
        EXPECT_FALSE (cb.isActive());
    }
}

TEST (CircuitBend, SampleAndHoldKeepsEachPairForItsPeriod)
{
    // Amount 50: 1 + int (15.5) = 16 samples a pair. From a fresh counter the first pair is
    // taken at the 16th sample; until then the empty held pair sounds.
    ASSERT_EQ (CircuitBend::holdPeriod (0.5f), 16);
    CircuitBend cb (7);
    setUp (cb, CircuitBend::sampleRateReduce, 50.0f);
    Pair p (100, [] (int i) { return 0.01f * (float) i; }, [] (int i) { return -0.01f * (float) i; });
    const Pair in = p;
    bend (cb, p);

    for (int i = 0; i < 100; ++i)
    {
        const int taken = i < 15 ? -1 : 15 + 16 * ((i - 15) / 16);
        ASSERT_FLOAT_EQ (p.left[(size_t) i], taken < 0 ? 0.0f : in.left[(size_t) taken]) << i;
        ASSERT_FLOAT_EQ (p.right[(size_t) i], taken < 0 ? 0.0f : in.right[(size_t) taken]) << i;
    }

    // A shorter period than the count already reached takes a new pair at once instead of
    // holding until the counter wraps round.
    cb.amount = 100.0f;   // period 32
    Pair first (20, [] (int) { return 0.5f; }, [] (int) { return 0.5f; });
    bend (cb, first);
    cb.amount = 12.0f;    // period 4, the counter stands near 20
    Pair next (3, [] (int) { return -0.25f; }, [] (int) { return -0.25f; });
    bend (cb, next);
    EXPECT_FLOAT_EQ (next.left[0], -0.25f);
}

TEST (CircuitBend, FeedbackAndPhaseSmearFollowTheirMemories)
{
    // Feedback at full amount: the output keeps the sum, the memory its tanh.
    CircuitBend feedback (7);
    setUp (feedback, CircuitBend::feedbackChaos, 100.0f);
    Pair p (3, [] (int) { return 0.1f; }, [] (int) { return -0.1f; });
    bend (feedback, p);
    EXPECT_FLOAT_EQ (p.left[0], 0.1f);
    EXPECT_FLOAT_EQ (p.left[1], 0.1f + 0.85f * std::tanh (0.1f));
    EXPECT_FLOAT_EQ (p.right[1], -0.1f - 0.85f * std::tanh (0.1f));
    EXPECT_FLOAT_EQ (feedback.bendFeedbackLeft, std::tanh (p.left[2]));

    // Phase smear with a zero sine reads the oldest ring slot: after a full ring of known
    // samples, a silent first sample blends in the second sample of that ring.
    CircuitBend smear (7);
    setUp (smear, CircuitBend::phaseDestroy, 5.0f);
    Pair fill (CircuitBend::historySize, [] (int i) { return 0.001f * (float) (i % 500); }, ramp);
    bend (smear, fill);
    smear.amount = 50.0f;
    Pair silent (1, [] (int) { return 0.0f; }, [] (int) { return 0.0f; });
    bend (smear, silent);
    EXPECT_FLOAT_EQ (silent.left[0], 0.25f * 0.001f);
}

TEST (CircuitBend, EveryModeAndAmountGivesFiniteOutputWithinOne)
{
    std::mt19937 rng (99);
    std::uniform_real_distribution<float> unit (-1.0f, 1.0f);
    const float scales[] = { 1.0f, 1.5f, 1.0e3f, 1.0e6f };

    for (int mode = 0; mode < CircuitBend::numModes; ++mode)
    {
        CircuitBend cb ((std::uint32_t) mode);
        setUp (cb, mode, 1.0f);

        for (int amount = 1; amount <= 100; ++amount)
        {
            cb.amount = (float) amount;
            const float scale = scales[amount % 4];
            Pair p (256, [&] (int) { return scale * unit (rng); }, [&] (int) { return scale * unit (rng); });
            bend (cb, p);

            for (int i = 0; i < p.size(); ++i)
            {
                for (float y : { p.left[(size_t) i], p.right[(size_t) i] })
                {
                    ASSERT_TRUE (std::isfinite (y)) << "mode " << mode << " amount " << amount;
                    ASSERT_LE (std::abs (y), 1.0f) << "mode " << mode << " amount " << amount;
                }
            }
        }
    }
}

// A sample that is not a number must act exactly as a silent one, so nothing upstream can
// leave a NaN in the rings or the feedback memories.
TEST (CircuitBend, NonFiniteInputCountsAsSilence)
{
    const float bad[] = { std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(),
                          -std::numeric_limits<float>::infinity() };
    auto input = [&] (int i, bool poisoned)
    {
        if (i % 7 == 3)
            return poisoned ? bad[(i / 7) % 3] : 0.0f;
        return 0.8f * std::sin (0.05f * (float) i);
    };

    for (int mode = 0; mode < CircuitBend::numModes; ++mode)
    {
        SCOPED_TRACE (mode);
        CircuitBend poisoned (5);
        setUp (poisoned, mode, 100.0f);
        CircuitBend clean (5);
        setUp (clean, mode, 100.0f);

        for (int block = 0; block < 20; ++block)
        {
            Pair a (512, [&] (int i) { return input (i, true); }, [&] (int i) { return input (i + 1, true); });
            Pair b (512, [&] (int i) { return input (i, false); }, [&] (int i) { return input (i + 1, false); });
            bend (poisoned, a);
            bend (clean, b);
            ASSERT_EQ (a.left, b.left);
            ASSERT_EQ (a.right, b.right);
        }

        EXPECT_EQ (poisoned.bendHistoryLeft, clean.bendHistoryLeft);
        EXPECT_TRUE (std::isfinite (poisoned.bendFeedbackLeft) && std::isfinite (poisoned.bendFeedbackRight));
    }
}

TEST (CircuitBend, FirstBentBlockAllocatesNothing)
{
    if (! testing_rt::trapAvailable())
        GTEST_SKIP() << "allocation trap not available in this build";

    CircuitBend cb;
    cb.mode = CircuitBend::fullBend;
    cb.amount = 100.0f;
    Pair p (512, ramp, ramp);

    testing_rt::RealtimeScope scope;
    bend (cb, p);
    EXPECT_TRUE (scope.counts().clean());
}

TEST (CircuitBend, PassesTheEffectKit)
{
    CircuitBend cb (3);
    // The road leaves the stage out while the amount is 0 (it then passes even a NaN on
    // untouched), so the kit's settings start at 1; its neutral setting is the 0 itself.
    juce::Slider amountKnob;
    amountKnob.setRange (1.0, 100.0, 1.0);
    bool neutral = false;
    amountKnob.onValueChange = [&] { neutral = false; };

    effect_kit::EffectAdapter fx;
    fx.name = "Circuit bend";
    fx.prepare = [&] (double sr, int block) { cb.prepare (sr, block); cb.reset(); };
    fx.process = [&] (juce::AudioBuffer<float>& b)
    {
        cb.amount = neutral ? 0.0f : (float) amountKnob.getValue();
        cb.process (b, 0, b.getNumSamples());
    };
    fx.knobs = { &amountKnob };
    for (int m = 0; m < CircuitBend::numModes; ++m)
        fx.variants.push_back ({ "mode " + juce::String (m), [&cb, m] { cb.mode = m; } });
    fx.neutral = [&] { neutral = true; };
    fx.outputBound = 1.0f;

    // The stage is meant to jump (crushing, holding, replaying, flipping bits), so the
    // smoothness check does not apply.
    for (const auto& report : { effect_kit::checkRobustness (fx), effect_kit::checkSilence (fx),
                                effect_kit::checkRealtime (fx) })
        EXPECT_TRUE (report.ok()) << report.summary();
}
