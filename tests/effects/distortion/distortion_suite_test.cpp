#include <gtest/gtest.h>

#include "effects/distortion/DistortionSuite.h"
#include "platform/CrtRand.h"
#include "support/EffectTestKit.h"
#include "support/MessagePump.h"
#include "support/PixelProbe.h"

#include <cmath>
#include <limits>
#include <memory>

namespace
{
    constexpr float qnan = std::numeric_limits<float>::quiet_NaN();
    constexpr float inf = std::numeric_limits<float>::infinity();

    /** The panel with the mouse test replaced, so the hover feed can be driven without a pointer. */
    struct HoverableSuite : public DistortionSuite
    {
        using DistortionSuite::DistortionSuite;

        std::vector<const Knob*> hovered;

        bool isKnobUnderMouse (const Knob& knob) const override
        {
            return std::find (hovered.begin(), hovered.end(), &knob) != hovered.end();
        }
    };

    void set (juce::Slider& knob, double value)
    {
        effect_kit::setKnob (knob, value);
    }

    juce::AudioBuffer<float> stereoBlock (std::initializer_list<float> left, std::initializer_list<float> right)
    {
        juce::AudioBuffer<float> block (2, (int) left.size());
        int i = 0;
        for (auto v : left)
            block.setSample (0, i++, v);
        i = 0;
        for (auto v : right)
            block.setSample (1, i++, v);
        return block;
    }

    juce::AudioBuffer<float> noiseBlock (int numSamples, std::uint32_t seed, float level = 1.0f)
    {
        juce::AudioBuffer<float> block (2, numSamples);
        effect_kit::fillInput (block, effect_kit::InputKind::noise, seed);
        block.applyGain (level);
        return block;
    }

    effect_kit::EffectAdapter adapterFor (DistortionSuite& suite)
    {
        effect_kit::EffectAdapter fx;
        fx.name = "Distortion Suite";
        fx.prepare = [&suite] (double sampleRate, int) { suite.prepare (sampleRate); };
        fx.process = [&suite] (juce::AudioBuffer<float>& block) { suite.process (block); };
        for (auto& knob : suite.mainKnobs)
            fx.knobs.push_back (&knob);
        for (auto& knob : suite.kompressorKnobs)
            fx.knobs.push_back (&knob);
        fx.variants = { { "Distorter", [&suite] { suite.setMode (0); } },
                        { "Bitcrush", [&suite] { suite.setMode (1); } },
                        { "Kompressor", [&suite] { suite.setMode (2); } },
                        { "mode 5", [&suite] { suite.setMode (5); } } };
        fx.neutral = [&suite] { set (suite.mixKnob, 0.0); set (suite.outKnob, 0.0); };
        fx.outputBound = 4.0f;
        return fx;
    }

    using Id = DistortionSuiteProcessor::ParameterId;

    /** The processor form: every parameter by name and range, no panel. */
    effect_kit::EffectAdapter adapterFor (DistortionSuiteProcessor& processor)
    {
        auto fx = effect_kit::processorAdapter ("Distortion Suite", processor);
        const auto& info = DistortionSuiteProcessor::parameterInfo();
        for (size_t i = 0; i < info.size(); ++i)
        {
            const auto id = (Id) i;
            fx.parameters.push_back ({ info[i].name, info[i].minimum, info[i].maximum,
                                       [&processor, id] (double v) { processor.setParameter (id, (float) v); },
                                       [&processor, id] { return (double) processor.getParameter (id); },
                                       {} });
        }
        fx.variants = { { "Distorter", [&processor] { processor.setMode (0); } },
                        { "Bitcrush", [&processor] { processor.setMode (1); } },
                        { "Kompressor", [&processor] { processor.setMode (2); } },
                        { "mode 5", [&processor] { processor.setMode (5); } } };
        fx.neutral = [&processor] { processor.setParameter (Id::mix, 0.0f); processor.setParameter (Id::out, 0.0f); };
        fx.outputBound = 4.0f;
        return fx;
    }
}

//==============================================================================
// Block frame: mix, output gain, non-finite input

TEST (DistortionSuiteDsp, MixZeroPassesTheBlockAndOutputGainIsCappedAtTen)
{
    DistortionSuite suite (nullptr);
    suite.prepare (48000.0);

    // Values inside [-4, 4] come back exactly at OUT 0.
    const auto input = stereoBlock ({ 0.0f, 1.0f, -1.0f, 3.999999f, -4.0f, 4.0f, 0.123456f, -2.5f },
                                    { 1.0e-3f, -3.75f, 0.5f, -0.999f, 2.0f, 1.0e-20f, -1.0e-20f, 0.25f });
    auto block = input;
    suite.process (block);
    for (int ch = 0; ch < 2; ++ch)
        for (int i = 0; i < block.getNumSamples(); ++i)
            EXPECT_EQ (block.getSample (ch, i), input.getSample (ch, i)) << "channel " << ch << " sample " << i;

    // +24 dB would be x15.85: the gain stops at exactly x10, then the +-4 clamp acts.
    struct Case { double outDb; float in, expected; };
    for (const auto& c : { Case { 24.0, 0.1f, 0.1f * 10.0f }, Case { 24.0, -0.37f, -0.37f * 10.0f },
                           Case { 20.0, 0.3f, 0.3f * 10.0f }, Case { 24.0, 0.5f, 4.0f }, Case { 24.0, -2.0f, -4.0f } })
    {
        set (suite.outKnob, c.outDb);
        auto one = stereoBlock ({ c.in }, { c.in });
        suite.process (one);
        EXPECT_EQ (one.getSample (0, 0), c.expected) << "OUT " << c.outDb << " in " << c.in;
        EXPECT_EQ (one.getSample (1, 0), c.expected);
    }
}

