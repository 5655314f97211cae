#include <gtest/gtest.h>

#include "effects/smarteq/SmartEqLiteral.h"

#include <juce_audio_basics/juce_audio_basics.h>

#include <cstring>
#include <functional>
#include <limits>
#include <random>
#include <vector>

namespace
{
    using smarteq::BandParams;

    constexpr double sampleRate = 48000.0;

    struct Config { const char* name; std::function<void (BandParams&, int)> set; bool mono = false; };

    const std::vector<Config>& sharedConfigs()
    {
        static const std::vector<Config> configs {
            { "constructed", [] (BandParams& p, int b)
                {
                    const std::int32_t types[] = { smarteq::lowCut, smarteq::bell, smarteq::bell, smarteq::bell, smarteq::bell, smarteq::highShelf };
                    const float freqs[] = { 48, 120, 450, 1400, 4000, 10000 };
                    p.filterType = types[b]; p.frequencyHz = freqs[b];
                } },
            { "every feature", [] (BandParams& p, int b)
                {
                    p.filterType = b; p.frequencyHz = 80.0f * (float) (b + 1) * (float) (b + 1);
                    p.gainLeftDb = 3.0f - (float) b; p.gainRightDb = (float) b - 2.0f; p.q = 0.5f + (float) b;
                    p.dynamicOn = true; p.thresholdDb = -30.0f; p.ratio = 3.5f; p.attackMs = 0.1f + (float) b; p.releaseMs = 50.0f;
                    p.driveOn = true; p.driveAmountPct = b == 3 ? 0.0f : 100.0f; p.saturationPct = 40.0f;
                    p.softClip = b == 1; p.tubeMode = b == 2; p.harmonicsPct = b == 4 ? -60.0f : 100.0f;
                    p.motionOn = true; p.motionDepthPct = 100.0f; p.motionRateHz = 0.5f + (float) b; p.syncBpm = b % 2 == 0;
                    p.midMode = b == 0; p.sideMode = b == 5; p.widthPct = 200.0f;
                    p.vocalMode = b == 1; p.drumMode = b == 2; p.bassMode = b == 3; p.mixPct = 80.0f;
                } },
            { "gains only", [] (BandParams& p, int b) { p.gainLeftDb = (float) b - 2.5f; p.gainRightDb = 1.5f; p.enabled = b != 2; } },
            { "dynamics without motion", [] (BandParams& p, int b) { p.dynamicOn = b % 2 == 1; p.gainLeftDb = p.gainRightDb = -2.0f; } },
            { "solo, motion and mono", [] (BandParams& p, int b) { p.solo = b == 4; p.motionOn = true; p.motionDepthPct = 30.0f; p.mixPct = 50.0f; }, true },
        };
        return configs;
    }

    /** The settings at the ends of the ranges, where the chain amplifies the smallest
        difference: every stage on, the loudest gains, the sharpest filters. */
    const std::vector<Config>& extremeConfigs()
    {
        static const std::vector<Config> configs {
            { "every stage, soft clip, split gains", [] (BandParams& p, int b)
                {
                    const float freqs[] = { 48, 120, 450, 1400, 4000, 10000 };
                    p.filterType = b == 0 ? smarteq::lowCut : (b == 5 ? smarteq::highShelf : smarteq::bell);
                    p.frequencyHz = freqs[b]; p.gainLeftDb = 6.0f; p.gainRightDb = -4.0f;
                    p.dynamicOn = true; p.thresholdDb = -50.0f; p.ratio = 6.0f;
                    p.driveOn = true; p.softClip = true; p.driveAmountPct = 100.0f; p.harmonicsPct = 100.0f;
                    p.motionOn = true; p.motionDepthPct = 100.0f; p.syncBpm = true;
                    p.midMode = b % 2 == 0; p.sideMode = b % 2 == 1; p.widthPct = 200.0f;
                    p.vocalMode = b % 3 == 0; p.drumMode = b % 3 == 1; p.bassMode = b % 3 == 2;
                } },
            { "loudest gains, sharpest Q, fastest detector", [] (BandParams& p, int b)
                {
                    p.filterType = b % 2 == 0 ? smarteq::bell : smarteq::lowShelf;
                    p.frequencyHz = 30.0f * (float) (b + 1); p.q = 18.0f;
                    p.gainLeftDb = 15.0f; p.gainRightDb = -15.0f;
                    p.dynamicOn = true; p.thresholdDb = -60.0f; p.ratio = 20.0f; p.attackMs = 0.1f; p.releaseMs = 10.0f;
                    p.motionOn = true; p.motionDepthPct = 100.0f; p.motionRateHz = 20.0f;
                    p.driveOn = b >= 3; p.driveAmountPct = 100.0f; p.driveThreshDb = 0.0f; p.harmonicsPct = -100.0f;
                    p.widthPct = 0.0f;
                } },
            { "no drive, wide, boosted", [] (BandParams& p, int b)
                {
                    p.frequencyHz = 200.0f * (float) (b + 1); p.q = 0.1f;
                    p.gainLeftDb = 12.0f; p.gainRightDb = 9.0f;
                    p.motionOn = true; p.motionDepthPct = 60.0f; p.motionRateHz = 0.01f;
                    p.widthPct = 200.0f; p.bassMode = true; p.warmthPct = 100.0f;
                } },
        };
        return configs;
    }

