#include <gtest/gtest.h>

#include "main/macros/MainComponentMacroAccess.h"

#include <cmath>

// What the macro knobs' callbacks, PitchReactiveMacro and the TexturePro and MasterPro menus
// change in the rest of the window.

namespace
{
    /** A seed whose first draw is (or is not) at most 0.25. */
    std::uint32_t seedWithFirstDraw (bool low)
    {
        for (std::uint32_t seed = 1;; ++seed)
        {
            ParameterRandomiser probe (seed);
            if ((probe.nextRandom() <= 0.25f) == low)
                return seed;
        }
    }

    /** What a slider holds after being asked for `value`: its range and step limit it. */
    double held (const juce::Slider& knob, double value)
    {
        juce::Slider probe;
        probe.setRange (knob.getRange(), knob.getInterval());
        probe.setValue (value, juce::dontSendNotification);
        return probe.getValue();
    }

    std::vector<std::atomic<float>*> couplingFields (MainComponentMacroAccess& a)
    {
        auto& d = a.distortionSuite();
        auto& v = a.delayVerb();
        auto& s = a.stereoUtilityMax();
        auto& z = a.atomizer();
        return { &d.korruptOffsets[0], &d.korruptOffsets[2], &v.korruptOffsets[0], &v.korruptOffsets[1],
                 &v.korruptOffsets[2], &v.korruptOffsets[3], &s.modWidthOffset, &s.modBalanceOffset,
                 &s.modMixOffset, &z.korruptOffsets[0], &z.korruptOffsets[1], &z.korruptOffsets[2] };
    }
}

TEST (MacroWiring, ToneMaxCouplesEnginesAndPanels)
{
    // Fields in the order of couplingFields: distortion drive and mix floor, delay time,
    // feedback, reverb mix and delay mix floor, stereo width, balance and mix floor, atomizer
    // intensity, feedback and mix floor. The Pandora knob is never shown, so it stays 0 in
    // the window; the last case sets it to show the delay's rows.
    struct Case
    {
        float korrupt, mash, value;
        int level;
        float mashAmount;
        std::array<float, 12> fields;
        float pandora = 0;
    };

    const float f60 = 0.36f;
    const Case cases[] = {
        { 0, 0, 0, 0, 0, { 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0 } },
        { 0, 0, 50, 0, 0, { 0, 0, 0, 0, 0, 0, 0, 0, 0, 20, 12.5f, 10 } },
        { 0, 0, 100, 0, 0, { 0, 0, 0, 0, 0, 0, 0, 0, 0, 40, 25, 20 } },
        { 100, 0, 30, 10, 0.3f * 0.09f, { 0, 0, 0, 0, 0, 0, 30 * 0.09f, 20 * 0.09f, 0, 12, 7.5f, 6 } },
        { 0, 100, 100, 3, 1, { 4, 15, 0, 0, 0, 0, 0, 0, 0, 40, 25, 20 } },
        { 40, 50, 60, 5, 0.3f * 0.4f * f60 + 0.5f,
          { 4 * 0.5f * f60, 15 * 0.5f * f60, 0, 0, 0, 0, 30 * 0.4f * f60, 20 * 0.4f * f60, 0, 24, 15, 12 } },
        { 0, 0, 100, 1, 0.15f * 0.5f, { 0, 0, 100, 10, 12.5f, 0, 0, 0, 0, 40, 25, 20 }, 50 },
    };

    for (const auto& c : cases)
    {
        MainComponent mc;
        MainComponentMacroAccess a (mc);
        a.korruptEngine().active = true;
        a.mashEngine().enabled = true;
        a.korruptKnob().setValue (c.korrupt);
        a.mashKnob().setValue (c.mash);
        a.pandoraKnob().setValue (c.pandora);

        // Junk first, so that a field the callback forgets to write shows.
        for (auto* field : couplingFields (a))
            *field = 77.0f;

        a.toneMax (c.value);

        const auto fields = couplingFields (a);
        for (size_t i = 0; i < fields.size(); ++i)
            EXPECT_NEAR (fields[i]->load(), c.fields[i], 1e-5f) << "field " << i << " at ToneMax " << c.value;

        EXPECT_EQ (a.korruptEngine().level.load(), c.level) << c.value;
        EXPECT_NEAR (a.mashEngine().amount.load(), c.mashAmount, 1e-6f);
        EXPECT_FLOAT_EQ (a.toneMaxCouplingAmount(), c.value / 100.0f);

        // The EQ group was drawn and applied at once.
        EXPECT_EQ (a.randomiser().eqAmount.load(), c.value);
        EXPECT_FALSE (a.randomiser().eqPending);
        EXPECT_EQ (a.smartEq().getBand (2).gainLeftDb, a.randomiser().eqGains[2]);
    }
}

