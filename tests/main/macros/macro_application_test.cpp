#include <gtest/gtest.h>

#include "main/MacroTargetRules.h"
#include "main/audio/AudioEngineRig.h"
#include "main/macros/MainComponentMacroAccess.h"
#include "support/RealtimeTrap.h"

#include <cmath>
#include <limits>
#include <memory>
#include <string>

// How the randomiser's pending groups reach the effect panels, the main pan gains and the
// Smart EQ, and how the MetaControl step bends the targets first.

namespace
{
    double held (const juce::Slider& knob, double value)
    {
        juce::Slider probe;
        probe.setRange (knob.getRange(), knob.getInterval());
        probe.setValue (value, juce::dontSendNotification);
        return probe.getValue();
    }

    /** Counts the change messages a slider sends; silent writes send none. */
    struct ChangeCounter : juce::Slider::Listener
    {
        explicit ChangeCounter (juce::Slider& s) : slider (s) { slider.addListener (this); }
        ~ChangeCounter() override { slider.removeListener (this); }
        void sliderValueChanged (juce::Slider*) override { ++changes; }
        juce::Slider& slider;
        int changes = 0;
    };

    /** Every value the macro application may write, for before/after comparisons. */
    std::vector<double> everything (MainComponentMacroAccess& a)
    {
        std::vector<double> v;
        for (auto* k : a.delayVerb().getAllKnobs())        v.push_back (k->getValue());
        for (auto* k : a.atomizer().getAllKnobs())         v.push_back (k->getValue());
        for (auto* k : a.stereoUtilityMax().getAllKnobs()) v.push_back (k->getValue());
        for (auto* k : a.timePro().getAllKnobs())          v.push_back (k->getValue());
        v.push_back (a.timePro().mixKnob.getValue());
        v.push_back (a.timePro().getMode());
        v.push_back (a.timePro().bypassed.load());
        for (int b = 0; b < SmartEQ::numBands; ++b)
        {
            v.push_back (a.smartEq().getBand (b).gainLeftDb);
            v.push_back (a.smartEq().getBand (b).thresholdDb);
        }
        v.push_back (a.outputGainLeft());
        v.push_back (a.outputGainRight());
        v.push_back (a.delayVerb().delayPan.load());
        v.push_back (a.delayVerb().syncEnabled.load());
        v.push_back (a.distortionSuite().randomiserOffsetTargets[0].load());
        v.push_back (a.delayVerb().randomiserOffsetTargets[0].load());
        v.push_back (a.stereoUtilityMax().randomWidthTarget.load());
        return v;
    }

    template <typename Targets, size_t N>
    std::vector<float> valuesOf (const Targets& t, const std::array<TargetRow<Targets>, N>& rows)
    {
        std::vector<float> v;
        for (const auto& row : rows)
            v.push_back (t.*(row.value));
        return v;
    }
}

TEST (MacroApplication, NothingPendingChangesNothing)
{
    MainComponent mc;
    MainComponentMacroAccess a (mc);
    a.randomiser().space.delayTime = 900.0f;
    a.randomiser().timePro.halfMix = 70.0f;
    a.randomiser().eqGains.fill (5.0f);
    a.randomiser().crushIntensity = a.randomiser().timingIntensity = a.randomiser().stereoIntensity = 80.0f;

    const auto before = everything (a);
    a.applyMacroTargets();
    EXPECT_EQ (everything (a), before);
}

