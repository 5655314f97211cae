#include <gtest/gtest.h>

#include "FinalizerFixture.h"
#include "support/EffectTestKit.h"

#include <deque>

namespace
{
    // The compact panel's knobs write the finalizer's parameters; until that panel carries
    // them, these stand-ins do the same writes with the same ranges so the kit can move them.
    struct KnobRig
    {
        FinalizerRig rig;
        TavroFinalizer& fin = rig.fin;
        std::deque<juce::Slider> knobs;

        juce::Slider& knob (const juce::String& name, double min, double max, double start, std::function<void (float)> write)
        {
            auto& s = knobs.emplace_back();
            s.setName (name);
            s.setRange (min, max);
            s.setValue (start, juce::dontSendNotification);
            s.onValueChange = [&s, w = std::move (write)] { w ((float) s.getValue()); };
            return s;
        }

        KnobRig()
        {
            auto eq = [this] (std::atomic<float>& gain) { return [this, &gain] (float v) { gain = v; fin.updateEqCoefficients(); }; };
            knob ("SUB", -6, 6, 0, eq (fin.subDb));
            knob ("BODY", -6, 6, 0, eq (fin.bodyDb));
            knob ("PRES", -6, 6, 0, eq (fin.presenceDb));
            knob ("AIR", -6, 6, 0, eq (fin.airDb));
            knob ("TAME", -6, 0, 0, eq (fin.tameDb));
            knob ("TILT", -6, 6, 0, eq (fin.tiltDb));
            for (size_t k = 0; k < 6; ++k)
            {
                knob ("band width " + juce::String ((int) k), 0, 2, 1, [this, k] (float v) { fin.bandWidth[k] = v; });
                knob ("band drive " + juce::String ((int) k), 0, 2, 0, [this, k] (float v) { fin.bandDrive[k] = v; });
            }
            knob ("DENSITY", 0, 100, 30, [this] (float v) { fin.densityAmount = v / 100.0f; });
            knob ("ARTIC", 0, 100, 25, [this] (float v) { fin.articAmount = v / 100.0f; });
            knob ("RESIDUE", 0, 100, 20, [this] (float v) { fin.residueAmount = v / 100.0f; });
            knob ("MOTION", 0, 20, 0, [this] (float v) { fin.motionAmount = v / 100.0f; });
            knob ("ABOVE", 0, 100, 0, [this] (float v) { fin.aboveAmount = v / 100.0f; });
            knob ("BELOW", 0, 100, 0, [this] (float v) { fin.belowAmount = v / 100.0f; });
            knob ("L MIX", 0, 1, 1, [this] (float v) { fin.leftMix = v; });
            knob ("R MIX", 0, 1, 1, [this] (float v) { fin.rightMix = v; });
            knob ("WIDTH", 0, 3, 1, [this] (float v) { fin.width = v; });
            knob ("ASYM", -90, 90, 0, [this] (float v) { fin.asymmetryDeg = v; });
            knob ("ROTATE", -45, 45, 0, [this] (float v) { fin.rotateDeg = v; });
        }

        effect_kit::EffectAdapter adapter()
        {
            effect_kit::EffectAdapter fx;
            fx.name = "Finalizer";
            auto& processor = fin.getProcessor();
            fx.prepare = [&processor] (double sampleRate, int blockSize) { processor.prepare (sampleRate, blockSize); };
            fx.process = [&processor] (juce::AudioBuffer<float>& block) { processor.process (block, 0, block.getNumSamples()); };
            fx.knobs = { &fin.inputGainSlider, &fin.ceilingSlider, &fin.outputGainSlider };
            for (auto& k : knobs)
                fx.knobs.push_back (&k);

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
