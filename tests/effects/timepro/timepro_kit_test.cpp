#include <gtest/gtest.h>

#include "effects/timepro/HeightAndWeightProcessor.h"
#include "support/EffectTestKit.h"
#include "support/RealtimeTrap.h"

#include <cmath>

// The checks every effect passes, on the processor alone, in the two modes that process.

namespace
{
    using P = HeightAndWeightParameters;

    struct KitFixture
    {
        effect_kit::Parameter parameter (P::Knob k)
        {
            const auto& spec = P::knobTable()[(size_t) k].spec;
            auto& value = processor.parameters.knobs[(size_t) k];
            return { spec.caption, spec.minimum, spec.maximum,
                     [&value] (double v) { value.store ((float) v, std::memory_order_relaxed); },
                     [&value] { return (double) value.load (std::memory_order_relaxed); },
                     {} };
        }

        effect_kit::EffectAdapter adapter()
        {
            auto fx = effect_kit::processorAdapter ("TimePro", processor);
            // The processor's prepare keeps what its rings hold; every run starts from silence.
            fx.prepare = [this] (double rate, int block)
            {
                processor.prepare (rate, block);
                processor.reset();
            };

            for (auto k : { P::microDetune, P::microDelay, P::microWidth, P::microChar, P::microMix,
                            P::grainSize, P::grainDensity, P::grainPitch, P::grainMotion, P::grainMix,
                            P::outputLevel, P::globalMix })
                fx.parameters.push_back (parameter (k));

            auto& p = processor.parameters;
            fx.variants = {
                { "Micro-Pitch", [&p] { p.mode = 0; p.frozen = false; } },
                { "Granular", [&p] { p.mode = 1; p.frozen = false; } },
                { "Granular frozen", [&p] { p.mode = 1; p.frozen = true; } },
            };
            fx.neutral = [&p] { p.mix = 0.0f; };
            fx.outputBound = std::tanh (4.0f);
            return fx;
        }

        void setMixes (float percent)
        {
            for (auto k : { P::microMix, P::grainMix, P::globalMix })
                processor.parameters.setKnob (k, percent);
        }

        HeightAndWeightProcessor processor;
    };
}

TEST (TimeProKit, OutputStaysFiniteAndWithinTanhOfFour)
{
    KitFixture f;
    const auto report = effect_kit::checkRobustness (f.adapter());
    EXPECT_TRUE (report.ok()) << report.summary();
    EXPECT_GT (report.casesRun, 0);
}

TEST (TimeProKit, SilenceStaysSilent)
{
    KitFixture f;
    f.setMixes (100.0f);
    const auto report = effect_kit::checkSilence (f.adapter());
    EXPECT_TRUE (report.ok()) << report.summary();
}

TEST (TimeProKit, ProcessingAllocatesNothingAndTakesNoLock)
{
    KitFixture f;
    f.setMixes (100.0f);
    const auto report = effect_kit::checkRealtime (f.adapter());
    EXPECT_TRUE (report.ok()) << report.summary();
}

TEST (TimeProKit, KnobStepsJumpNoFurtherThanTheSteadyOutputsDiffer)
{
    KitFixture f;
    auto fx = f.adapter();
    fx.variants.pop_back();

    effect_kit::SmoothnessOptions options;
    options.baseSetting = [&f]
    {
        for (size_t i = 0; i < P::knobTable().size(); ++i)
            f.processor.parameters.knobs[i] = (float) P::knobTable()[i].spec.defaultValue;
        f.setMixes (50.0f);
    };

    const auto report = effect_kit::checkSmoothness (fx, options);
    EXPECT_TRUE (report.ok()) << report.summary();
}

TEST (TimeProKit, NoModeAllocatesEvenWithBlocksLongerThanTheScratchSpace)
{
    if (! testing_rt::trapAvailable())
        GTEST_SKIP() << "no allocation trap in this build";

    HeightAndWeightProcessor processor;
    processor.prepare (48000.0, 512);
    auto& p = processor.parameters;
    for (size_t i = 0; i < P::knobTable().size(); ++i)
        if (juce::String (P::knobTable()[i].spec.caption) == "MIX")
            p.knobs[i] = 100.0f;
    p.frozen = true;

    juce::AudioBuffer<float> buffer (2, 20000);
    for (int mode = 0; mode < 12; ++mode)
    {
        p.mode = mode;
        p.toggleTrigger();
        effect_kit::fillInput (buffer, effect_kit::InputKind::noise, (std::uint32_t) mode + 1);
        processor.process (buffer, 0, 512);   // warm-up

        testing_rt::RealtimeScope scope;
        for (int n : { 1, 64, 512, 20000 })
            processor.process (buffer, 0, n);
        EXPECT_TRUE (scope.counts().clean()) << "mode " << mode;
    }
}