TEST (MacroApplication, SpaceGroupSetsKnobsSyncAndPanGains)
{
    struct Case { float pan, left, right; };
    const Case cases[] = { { 0.5f, 0.5f, 1.0f }, { -0.25f, 1.0f, 0.75f }, { 0.0f, 1.0f, 1.0f } };

    for (const auto& c : cases)
    {
        MainComponent mc;
        MainComponentMacroAccess a (mc);
        auto& r = a.randomiser();
        r.space = SpaceTargets::resetValues();
        r.space.delayTime = 250.0f;
        r.space.delayHpf = 300.0f;
        r.space.pan = c.pan;
        r.space.delayPan = -0.5f;
        r.space.pingPong = 0.75f;
        r.spaceMixTarget = 30.0f;
        r.spacePending = true;

        auto& time = *a.delayVerb().findKnob ("TIME");
        auto& hpf = *a.delayVerb().findKnob ("D HPF");
        ChangeCounter timeChanges (time), hpfChanges (hpf);

        a.applyMacroTargets();

        EXPECT_FALSE (r.spacePending);
        EXPECT_EQ (time.getValue(), held (time, 350.0));
        EXPECT_EQ (timeChanges.changes, 1);
        EXPECT_EQ (hpf.getValue(), 300.0);
        EXPECT_EQ (hpfChanges.changes, 0);   // silent
        EXPECT_EQ (a.outputGainLeft(), c.left) << c.pan;
        EXPECT_EQ (a.outputGainRight(), c.right) << c.pan;
        EXPECT_EQ (a.delayVerb().delayPan.load(), -0.5f);
        EXPECT_EQ (a.delayVerb().pingPong.load(), 0.75f);
        EXPECT_TRUE (a.delayVerb().syncEnabled && a.stereoUtilityMax().syncEnabled && a.atomizer().sync);
        EXPECT_TRUE (a.delayVerb().syncButton.getToggleState());
        EXPECT_EQ (a.stereoUtilityMax().findKnob ("L MIX")->getValue(), 15.0);
        EXPECT_EQ (a.atomizer().findKnob ("R MIX")->getValue(), 12.0);

        // Zero mixes and sizes are not written: the knobs keep what they had.
        EXPECT_EQ (a.delayVerb().findKnob ("D L")->getValue(), 0.0);
    }
}

TEST (MacroApplication, OnlyTheListedWritesRunThePanelsCallbacks)
{
    // A space and a TimePro group write some ninety knobs; only these few notify, so that one
    // application runs no more panel callbacks than it must.
    MainComponent mc;
    MainComponentMacroAccess a (mc);
    auto& r = a.randomiser();
    r.reseed (41u);
    r.setSpaceAmount (100.0f);
    r.setTimeProAmount (100.0f);

    struct Watched { std::string panel; std::unique_ptr<ChangeCounter> counter; bool mayNotify; };
    std::vector<Watched> watched;
    auto watch = [&] (const std::string& panel, juce::Slider& knob, std::initializer_list<const char*> notifying)
    {
        bool listed = false;
        for (const char* caption : notifying)
            listed = listed || knob.getName() == caption;
        watched.push_back ({ panel, std::make_unique<ChangeCounter> (knob), listed });
    };

    for (auto* k : a.delayVerb().getAllKnobs())
        watch ("DelayVerb", *k, { "TIME", "FDBK", "D L", "D R", "SIZE", "DECAY", "R L", "R R" });
    for (auto* k : a.atomizer().getAllKnobs())
        watch ("Atomizer", *k, { "INTNS", "DEPTH", "FDBK", "RATE", "L MIX", "R MIX" });
    for (auto* k : a.stereoUtilityMax().getAllKnobs())
        watch ("StereoUtilityMax", *k, { "WIDTH", "ROT", "L MIX", "R MIX" });
    for (auto* k : a.timePro().getAllKnobs())
        watch ("TimePro", *k, {});
    watch ("TimePro", a.timePro().mixKnob, {});
    for (int b = 0; b < SmartEQ::numBands; ++b)
    {
        for (int k = 0; k < SmartEQ::numBandKnobs; ++k)
            watch ("SmartEQ", a.smartEq().getBandKnob (b, (SmartEQ::BandKnob) k), {});
        watch ("SmartEQ", a.smartEq().getMacroKnob (b, SmartEQ::dynKnob), {});
    }

    a.applyMacroTargets();

    int notified = 0;
    for (const auto& w : watched)
    {
        notified += w.counter->changes;
        if (! w.mayNotify)
        {
            EXPECT_EQ (w.counter->changes, 0) << w.panel << " " << w.counter->slider.getName();
        }
    }
    EXPECT_GT (notified, 0);
}

