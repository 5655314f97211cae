#include <gtest/gtest.h>

#include "effects/smarteq/SmartEqTestUtil.h"
#include "support/PixelProbe.h"

using namespace smarteq_test;

namespace
{
    class SmartEqControls : public ::testing::Test
    {
    protected:
        void SetUp() override { eq.prepare (sampleRate); }

        bool toggleOn (int b, SmartEQ::BandToggle t) { return eq.getBandToggle (b, t).getToggleState(); }

        SmartEQ eq;
    };
}

TEST_F (SmartEqControls, ConstructedBands)
{
    const std::int32_t types[] = { smarteq::lowCut, smarteq::bell, smarteq::bell, smarteq::bell, smarteq::bell, smarteq::highShelf };
    const float freqs[] = { 48.0f, 120.0f, 450.0f, 1400.0f, 4000.0f, 10000.0f };
    for (int b = 0; b < SmartEQ::numBands; ++b)
    {
        const auto& rec = eq.getBand (b);
        EXPECT_TRUE (rec.enabled);
        EXPECT_EQ (rec.filterType, types[b]);
        EXPECT_EQ (rec.frequencyHz, freqs[b]);
        EXPECT_EQ (eq.getTypeBox (b).getSelectedId(), types[b] + 1);
        EXPECT_FALSE (eq.getTypeBox (b).isVisible());
        EXPECT_FALSE (eq.getFrequencySlider (b).isVisible());
        EXPECT_TRUE (toggleOn (b, SmartEQ::enableToggle));
        EXPECT_TRUE (toggleOn (b, SmartEQ::linkStereoToggle));
    }
    EXPECT_EQ (eq.getStatusText(), "SmartEQ: 6-Band Parametric EQ");
    EXPECT_FALSE (eq.isVisible());
}

TEST_F (SmartEqControls, MacroKnobMappings)
{
    struct Case { SmartEQ::MacroKnob knob; double value; bool on; float threshold, ratio, depth, rate; };
    const Case cases[] = {
        { SmartEQ::dynKnob, 50.0,  true,  -30.0f, 3.5f, 0, 0 },
        { SmartEQ::dynKnob, 100.0, true,  -50.0f, 6.0f, 0, 0 },
        { SmartEQ::dynKnob, 0.0,   false, -10.0f, 1.0f, 0, 0 },
        { SmartEQ::lfoKnob, 100.0, true,  0, 0, 100.0f, 5.5f },
        { SmartEQ::lfoKnob, 0.0,   false, 0, 0, 0.0f, 0.5f },
    };

    for (const auto& c : cases)
    {
        setKnob (eq.getMacroKnob (2, c.knob), c.value);
        const auto& rec = eq.getBand (2);
        if (c.knob == SmartEQ::dynKnob)
        {
            EXPECT_EQ (rec.dynamicOn, c.on) << c.value;
            EXPECT_FLOAT_EQ (rec.thresholdDb, c.threshold) << c.value;
            EXPECT_FLOAT_EQ (rec.ratio, c.ratio) << c.value;
        }
        else
        {
            EXPECT_EQ (rec.motionOn, c.on) << c.value;
            EXPECT_FLOAT_EQ (rec.motionDepthPct, c.depth) << c.value;
            EXPECT_FLOAT_EQ (rec.motionRateHz, c.rate) << c.value;
        }
    }

    // MRT and MDP afterwards overwrite rate and depth alone.
    setKnob (eq.getMacroKnob (2, SmartEQ::lfoKnob), 100.0);
    setKnob (eq.getBandKnob (2, SmartEQ::motionRateKnob), 3.0);
    EXPECT_FLOAT_EQ (eq.getBand (2).motionRateHz, 3.0f);
    EXPECT_FLOAT_EQ (eq.getBand (2).motionDepthPct, 100.0f);
    setKnob (eq.getBandKnob (2, SmartEQ::motionDepthKnob), 20.0);
    EXPECT_FLOAT_EQ (eq.getBand (2).motionDepthPct, 20.0f);
    EXPECT_TRUE (eq.getBand (2).motionOn);

    // A knob moved without notification (as the randomiser does) leaves the band as it was.
    eq.getBandKnob (2, SmartEQ::thresholdKnob).setValue (-55.0, juce::dontSendNotification);
    EXPECT_FLOAT_EQ (eq.getBand (2).thresholdDb, -10.0f);   // from the last DYN move
}