    struct Fixture { std::vector<float> left, right; };

    Fixture programFixture()
    {
        std::mt19937 rng (3);
        std::uniform_real_distribution<float> dist (-0.9f, 0.9f);
        Fixture f { std::vector<float> (30000), std::vector<float> (30000) };
        for (size_t i = 0; i < f.left.size(); ++i)
        {
            f.left[i] = 0.5f * (float) std::sin (0.013 * (double) i) + 0.4f * dist (rng);
            f.right[i] = i > 20000 ? 0.0f : 0.6f * (float) std::sin (0.051 * (double) i) + 0.3f * dist (rng);
        }
        return f;
    }

    /** Full scale: noise at +-1, then an 80 Hz + 3 kHz mix at full scale, then silence. */
    Fixture fullScaleFixture()
    {
        std::mt19937 rng (11);
        std::uniform_real_distribution<float> dist (-1.0f, 1.0f);
        Fixture f { std::vector<float> (30000), std::vector<float> (30000) };
        for (size_t i = 0; i < f.left.size(); ++i)
        {
            const double t = (double) i / sampleRate;
            const float tone = (float) (0.5 * std::sin (6.283185307179586 * 80.0 * t) + 0.5 * std::sin (6.283185307179586 * 3000.0 * t));
            f.left[i] = i < 12000 ? dist (rng) : (i < 24000 ? tone : 0.0f);
            f.right[i] = i < 12000 ? dist (rng) : (i < 24000 ? -tone : 0.0f);
        }
        return f;
    }

    smarteq::Snapshot snapshotFor (const Config& config)
    {
        smarteq::Snapshot snap;
        snap.sampleRate = sampleRate;
        for (int b = 0; b < 6; ++b)
        {
            config.set (snap.bands[(size_t) b], b);
            smarteq::computeCoefficients (snap.bands[(size_t) b], snap.sampleRate);
        }
        return snap;
    }

    /** Moves the gains, frequencies, thresholds and the motion depth of every band by a
        block-dependent amount, the way moving knobs republish the set. */
    void moveSettings (std::array<BandParams, 6>& bands, int block)
    {
        const float s = (float) std::sin (0.37 * block);
        for (auto& p : bands)
        {
            p.gainLeftDb = juce::jlimit (-15.0f, 15.0f, p.gainLeftDb + 0.5f * s);
            p.gainRightDb = juce::jlimit (-15.0f, 15.0f, p.gainRightDb - 0.5f * s);
            p.frequencyHz *= 1.0f + 0.01f * s;
            p.thresholdDb = juce::jlimit (-60.0f, 0.0f, p.thresholdDb + s);
            p.motionDepthPct = juce::jlimit (0.0f, 100.0f, p.motionDepthPct + 2.0f * s);
            smarteq::computeCoefficients (p, sampleRate);
        }
    }

    struct Outputs { std::vector<float> fastL, fastR, slowL, slowR; };

    /** The renderer and the literal form over the same fixture, in changing block sizes;
        half-way, BPM sync goes off (the stored 2 Hz must carry on in both). */
    Outputs renderAgainstLiteral (const Config& config, const Fixture& fixture, bool moving = false)
    {
        auto snap = snapshotFor (config);
        auto literalBands = snap.bands;
        std::array<smarteq_literal::State, 6> literalStates {};
        smarteq::Renderer renderer;
        const smarteq::GlobalParams globals { 0.9f, 1.2f, config.mono };

        Outputs out { fixture.left, fixture.right, fixture.left, fixture.right };
        const int blockSizes[] = { 1, 37, 64, 512, 3000 };
        size_t pos = 0;
        for (int k = 0; pos < out.fastL.size(); ++k)
        {
            if (pos > 15000)
                for (auto* bands : { &snap.bands, &literalBands })
                    for (auto& p : *bands)
                        p.syncBpm = false;

            if (moving)
            {
                moveSettings (snap.bands, k);
                moveSettings (literalBands, k);
            }

            const int n = (int) std::min<size_t> ((size_t) blockSizes[k % 5], out.fastL.size() - pos);
            const juce::ScopedNoDenormals sameFloatingPointMode;
            renderer.process (snap, globals, out.fastL.data() + pos, out.fastR.data() + pos, n);
            smarteq_literal::process (literalBands, literalStates, sampleRate, globals.globalMix, globals.outGain,
                                      globals.mono, out.slowL.data() + pos, out.slowR.data() + pos, n);
            pos += (size_t) n;
        }
        return out;
    }
}