TEST (DistortionSuiteDsp, NonFiniteInputIsProcessedAsZeroInEveryMode)
{
    for (int mode : { 0, 1, 2, 5 })
    {
        DistortionSuite withBad (nullptr), withZero (nullptr);
        for (auto* suite : { &withBad, &withZero })
        {
            suite->prepare (44100.0);
            suite->setMode (mode);
            set (suite->mixKnob, 100.0);
            set (suite->driveKnob, 8.0);
            set (suite->outKnob, 6.0);
        }

        auto bad = stereoBlock ({ 0.3f, qnan, -0.2f, inf, 0.1f, -inf, 0.7f }, { qnan, 0.5f, inf, -0.4f, -inf, 0.2f, qnan });
        auto zero = stereoBlock ({ 0.3f, 0.0f, -0.2f, 0.0f, 0.1f, 0.0f, 0.7f }, { 0.0f, 0.5f, 0.0f, -0.4f, 0.0f, 0.2f, 0.0f });

        platform::crtSrand (7);
        withBad.process (bad);
        platform::crtSrand (7);
        withZero.process (zero);

        for (int ch = 0; ch < 2; ++ch)
            for (int i = 0; i < bad.getNumSamples(); ++i)
                EXPECT_EQ (bad.getSample (ch, i), zero.getSample (ch, i)) << "mode " << mode << " ch " << ch << " i " << i;
    }
}

TEST (DistortionSuiteDsp, ChannelsBeyondTheStereoPairGetTheDryPath)
{
    DistortionSuite suite (nullptr);
    suite.prepare (48000.0);
    set (suite.mixKnob, 100.0);
    set (suite.driveKnob, 16.0);
    set (suite.outKnob, 6.0);

    juce::AudioBuffer<float> block (3, 4);
    for (int ch = 0; ch < 3; ++ch)
        for (int i = 0; i < 4; ++i)
            block.setSample (ch, i, 0.1f * (float) (i + 1));

    suite.process (block);
    const auto gain = std::pow (10.0f, 6.0f / 20.0f);
    for (int i = 0; i < 4; ++i)
    {
        EXPECT_FLOAT_EQ (block.getSample (2, i), 0.1f * (float) (i + 1) * gain);
        EXPECT_GT (block.getSample (0, i), 0.9f);   // driven hard on the pair
    }
}

//==============================================================================
// Kernels

TEST (DistortionSuiteDsp, DistorterAtEffectiveDriveZeroGivesTheConstantEvenHarmonicValue)
{
    // The drive reaches 0 through the knob, or through a Korrupt offset taking it below 0.
    struct Case { double drive; float korruptDrive; };
    for (const auto& c : { Case { 0.0, 0.0f }, Case { 1.0, -1.0f }, Case { 4.0, -10.0f } })
    {
        DistortionSuite suite (nullptr);
        suite.prepare (48000.0);
        set (suite.driveKnob, c.drive);
        set (suite.evenKnob, 1.0);
        set (suite.mixKnob, 100.0);
        suite.korruptOffsets[0] = c.korruptDrive;

        auto block = noiseBlock (256, 11);
        block.setSample (0, 3, 0.0f);
        block.setSample (1, 4, qnan);
        suite.process (block);

        for (int ch = 0; ch < 2; ++ch)
            for (int i = 0; i < block.getNumSamples(); ++i)
                ASSERT_NEAR (block.getSample (ch, i), -0.371408f, 1.0e-6f) << "drive " << c.drive << " ch " << ch << " i " << i;
    }
}

TEST (DistortionSuiteDsp, BitcrushAtOneBitSplitsAtZero)
{
    // At or above 99 % of the sample rate the hold stage leaves the sample alone.
    for (double rate : { 0.99 * 48000.0, 48000.0, 96000.0 })
    {
        DistortionSuite suite (nullptr);
        suite.prepare (48000.0);
        suite.setMode (1);
        set (suite.bitsKnob, 1.0);
        set (suite.mixKnob, 100.0);
        set (suite.rateKnob, rate);

        struct Case { float in, expected; };
        const Case cases[] = { { -1.0f, -0.5f }, { -0.75f, -0.5f }, { -1.0e-9f, -0.5f }, { -1.0e-30f, -0.5f },
                               { -std::numeric_limits<float>::min(), -0.5f }, { 0.0f, 0.5f }, { -0.0f, 0.5f },
                               { 1.0e-30f, 0.5f }, { 0.5f, 0.5f }, { std::nextafter (1.0f, 0.0f), 0.5f },
                               { 1.0f, 1.0f }, { 3.0f, 1.0f }, { -1.5f, -1.0f } };

        juce::AudioBuffer<float> block (2, (int) std::size (cases));
        for (int i = 0; i < block.getNumSamples(); ++i)
            for (int ch = 0; ch < 2; ++ch)
                block.setSample (ch, i, cases[i].in);

        suite.process (block);
        for (int i = 0; i < block.getNumSamples(); ++i)
            for (int ch = 0; ch < 2; ++ch)
                EXPECT_EQ (block.getSample (ch, i), cases[i].expected) << "RATE " << rate << " in " << cases[i].in;
    }
}

TEST (DistortionSuiteDsp, KompressorBelowThresholdOrAtRatioOneKeepsUnityGain)
{
    // Quiet input under THRS -12 from construction on: the gain never leaves 1.
    {
        DistortionSuite suite (nullptr);
        suite.prepare (48000.0);
        suite.setMode (2);
        set (suite.mixKnob, 100.0);

        juce::AudioBuffer<float> input (2, 4096);
        effect_kit::fillSine (input, 48000.0, 440.0f, 0.1f);
        auto block = input;
        effect_kit::processInBlocks (adapterFor (suite), block, 512);
        for (int i = 0; i < block.getNumSamples(); ++i)
            ASSERT_EQ (block.getSample (0, i), input.getSample (0, i)) << i;
    }

    // RAT 1 at full scale, far above THRS -80.
    {
        DistortionSuite suite (nullptr);
        suite.prepare (48000.0);
        suite.setMode (2);
        set (suite.mixKnob, 100.0);
        set (suite.thrsKnob, -80.0);
        set (suite.ratKnob, 1.0);

        auto input = noiseBlock (4096, 5);
        auto block = input;
        suite.process (block);
        for (int i = 0; i < block.getNumSamples(); ++i)
            ASSERT_NEAR (block.getSample (1, i), input.getSample (1, i), 1.0e-5f) << i;
    }
}