TEST (MacroApplication, TimeProGroupChoosesTheModeFromTheMixes)
{
    struct Case { float half, slicer, stutter; int mode; };
    const Case cases[] = { { 40, 40, 10, 2 }, { 10, 40, 40, 9 }, { 10, 20, 40, 10 }, { 0, 0, 0, -1 } };

    for (const auto& c : cases)
    {
        MainComponent mc;
        MainComponentMacroAccess a (mc);
        auto& r = a.randomiser();
        auto& panel = a.timePro();
        panel.setMode (-1);
        panel.bypassed = true;
        panel.mixKnob.setValue (3.0, juce::dontSendNotification);

        r.timePro.halfMix = c.half;
        r.timePro.slicerMix = c.slicer;
        r.timePro.stutterMix = c.stutter;
        r.timePro.slicerLength = 250.0f;
        r.timePro.tape = true;
        r.timeProPending = true;

        ChangeCounter mixChanges (panel.halfMixKnob);
        a.applyMacroTargets();

        EXPECT_FALSE (r.timeProPending);
        EXPECT_EQ (panel.getMode(), c.mode);
        EXPECT_EQ (panel.bypassed.load(), c.mode < 0);
        EXPECT_EQ (panel.mixKnob.getValue(), c.mode < 0 ? 3.0 : std::max ({ c.half, c.slicer, c.stutter }));
        EXPECT_EQ (panel.halfMixKnob.getValue(), c.half);
        EXPECT_EQ (mixChanges.changes, 0);
        EXPECT_TRUE (panel.tapeButton.getToggleState() && panel.tapeMode.load());

        // 250 ms asks for 40, which the knob limits to its range.
        EXPECT_EQ (panel.repeatLengthKnob.getValue(), held (panel.repeatLengthKnob, 40.0));
    }

    EXPECT_EQ (macrotargets::timeProModeFor (0, 0, 0), 2);
}

TEST (MacroApplication, EqGroupSetsTheBandGainsAndAResetZeroesThem)
{
    MainComponent mc;
    MainComponentMacroAccess a (mc);
    auto& r = a.randomiser();
    r.reseed (19u);
    r.setEqAmount (100.0f);
    a.applyMacroTargets();

    EXPECT_FALSE (r.eqPending);
    float loudest = 0.0f;
    for (int b = 0; b < SmartEQ::numBands; ++b)
    {
        EXPECT_EQ (a.smartEq().getBand (b).gainLeftDb, r.eqGains[(size_t) b]) << b;
        EXPECT_EQ (a.smartEq().getBand (b).gainRightDb, r.eqGains[(size_t) b]) << b;
        loudest = std::max (loudest, std::abs (r.eqGains[(size_t) b]));
    }
    ASSERT_GT (loudest, 1.0f);

    // Below 1 % the group is reset, and the reset is applied like a draw.
    r.setEqAmount (0.5f);
    a.applyMacroTargets();
    for (int b = 0; b < SmartEQ::numBands; ++b)
    {
        EXPECT_EQ (a.smartEq().getBand (b).gainLeftDb, 0.0f) << b;
        EXPECT_EQ (a.smartEq().getBand (b).gainRightDb, 0.0f) << b;
    }
}