TEST_F (SmartEqControls, LinkedGainFaders)
{
    auto& left = eq.getGainFader (1, false);
    auto& right = eq.getGainFader (1, true);

    setKnob (left, 4.0);
    EXPECT_DOUBLE_EQ (right.getValue(), 4.0);
    EXPECT_FLOAT_EQ (eq.getBand (1).gainRightDb, 4.0f);

    setToggle (eq.getBandToggle (1, SmartEQ::linkStereoToggle), false);
    setKnob (right, -2.0);
    EXPECT_DOUBLE_EQ (left.getValue(), 4.0);
    EXPECT_FLOAT_EQ (eq.getBand (1).gainLeftDb, 4.0f);

    // Relinking copies the side that moved last onto the other.
    setToggle (eq.getBandToggle (1, SmartEQ::linkStereoToggle), true);
    EXPECT_DOUBLE_EQ (left.getValue(), -2.0);
    EXPECT_FLOAT_EQ (eq.getBand (1).gainLeftDb, -2.0f);

    setToggle (eq.getBandToggle (1, SmartEQ::linkStereoToggle), false);
    setKnob (left, 1.0);
    setToggle (eq.getBandToggle (1, SmartEQ::linkStereoToggle), true);
    EXPECT_DOUBLE_EQ (right.getValue(), 1.0);
    EXPECT_FLOAT_EQ (eq.getBand (1).gainRightDb, 1.0f);
}

TEST_F (SmartEqControls, ExclusiveToggleGroups)
{
    const std::vector<std::vector<SmartEQ::BandToggle>> groups = {
        { SmartEQ::midToggle, SmartEQ::sideToggle },
        { SmartEQ::softToggle, SmartEQ::tubeToggle },
        { SmartEQ::vocalToggle, SmartEQ::drumToggle, SmartEQ::bassToggle },
    };

    for (const auto& group : groups)
        for (auto chosen : group)
        {
            for (auto other : group)
                setToggle (eq.getBandToggle (4, other), true);
            setToggle (eq.getBandToggle (4, chosen), false);
            setToggle (eq.getBandToggle (4, chosen), true);

            for (auto t : group)
                EXPECT_EQ (toggleOn (4, t), t == chosen) << "toggle " << (int) t << " after " << (int) chosen;
        }

    const auto& rec = eq.getBand (4);
    EXPECT_TRUE (rec.bassMode);
    EXPECT_FALSE (rec.vocalMode || rec.drumMode);
    EXPECT_TRUE (rec.tubeMode && ! rec.softClip);
    EXPECT_TRUE (rec.sideMode && ! rec.midMode);

    // Solo is exclusive across the bands; switching it off leaves none soloed.
    setToggle (eq.getBandToggle (0, SmartEQ::soloToggle), true);
    setToggle (eq.getBandToggle (3, SmartEQ::soloToggle), true);
    for (int b = 0; b < SmartEQ::numBands; ++b)
        EXPECT_EQ (eq.getBand (b).solo, b == 3);
    setToggle (eq.getBandToggle (3, SmartEQ::soloToggle), false);
    for (int b = 0; b < SmartEQ::numBands; ++b)
        EXPECT_FALSE (eq.getBand (b).solo || toggleOn (b, SmartEQ::soloToggle));
}

