#include <gtest/gtest.h>

#include "effects/smarteq/SmartEqTestUtil.h"
#include "support/RealtimeTrap.h"

#include <juce_audio_basics/juce_audio_basics.h>

#include <cstring>
#include <limits>
#include <random>

using namespace smarteq_test;

namespace
{
    class SmartEqSound : public ::testing::Test
    {
    protected:
        void SetUp() override { eq.prepare (sampleRate); }

        SmartEQ eq;
    };

    // A plain double-precision high-pass of the textbook form, independent of the code under test.
    struct ReferenceHighPass
    {
        ReferenceHighPass (double f, double q, double sr)
        {
            const double w0 = twoPi * f / sr, c = std::cos (w0), alpha = std::sin (w0) / (2.0 * q);
            const double a0 = 1.0 + alpha;
            b0 = (1.0 + c) / 2.0 / a0; b1 = -(1.0 + c) / a0; b2 = b0;
            a1 = -2.0 * c / a0; a2 = (1.0 - alpha) / a0;
        }

        double process (double x)
        {
            const double y = b0 * x + z1;
            z1 = b1 * x - a1 * y + z2;
            z2 = b2 * x - a2 * y;
            return y;
        }

        double b0, b1, b2, a1, a2, z1 = 0.0, z2 = 0.0;
    };

    void setWorstCase (SmartEQ& eq)
    {
        for (int b = 0; b < SmartEQ::numBands; ++b)
        {
            setKnob (eq.getMacroKnob (b, SmartEQ::dynKnob), 100.0);
            setKnob (eq.getMacroKnob (b, SmartEQ::satKnob), 100.0);
            setKnob (eq.getMacroKnob (b, SmartEQ::widKnob), 200.0);
            setKnob (eq.getMacroKnob (b, SmartEQ::lfoKnob), 100.0);
            setKnob (eq.getBandKnob (b, SmartEQ::driveAmountKnob), 100.0);
            setKnob (eq.getBandKnob (b, SmartEQ::harmonicsKnob), 100.0);
            setToggle (eq.getBandToggle (b, SmartEQ::driveToggle), true);
            setToggle (eq.getBandToggle (b, SmartEQ::bpmToggle), true);
            setToggle (eq.getBandToggle (b, b % 2 == 0 ? SmartEQ::midToggle : SmartEQ::sideToggle), true);
        }
    }
}

TEST_F (SmartEqSound, ConstructedStateIsTanhOfTheBandZeroHighPass)
{
    // Every bell and the high shelf are flat at 0 dB, so only band 0's 48 Hz cut shapes the sound.
    std::mt19937 rng (7);
    std::uniform_real_distribution<float> dist (-0.5f, 0.5f);
    std::vector<float> input (48000);
    for (auto& x : input)
        x = dist (rng);

    const auto out = render (eq, (int) input.size(), [&] (int i, float& l, float& r) { l = r = input[(size_t) i]; });

    ReferenceHighPass hp (48.0, 1.0, sampleRate);
    double worst = 0.0;
    for (size_t i = 0; i < input.size(); ++i)
    {
        const double expected = std::tanh (hp.process (input[i]));
        worst = std::max ({ worst, std::abs (out[i].first - expected), std::abs (out[i].second - expected) });
    }
    EXPECT_LT (worst, 3.0e-4);   // float against double arithmetic

    EXPECT_NEAR (sineGainDb (eq, 1000.0).left, 0.0, 0.02);
    EXPECT_NEAR (sineGainDb (eq, 12000.0).left, 0.0, 0.02);
    EXPECT_NEAR (sineGainDb (eq, 48.0).left, 0.0, 0.05);    // a Q of 1 puts the corner at unity
    EXPECT_LT (sineGainDb (eq, 12.0).left, -20.0);
}

TEST_F (SmartEqSound, BellGainsActTwiceAndSplitGainsOnlyTiltTheChannels)
{
    onlyBand (eq, 3);
    setKnob (eq.getFrequencySlider (3), 1000.0);
    setKnob (eq.getGainFader (3, false), 6.0);   // linked: the right side follows

    EXPECT_NEAR (sineGainDb (eq, 1000.0).left, 12.0, 0.05);
    EXPECT_NEAR (sineGainDb (eq, 1000.0).right, 12.0, 0.05);
    EXPECT_NEAR (sineGainDb (eq, 25.0).left, 6.0, 0.1);

    setToggle (eq.getBandToggle (3, SmartEQ::linkStereoToggle), false);
    setKnob (eq.getGainFader (3, false), -3.0);
    setKnob (eq.getGainFader (3, true), 3.0);

    for (double f : { 100.0, 1000.0, 8000.0 })
    {
        const auto g = sineGainDb (eq, f);
        EXPECT_NEAR (g.left, -3.0, 0.02) << f;
        EXPECT_NEAR (g.right, 3.0, 0.02) << f;
    }
}