TEST (MacroApplication, TimeProGroupReachesEverySmartEqBand)
{
    MainComponent mc;
    MainComponentMacroAccess a (mc);
    auto& r = a.randomiser();
    auto& p = r.timePro;
    p.threshold = -35.0f;
    p.attack = 150.0f;    // above the knob's range
    p.release = 250.0f;
    p.drive = 60.0f;
    p.character = 20.0f;
    p.air = 70.0f;
    p.density = 40.0f;
    p.lfoRate = 4.0f;
    p.resIntensity = 55.0f;
    p.dynamicsOn = true;
    r.timeProPending = true;

    a.applyMacroTargets();

    for (int b = 0; b < SmartEQ::numBands; ++b)
    {
        const auto& band = a.smartEq().getBand (b);
        EXPECT_EQ (band.thresholdDb, -35.0f);
        EXPECT_EQ (band.attackMs, 100.0f);
        EXPECT_EQ (band.releaseMs, 250.0f);
        EXPECT_EQ (band.driveAmountPct, 60.0f);
        EXPECT_EQ (band.characterPct, 20.0f);
        EXPECT_EQ (band.airPct, 70.0f);
        EXPECT_EQ (band.densityPct, 40.0f);
        EXPECT_EQ (band.motionRateHz, 4.0f);
        EXPECT_EQ (band.motionDepthPct, 55.0f);
        EXPECT_TRUE (band.dynamicOn);
        EXPECT_EQ (a.smartEq().getBandKnob (b, SmartEQ::thresholdKnob).getValue(), -35.0);
        EXPECT_EQ (a.smartEq().getMacroKnob (b, SmartEQ::dynKnob).getValue(), 50.0);
    }
}

TEST (MacroApplication, CrushTimingAndStereoStepsAct)
{
    // Nothing sets these flags in the running window; the steps are there for when it does.
    struct Case { float intensity, tempo, timeOffset; };
    const Case cases[] = { { 100, 120, 1500 }, { 0, 120, 62.5f }, { 100, 0, 9000 },
                           { 100, std::numeric_limits<float>::quiet_NaN(), 9000 } };

    for (const auto& c : cases)
    {
        MainComponent mc;
        MainComponentMacroAccess a (mc);
        auto& r = a.randomiser();
        a.bpm() = c.tempo;
        r.timingIntensity = c.intensity;
        r.timingPending = true;
        a.applyMacroTargets();

        const float offset = a.delayVerb().randomiserOffsetTargets[0].load();
        EXPECT_TRUE (std::isfinite (offset));
        EXPECT_FLOAT_EQ (offset, c.timeOffset) << c.intensity << " at " << c.tempo;
        EXPECT_FLOAT_EQ (a.atomizer().randomiserOffsetTargets[0].load(), 50.0f * c.intensity * c.intensity / 1e4f);
        EXPECT_FALSE (r.timingPending);
    }

    MainComponent mc;
    MainComponentMacroAccess a (mc);
    auto& r = a.randomiser();
    r.crushIntensity = 50.0f;
    r.crushMode = 2;
    r.stereoIntensity = 100.0f;
    r.crushPending = r.stereoPending = true;
    a.applyMacroTargets();

    EXPECT_FLOAT_EQ (a.distortionSuite().randomiserOffsetTargets[0].load(), 2.0f);
    EXPECT_FLOAT_EQ (a.distortionSuite().randomiserOffsetTargets[2].load(), 15.0f);
    EXPECT_EQ (a.distortionSuite().getMode(), DistortionSuite::kompressorMode);
    EXPECT_FLOAT_EQ (a.stereoUtilityMax().randomWidthTarget.load(), 60.0f);
    EXPECT_FLOAT_EQ (a.stereoUtilityMax().randomMixTarget.load(), 20.0f);
    EXPECT_FLOAT_EQ (a.stereoUtilityMax().randomBalanceTarget.load(), std::sin (0.0001f) * 15.0f);
    EXPECT_FLOAT_EQ (a.delayVerb().randomiserOffsetTargets[3].load(), 35.0f);
    EXPECT_FALSE (r.crushPending || r.stereoPending);
}