TEST_F (SmartEqControls, PresetsStartFromAPartialReset)
{
    eq.applyPreset (2);   // "Bass Enhancement"
    EXPECT_TRUE (eq.getBand (0).driveOn);
    EXPECT_EQ (eq.getBand (0).filterType, smarteq::lowShelf);

    eq.applyPreset (1);   // "Vocal Clarity"
    EXPECT_FALSE (eq.getBand (0).driveOn);
    EXPECT_FLOAT_EQ (eq.getBand (0).saturationPct, 15.0f);
    EXPECT_FLOAT_EQ (eq.getBand (0).frequencyHz, 250.0f);
    EXPECT_FLOAT_EQ (eq.getBand (0).gainLeftDb, -3.0f);
    EXPECT_FLOAT_EQ (eq.getBand (4).frequencyHz, 4000.0f);
    EXPECT_FLOAT_EQ (eq.getBand (5).frequencyHz, 10000.0f);
    EXPECT_EQ (eq.getBand (5).filterType, smarteq::bell);
    EXPECT_TRUE (eq.getBand (3).dynamicOn);
    EXPECT_FLOAT_EQ (eq.getBand (3).thresholdDb, -15.0f);
    EXPECT_EQ (eq.getStatusText(), "All parameters reset to defaults");

    // A soft clip left on wins over the next preset's tube.
    eq.applyPreset (8);   // "Lo-Fi Character"
    eq.applyPreset (4);   // "Warmth & Body"
    EXPECT_TRUE (eq.getBand (1).softClip);
    EXPECT_TRUE (eq.getBand (1).tubeMode);
    EXPECT_FLOAT_EQ (eq.getBand (1).saturationPct, 10.0f);
    EXPECT_FLOAT_EQ (eq.getBand (1).widthPct, 100.0f);   // the reset cleared Lo-Fi's 70

    eq.applyPreset (9);   // "Master Bus Glue"
    for (int b = 0; b < 4; ++b)
    {
        EXPECT_TRUE (eq.getBand (b).dynamicOn) << b;
        EXPECT_FLOAT_EQ (eq.getBand (b).thresholdDb, -20.0f) << b;
        EXPECT_FLOAT_EQ (eq.getBand (b).ratio, 2.0f) << b;
    }
    EXPECT_FALSE (eq.getBand (4).dynamicOn);
}

TEST_F (SmartEqControls, ResetTouchesOnlyTheMainSettings)
{
    setKnob (eq.getMacroKnob (2, SmartEQ::widKnob), 30.0);
    setKnob (eq.getMacroKnob (2, SmartEQ::satKnob), 60.0);
    setKnob (eq.getMacroKnob (2, SmartEQ::dynKnob), 50.0);
    setKnob (eq.getGainFader (2, false), 5.0);
    setToggle (eq.getBandToggle (2, SmartEQ::midToggle), true);
    setKnob (eq.getOutputGainKnob(), -6.0);
    setKnob (eq.getGlobalMixKnob(), 40.0);
    setToggle (eq.getMonoButton(), true);

    eq.applyPreset (10);

    const auto& rec = eq.getBand (2);
    EXPECT_FLOAT_EQ (rec.widthPct, 100.0f);
    EXPECT_DOUBLE_EQ (eq.getMacroKnob (2, SmartEQ::widKnob).getValue(), 100.0);
    EXPECT_DOUBLE_EQ (eq.getMacroKnob (2, SmartEQ::satKnob).getValue(), 0.0);
    EXPECT_FLOAT_EQ (rec.saturationPct, 60.0f);        // the knob moves, the field stays
    EXPECT_FALSE (rec.dynamicOn);
    EXPECT_FLOAT_EQ (rec.thresholdDb, -30.0f);
    EXPECT_FLOAT_EQ (rec.gainLeftDb, 0.0f);
    EXPECT_DOUBLE_EQ (eq.getGainFader (2, true).getValue(), 0.0);
    EXPECT_TRUE (rec.midMode);
    EXPECT_EQ (eq.getBand (0).filterType, smarteq::bell);
    EXPECT_FLOAT_EQ (eq.getOutputGainKnob().getAtomicValue(), 0.0f);
    EXPECT_FLOAT_EQ (eq.getGlobalMixKnob().getAtomicValue(), 100.0f);
    EXPECT_FALSE (eq.getMonoButton().getAtomicState());
    EXPECT_EQ (eq.getStatusText(), "All parameters reset to defaults");
}

TEST_F (SmartEqControls, MenuItemsWithoutAnAction)
{
    setKnob (eq.getGainFader (3, false), 2.0);
    for (int id : { 0, 100, 200, 201, 55 })
    {
        eq.applyPreset (id);
        EXPECT_FLOAT_EQ (eq.getBand (3).gainLeftDb, 2.0f) << id;
        EXPECT_EQ (eq.getBand (0).filterType, smarteq::lowCut) << id;
        EXPECT_EQ (eq.getStatusText(), "SmartEQ: 6-Band Parametric EQ") << id;
    }
    eq.applyPreset (202);
    EXPECT_FLOAT_EQ (eq.getBand (3).gainLeftDb, 0.0f);
}

