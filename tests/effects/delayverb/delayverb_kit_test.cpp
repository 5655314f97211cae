#include <gtest/gtest.h>

#include "effects/delayverb/DelayVerbProcessor.h"
#include "support/EffectTestKit.h"
#include "support/SpectrumFeed.h"

// The checks every effect passes, on the processor alone with the spectrum display fed the way
// the panel feeds it.

namespace
{
    using P = DelayVerbParameters;

    struct KitFixture
    {
        KitFixture() { processor.setOutputTap (&feed); }
        ~KitFixture() { processor.setOutputTap (nullptr); }

        effect_kit::Parameter parameter (const PanelKnobSpec& spec, std::atomic<float>& value)
        {
            return { spec.caption, spec.minimum, spec.maximum,
                     [&value] (double v) { value.store ((float) v, std::memory_order_relaxed); },
                     [&value] { return (double) value.load (std::memory_order_relaxed); },
                     {} };
        }

        effect_kit::EffectAdapter adapter()
        {
            auto fx = effect_kit::processorAdapter ("DelayVerb", processor);
            // The kit starts every run from prepare; the processor's prepare keeps its lines, so
            // the run starts from cleared lines as well.
            fx.prepare = [this] (double rate, int block)
            {
                processor.prepare (rate, block);
                feed.analyzer.setSampleRate (rate);
                processor.reset();
            };

            auto& p = processor.parameters;
            for (size_t i = 0; i < P::knobTable().size(); ++i)
                fx.parameters.push_back (parameter (P::knobTable()[i], p.knobs[i]));
            fx.parameters.push_back (parameter (P::noteSpec(), p.note));
            fx.parameters.push_back (parameter (P::typeSpec(), p.type));

            fx.variants = {
                { "free time, pad at rest", [&p] { p.syncEnabled = false; p.delayPan = 0.0f; p.pingPong = 0.0f; } },
                { "synced at 120, pad hard left, full ping-pong",
                  [&p] { p.syncEnabled = true; p.bpm = 120.0f; p.delayPan = -1.0f; p.pingPong = 1.0f; } },
                { "offsets beyond every limit",
                  [&p] { p.syncEnabled = false; for (auto& o : p.korruptOffsets) o = 500.0f; p.delayPan = 0.3f; p.pingPong = 0.7f; } },
            };
            fx.neutral = [&p]
            {
                for (auto& o : p.korruptOffsets) o = 0.0f;
                for (auto k : { P::delayLeft, P::delayRight, P::reverbLeft, P::reverbRight })
                    p.setKnob (k, 0.0f);
            };
            fx.outputBound = 1.0f;
            return fx;
        }

        void setMixes (float percent)
        {
            for (auto k : { P::delayLeft, P::delayRight, P::reverbLeft, P::reverbRight })
                processor.parameters.setKnob (k, percent);
        }

        DelayVerbProcessor processor;
        test_support::SpectrumFeed feed;
    };
}

TEST (DelayVerbKit, OutputStaysFiniteAndWithinOne)
{
    KitFixture f;
    const auto report = effect_kit::checkRobustness (f.adapter());
    EXPECT_TRUE (report.ok()) << report.summary();
    EXPECT_GT (report.casesRun, 0);
    EXPECT_GT (f.feed.analyzer.getAnalysisCount(), 0);
    EXPECT_TRUE (f.processor.linesAreFinite());
}

TEST (DelayVerbKit, SilenceStaysSilent)
{
    KitFixture f;
    const auto report = effect_kit::checkSilence (f.adapter());
    EXPECT_TRUE (report.ok()) << report.summary();
}

TEST (DelayVerbKit, ProcessingAllocatesNothingAndTakesNoLock)
{
    KitFixture f;
    f.setMixes (100.0f);
    const auto report = effect_kit::checkRealtime (f.adapter());
    EXPECT_TRUE (report.ok()) << report.summary();
}

TEST (DelayVerbKit, KnobStepsJumpNoFurtherThanTheSteadyOutputsDiffer)
{
    KitFixture f;
    auto fx = f.adapter();
    fx.variants.pop_back();
    fx.continuousParameters.assign (fx.parameters.begin(), fx.parameters.begin() + P::numKnobs);

    // Short delays and every mix half way, so echoes and the reverb are in the measured blocks.
    effect_kit::SmoothnessOptions options;
    options.baseSetting = [&f]
    {
        const auto& table = P::knobTable();
        for (size_t i = 0; i < table.size(); ++i)
            f.processor.parameters.knobs[i] = (float) P::snappedDefault (table[i], P::knobInterval (table[i]));
        f.setMixes (50.0f);
        f.processor.parameters.setKnob (P::time, 20.5f);
        f.processor.parameters.setKnob (P::preDelay, 5.0f);
    };

    // D MOD and PRE move a line's read position at once (parameters act unsmoothed, and the
    // wobble is in whole samples): the echo, or what enters the reverb, jumps to another point
    // of the signal. With both wet paths at 50 % such a jump stays within half the output's peak.
    options.extraStepAllowance = [] (const effect_kit::Parameter& parameter, double, double, float steadyPeak)
    {
        const bool movesARead = parameter.name == "D MOD" || parameter.name == "PRE";
        return movesARead ? 0.5f * steadyPeak : 0.0f;
    };

    const auto report = effect_kit::checkSmoothness (fx, options);
    EXPECT_TRUE (report.ok()) << report.summary();
}