TEST (MacroApplication, MetaControlModesBendTheTargets)
{
    auto fresh = []
    {
        auto r = std::make_unique<ParameterRandomiser> (3u);
        r->metaControlValue = 100.0f;
        r->metaCoupling = 40.0f;
        r->space.reverbMix = 10.0f;
        r->space.reverbDecay = 2.0f;
        r->space.reverbSize = 0.5f;
        r->space.delayFeedback = 50.0f;
        r->timePro.halfTime = 2.0f;
        r->timePro.halfSmooth = 50.0f;
        r->eqGains = { 6, -6, 0, 0, 0, 0 };
        return r;
    };

    // Cross-modulation: amounts above 50 push the other groups, scaled by the coupling; pushed
    // past their limits, the bent targets stop at their own bounds.
    struct Cross { float coupling, timeProAmount, eqAmount; std::array<float, 5> before, after; };
    const Cross crossCases[] = {
        { 40, 75, 100, { 10, 2, 0.5f, 2, 50 }, { 16, 2.6f, 0.56f, 2.8f, 62 } },   // x = 0.5 and 1
        { 100, 100, 100, { 95, 19, 0.9f, 7, 90 }, { 100, 20, 1, 8, 100 } },
    };
    for (const auto& c : crossCases)
    {
        auto cross = fresh();
        cross->metaControlMode = 1;
        cross->metaCoupling = c.coupling;
        cross->timeProAmount = c.timeProAmount;
        cross->eqAmount = c.eqAmount;
        float* targets[] = { &cross->space.reverbMix, &cross->space.reverbDecay, &cross->space.reverbSize,
                             &cross->timePro.halfTime, &cross->timePro.halfSmooth };
        for (size_t i = 0; i < 5; ++i)
            *targets[i] = c.before[i];
        cross->applyMetaControl();
        for (size_t i = 0; i < 5; ++i)
            EXPECT_FLOAT_EQ (*targets[i], c.after[i]) << "target " << i << " coupling " << c.coupling;
    }

    // Coherence damping: k = 0.4.
    auto damp = fresh();
    damp->metaControlMode = 5;
    damp->applyMetaControl();
    EXPECT_FLOAT_EQ (damp->eqGains[0], 6.0f * 0.88f);
    EXPECT_FLOAT_EQ (damp->eqGains[1], -6.0f * 0.88f);
    EXPECT_FLOAT_EQ (damp->space.delayFeedback, 50.0f * 0.92f);
    EXPECT_FLOAT_EQ (damp->space.reverbDecay, 2.0f * 0.92f);

    // Feedback gain, busy time effects and a wet reverb: k = c = 1.
    auto feed = fresh();
    feed->metaControlMode = 4;
    feed->metaCoupling = 100.0f;
    feed->eqGains.fill (0.0f);
    feed->timePro.slicerMix = 60.0f;
    feed->space.reverbMix = 50.0f;
    feed->applyMetaControl();
    EXPECT_FLOAT_EQ (feed->space.delayFeedback, 65.0f);
    EXPECT_FLOAT_EQ (feed->eqGains[2], 2.0f);
    EXPECT_FLOAT_EQ (feed->eqGains[3], 2.8f);
    EXPECT_FLOAT_EQ (feed->eqGains[4], 2.4f);
    EXPECT_FLOAT_EQ (feed->metaEnergy, 1.2f + 1.5f);
    EXPECT_EQ (feed->space.delayTime, 250.0f);   // loudest band below 3 dB: time untouched

    // Feedback gain, a loud EQ: drive and saturation rise, the delay locks to the band.
    auto loud = fresh();
    loud->metaControlMode = 4;
    loud->metaCoupling = 100.0f;
    loud->eqGains = { 10, -5, 0, 0, 0, 0 };
    loud->space.reverbMix = 0.0f;
    loud->applyMetaControl();
    EXPECT_FLOAT_EQ (loud->timePro.drive, 2.0f);
    EXPECT_FLOAT_EQ (loud->timePro.saturation, 1.5f);
    EXPECT_FLOAT_EQ (loud->metaEnergy, 0.2f);
    EXPECT_EQ (loud->space.delayTime, 30.0f);

    // Feedback gain on a wide EQ (low bands are not limited when drawn): the low bands stop at
    // 18 dB, the top two at 12, and the gain sum drives the character.
    auto wide = fresh();
    wide->metaControlMode = 4;
    wide->metaCoupling = 100.0f;
    wide->eqGains = { 30, -30, 0, 0, 15, -15 };
    wide->space.reverbMix = 50.0f;
    wide->applyMetaControl();
    const std::array<float, 6> limited { 18, -18, 2, 2.8f, 12, -12 };
    for (size_t b = 0; b < 6; ++b)
        EXPECT_FLOAT_EQ (wide->eqGains[b], limited[b]) << "band " << b;
    EXPECT_FLOAT_EQ (wide->timePro.drive, 40.0f * 52.8f / 60.0f);
    EXPECT_FLOAT_EQ (wide->timePro.saturation, 30.0f * 52.8f / 60.0f);
    EXPECT_FLOAT_EQ (wide->metaEnergy, 1.5f + 4.0f * 52.8f / 60.0f);
    EXPECT_EQ (wide->space.delayTime, 30.0f);

    // The other modes, and any mode at a value below 0.01, change nothing.
    for (const int mode : { 0, 2, 3, 6, 7, 5 })
    {
        auto r = fresh();
        r->metaControlMode = mode;
        if (mode == 5)
            r->metaControlValue = 0.005f;
        r->timeProAmount = 100.0f;
        r->eqAmount = 100.0f;
        const auto space = valuesOf (r->space, spaceTargetRows());
        const auto timePro = valuesOf (r->timePro, timeProTargetRows());
        const auto gains = r->eqGains;
        r->applyMetaControl();
        EXPECT_EQ (valuesOf (r->space, spaceTargetRows()), space) << mode;
        EXPECT_EQ (valuesOf (r->timePro, timeProTargetRows()), timePro) << mode;
        EXPECT_EQ (r->eqGains, gains) << mode;
        EXPECT_EQ (r->metaEnergy, 0.0f);
    }
}