TEST_F (SmartEqSound, SettledDynamicsCutASteadyTone)
{
    // Threshold -20 dB, ratio 2: a steady -8 dBFS level sits 12 dB over and is cut by 6 dB.
    onlyBand (eq, 2);
    eq.modifyBand (2, [] (SmartEQ::Band& b) { b.dynamicOn = true; b.thresholdDb = -20.0f; b.ratio = 2.0f; });

    const float level = std::pow (10.0f, -8.0f / 20.0f);
    const auto out = render (eq, 48000, [&] (int i, float& l, float& r) { l = r = (i / 240) % 2 == 0 ? level : -level; });

    const double lastGain = 20.0 * std::log10 (std::abs (std::atanh ((double) out.back().first)) / level);
    EXPECT_NEAR (lastGain, -6.0, 0.01);
    EXPECT_NEAR (eq.getEnvelopeDb (2), -8.0, 0.01);
}

TEST_F (SmartEqSound, MotionSwingsTheGainSixDecibelsEachWay)
{
    onlyBand (eq, 1);
    eq.modifyBand (1, [] (SmartEQ::Band& b) { b.motionOn = true; b.motionDepthPct = 100.0f; b.motionRateHz = 1.0f; });

    auto peakTime = [&] (double& maxDb, double& minDb)
    {
        const auto out = render (eq, 48000, [] (int, float& l, float& r) { l = r = 0.05f; });
        int peakAt = 0;
        maxDb = -100.0; minDb = 100.0;
        for (size_t i = 0; i < out.size(); ++i)
        {
            const double db = 20.0 * std::log10 (std::atanh ((double) out[i].first) / 0.05);
            if (db > maxDb) { maxDb = db; peakAt = (int) i; }
            minDb = std::min (minDb, db);
        }
        return peakAt;
    };

    // The phase accumulates in float, so peaks drift by a few samples per second.
    double maxDb = 0.0, minDb = 0.0;
    EXPECT_NEAR (peakTime (maxDb, minDb), 12000, 60);   // a quarter of a 1 Hz cycle
    EXPECT_NEAR (maxDb, 6.0, 1.0e-3);
    EXPECT_NEAR (minDb, -6.0, 1.0e-3);

    // With BPM sync the rate is 2 Hz whatever MRT shows, and the 2 Hz stays after sync goes off.
    eq.modifyBand (1, [] (SmartEQ::Band& b) { b.syncBpm = true; });
    peakTime (maxDb, minDb);                              // phase is back at 0 after a whole second
    EXPECT_NEAR (peakTime (maxDb, minDb), 6000, 60);
    EXPECT_FLOAT_EQ (eq.getMotionRateHz (1), 2.0f);
    EXPECT_NEAR (eq.getBandKnob (1, SmartEQ::motionRateKnob).getValue(), 1.0, 1e-6);

    eq.modifyBand (1, [] (SmartEQ::Band& b) { b.syncBpm = false; });
    EXPECT_NEAR (peakTime (maxDb, minDb), 6000, 60);

    setKnob (eq.getBandKnob (1, SmartEQ::motionRateKnob), 0.5);   // a fresh rate replaces the stored 2 Hz
    EXPECT_NEAR (peakTime (maxDb, minDb), 24000, 60);
}

