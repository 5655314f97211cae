#include <gtest/gtest.h>

#include "FinalizerFixture.h"
#include "effects/finalizer/FinalizerPanel.h"
#include "support/EffectTestKit.h"

#include <vector>

namespace
{
    // The compact panel's knobs, as the user moves them, over the finalizer's processor.
    struct KnobRig
    {
        FinalizerRig rig;
        TavroFinalizer& fin = rig.fin;
        FinalizerPanel panel { &fin };
        std::vector<juce::Slider*> knobs;

        KnobRig()
        {
            for (auto* k : panel.toneKnobs())
                knobs.push_back (k);
            for (size_t k = 0; k < 6; ++k)
            {
                knobs.push_back (&panel.bandWidthKnobs[k]);
                knobs.push_back (&panel.bandDriveKnobs[k]);
            }
            for (auto* k : { &panel.densityKnob, &panel.articKnob, &panel.residueKnob, &panel.motionKnob,
                             &panel.aboveKnob, &panel.belowKnob, &panel.leftMixKnob, &panel.rightMixKnob,
                             &panel.widthKnob, &panel.asymKnob, &panel.rotateKnob })
                knobs.push_back (k);
        }

        effect_kit::EffectAdapter adapter()
        {
            effect_kit::EffectAdapter fx;
            fx.name = "Finalizer";
            auto& processor = fin.getProcessor();
            fx.prepare = [&processor] (double sampleRate, int blockSize) { processor.prepare (sampleRate, blockSize); };
            fx.process = [&processor] (juce::AudioBuffer<float>& block) { processor.process (block, 0, block.getNumSamples()); };
            fx.knobs = { &fin.inputGainSlider, &fin.ceilingSlider, &fin.outputGainSlider };
            fx.knobs.insert (fx.knobs.end(), knobs.begin(), knobs.end());

            auto modes = [this] (int mode) { return [this, mode] { for (auto& m : fin.bandMode) m = mode; }; };
            fx.variants = { { "bands mono", modes (1) }, { "bands stereo", modes (2) }, { "bands M/S", modes (3) } };
            fx.neutral = [] {};
            // Ceiling at most 0 dB, the DIST guard's 1.2, the ATOMIZE emphasis, then +18 dB.
            fx.outputBound = 16.0f;
            return fx;
        }
    };
}

TEST (FinalizerKit, Robustness)
{
    KnobRig knobs;
    auto report = effect_kit::checkRobustness (knobs.adapter());
    EXPECT_TRUE (report.ok()) << report.summary();
}

TEST (FinalizerKit, SilenceStaysSilent)
{
    KnobRig knobs;
    auto report = effect_kit::checkSilence (knobs.adapter());
    EXPECT_TRUE (report.ok()) << report.summary();
}

TEST (FinalizerKit, RealtimeSafety)
{
    KnobRig knobs;
    auto report = effect_kit::checkRealtime (knobs.adapter());
    EXPECT_TRUE (report.ok()) << report.summary();
}

TEST (FinalizerKit, Smoothness)
{
    KnobRig knobs;
    auto report = effect_kit::checkSmoothness (knobs.adapter());
    EXPECT_TRUE (report.ok()) << report.summary();
}