TEST (MacroApplication, TimerTickWritesTheMetaReadouts)
{
    MainComponent mc;
    MainComponentMacroAccess a (mc);
    auto& r = a.randomiser();
    r.metaEnergy = 140.0f;
    r.metaCoupling = 55.9f;

    a.tick();
    EXPECT_FLOAT_EQ (r.metaEnergy, 140.0f * 0.98f);
    EXPECT_EQ (a.metaControlKnob().energy, 100.0f);
    EXPECT_FLOAT_EQ (a.metaControlKnob().coupling, 55.9f);
}

TEST (MacroApplication, PanelsNameEveryControlTheApplicationWrites)
{
    MainComponent mc;
    MainComponentMacroAccess a (mc);

    for (const char* caption : { "TIME", "FDBK", "D L", "D R", "D LPF", "D HPF", "STEREO", "D MOD", "D RATE", "D DUCK",
                                 "PRE", "DECAY", "SIZE", "R L", "R R", "DAMP", "R LO", "R HI", "EARLY", "LATE",
                                 "WIDTH", "R MOD", "R RATE", "R DUCK" })
        EXPECT_NE (a.delayVerb().findKnob (caption), nullptr) << caption;

    for (const char* caption : { "INTNS", "FOCUS", "L MIX", "R MIX", "EXCITE", "CHAR", "RATE", "DEPTH", "FDBK",
                                 "STOFF", "TONE", "OUT" })
        EXPECT_NE (a.atomizer().findKnob (caption), nullptr) << caption;

    for (const char* caption : { "WIDTH", "BAL", "MONO<", "TRIM", "L MIX", "R MIX", "LO X", "HI X", "LO W", "MID W",
                                 "HI W", "MID", "SIDE", "ILD", "ITD", "IACC", "L DLY", "R DLY", "PHASE", "D THR",
                                 "D RAT", "D ATK", "D REL", "ROT" })
        EXPECT_NE (a.stereoUtilityMax().findKnob (caption), nullptr) << caption;

    auto& t = a.timePro();
    const std::pair<juce::Slider*, const char*> timeProKnobs[] = {
        { &t.halfTimeKnob, "TIME" }, { &t.halfSmoothKnob, "SMOOTH" }, { &t.halfTransKnob, "TRANS" },
        { &t.halfCharKnob, "CHAR" }, { &t.halfMixKnob, "MIX" }, { &t.repeatLengthKnob, "LENGTH" },
        { &t.repeatRateKnob, "RATE" }, { &t.repeatFadeKnob, "FADE" }, { &t.repeatDecayKnob, "DECAY" },
        { &t.repeatMixKnob, "MIX" }, { &t.mixKnob, "MIX" } };
    for (const auto& [knob, caption] : timeProKnobs)
        EXPECT_EQ (knob->getName(), caption);

    // The Smart EQ's per-band knobs that the TimePro group sets, on every band.
    const std::pair<SmartEQ::BandKnob, const char*> eqKnobs[] = {
        { SmartEQ::thresholdKnob, "THR" }, { SmartEQ::attackKnob, "ATT" }, { SmartEQ::releaseKnob, "REL" },
        { SmartEQ::driveAmountKnob, "DRV" }, { SmartEQ::characterKnob, "CHR" }, { SmartEQ::airKnob, "AIR" },
        { SmartEQ::densityKnob, "DEN" }, { SmartEQ::motionRateKnob, "MRT" }, { SmartEQ::motionDepthKnob, "MDP" } };
    for (int b = 0; b < SmartEQ::numBands; ++b)
    {
        for (const auto& [which, caption] : eqKnobs)
            EXPECT_EQ (a.smartEq().getBandKnob (b, which).getName(), caption) << "band " << b;
        EXPECT_EQ (a.smartEq().getMacroKnob (b, SmartEQ::dynKnob).getName(), "DYN") << "band " << b;
    }
}