TEST_F (SmartEqSound, DriveAmountAndShape)
{
    struct Case { const char* name; float drv, sat; bool soft, tube; float expectedAmount; int shape; };
    const Case cases[] = {
        { "nothing to drive",     0.0f,  0.0f, false, false,  0.0f, 0 },
        { "SAT stands in",        0.0f, 40.0f, false, false, 40.0f, 1 },
        { "DRV wins over SAT",   70.0f, 40.0f, false, false, 70.0f, 1 },
        { "soft",                70.0f,  0.0f, true,  false, 70.0f, 2 },
        { "tube",                70.0f,  0.0f, false, true,  70.0f, 3 },
    };

    onlyBand (eq, 2);
    const float x = 0.3f;
    for (const auto& c : cases)
    {
        eq.modifyBand (2, [&] (SmartEQ::Band& b)
        {
            b.driveOn = true; b.driveAmountPct = c.drv; b.saturationPct = c.sat;
            b.softClip = c.soft; b.tubeMode = c.tube;
        });
        const auto out = render (eq, 64, [&] (int, float& l, float& r) { l = r = x; });

        const float pre = std::pow (10.0f, -6.0f / 20.0f) * (1.0f + 3.0f * c.expectedAmount / 100.0f);
        float y = x;
        switch (c.shape)
        {
            case 1: y = std::tanh (pre * x); break;
            case 2: y = std::tanh (1.5f * pre * x); break;
            case 3: y = std::atan (2.0f * pre * x) * 0.636619f; break;
            default: break;
        }
        EXPECT_NEAR (out.back().first, std::tanh (y), 1.0e-6f) << c.name;
    }
}

TEST_F (SmartEqSound, StereoModesWidthAndSolo)
{
    // Left carries a tone, right is silent, through band 2 alone.
    onlyBand (eq, 2);
    auto lastPair = [&]
    {
        const auto out = render (eq, 512, [] (int, float& l, float& r) { l = 0.2f; r = 0.0f; });
        return std::make_pair ((double) std::atanh (out.back().first), (double) std::atanh (out.back().second));
    };

    setToggle (eq.getBandToggle (2, SmartEQ::midToggle), true);
    auto p = lastPair();
    EXPECT_NEAR (p.first, 0.1, 1e-6); EXPECT_NEAR (p.second, 0.1, 1e-6);

    setToggle (eq.getBandToggle (2, SmartEQ::sideToggle), true);
    p = lastPair();
    EXPECT_NEAR (p.first, 0.1, 1e-6); EXPECT_NEAR (p.second, -0.1, 1e-6);

    setToggle (eq.getBandToggle (2, SmartEQ::sideToggle), false);
    setKnob (eq.getMacroKnob (2, SmartEQ::widKnob), 0.0);
    p = lastPair();
    EXPECT_NEAR (p.first, 0.1, 1e-6); EXPECT_NEAR (p.second, 0.1, 1e-6);
}

TEST_F (SmartEqSound, SoloSilencesTheOtherBandsOutputsNotTheirInputs)
{
    setToggle (eq.getBandToggle (2, SmartEQ::soloToggle), true);
    const auto silent = render (eq, 4800, [] (int i, float& l, float& r) { l = r = 0.3f * (float) std::sin (twoPi * 1000.0 * i / sampleRate); });
    for (const auto& s : silent)
        ASSERT_EQ (s.first, 0.0f);

    // At mix 50 each of the five other bands halves the signal instead: 1/32 overall.
    for (int b : { 0, 1, 3, 4, 5 })
        setKnob (eq.getBandKnob (b, SmartEQ::mixKnob), 50.0);
    EXPECT_NEAR (sineGainDb (eq, 1000.0).left, 20.0 * std::log10 (1.0 / 32.0), 0.05);
}

TEST_F (SmartEqSound, GlobalMixZeroOutputGainMonoAndBypass)
{
    setWorstCase (eq);
    setKnob (eq.getGlobalMixKnob(), 0.0);
    setKnob (eq.getOutputGainKnob(), 6.0);
    const float g = std::pow (10.0f, 6.0f / 20.0f);

    std::vector<float> l (256), r (256);
    for (size_t i = 0; i < l.size(); ++i)
    {
        l[i] = 1.5f * (float) std::sin (0.05 * (double) i);
        r[i] = 0.7f * (float) std::cos (0.03 * (double) i);
    }
    auto pl = l, pr = r;
    eq.getProcessor().process (pl.data(), pr.data(), (int) pl.size());
    for (size_t i = 0; i < l.size(); ++i)
    {
        ASSERT_FLOAT_EQ (pl[i], std::tanh (l[i] * g)) << i;
        ASSERT_FLOAT_EQ (pr[i], std::tanh (r[i] * g)) << i;
    }

    // MONO sums after the output gain.
    setToggle (eq.getMonoButton(), true);
    pl = l; pr = r;
    eq.getProcessor().process (pl.data(), pr.data(), (int) pl.size());
    for (size_t i = 0; i < l.size(); ++i)
    {
        ASSERT_FLOAT_EQ (pl[i], std::tanh ((l[i] * g + r[i] * g) / 2.0f)) << i;
        ASSERT_EQ (pl[i], pr[i]);
    }

    // Bypassed: not a bit changes, not even the out-of-range and non-finite samples.
    setToggle (eq.getBypassButton(), true);
    EXPECT_FALSE (eq.isActive());
    l[3] = std::numeric_limits<float>::quiet_NaN();
    l[4] = 7.0f;
    pl = l; pr = r;
    eq.getProcessor().process (pl.data(), pr.data(), (int) pl.size());
    EXPECT_EQ (0, std::memcmp (pl.data(), l.data(), l.size() * sizeof (float)));
    EXPECT_EQ (0, std::memcmp (pr.data(), r.data(), r.size() * sizeof (float)));
}