TEST (DistortionSuiteDsp, KompressorLinkOneGivesTheRightChannelTheLeftEndOfBlockGain)
{
    DistortionSuite suite (nullptr);
    suite.prepare (48000.0);
    suite.setMode (2);
    set (suite.mixKnob, 100.0);
    set (suite.thrsKnob, -40.0);
    set (suite.ratKnob, 10.0);
    set (suite.atkKnob, 1.0);
    set (suite.linkKnob, 1.0);

    juce::AudioBuffer<float> block (2, 512);
    for (int i = 0; i < block.getNumSamples(); ++i)
    {
        block.setSample (0, i, 0.9f);     // loud, keeps the left gain falling through the block
        block.setSample (1, i, 0.001f);   // quiet, would need no gain reduction of its own
    }

    suite.process (block);

    const auto leftEndGain = block.getSample (0, 511) / 0.9f;
    ASSERT_LT (leftEndGain, 0.5f);
    ASSERT_LT (block.getSample (0, 511), block.getSample (0, 0));
    for (int i = 0; i < block.getNumSamples(); ++i)
        ASSERT_NEAR (block.getSample (1, i) / 0.001f, leftEndGain, 1.0e-4f) << i;
}

TEST (DistortionSuiteDsp, LeftInputDoesNotReachTheRightChannel)
{
    // Distorter with its high-pass and presence state, Bitcrush with hold and low-pass state
    // (no random stages), Kompressor without link.
    struct Case { int mode; std::function<void (DistortionSuite&)> setUp; };
    const Case cases[] = {
        { 0, [] (DistortionSuite& s) { set (s.hpfKnob, 300.0); set (s.presKnob, 2.0); set (s.driveKnob, 3.0); } },
        { 1, [] (DistortionSuite& s) { set (s.rateKnob, 3000.0); set (s.filtKnob, 2500.0); set (s.resKnob, 4.0); set (s.bitsKnob, 6.0); } },
        { 2, [] (DistortionSuite& s) { set (s.linkKnob, 0.0); set (s.thrsKnob, -30.0); } },
    };

    for (const auto& c : cases)
    {
        juce::AudioBuffer<float> outputs[2];
        for (int run = 0; run < 2; ++run)
        {
            DistortionSuite suite (nullptr);
            suite.prepare (44100.0);
            suite.setMode (c.mode);
            set (suite.mixKnob, 100.0);
            c.setUp (suite);

            juce::AudioBuffer<float> signal (2, 2048);
            effect_kit::fillSine (signal, 44100.0, 330.0f, 0.6f);
            if (run == 1)
                signal.copyFrom (0, 0, noiseBlock (2048, 99), 0, 0, 2048);

            effect_kit::processInBlocks (adapterFor (suite), signal, 256);
            outputs[run] = signal;
        }

        for (int i = 0; i < 2048; ++i)
            ASSERT_EQ (outputs[0].getSample (1, i), outputs[1].getSample (1, i)) << "mode " << c.mode << " sample " << i;
    }
}

//==============================================================================
// Offsets

TEST (DistortionSuiteDsp, RandomiserMixFloorIsApproachedOnlyByProcessedBlocks)
{
    DistortionSuite suite (nullptr);
    suite.prepare (48000.0);
    set (suite.driveKnob, 0.0);
    set (suite.evenKnob, 1.0);
    suite.randomiserOffsetTargets[2] = 30.0f;

    juce::AudioBuffer<float> block (2, 64), empty (2, 0);
    block.clear();

    // Blocks that are not processed leave the offset where it is.
    suite.setBypassed (true);
    for (int i = 0; i < 50; ++i)
        suite.process (block);
    suite.setBypassed (false);
    for (int i = 0; i < 50; ++i)
        suite.process (empty);
    EXPECT_EQ (suite.getRandomiserOffset (2), 0.0f);

    for (int i = 0; i < 999; ++i)
        suite.process (block);

    // The 1000th block mixes with the floor it has just smoothed: 18.969 % of the constant wet value.
    block.clear();
    suite.process (block);
    EXPECT_NEAR (suite.getRandomiserOffset (2), 18.969f, 1.0e-3f);
    EXPECT_NEAR (block.getSample (0, 0), 0.18969f * -0.371408f, 1.0e-5f);

    // The chain still counts the panel inactive: only the knob itself counts.
    EXPECT_FALSE (suite.isActive());
    set (suite.mixKnob, 0.02);
    EXPECT_TRUE (suite.isActive());
}

//==============================================================================
// Per-block work matches the per-sample description

namespace
{
    // The kernels written out per sample, reading every knob and recomputing every gain and
    // coefficient at each sample. The panel's processing works these out once per block; both
    // must agree bit for bit.
    struct PerSampleReference
    {
        explicit PerSampleReference (DistortionSuite& knobsToRead) : knobs (knobsToRead) {}

        DistortionSuite& knobs;

        struct State
        {
            float hpIn = 0, hpOut = 0, presPrev = 0;
            float held = 0, phase = 0, driftHeld = 0, x1 = 0, x2 = 0, y1 = 0, y2 = 0;
            float schpIn = 0, schpOut = 0, sclp = 0, env = 0, gain = 1;
        };
        State st[2];
        float randomiser[3] {};

        static float v (const juce::Slider& k) { return (float) k.getValue(); }
        static float r() { return (float) platform::crtRand() / 32767.0f; }
        static float db (float d) { return d > -100.0f ? std::pow (10.0f, d / 20.0f) : 0.0f; }