TEST (MacroApplication, AppliedGroupsAllocateNothingOnTheAudioSide)
{
    if (! testing_rt::trapAvailable())
        GTEST_SKIP() << "allocation trap compiled out";

    MainComponent mc;
    MainComponentMacroAccess a (mc);
    auto& r = a.randomiser();
    r.setSpaceAmount (100.0f);
    r.setTimeProAmount (100.0f);
    r.setEqAmount (100.0f);
    a.applyMacroTargets();

    auto& delayVerb = a.delayVerb();
    auto& smartEq = a.smartEq();
    delayVerb.prepare (48000.0);
    smartEq.prepare (48000.0);

    juce::AudioBuffer<float> buffer (2, 512);
    for (int i = 0; i < 512; ++i)
    {
        buffer.setSample (0, i, std::sin (0.05f * (float) i));
        buffer.setSample (1, i, std::cos (0.05f * (float) i));
    }

    // The other panels a group writes to, through the interface the chain uses.
    EffectProcessor* others[] = { &a.stereoUtilityMax().getProcessor(), &a.atomizer().getProcessor(),
                                  &a.timePro().getProcessor(), &a.distortionSuite().getProcessor() };
    for (auto* processor : others)
        processor->prepare (48000.0, 512);

    delayVerb.process (buffer);   // warm-up
    smartEq.process (buffer.getWritePointer (0), buffer.getWritePointer (1), 512);
    for (auto* processor : others)
        processor->process (buffer, 0, 512);

    r.setSpaceAmount (60.0f);
    r.setTimeProAmount (60.0f);
    r.setEqAmount (60.0f);
    a.applyMacroTargets();

    testing_rt::RealtimeScope scope;
    for (int block = 0; block < 4; ++block)
    {
        delayVerb.process (buffer);
        smartEq.process (buffer.getWritePointer (0), buffer.getWritePointer (1), 512);
        for (auto* processor : others)
            processor->process (buffer, 0, 512);
    }
    EXPECT_TRUE (scope.counts().clean());
}