TEST_F (SmartEqControls, MacroEqSetsGainsUnlimitedAndZeroesBelowOnePercent)
{
    std::array<float, 6> gains { 20.0f, -3.0f, 6.0f, 0.0f, -20.0f, 1.5f };
    eq.applyMacroEq (1.0f, gains);
    for (int b = 0; b < SmartEQ::numBands; ++b)
    {
        EXPECT_FLOAT_EQ (eq.getBand (b).gainLeftDb, gains[(size_t) b]);
        EXPECT_FLOAT_EQ (eq.getBand (b).gainRightDb, gains[(size_t) b]);
        EXPECT_DOUBLE_EQ (eq.getGainFader (b, true).getValue(), juce::jlimit (-15.0, 15.0, (double) gains[(size_t) b]));
    }
    SmartEQ fresh;
    fresh.prepare (sampleRate);
    const double constructed450 = sineGainDb (fresh, 450.0).left, constructed4k = sineGainDb (fresh, 4000.0).left;
    EXPECT_GT (sineGainDb (eq, 450.0).left, constructed450 + 6.0);

    eq.applyMacroEq (0.5f, gains);
    for (int b = 0; b < SmartEQ::numBands; ++b)
    {
        EXPECT_EQ (eq.getBand (b).gainLeftDb, 0.0f);
        EXPECT_EQ (eq.getBand (b).gainRightDb, 0.0f);
        EXPECT_EQ (eq.getGainFader (b, false).getValue(), 0.0);
    }

    // The zeroing also reshapes the filters: nothing of the old bells may still sound.
    EXPECT_NEAR (sineGainDb (eq, 450.0).left, constructed450, 0.005);
    EXPECT_NEAR (sineGainDb (eq, 4000.0).left, constructed4k, 0.005);
}

TEST_F (SmartEqControls, DisplayResponse)
{
    onlyBand (eq, 3);
    setKnob (eq.getGainFader (3, false), 6.0);
    EXPECT_FLOAT_EQ (eq.getDisplayResponseDb (1400.0f), 6.0f);
    EXPECT_NEAR (eq.getDisplayResponseDb (2800.0f), 6.0f * std::exp (-0.5f), 1e-5f);

    std::array<float, 6> big;
    big.fill (20.0f);
    eq.applyMacroEq (100.0f, big);
    for (int b = 0; b < SmartEQ::numBands; ++b)
        setToggle (eq.getBandToggle (b, SmartEQ::enableToggle), true);
    EXPECT_FLOAT_EQ (eq.getDisplayResponseDb (1000.0f), 24.0f);
}

TEST_F (SmartEqControls, PanelLaysOutAndPaints)
{
    eq.setBounds (0, 0, 1184, 491);
    pixel_probe::render (eq);   // the whole panel paints, children included

    for (int b = 0; b < SmartEQ::numBands; ++b)
    {
        EXPECT_FALSE (eq.getGainFader (b, false).getBounds().isEmpty());
        EXPECT_TRUE (eq.getLocalBounds().contains (eq.getBandToggle (b, SmartEQ::bassToggle).getBounds()));
        EXPECT_TRUE (eq.getLocalBounds().contains (eq.getBandKnob (b, SmartEQ::randomIntensityKnob).getBounds()));
    }
}

TEST_F (SmartEqControls, GlobalControlsReachTheProcessorWithoutNotification)
{
    auto& globals = eq.getProcessor().globalParameters;

    // Writes that no callback sees, such as a restored session makes, take effect at once.
    eq.getOutputGainKnob().setValueSilently (-6.0);
    eq.getGlobalMixKnob().setValueSilently (40.0);
    eq.getMonoButton().setToggleState (true, juce::dontSendNotification);
    EXPECT_FLOAT_EQ (globals.outputGainDb.load(), -6.0f);
    EXPECT_FLOAT_EQ (globals.globalMixPct.load(), 40.0f);
    EXPECT_TRUE (globals.mono.load());

    eq.resetToDefaults();
    EXPECT_FLOAT_EQ (globals.outputGainDb.load(), 0.0f);
    EXPECT_FLOAT_EQ (globals.globalMixPct.load(), 100.0f);
    EXPECT_FALSE (globals.mono.load());
}