        float distorter (float x, float drive, State& s, double sr)
        {
            x *= db (v (knobs.inKnob));
            if (v (knobs.hpfKnob) > 20.0f && sr > 0.0)
            {
                const double rc = 1.0 / (2.0 * juce::MathConstants<double>::pi * (double) v (knobs.hpfKnob));
                const double dt = 1.0 / sr;
                const auto alpha = (float) (rc / (rc + dt));
                const auto out = alpha * (x + s.hpOut - s.hpIn);
                s.hpIn = x;
                s.hpOut = out;
                x = out;
            }
            const auto vv = (x + 0.5f * v (knobs.offsKnob)) * 4.0f * drive;
            const auto u = vv > 0.0f ? vv * (1.0f + 1.5f * v (knobs.symKnob)) : vv * (1.0f - 1.5f * v (knobs.symKnob));
            const auto soft = std::tanh (1.5f * u);
            const auto hard = juce::jlimit (-1.0f, 1.0f, u);
            auto fold = u;
            if (u < -1.0f || u > 1.0f)
            {
                auto t = std::fmod (u + 1.0f, 4.0f);
                if (t < 0.0f)
                    t += 4.0f;
                fold = t <= 2.0f ? t - 1.0f : 3.0f - t;
            }
            const auto e = v (knobs.edgeKnob) / 10.0f;
            float a;
            if (e < 0.5f)
                a = (1.0f - 2.0f * e) * soft + 2.0f * e * hard;
            else
            {
                const auto c = 2.0f * (e - 0.5f);
                a = (1.0f - c) * hard + c * fold;
            }
            const auto K = 24.0f * v (knobs.kneeKnob);
            if (K > 0.1f)
            {
                const auto L = 20.0f * std::log10 (std::abs (a) + 0.0001f);
                if (L > -6.0f - K && L < K - 6.0f)
                {
                    const auto t = (L + 6.0f + K) / (2.0f * K);
                    a *= 1.0f - 0.3f * t * t;
                }
            }
            auto h = a + 0.8f * v (knobs.evenKnob) * (a * a - 0.5f) + 0.8f * v (knobs.oddKnob) * (a * a * a - 0.75f * a);
            if (v (knobs.presKnob) > 0.0f)
            {
                const auto d = h - s.presPrev;
                s.presPrev = h;
                h += 2.0f * v (knobs.presKnob) * d;
            }
            return juce::jlimit (-1.0f, 1.0f, 1.2f * std::tanh (0.8f * h));
        }

        float bitcrush (float x, State& s, double sr)
        {
            x *= db (v (knobs.inKnob));
            const auto rate = v (knobs.rateKnob);
            if (sr > 0.0 && sr * 0.99 > (double) rate)
            {
                auto m = 1.0f;
                if (v (knobs.jitrKnob) > 0.0f)
                    m = 1.0f + 0.5f * v (knobs.jitrKnob) * (r() - 0.5f);
                s.phase += (float) ((double) (m * rate) / sr);
                if (s.phase >= 1.0f)
                {
                    s.phase = std::fmod (s.phase, 1.0f);
                    s.held = x;
                }
                x = s.held;
            }
            if (v (knobs.dthrKnob) > 0.0f)
            {
                const auto r1 = r();
                const auto r2 = r();
                x += 0.1f * v (knobs.dthrKnob) * ((r1 - 0.5f) + (r2 - 0.5f));
            }
            const double step = 2.0 / std::pow (2.0, (double) v (knobs.bitsKnob));
            const double cells = 1.0 / step;
            const double scaled = (double) x * cells;
            const double cell = cells == std::floor (cells) ? std::floor (scaled) + cells : std::floor (scaled + cells);
            auto y = (float) (cell * step - 1.0 + step / 2.0);
            const auto drift = v (knobs.drftKnob);
            if (drift > 0.0f)
            {
                if (0.1f * drift > r())
                    y = s.driftHeld;
                s.driftHeld = y;
                if (0.02f * drift > r())
                    y += drift * (r() - 0.5f);
            }
            if (v (knobs.filtKnob) < 19000.0f && sr > 0.0)
            {
                const double w = 2.0 * juce::MathConstants<double>::pi * (double) v (knobs.filtKnob) / sr;
                const double alpha = std::sin (w) / (2.0 * (double) v (knobs.resKnob));
                const double a0 = 1.0 + alpha, b0 = (1.0 - std::cos (w)) / 2.0, b1 = 1.0 - std::cos (w);
                const double a1 = -2.0 * std::cos (w), a2 = 1.0 - alpha;
                const auto out = (b0 * y + b1 * s.x1 + b0 * s.x2 - a1 * s.y1 - a2 * s.y2) / a0;
                s.x2 = s.x1; s.x1 = y; s.y2 = s.y1; s.y1 = (float) out;
                y = (float) out;
            }
            return juce::jlimit (-1.0f, 1.0f, y);
        }

        float kompressor (float x, int ch, double sr)
        {
            auto& s = st[ch];
            x *= db (v (knobs.inKnob));
            auto d = x;
            if (v (knobs.schpKnob) > 20.0f && sr > 0.0)
            {
                const double rc = 1.0 / (2.0 * juce::MathConstants<double>::pi * (double) v (knobs.schpKnob));
                const auto alpha = (float) (rc / (rc + 1.0 / sr));
                const auto out = alpha * (d + s.schpOut - s.schpIn);
                s.schpIn = d;
                s.schpOut = out;
                d = out;
            }
            if (v (knobs.sclpKnob) < 20000.0f && sr > 0.0)
            {
                const double rc = 1.0 / (2.0 * juce::MathConstants<double>::pi * (double) v (knobs.sclpKnob));
                const double dt = 1.0 / sr;
                s.sclp += (float) (dt / (rc + dt)) * (d - s.sclp);
                d = s.sclp;
            }
            const auto c = (float) std::exp (-1.0 / (0.01 * sr));
            s.env = (1.0f - c) * std::abs (d) + c * s.env;
            const auto sum = s.env + 0.00001f;
            const auto L = sum > 0.0f ? std::max (20.0f * std::log10 (sum), -100.0f) : -100.0f;
            const auto T = v (knobs.thrsKnob);
            auto target = 1.0f;
            if (L > T)
            {
                const auto g = (L - T) / v (knobs.ratKnob) + T - L;
                target = g > -100.0f ? std::pow (10.0f, g / 20.0f) : 0.0f;
            }
            float coef;
            if (s.gain > target)
                coef = (float) std::exp (-1.0 / (sr * (double) std::max (v (knobs.atkKnob), 0.1f) / 1000.0));
            else
            {
                const double D = sr * (double) std::max (v (knobs.relKnob), 1.0f) / 1000.0, E = std::exp (-1.0 / D);
                const double shape = v (knobs.shpeKnob);
                coef = shape < 1.0 ? (float) ((1.0 - 1.0 / D) * (1.0 - shape) + E * shape)
                                   : (float) (std::exp (-2.0 / D) * (shape - 1.0) + E * (2.0 - shape));
            }
            s.gain = (1.0f - coef) * target + coef * s.gain;
            auto g = s.gain;
            const auto link = v (knobs.linkKnob);
            if (link > 0.0f && ch == 1)
                g = (1.0f - link) * st[1].gain + link * st[0].gain;
            auto y = x * g;
            const auto sat = v (knobs.satKnob);
            if (sat > 0.0f)
            {
                const auto k = 3.0f * sat + 1.0f;
                y = std::tanh (k * y) / std::tanh (k);
                y += 0.1f * sat * (y * y - 0.5f) * (y > 0.0f ? 1.0f : -1.0f);
            }
            y *= db (v (knobs.mkupKnob));
            if (v (knobs.limKnob) < 0.0f)
            {
                const auto ceiling = std::pow (10.0f, v (knobs.limKnob) / 20.0f);
                if (std::abs (y) > ceiling)
                    y = ceiling * std::tanh (y / ceiling);
            }
            return juce::jlimit (-1.0f, 1.0f, y);
        }