TEST (MacroApplication, AppliedKnobValuesReachTheAudioSideWithoutAMessageLoopPass)
{
    // The audio thread reads each knob through its atomic mirror. A silent write must store
    // the mirror itself: the value listener that would catch it runs only on a later pass of
    // the message loop, and a block processed in between would hear the old settings.
    MainComponent mc;
    MainComponentMacroAccess a (mc);
    auto& r = a.randomiser();
    r.setSpaceAmount (100.0f);
    r.setTimeProAmount (100.0f);
    r.space.delayHpf = 300.0f;
    r.space.atomTone = -3.0f;
    r.space.itd = 640.0f;
    r.timePro.halfSmooth = 33.0f;
    r.timePro.halfMix = 70.0f;
    r.timePro.slicerMix = 10.0f;
    r.timePro.stutterMix = 20.0f;

    a.applyMacroTargets();

    auto mirrored = [] (auto& panel, const char* name)
    {
        for (auto* knob : panel.getAllKnobs())
            EXPECT_EQ (knob->getAtomicValue(), (float) knob->getValue()) << name << " " << knob->getName();
    };
    mirrored (a.delayVerb(), "DelayVerb");
    mirrored (a.atomizer(), "Atomizer");
    mirrored (a.stereoUtilityMax(), "StereoUtilityMax");
    mirrored (a.timePro(), "TimePro");
    EXPECT_EQ (a.timePro().mixKnob.getAtomicValue(), (float) a.timePro().mixKnob.getValue());

    // And through to what the processor reads.
    EXPECT_EQ (a.delayVerb().parameters.knobs[DelayVerbParameters::delayHighpass].load(), 300.0f);
    EXPECT_EQ (a.atomizer().findKnob ("TONE")->getAtomicValue(), -3.0f);
    EXPECT_EQ (a.stereoUtilityMax().findKnob ("ITD")->getAtomicValue(), 640.0f);
    EXPECT_EQ (a.timePro().halfSmoothKnob.getAtomicValue(), 33.0f);
    EXPECT_EQ (a.timePro().mixKnob.getAtomicValue(), 70.0f);
}

TEST (MacroApplication, AutomaticGainFollowsTheRandomiserAmountsBlockByBlock)
{
    // The audio thread reads the three amounts the message thread sets; each arrives whole.
    static_assert (std::is_same_v<decltype (ParameterRandomiser::eqAmount), std::atomic<float>>);
    static_assert (std::is_same_v<decltype (ParameterRandomiser::spaceAmount), std::atomic<float>>);
    static_assert (std::is_same_v<decltype (ParameterRandomiser::masterAmount), std::atomic<float>>);

    juce::AudioBuffer<float> quiet (2, 48000);
    for (int i = 0; i < quiet.getNumSamples(); ++i)
    {
        quiet.setSample (0, i, 0.01f * std::sin (0.05f * (float) i));
        quiet.setSample (1, i, 0.01f * std::sin (0.031f * (float) i));
    }

    struct Case { float eq, space, master; bool lifted; };
    const Case cases[] = { { 0, 0, 0, false }, { 0.01f, 0.01f, 0.01f, false }, { 40, 0, 0, true },
                           { 0, 40, 0, true }, { 0, 0, 40, true } };

    for (const auto& c : cases)
    {
        auto rig = std::make_unique<AudioEngineRig>();
        rig->engine.prepare (512, 48000.0, 0);
        rig->play (quiet, 48000.0);

        juce::AudioBuffer<float> block (2, 512);
        const juce::AudioSourceChannelInfo info (&block, 0, 512);
        rig->engine.process (info);
        EXPECT_EQ (rig->engine.autoGain.getFactor(), 1.0f);

        // Stored as the knob callbacks store them, between two blocks.
        rig->randomiser.eqAmount = c.eq;
        rig->randomiser.spaceAmount = c.space;
        rig->randomiser.masterAmount = c.master;

        for (int i = 0; i < 4; ++i)
            rig->engine.process (info);

        EXPECT_EQ (rig->engine.autoGain.getFactor() > 1.5f, c.lifted) << c.eq << " " << c.space << " " << c.master;
    }
}
