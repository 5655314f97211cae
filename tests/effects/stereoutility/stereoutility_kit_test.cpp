#include <gtest/gtest.h>

#include "controls/StereoSpectralAnalyzer.h"
#include "effects/stereoutility/StereoUtilityMaxProcessor.h"
#include "support/EffectTestKit.h"

// The checks every effect passes, on the processor alone with the spectrum display fed the way
// the panel feeds it.

namespace
{
    using P = StereoUtilityMaxParameters;
    using Knob = P::Knob;

    struct SpectrumFeed final : StereoUtilityMaxProcessor::OutputTap
    {
        SpectrumFeed() { analyzer.activate(); }

        void outputBlock (const float* left, const float* right, int numSamples) noexcept override
        {
            analyzer.pushSamples (left, right, numSamples);
        }

        StereoSpectralAnalyzer analyzer;
    };

    struct KitFixture
    {
        KitFixture() { processor.setOutputTap (&feed); }
        ~KitFixture() { processor.setOutputTap (nullptr); }

        void everyStageOn()
        {
            const std::pair<Knob, float> settings[] = {
                { Knob::width, 200 }, { Knob::balance, 50 }, { Knob::monoBelow, 120 }, { Knob::lowWidth, 0 },
                { Knob::highWidth, 200 }, { Knob::mid, 6 }, { Knob::side, 6 }, { Knob::levelDifference, 12 },
                { Knob::timeDifference, 500 }, { Knob::iacc, 0 }, { Knob::leftDelay, 500 }, { Knob::rightDelay, 500 },
                { Knob::phase, 180 }, { Knob::dynamicsRatio, 4 }, { Knob::haas, 20 }, { Knob::pitch, 50 },
                { Knob::modRate, 10 }, { Knob::modDepth, 100 }, { Knob::rotation, 45 }, { Knob::extraction, 100 },
                { Knob::room, 100 }, { Knob::diffusion, 100 }, { Knob::leftMix, 100 }, { Knob::rightMix, 100 } };
            for (auto [k, v] : settings)
                processor.parameters.setKnob (k, v);
        }

        void setOffsets (float width, float balance, float mix)
        {
            auto& p = processor.parameters;
            p.modWidthOffset = width;
            p.modBalanceOffset = balance;
            p.modMixOffset = mix;
            p.modRotationOffset = width;
            p.randomWidthTarget = width;
            p.randomBalanceTarget = balance;
            p.randomMixTarget = mix;
        }

        effect_kit::EffectAdapter adapter()
        {
            auto fx = effect_kit::processorAdapter ("Stereo Utility Max", processor);
            fx.prepare = [this] (double rate, int block)
            {
                processor.prepare (rate, block);
                feed.analyzer.setSampleRate (rate);
            };

            const auto& table = P::knobTable();
            for (size_t i = 0; i < table.size(); ++i)
            {
                auto& value = processor.parameters.knobs[i];
                fx.parameters.push_back ({ table[i].caption, table[i].minimum, table[i].maximum,
                                           [&value] (double v) { value.store ((float) v, std::memory_order_relaxed); },
                                           [&value] { return (double) value.load (std::memory_order_relaxed); },
                                           {} });
            }

            fx.variants = {
                { "offsets at rest", [this] { setOffsets (0.0f, 0.0f, 0.0f); } },
                { "offsets beyond every limit", [this] { setOffsets (500.0f, -500.0f, 500.0f); } },
            };
            fx.neutral = [this]
            {
                setOffsets (0.0f, 0.0f, 0.0f);
                processor.parameters.leftMix = 0.0f;
                processor.parameters.rightMix = 0.0f;
            };
            fx.outputBound = 1.0f;
            return fx;
        }

        StereoUtilityMaxProcessor processor;
        SpectrumFeed feed;
    };
}

TEST (StereoUtilityMaxKit, OutputStaysFiniteAndWithinOne)
{
    KitFixture f;
    const auto report = effect_kit::checkRobustness (f.adapter());
    EXPECT_TRUE (report.ok()) << report.summary();
    EXPECT_GT (report.casesRun, 0);
    EXPECT_GT (f.feed.analyzer.getAnalysisCount(), 0);
    EXPECT_TRUE (f.processor.stateIsFinite());
}

TEST (StereoUtilityMaxKit, SilenceStaysSilent)
{
    KitFixture f;
    const auto report = effect_kit::checkSilence (f.adapter());
    EXPECT_TRUE (report.ok()) << report.summary();
}

TEST (StereoUtilityMaxKit, ProcessingAllocatesNothingAndTakesNoLock)
{
    KitFixture f;
    f.everyStageOn();
    const auto report = effect_kit::checkRealtime (f.adapter());
    EXPECT_TRUE (report.ok()) << report.summary();
}

TEST (StereoUtilityMaxKit, KnobStepsJumpNoFurtherThanTheSteadyOutputsDiffer)
{
    KitFixture f;
    auto fx = f.adapter();
    fx.variants.pop_back();

    effect_kit::SmoothnessOptions options;
    options.baseSetting = [&f]
    {
        f.processor.parameters.setDefaults();
        f.processor.parameters.leftMix = 100.0f;
        f.processor.parameters.rightMix = 100.0f;
    };

    // ITD and HAAS switched on read their line from where it stood when they last ran (silence
    // after a prepare), so the first step from 0 may drop the right channel for a moment.
    options.extraStepAllowance = [] (const effect_kit::Parameter& parameter, double from, double, float steadyPeak)
    {
        const bool switchesALineOn = (parameter.name == "ITD" || parameter.name == "HAAS") && from == 0.0;
        return switchesALineOn ? steadyPeak : 0.0f;
    };

    const auto report = effect_kit::checkSmoothness (fx, options);
    EXPECT_TRUE (report.ok()) << report.summary();
}