        void process (juce::AudioBuffer<float>& buffer, int mode, double sr)
        {
            const juce::ScopedNoDenormals noDenormals;
            for (int i = 0; i < 3; ++i)
                randomiser[i] += (knobs.randomiserOffsetTargets[(size_t) i].load() - randomiser[i]) * 0.001f;
            const double driveSum = (double) v (knobs.driveKnob) + (double) knobs.korruptOffsets[0].load() + (double) randomiser[0];
            const auto drive = (float) (driveSum < 0.0 ? 0.0 : std::min (driveSum, 16.0));
            const auto wet = (double) juce::jlimit (0.0f, 1.0f, std::max (v (knobs.mixKnob), knobs.korruptOffsets[2].load() + randomiser[2]) / 100.0f);
            const auto outDb = v (knobs.outKnob);
            const auto gain = (double) juce::jlimit (0.0f, 10.0f, outDb > -100.0f ? std::pow (10.0f, outDb / 20.0f) : 0.0f);

            for (int ch = 0; ch < 2; ++ch)
                for (int i = 0; i < buffer.getNumSamples(); ++i)
                {
                    auto x = buffer.getSample (ch, i);
                    if (! std::isfinite (x))
                        x = 0.0f;
                    auto y = mode == 0 ? distorter (x, drive, st[ch], sr)
                           : mode == 1 ? bitcrush (x, st[ch], sr)
                           : mode == 2 ? kompressor (x, ch, sr) : x;
                    if (! std::isfinite (y))
                        y = x;
                    buffer.setSample (ch, i, (float) juce::jlimit (-4.0, 4.0, gain * ((1.0 - wet) * x + wet * y)));
                }
        }
    };
}

TEST (DistortionSuiteDsp, BlockWiseWorkMatchesThePerSampleDescription)
{
    // Random knob sets in every mode, including the random stages (same generator sequence).
    for (int mode : { 0, 1, 2 })
    {
        for (std::uint32_t seed : { 1u, 2u, 3u, 4u })
        {
            DistortionSuite suite (nullptr);
            suite.prepare (44100.0);
            suite.setMode (mode);
            effect_kit::applySetting (adapterFor (suite), { "random", effect_kit::SettingKind::random, seed });
            set (suite.mixKnob, 70.0);
            if (mode == 0)
                set (suite.edgeKnob, seed % 2 == 0 ? 7.5 : 2.0);   // both the soft/hard and the hard/fold blends
            suite.korruptOffsets[0] = 0.5f;
            suite.randomiserOffsetTargets[2] = 40.0f;

            PerSampleReference reference (suite);

            for (int block = 0; block < 6; ++block)
            {
                auto input = noiseBlock (block == 3 ? 1 : 300, seed * 10 + (std::uint32_t) block, 0.8f);
                auto expected = input;

                platform::crtSrand (seed + (unsigned) block);
                suite.process (input);
                platform::crtSrand (seed + (unsigned) block);
                reference.process (expected, mode, 44100.0);

                for (int ch = 0; ch < 2; ++ch)
                    for (int i = 0; i < input.getNumSamples(); ++i)
                        ASSERT_EQ (input.getSample (ch, i), expected.getSample (ch, i))
                            << "mode " << mode << " seed " << seed << " block " << block << " ch " << ch << " i " << i;
            }
        }
    }
}

//==============================================================================
// Panel and processor

TEST (DistortionSuiteProcessor, EachKnobFeedsTheParameterOfItsName)
{
    DistortionSuite suite (nullptr);
    auto& processor = suite.getProcessor();
    const auto& info = DistortionSuiteProcessor::parameterInfo();

    for (size_t i = 0; i < info.size(); ++i)
    {
        auto* knob = suite.findKnob (info[i].name);
        ASSERT_NE (knob, nullptr) << info[i].name;
        EXPECT_EQ (knob->getMinimum(), info[i].minimum) << info[i].name;
        EXPECT_EQ (knob->getMaximum(), info[i].maximum) << info[i].name;

        // A value no other parameter holds, so a knob bound to the wrong place shows.
        const auto value = info[i].minimum + (info[i].maximum - info[i].minimum) * 0.37;
        set (*knob, value);
        EXPECT_EQ (processor.getParameter ((DistortionSuiteProcessor::ParameterId) i), (float) value) << info[i].name;
    }

    suite.setMode (2);
    suite.setBypassed (true);
    suite.korruptOffsets[1] = 3.0f;
    EXPECT_EQ (processor.getMode(), 2);
    EXPECT_TRUE (processor.parameters.bypassed.load());
    EXPECT_EQ (processor.parameters.korruptOffsets[1].load(), 3.0f);
}

namespace
{
    void copyKnobValues (const DistortionSuiteProcessor& from, DistortionSuiteProcessor& to)
    {
        for (size_t i = 0; i < DistortionSuiteParameters::count; ++i)
        {
            const auto id = (DistortionSuiteProcessor::ParameterId) i;
            to.setParameter (id, from.getParameter (id));
        }
    }
}