TEST (SmartEqRenderer, BlockConstantWorkMatchesThePerSampleForm)
{
    const auto fixture = programFixture();
    for (const auto& config : sharedConfigs())
    {
        const auto out = renderAgainstLiteral (config, fixture);
        EXPECT_EQ (0, std::memcmp (out.fastL.data(), out.slowL.data(), out.fastL.size() * sizeof (float))) << config.name;
        EXPECT_EQ (0, std::memcmp (out.fastR.data(), out.slowR.data(), out.fastR.size() * sizeof (float))) << config.name;
    }
}

TEST (SmartEqRenderer, MatchesThePerSampleFormBitForBitAtTheExtremesAndWithSettingsMoving)
{
    std::vector<Config> configs = sharedConfigs();
    configs.insert (configs.end(), extremeConfigs().begin(), extremeConfigs().end());

    for (const auto& fixture : { programFixture(), fullScaleFixture() })
        for (const auto& config : configs)
            for (bool moving : { false, true })
            {
                const auto out = renderAgainstLiteral (config, fixture, moving);
                EXPECT_EQ (0, std::memcmp (out.fastL.data(), out.slowL.data(), out.fastL.size() * sizeof (float))) << config.name << (moving ? ", moving" : "");
                EXPECT_EQ (0, std::memcmp (out.fastR.data(), out.slowR.data(), out.fastR.size() * sizeof (float))) << config.name << (moving ? ", moving" : "");
            }
}

TEST (SmartEqRenderer, AnOverflowInsideALongBlockResetsAtTheSameSampleAsInOneSampleBlocks)
{
    // 400 dB overflows inside the bands and the input carries NaN and infinities. One-sample
    // blocks are the per-sample reading; a long block finds the overflow after the fact and
    // runs the band again from its saved state, which must give the same bits.
    auto snap = snapshotFor ({ "huge", [] (BandParams& p, int b)
        {
            p.gainLeftDb = p.gainRightDb = b == 3 ? 400.0f : 30.0f;
            p.dynamicOn = true; p.motionOn = true; p.motionDepthPct = 50.0f;
            p.driveOn = b == 4; p.driveAmountPct = 100.0f; p.harmonicsPct = 50.0f;
        } });

    auto fixture = programFixture();
    const float nan = std::numeric_limits<float>::quiet_NaN(), inf = std::numeric_limits<float>::infinity();
    for (size_t i = 0; i < fixture.left.size(); i += 997)
    {
        fixture.left[i] = nan;
        fixture.right[i + 1] = i % 2 ? inf : -inf;
    }

    smarteq::Renderer longBlocks, singleSamples;
    auto longL = fixture.left, longR = fixture.right, singleL = fixture.left, singleR = fixture.right;
    const smarteq::GlobalParams globals { 1.0f, 1.0f, false };
    for (size_t pos = 0; pos < longL.size(); pos += 500)
    {
        // Half-way the gains come back down, so the later blocks show the state recovered.
        if (pos == 15000)
            for (auto& p : snap.bands)
            {
                p.gainLeftDb = p.gainRightDb = 3.0f;
                smarteq::computeCoefficients (p, sampleRate);
            }

        longBlocks.process (snap, globals, longL.data() + pos, longR.data() + pos, 500);
        for (size_t i = pos; i < pos + 500; ++i)
            singleSamples.process (snap, globals, singleL.data() + i, singleR.data() + i, 1);
    }

    for (size_t i = 0; i < longL.size(); ++i)
        ASSERT_TRUE (std::isfinite (longL[i]) && std::isfinite (longR[i])) << i;
    EXPECT_EQ (0, std::memcmp (longL.data(), singleL.data(), longL.size() * sizeof (float)));
    EXPECT_EQ (0, std::memcmp (longR.data(), singleR.data(), longR.size() * sizeof (float)));
}