TEST (MacroWiring, KorruptLevelReseedsOncePerNewLevel)
{
    MainComponent mc;
    MainComponentMacroAccess a (mc);
    a.korruptKnob().setValue (100.0f);

    // Off: the engine keeps its level.
    a.toneMax (20.0f);
    EXPECT_EQ (a.korruptEngine().level.load(), 0);

    a.korruptEngine().active = true;
    for (const float v : { 10.0f, 55.0f, 100.0f })
    {
        a.toneMax (v);
        EXPECT_EQ (a.korruptEngine().level.load(), 10);
    }
    EXPECT_EQ (a.korruptEngine().levelVisits[10].load(), 1);
}

TEST (MacroWiring, SpatialTextureAndMasterCallbacks)
{
    MainComponent mc;
    MainComponentMacroAccess a (mc);
    auto& r = a.randomiser();

    a.spatialMax (80.0f);
    EXPECT_FLOAT_EQ (a.lastSpatialMaxValue(), 0.8f);
    EXPECT_EQ (r.spaceAmount.load(), 80.0f);
    EXPECT_FALSE (r.spacePending);   // drawn and applied
    auto& time = *a.delayVerb().findKnob ("TIME");
    EXPECT_EQ (time.getValue(), held (time, r.space.delayTime + 100.0f));

    a.spatialMaxKnob().setOverdrive (true);
    EXPECT_TRUE (r.spaceOverdrive);

    a.textureProValue (60.0f);
    EXPECT_EQ (r.timeProAmount.load(), 60.0f);
    EXPECT_FALSE (r.timeProPending);

    // MasterPro regenerates but leaves the application to the timer.
    for (const auto& [level, master] : { std::pair { 0, 0.0f }, { 19, 100.0f }, { 7, 700.0f / 19.0f } })
    {
        a.masterProKnob().setLevel (level);
        EXPECT_FLOAT_EQ (r.masterAmount.load(), master);
        EXPECT_EQ (a.masterProLevel(), level);
        EXPECT_TRUE (r.spacePending && r.timeProPending);
    }
}

TEST (MacroWiring, MetaControlAppliesTwiceUnfrozenAndOnceMoreThroughTheTargets)
{
    // Mode 1 pushes the reverb mix by 30 x c per call; with the TimePro amount at 100 and a
    // value of 10 (copied into the coupling) each call adds 3.
    struct Case { bool frozen; float value; float reverbMix; };
    const Case cases[] = { { false, 10.0f, 9.0f }, { true, 10.0f, 6.0f }, { false, -5.0f, 0.0f } };

    for (const auto& c : cases)
    {
        MainComponent mc;
        MainComponentMacroAccess a (mc);
        auto& r = a.randomiser();
        r.metaControlMode = 1;
        r.timeProAmount = 100.0f;
        r.space.reverbMix = 0.0f;
        r.freezeLock = c.frozen;

        a.metaControl (c.value);

        EXPECT_EQ (r.metaControlValue, std::max (c.value, 0.0f));
        EXPECT_FALSE (r.metaPending);
        EXPECT_NEAR (r.space.reverbMix, c.reverbMix, 1e-4f) << c.frozen << " " << c.value;
    }
}

TEST (MacroWiring, PitchReactiveMacroActsOnAQuarterOfReleases)
{
    struct Case { bool on; float toneMax, spatialMax; int level; bool lowDraw; bool eq, space; };
    const Case cases[] = {
        { false, 50, 50, 5, true, false, false },    // switched off
        { true, 0, 0, 0, true, false, false },       // nothing to react with: no draw either
        { true, 50, 0, 0, false, false, false },     // draw above 0.25
        { true, 50, 0, 0, true, true, false },
        { true, 0, 50, 0, true, false, true },
        { true, 0.4f, 0, 19, true, false, false },   // master alone: draws, regenerates nothing
    };

    for (const auto& c : cases)
    {
        MainComponent mc;
        MainComponentMacroAccess a (mc);
        auto& r = a.randomiser();

        if (c.on)
            a.masterControlMenu (1);
        EXPECT_EQ (a.pitchReactiveMacro(), c.on);

        a.toneMaxKnob().slider.setValue (c.toneMax, juce::dontSendNotification);
        a.spatialMaxKnob().slider.setValue (c.spatialMax, juce::dontSendNotification);
        a.masterProKnob().setLevel (c.level);
        r.freezeLock = true;   // PitchReactiveMacro ignores FREEZE
        r.eqAmount = 100.0f;
        r.spaceAmount = 100.0f;
        r.eqPending = r.spacePending = false;
        r.eqTargetAmount = 0.0f;
        r.spaceMixTarget = 0.0f;
        r.reseed (seedWithFirstDraw (c.lowDraw));

        a.pitchReleased();

        EXPECT_EQ (r.eqTargetAmount == 100.0f, c.eq) << c.toneMax << " " << c.spatialMax;
        EXPECT_EQ (r.spaceMixTarget > 0.0f, c.space) << c.toneMax << " " << c.spatialMax;
        EXPECT_FALSE (r.eqPending || r.spacePending);
    }
}