TEST (DistortionSuiteProcessor, StandaloneProcessorSoundsLikeThePanelAndResetStartsAfresh)
{
    for (int mode : { 0, 1, 2 })
    {
        DistortionSuite suite (nullptr);
        DistortionSuiteProcessor alone;
        suite.prepare (48000.0);
        alone.prepare (48000.0, 512);
        suite.setMode (mode);
        alone.setMode (mode);

        effect_kit::applySetting (adapterFor (suite), { "random", effect_kit::SettingKind::random, 7 });
        set (suite.mixKnob, 80.0);
        copyKnobValues (suite.getProcessor(), alone);
        suite.korruptOffsets[0] = alone.parameters.korruptOffsets[0] = 1.5f;

        // The processor takes any stretch of a buffer; the panel the whole of it.
        const auto input = noiseBlock (200, 40 + (std::uint32_t) mode, 0.7f);
        auto viaPanel = input;
        juce::AudioBuffer<float> padded (2, 210);
        padded.clear();
        for (int ch = 0; ch < 2; ++ch)
            padded.copyFrom (ch, 5, input, ch, 0, 200);

        platform::crtSrand (9);
        suite.process (viaPanel);
        platform::crtSrand (9);
        alone.process (padded, 5, 200);

        for (int ch = 0; ch < 2; ++ch)
        {
            EXPECT_EQ (padded.getSample (ch, 4), 0.0f);
            EXPECT_EQ (padded.getSample (ch, 205), 0.0f);
            for (int i = 0; i < 200; ++i)
                ASSERT_EQ (padded.getSample (ch, 5 + i), viaPanel.getSample (ch, i)) << "mode " << mode << " ch " << ch << " i " << i;
        }

        // After reset the filters and envelopes start from rest: a second processor that never
        // ran gives the same block (the randomiser offsets are not sound state and stay at 0 here).
        DistortionSuiteProcessor fresh;
        fresh.prepare (48000.0, 512);
        fresh.setMode (mode);
        copyKnobValues (alone, fresh);
        fresh.parameters.korruptOffsets[0] = 1.5f;

        alone.reset();
        auto afterReset = input, fromFresh = input;
        platform::crtSrand (11);
        alone.process (afterReset, 0, 200);
        platform::crtSrand (11);
        fresh.process (fromFresh, 0, 200);
        for (int ch = 0; ch < 2; ++ch)
            for (int i = 0; i < 200; ++i)
                ASSERT_EQ (afterReset.getSample (ch, i), fromFresh.getSample (ch, i)) << "mode " << mode << " ch " << ch << " i " << i;
    }
}

//==============================================================================
// The shared effect properties

TEST (DistortionSuiteKit, OutputStaysFiniteAndWithinFourForEveryInputAndSetting)
{
    DistortionSuiteProcessor processor;
    auto report = effect_kit::checkRobustness (adapterFor (processor));
    EXPECT_TRUE (report.ok()) << report.summary();
    EXPECT_GT (report.casesRun, 0);

    // A rate of 0 or below leaves the filters off and the Kompressor's time constants undefined;
    // whatever they give falls back to the dry sample.
    effect_kit::RobustnessOptions noRate;
    noRate.sampleRates = { 0.0, -48000.0 };
    noRate.blockSizes = { 64, 4096 };
    report = effect_kit::checkRobustness (adapterFor (processor), noRate);
    EXPECT_TRUE (report.ok()) << report.summary();
}

TEST (DistortionSuiteKit, SilenceStaysSilentInTheNeutralSettingAndAtFullMix)
{
    DistortionSuiteProcessor processor;
    auto fx = adapterFor (processor);
    auto report = effect_kit::checkSilence (fx);
    EXPECT_TRUE (report.ok()) << report.summary();

    // At the default knobs the Distorter and the Kompressor map 0 to 0, so full mix keeps
    // silence too. (The Bitcrush quantiser is mid-rise: 0 lands half a step up.)
    DistortionSuiteProcessor wet;
    auto wetFx = adapterFor (wet);
    wetFx.variants = { wetFx.variants[0], wetFx.variants[2] };
    wetFx.neutral = [&wet] { wet.setParameter (Id::mix, 100.0f); };
    report = effect_kit::checkSilence (wetFx);
    EXPECT_TRUE (report.ok()) << report.summary();
}

TEST (DistortionSuiteKit, ProcessingAllocatesNothingAndTakesNoLock)
{
    DistortionSuiteProcessor processor;
    processor.setParameter (Id::mix, 100.0f);
    auto report = effect_kit::checkRealtime (adapterFor (processor));
    EXPECT_TRUE (report.ok()) << report.summary();

    // The panel forwards without adding anything of its own.
    DistortionSuite suite (nullptr);
    set (suite.mixKnob, 100.0);
    report = effect_kit::checkRealtime (adapterFor (suite));
    EXPECT_TRUE (report.ok()) << report.summary();
}

TEST (DistortionSuiteKit, KnobStepsJumpNoFurtherThanTheSteadyOutputsDiffer)
{
    DistortionSuiteProcessor processor;
    auto fx = adapterFor (processor);
    fx.variants.pop_back();

    // A linked right channel follows the left channel's end-of-block gain, one step per block by
    // design (pinned above); everything else is checked unlinked.
    for (const auto& parameter : fx.parameters)
        if (parameter.name != "LINK")
            fx.continuousParameters.push_back (parameter);

    effect_kit::SmoothnessOptions options;
    // IN and OUT are gains applied at once; in front of the Kompressor's slow gain they move the
    // output by the gain ratio before the ballistics catch up.
    // The presence stage remembers its last value only while PRES is above 0, so turning it on
    // takes its first difference against the value from before (here the state prepare left):
    // one sample boosted by up to 2 x PRES x the level.
    options.extraStepAllowance = [] (const effect_kit::Parameter& parameter, double from, double to, float steadyPeak)
    {
        if (parameter.name == "PRES" && from <= 0.0)
            return 2.0f * (float) to * steadyPeak;
        if (parameter.name != "IN" && parameter.name != "OUT")
            return 0.0f;
        return std::abs (std::pow (10.0f, (float) (to - from) / 20.0f) - 1.0f) * steadyPeak;
    };
    options.baseSetting = [&processor]
    {
        const auto& info = DistortionSuiteProcessor::parameterInfo();
        for (size_t i = 0; i < info.size(); ++i)
            processor.setParameter ((Id) i, (float) info[i].defaultValue);
        processor.setParameter (Id::mix, 100.0f);
        processor.setParameter (Id::link, 0.0f);
    };

    const auto report = effect_kit::checkSmoothness (fx, options);
    EXPECT_TRUE (report.ok()) << report.summary();
}