TEST_F (SmartEqSound, ActiveWhileABandIsOnAndNotBypassed)
{
    EXPECT_TRUE (eq.isActive());
    for (int b = 0; b < SmartEQ::numBands; ++b)
        setToggle (eq.getBandToggle (b, SmartEQ::enableToggle), false);
    EXPECT_FALSE (eq.isActive());
    eq.setBandEnabled (4, true);
    EXPECT_TRUE (eq.isActive());
    eq.setBypassed (true);
    EXPECT_FALSE (eq.isActive());
}

TEST_F (SmartEqSound, NonFiniteInputDoesNotLatchTheBands)
{
    // Detector, oscillator and filters all busy; the poisoned instance must continue exactly
    // as one that was fed silence instead.
    SmartEQ clean;
    clean.prepare (sampleRate);
    for (auto* e : { &eq, &clean })
        for (int b = 0; b < SmartEQ::numBands; ++b)
        {
            setKnob (e->getMacroKnob (b, SmartEQ::dynKnob), 60.0);
            setKnob (e->getMacroKnob (b, SmartEQ::lfoKnob), 40.0);
            setKnob (e->getGainFader (b, false), 4.0);
        }

    const float nan = std::numeric_limits<float>::quiet_NaN(), inf = std::numeric_limits<float>::infinity();
    render (eq, 512, [&] (int i, float& l, float& r) { l = i % 3 == 0 ? nan : (i % 3 == 1 ? inf : -inf); r = i % 2 ? nan : inf; });
    render (clean, 512, [] (int, float& l, float& r) { l = r = 0.0f; });

    auto sine = [] (int i, float& l, float& r) { l = r = 0.8f * (float) std::sin (twoPi * 440.0 * i / sampleRate); };
    const auto a = render (eq, 2048, sine);
    const auto b = render (clean, 2048, sine);
    for (size_t i = 0; i < a.size(); ++i)
    {
        ASSERT_TRUE (std::isfinite (a[i].first) && std::isfinite (a[i].second)) << i;
        ASSERT_LE (std::abs (a[i].first), 1.0f);
        ASSERT_EQ (a[i].first, b[i].first) << i;
        ASSERT_EQ (a[i].second, b[i].second) << i;
    }
}

TEST_F (SmartEqSound, ABandThatOverflowsRecovers)
{
    // The macro EQ stores gains unlimited: 400 dB overflows floats inside the chain.
    std::array<float, 6> huge;
    huge.fill (400.0f);
    eq.applyMacroEq (100.0f, huge);
    const auto blown = render (eq, 4096, [] (int i, float& l, float& r) { l = r = 0.5f * (float) std::sin (0.01 * i); });
    for (const auto& s : blown)
        ASSERT_TRUE (std::isfinite (s.first) && std::abs (s.first) <= 1.0f);

    std::array<float, 6> zero {};
    eq.applyMacroEq (100.0f, zero);
    render (eq, 48000, [] (int, float& l, float& r) { l = r = 0.0f; });
    EXPECT_NEAR (sineGainDb (eq, 1000.0).left, 0.0, 0.02);
}

TEST_F (SmartEqSound, ProcessAllocatesAndLocksNothing)
{
    if (! testing_rt::trapAvailable())
        GTEST_SKIP() << "allocation trap not in this build";

    setWorstCase (eq);
    std::vector<float> l (8192, 0.25f), r (8192, -0.25f);
    eq.getProcessor().process (l.data(), r.data(), 512);

    testing_rt::RealtimeScope scope;
    for (int n : { 64, 512, 8192 })
        eq.getProcessor().process (l.data(), r.data(), n);
    EXPECT_TRUE (scope.counts().clean());
}