TEST (MacroWiring, TextureProAndMasterControlMenuResults)
{
    MainComponent mc;
    MainComponentMacroAccess a (mc);
    auto& r = a.randomiser();

    const std::pair<int, bool*> toggles[] = { { 5, &r.timeProOverdrive }, { 20, &r.lockHalfTime }, { 21, &r.lockSlicer },
                                              { 22, &r.lockStutter }, { 23, &r.lockDynamics }, { 24, &r.lockCharacter } };
    for (const auto& [id, flag] : toggles)
    {
        a.textureProMenu (id);
        EXPECT_TRUE (*flag) << id;
        a.textureProMenu (id);
        EXPECT_FALSE (*flag) << id;
    }

    // Presets move the knob without a callback: the randomiser keeps its amount.
    r.timeProAmount = 12.0f;
    const std::pair<int, double> presets[] = { { 100, 25 }, { 101, 50 }, { 102, 75 }, { 103, 100 }, { 200, 0 } };
    for (const auto& [id, value] : presets)
    {
        a.textureProMenu (id);
        EXPECT_EQ (a.textureProKnob().slider.getValue(), value);
        EXPECT_TRUE (a.textureProKnob().titleLabel.getText().contains (juce::String ((int) value) + "%"));
        EXPECT_EQ (r.timeProAmount.load(), 12.0f);
    }

    for (const int other : { 0, 300, 362 })
        a.textureProMenu (other);
    EXPECT_EQ (a.textureProKnob().slider.getValue(), 0.0);

    // OVERDRIVE (All Macros): all on unless all three already are.
    r.spaceOverdrive = r.eqOverdrive = true;
    r.timeProOverdrive = false;
    a.masterControlMenu (2);
    EXPECT_TRUE (r.spaceOverdrive && r.eqOverdrive && r.timeProOverdrive);
    a.masterControlMenu (2);
    EXPECT_FALSE (r.spaceOverdrive || r.eqOverdrive || r.timeProOverdrive);
    a.masterControlMenu (0);
    EXPECT_FALSE (a.pitchReactiveMacro());
}

TEST (MacroWiring, FreezeStopsRegenerationButNotApplication)
{
    MainComponent mc;
    MainComponentMacroAccess a (mc);
    auto& r = a.randomiser();
    a.toggleFreeze();
    ASSERT_TRUE (r.freezeLock);

    // Callbacks store their amounts but draw nothing.
    a.toneMax (60.0f);
    a.spatialMax (60.0f);
    a.textureProValue (60.0f);
    a.masterProKnob().setLevel (19);
    EXPECT_EQ (r.eqTargetAmount, 0.0f);
    EXPECT_EQ (r.spaceMixTarget, 0.0f);
    EXPECT_EQ (r.timePro.halfMix, 0.0f);
    EXPECT_EQ (r.masterAmount.load(), 100.0f);

    // ToneMax still couples the panels: only the regeneration is held.
    EXPECT_FLOAT_EQ (a.atomizer().korruptOffsets[0].load(), 24.0f);
    EXPECT_FLOAT_EQ (a.toneMaxCouplingAmount(), 0.6f);

    // The timer's step is idle, but a pending group is still applied.
    r.enabled = true;
    r.step();
    EXPECT_EQ (r.stepCount, 0);
    r.space.delayTime = 400.0f;
    r.spacePending = true;
    a.applyMacroTargets();
    EXPECT_FALSE (r.spacePending);
    auto& time = *a.delayVerb().findKnob ("TIME");
    EXPECT_EQ (time.getValue(), held (time, 500.0));

    // The first move after FREEZE is off regenerates with the stored amount.
    a.toggleFreeze();
    a.spatialMax (60.0f);
    EXPECT_FLOAT_EQ (r.spaceMixTarget, 24.0f);
}