//==============================================================================
// Panel: modes, layout, face, read-outs and buttons

namespace
{
    juce::StringArray visibleCaptions (DistortionSuite& suite)
    {
        juce::StringArray names;
        for (auto* knob : suite.getAllKnobs())
            if (knob->isVisible())
                names.add (knob->getName());
        names.sort (false);
        return names;
    }

    juce::StringArray sorted (juce::StringArray names)
    {
        names.sort (false);
        return names;
    }
}

TEST (DistortionSuitePanel, EachModeShowsTheSharedKnobsAndItsOwnGroup)
{
    DistortionSuite suite (nullptr);
    EXPECT_EQ (visibleCaptions (suite).size(), 31);

    const juce::StringArray shared { "IN", "DRIVE", "MIX", "OUT" };
    const juce::StringArray distorter { "SYM", "OFFS", "EDGE", "KNEE", "EVEN", "ODD", "HPF", "PRES" };
    const juce::StringArray bitcrush { "BITS", "RATE", "JITR", "DTHR", "FILT", "RES", "DRFT", "WIDE" };
    const juce::StringArray kompressor { "THRS", "RAT", "ATK", "REL", "MKUP", "SAT", "SCHP", "SCLP", "LINK", "LIM", "SHPE" };

    struct Case { int mode; juce::StringArray group; };
    for (const auto& c : { Case { 1, bitcrush }, Case { 0, distorter }, Case { 2, kompressor }, Case { 5, kompressor } })
    {
        suite.setMode (c.mode);
        auto expected = shared;
        expected.addArray (c.group);
        EXPECT_EQ (visibleCaptions (suite), sorted (expected)) << "mode " << c.mode;
        EXPECT_EQ (suite.getMode(), c.mode);
    }
}

TEST (DistortionSuitePanel, LayoutGivesLabelControlBlockAndKnobRows)
{
    DistortionSuite suite (nullptr);
    suite.setMode (0);
    suite.setSize (600, 161);

    using R = juce::Rectangle<int>;
    EXPECT_EQ (suite.hoverLabel.getBounds(), R (4, 2, 592, 16));
    EXPECT_EQ (suite.mixKnob.getBounds(), R (468, 60, 60, 60));
    EXPECT_EQ (suite.hudButton.getBounds(), R (533, 80, 28, 21));
    EXPECT_EQ (suite.bypassButton.getBounds(), R (565, 78, 29, 25));

    // Six knobs of width 67 in the first row from x 59, five in the second.
    const std::pair<DistortionSuite::Knob*, R> knobs[] = {
        { &suite.inKnob,   R (60, 23, 65, 66) }, { &suite.driveKnob, R (127, 23, 65, 66) },
        { &suite.outKnob,  R (194, 23, 65, 66) }, { &suite.symKnob,  R (261, 23, 65, 66) },
        { &suite.offsKnob, R (328, 23, 65, 66) }, { &suite.edgeKnob, R (395, 23, 65, 66) },
        { &suite.kneeKnob, R (60, 91, 65, 67) }, { &suite.evenKnob, R (127, 91, 65, 67) },
        { &suite.oddKnob,  R (194, 91, 65, 67) }, { &suite.hpfKnob,  R (261, 91, 65, 67) },
        { &suite.presKnob, R (328, 91, 65, 67) } };
    for (const auto& [knob, bounds] : knobs)
        EXPECT_EQ (knob->getBounds(), bounds) << knob->getName();
}

TEST (DistortionSuitePanel, KompressorRowsNarrowerThanSevenKnobsLeaveTheSeventhEmpty)
{
    // Row width 210: the knob width is the minimum 35, so six knobs fill the row.
    DistortionSuite suite (nullptr);
    suite.setMode (2);
    suite.setSize (403, 161);

    using R = juce::Rectangle<int>;
    EXPECT_EQ (suite.inKnob.getBounds(), R (60, 23, 33, 66));
    EXPECT_EQ (suite.atkKnob.getBounds(), R (235, 23, 33, 66));
    EXPECT_EQ (suite.relKnob.getBounds(), R (270, 23, 0, 66));
    EXPECT_EQ (suite.mkupKnob.getBounds(), R (60, 91, 33, 67));
    EXPECT_EQ (suite.shpeKnob.getBounds(), R (270, 91, 0, 67));
}

TEST (DistortionSuitePanel, TinyPanelAndFirstLayoutPlaceNothingWithNegativeSize)
{
    DistortionSuite suite (nullptr);
    suite.setSize (600, 10);

    EXPECT_EQ (suite.hoverLabel.getBounds(), juce::Rectangle<int> (4, 2, 592, 6));
    for (auto* child : suite.getChildren())
        EXPECT_TRUE (child->getWidth() >= 0 && child->getHeight() >= 0) << child->getName();
    EXPECT_EQ (suite.inKnob.getHeight(), 0);

    // Before any mode is chosen only the Distorter's knobs get places.
    suite.setSize (600, 161);
    EXPECT_FALSE (suite.presKnob.getBounds().isEmpty());
    EXPECT_TRUE (suite.bitsKnob.getBounds().isEmpty());
    EXPECT_TRUE (suite.thrsKnob.getBounds().isEmpty());
}

