#include <gtest/gtest.h>

#include "effects/smarteq/SmartEqTestUtil.h"
#include "support/EffectTestKit.h"

using namespace smarteq_test;

namespace
{
    void addBandKnobs (SmartEQ& eq, int b, std::vector<juce::Slider*>& knobs)
    {
        for (int k = 0; k < SmartEQ::numMacroKnobs; ++k)
            knobs.push_back (&eq.getMacroKnob (b, (SmartEQ::MacroKnob) k));
        for (int k = 0; k < SmartEQ::numBandKnobs; ++k)
            knobs.push_back (&eq.getBandKnob (b, (SmartEQ::BandKnob) k));
        knobs.push_back (&eq.getGainFader (b, false));
        knobs.push_back (&eq.getGainFader (b, true));
        knobs.push_back (&eq.getFrequencySlider (b));
        knobs.push_back (&eq.getQSlider (b));
    }

    effect_kit::EffectAdapter adapterFor (SmartEQ& eq)
    {
        effect_kit::EffectAdapter fx;
        fx.name = "Smart EQ";
        fx.prepare = [&eq] (double sr, int maxBlock) { eq.getProcessor().prepare (sr, maxBlock); };
        fx.process = [&eq] (juce::AudioBuffer<float>& block) { eq.getProcessor().process (block, 0, block.getNumSamples()); };

        for (int b = 0; b < SmartEQ::numBands; ++b)
            addBandKnobs (eq, b, fx.knobs);
        fx.knobs.push_back (&eq.getOutputGainKnob());
        fx.knobs.push_back (&eq.getGlobalMixKnob());

        auto toggles = [&eq] (std::initializer_list<SmartEQ::BandToggle> on)
        {
            for (int b = 0; b < SmartEQ::numBands; ++b)
                for (auto t : on)
                    setToggle (eq.getBandToggle (b, t), true);
        };

        fx.variants = {
            { "as built", [] {} },
            { "soft drive, vocal, mid", [=] { toggles ({ SmartEQ::driveToggle, SmartEQ::softToggle, SmartEQ::vocalToggle, SmartEQ::midToggle }); } },
            { "tube drive, drum, side, BPM", [=] { toggles ({ SmartEQ::driveToggle, SmartEQ::tubeToggle, SmartEQ::drumToggle, SmartEQ::sideToggle, SmartEQ::bpmToggle, SmartEQ::motionToggle, SmartEQ::dynToggle }); } },
            { "bass, solo band 3, mono", [&eq, toggles]
                {
                    toggles ({ SmartEQ::bassToggle });
                    setToggle (eq.getBandToggle (3, SmartEQ::soloToggle), true);
                    setToggle (eq.getMonoButton(), true);
                } },
        };
        fx.outputBound = 1.0f;
        return fx;
    }
}

TEST (SmartEqKit, OutputStaysFiniteAndWithinOneForEveryInputAndSetting)
{
    SmartEQ eq;
    const auto report = effect_kit::checkRobustness (adapterFor (eq));
    EXPECT_TRUE (report.ok()) << report.summary();
    EXPECT_GT (report.casesRun, 0);
}

TEST (SmartEqKit, SilenceStaysSilentInEveryVariant)
{
    // From rest: the filter state, envelopes and phases are never cleared, so a used instance
    // rings on by design.
    for (int variant = 0; variant < 4; ++variant)
    {
        SmartEQ eq;
        auto fx = adapterFor (eq);
        fx.variants = { fx.variants[(size_t) variant] };
        const auto report = effect_kit::checkSilence (fx, { { 48000.0 }, 512, 8 });
        EXPECT_TRUE (report.ok()) << report.summary();
    }
}

TEST (SmartEqKit, ProcessingAllocatesNothingAndTakesNoLock)
{
    SmartEQ eq;
    const auto report = effect_kit::checkRealtime (adapterFor (eq));
    EXPECT_TRUE (report.ok()) << report.summary();
}

TEST (SmartEqKit, KnobStepsJumpNoFurtherThanTheSteadyOutputsDiffer)
{
    SmartEQ eq;
    auto fx = adapterFor (eq);
    fx.variants = { fx.variants[0] };
    addBandKnobs (eq, 2, fx.continuousKnobs);
    fx.continuousKnobs.push_back (&eq.getOutputGainKnob());
    fx.continuousKnobs.push_back (&eq.getGlobalMixKnob());

    effect_kit::SmoothnessOptions options;
    const auto report = effect_kit::checkSmoothness (fx, options);
    EXPECT_TRUE (report.ok()) << report.summary();
}