TEST (DistortionSuitePanel, FaceShowsModeNameAndBypassOverlay)
{
    DistortionSuite suite (nullptr);
    suite.setSize (600, 161);

    const auto paintPanel = [&suite] { return pixel_probe::draw (600, 161, [&suite] (juce::Graphics& g) { suite.paint (g); }); };
    const auto coloured = [] (juce::Colour c) { return c.getGreen() - c.getRed() > 80; };
    const auto reddish = [] (juce::Colour c) { return c.getRed() - c.getGreen() > 60; };
    const juce::Rectangle<int> nameStrip (0, 20, 70, 141);
    const juce::Rectangle<int> overlayArea (80, 130, 500, 20);

    for (int mode : { 0, 1, 2 })
    {
        suite.setMode (mode);
        const auto image = paintPanel();
        EXPECT_GT (pixel_probe::count (image, nameStrip, coloured), 10) << "mode " << mode;
        EXPECT_EQ (pixel_probe::count (image, overlayArea, reddish), 0);

        // The header strip is the light blue gradient.
        const auto header = image.getPixelAt (300, 9);
        EXPECT_GT (header.getBlue(), header.getRed());
    }

    suite.setMode (7);
    EXPECT_EQ (pixel_probe::count (paintPanel(), nameStrip, coloured), 0);

    suite.setBypassed (true);
    const auto bypassedImage = paintPanel();
    EXPECT_EQ (pixel_probe::count (bypassedImage, overlayArea, reddish), overlayArea.getWidth() * overlayArea.getHeight());
    EXPECT_EQ (pixel_probe::count (bypassedImage, { 0, 40, 66, 100 }, reddish), 0);
}

TEST (DistortionSuitePanel, ReadOutsFormatValueAndRange)
{
    DistortionSuite suite (nullptr);
    set (suite.atkKnob, 0.01);

    struct Case { DistortionSuite::Knob* knob; const char* hover; const char* hud; };
    for (const auto& c : { Case { &suite.driveKnob, "DRIVE: 1.00 / 16", "1.0" },
                           Case { &suite.thrsKnob, "THRS: -12.00 / 12", "-12.0" },
                           Case { &suite.rateKnob, "RATE: 44100.00 / 96000", "44100.0" },
                           Case { &suite.limKnob, "LIM: 0.00 / 0", "0.0" },
                           Case { &suite.atkKnob, "ATK: 0.01 / 1000", "0.0" },
                           Case { &suite.resKnob, "RES: 0.70 / 10", "0.7" } })
    {
        EXPECT_EQ (DistortionSuite::hoverText (*c.knob), c.hover);
        EXPECT_EQ (DistortionSuite::hudValueText (*c.knob), c.hud);
    }
}

TEST (DistortionSuitePanel, TimerFeedsDisplayAndLabelWithTheFirstHoveredVisibleKnob)
{
    PurpleHeadsUpDisplay hud;
    HoverableSuite suite (&hud);
    suite.setMode (0);

    const auto texts = [&hud] { return juce::StringArray { hud.title, hud.knobName, hud.valueText, hud.description }; };

    suite.hovered = { &suite.driveKnob };
    suite.timerCallback();
    EXPECT_EQ (texts(), (juce::StringArray { "DISTORTER", "DRIVE", "1.0", "Distortion intensity" }));
    EXPECT_EQ (suite.hoverLabel.getText(), "DRIVE: 1.00 / 16");

    // Nothing under the mouse, or only a hidden knob: the last texts stay.
    for (auto hovered : { std::vector<const DistortionSuite::Knob*> {}, std::vector<const DistortionSuite::Knob*> { &suite.bitsKnob } })
    {
        suite.hovered = hovered;
        suite.timerCallback();
        EXPECT_EQ (texts(), (juce::StringArray { "DISTORTER", "DRIVE", "1.0", "Distortion intensity" }));
        EXPECT_EQ (suite.hoverLabel.getText(), "DRIVE: 1.00 / 16");
    }

    // The list order decides between two: MIX comes before IN.
    suite.hovered = { &suite.inKnob, &suite.mixKnob };
    suite.timerCallback();
    EXPECT_EQ (hud.knobName, "MIX");

    suite.setMode (2);
    suite.hovered = { &suite.thrsKnob };
    suite.timerCallback();
    EXPECT_EQ (texts(), (juce::StringArray { "KOMPRESSOR", "THRS", "-12.0", "Compression threshold" }));
    EXPECT_EQ (suite.hoverLabel.getText(), "THRS: -12.00 / 12");

    suite.setMode (1);
    suite.hovered = { &suite.wideKnob };
    suite.timerCallback();
    EXPECT_EQ (hud.title, "BITCRUSH");

    suite.setMode (5);
    suite.hovered = { &suite.satKnob };
    suite.timerCallback();
    EXPECT_EQ (hud.title, "DISTORTION SUITE");

    // Without a display the label still follows.
    HoverableSuite alone (nullptr);
    alone.hovered = { &alone.outKnob };
    alone.timerCallback();
    EXPECT_EQ (alone.hoverLabel.getText(), "OUT: 0.00 / 24");
}

TEST (DistortionSuitePanel, BypassAndHudButtons)
{
    const auto click = [] (juce::Button& button)
    {
        button.triggerClick();
        EXPECT_TRUE (test_support::runPendingMessages());
    };

    PurpleHeadsUpDisplay hud;
    DistortionSuite suite (&hud);
    suite.prepare (48000.0);
    set (suite.mixKnob, 100.0);
    set (suite.driveKnob, 16.0);

    click (suite.bypassButton);
    ASSERT_TRUE (suite.isBypassed());
    auto input = noiseBlock (64, 3);
    auto block = input;
    suite.process (block);
    for (int i = 0; i < 64; ++i)
        ASSERT_EQ (block.getSample (0, i), input.getSample (0, i));
    EXPECT_FALSE (suite.isActive());

    click (suite.bypassButton);
    EXPECT_FALSE (suite.isBypassed());
    EXPECT_TRUE (suite.isActive());

    // HUD shows and hides; after the display's own close it shows it again.
    hud.setVisible (false);
    click (suite.hudButton);
    EXPECT_TRUE (hud.isVisible());
    EXPECT_FALSE (hud.closedByUser);
    click (suite.hudButton);
    EXPECT_FALSE (hud.isVisible());
    EXPECT_TRUE (hud.closedByUser);
    click (suite.hudButton);
    EXPECT_TRUE (hud.isVisible());
    EXPECT_FALSE (hud.closedByUser);

    DistortionSuite withoutDisplay (nullptr);
    click (withoutDisplay.hudButton);   // nothing to show; must not fail
}
