#include <gtest/gtest.h>

#include "effects/stereoutility/StereoUtilityMax.h"
#include "effects/stereoutility/StereoUtilityMaxLayout.h"
#include "support/MessagePump.h"
#include "support/PixelProbe.h"

namespace
{
    using R = juce::Rectangle<int>;
    using Knob = StereoUtilityMaxParameters::Knob;

    /** A panel whose "hovered" knob is whichever the test names. */
    struct HoverPanel
    {
        HoverPanel()
        {
            panel.setSize (1168, 161);
            panel.isHovered = [this] (const juce::Component& c) { return &c == pointed; };
        }

        void point (juce::Component* c)
        {
            pointed = c;
            panel.updateHudInfo();
            panel.updateHoverLabel();
        }

        HeadsUpDisplay hud;
        StereoUtilityMax panel { &hud };
        juce::Component* pointed = nullptr;
    };

    juce::String utf8 (const char* text) { return juce::String::fromUTF8 (text); }
}

//==============================================================================
TEST (StereoUtilityMaxPanel, LayoutOfTheWorkedExample)
{
    StereoUtilityMax panel (nullptr);
    panel.setSize (1168, 161);

    struct Case { const char* what; juce::Component* c; R bounds; };
    const Case cases[] = {
        { "label", &panel.hoverLabel, R (4, 1, 1160, 16) },
        { "WIDTH", panel.findKnob ("WIDTH"), R (55, 21, 40, 44) },  { "SIDE", panel.findKnob ("SIDE"), R (433, 21, 40, 44) },
        { "ILD", panel.findKnob ("ILD"), R (55, 67, 40, 44) },      { "D REL", panel.findKnob ("D REL"), R (433, 67, 40, 44) },
        { "HAAS", panel.findKnob ("HAAS"), R (55, 113, 40, 45) },   { "DECOR", panel.findKnob ("DECOR"), R (517, 113, 40, 45) },
        { "L MIX", &panel.leftMixKnob, R (828, 34, 40, 40) },       { "R MIX", &panel.rightMixKnob, R (828, 104, 40, 40) },
        { "TRIM", &panel.trimKnob, R (874, 62, 55, 55) },           { "SYNC", &panel.syncButton, R (936, 26, 99, 34) },
        { "HUD", &panel.hudButton, R (936, 72, 99, 34) },           { "BYPASS", &panel.bypassButton, R (936, 118, 99, 35) },
        { "spectrum", &panel.spectrumAnalyzer, R (1041, 25, 121, 129) },
    };
    for (const auto& c : cases)
        EXPECT_EQ (c.c->getBounds(), c.bounds) << c.what;

    // Rows of 46, 46 and 47 pixels: knobs 44, 44 and 45 high, in table order by row.
    const char* const rows[3][12] = {
        { "WIDTH", "BAL", "MONO<", "LO X", "HI X", "LO W", "MID W", "HI W", "MID", "SIDE" },
        { "ILD", "ITD", "IACC", "L DLY", "R DLY", "PHASE", "D THR", "D RAT", "D ATK", "D REL" },
        { "HAAS", "PITCH", "MOD R", "MOD D", "ROT", "CTR", "SIDES", "EXTR", "ROOM", "EARLY", "DIFF", "DECOR" } };
    const int tops[] = { 21, 67, 113 }, heights[] = { 44, 44, 45 };
    for (int r = 0; r < 3; ++r)
        for (int i = 0; i < 12 && rows[r][i] != nullptr; ++i)
            EXPECT_EQ (panel.findKnob (rows[r][i])->getBounds(), R (55 + 42 * i, tops[r], 40, heights[r])) << rows[r][i];
}

TEST (StereoUtilityMaxPanel, NarrowPanelsSqueezeTheKnobRowsFirst)
{
    struct Case { int width; int widthKnob, balanceKnob, monoKnob, buttons, spectrum; };
    const Case cases[] = { { 500, 40, 40, 16, 99, 121 }, { 398, 0, 0, 0, 99, 121 }, { 300, 0, 0, 0, 1, 121 } };

    for (const auto& c : cases)
    {
        const auto l = StereoUtilityMaxLayout::compute (c.width, 161);
        EXPECT_EQ (l.rows[0][0].getWidth(), c.widthKnob) << c.width;
        EXPECT_EQ (l.rows[0][1].getWidth(), c.balanceKnob) << c.width;
        EXPECT_EQ (l.rows[0][2].getWidth(), c.monoKnob) << c.width;
        EXPECT_EQ (l.rows[0][3].getWidth(), 0) << c.width;
        EXPECT_EQ (l.rows[2][11].getWidth(), 0) << c.width;
        EXPECT_EQ (l.sync.getWidth(), c.buttons) << c.width;
        EXPECT_EQ (l.bypass.getWidth(), c.buttons) << c.width;
        EXPECT_EQ (l.spectrum.getWidth(), c.spectrum) << c.width;
        EXPECT_EQ (l.trim.getWidth(), 55) << c.width;
    }
}

//==============================================================================
TEST (StereoUtilityMaxPanel, KnobsStartAtTheirDefaultsAndReachTheProcessor)
{
    StereoUtilityMax panel (nullptr);
    auto& params = panel.getProcessor().parameters;
    const auto& table = StereoUtilityMax::knobTable();

    // A new panel stands at the table's values and is inactive until a mix exceeds 0.01.
    for (size_t i = 0; i < table.size(); ++i)
    {
        EXPECT_DOUBLE_EQ (panel.knobs[i].getValue(), table[i].defaultValue) << table[i].caption;
        EXPECT_FLOAT_EQ (params.knobs[i].load(), (float) table[i].defaultValue) << table[i].caption;
    }
    EXPECT_FALSE (panel.isActive());
    panel.modMixOffset = 50.0f;
    EXPECT_FALSE (panel.isActive());
    panel.rightMixKnob.setValue (0.02, juce::sendNotificationSync);
    EXPECT_TRUE (panel.isActive());

    // Every kind of write reaches the parameter: with notification, silently, asynchronously.
    panel.findKnob ("ITD")->setValue (250.0, juce::sendNotificationSync);
    EXPECT_FLOAT_EQ (params.knob (Knob::timeDifference), 250.0f);
    panel.findKnob ("HAAS")->setValueSilently (12.0);
    EXPECT_FLOAT_EQ (params.knob (Knob::haas), 12.0f);
    panel.findKnob ("ROOM")->setValue (70.0, juce::sendNotificationAsync);
    EXPECT_TRUE (test_support::pumpUntil ([&] { return params.knob (Knob::room) == 70.0f; }));

    // Double-click returns a knob to its default.
    auto* knob = panel.findKnob ("D RAT");
    knob->setValue (3.0, juce::sendNotificationSync);
    auto source = juce::Desktop::getInstance().getMainMouseSource();
    const juce::Point<float> centre (10.0f, 10.0f);
    knob->mouseDoubleClick (juce::MouseEvent (source, centre, {}, 1.0f, 0.0f, 0.0f, 0.0f, 0.0f, knob, knob,
                                              juce::Time::getCurrentTime(), centre, juce::Time::getCurrentTime(), 2, false));
    EXPECT_DOUBLE_EQ (knob->getValue(), 1.0);
    EXPECT_FLOAT_EQ (params.knob (Knob::dynamicsRatio), 1.0f);
}

TEST (StereoUtilityMaxPanel, NeutralResetRestoresEveryKnobAndLeavesTheRest)
{
    StereoUtilityMax panel (nullptr);
    const auto& table = StereoUtilityMax::knobTable();
    for (size_t i = 0; i < table.size(); ++i)
        panel.knobs[i].setValue (table[i].minimum + 0.37 * (table[i].maximum - table[i].minimum), juce::sendNotificationSync);

    panel.bypassButton.setToggleState (true, juce::sendNotificationSync);
    panel.syncButton.setToggleState (true, juce::sendNotificationSync);
    panel.modWidthOffset = 12.0f;
    panel.randomMixTarget = 20.0f;

    panel.resetToNeutral();
    EXPECT_TRUE (test_support::runPendingMessages());

    auto& params = panel.getProcessor().parameters;
    for (size_t i = 0; i < table.size(); ++i)
    {
        EXPECT_DOUBLE_EQ (panel.knobs[i].getValue(), table[i].defaultValue) << table[i].caption;
        EXPECT_FLOAT_EQ (params.knobs[i].load(), (float) table[i].defaultValue) << table[i].caption;
    }
    EXPECT_TRUE (panel.bypassed.load());
    EXPECT_TRUE (panel.syncEnabled.load());
    EXPECT_FLOAT_EQ (panel.modWidthOffset.load(), 12.0f);
    EXPECT_FLOAT_EQ (panel.randomMixTarget.load(), 20.0f);
}

//==============================================================================
TEST (StereoUtilityMaxPanel, HoverReadoutsAndDisplayFeed)
{
    HoverPanel h;
    auto& p = h.panel;

    // Nothing under the pointer: neither the label nor the display changes.
    h.point (nullptr);
    EXPECT_EQ (p.hoverLabel.getText(), "Hover over a knob to see its value");
    EXPECT_TRUE (h.hud.title.isEmpty());

    struct Case { const char* knob; double value; const char* label; const char* valueText; const char* description; };
    const Case cases[] = {
        { "WIDTH", 137.456, "WIDTH: 137.46% / 200%", "137.5%", "Global stereo width (M/S balance)" },
        { "BAL", -25.0, "BAL: -25.00 / 100", "-25.0", "Constant-power L/R balance" },
        { "ITD", 500.0, "ITD: 500.00\xc2\xb5s / 1000\xc2\xb5s", "500.0\xc2\xb5s", "Interaural Time Diff (Lagrange)" },
        { "PHASE", 90.0, "PHASE: 90.00\xc2\xb0 / 180\xc2\xb0", "90.0\xc2\xb0", "8-stage allpass phase rotation" },
        { "PITCH", 12.5, "PITCH: 12.50\xc2\xa2 / 50\xc2\xa2", "12.5\xc2\xa2", "Granular pitch spread L\xe2\x86\x91 R\xe2\x86\x93" },
        { "D RAT", 2.0, "D RAT: 2.00:1 / 4:1", "2.0:1", "<1=expand, 1=off, >1=compress" },
        { "TRIM", -6.0, "TRIM: -6.00dB / 12dB", "-6.0dB", "Output gain compensation" },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.knob);
        auto* knob = p.findKnob (c.knob);
        knob->setValue (c.value, juce::sendNotificationSync);
        h.point (knob);
        EXPECT_EQ (p.hoverLabel.getText(), utf8 (c.label));
        EXPECT_EQ (h.hud.title, "STEREO UTILITY MAX");
        EXPECT_EQ (h.hud.knobName, c.knob);
        EXPECT_EQ (h.hud.valueText, utf8 (c.valueText));
        EXPECT_EQ (h.hud.description, utf8 (c.description));
    }

    // The knob's own value text carries the unit as well.
    EXPECT_TRUE (p.findKnob ("L DLY")->getTextFromValue (3.0).endsWith (utf8 ("\xc2\xb5s")));
    EXPECT_TRUE (p.findKnob ("ROT")->getTextFromValue (3.0).endsWith (utf8 ("\xc2\xb0")));

    // A hidden knob does not count; the last read-out stays.
    auto* hidden = p.findKnob ("ROOM");
    hidden->setVisible (false);
    h.point (hidden);
    EXPECT_EQ (p.hoverLabel.getText(), "TRIM: -6.00dB / 12dB");
    EXPECT_EQ (h.hud.knobName, "TRIM");
}

TEST (StereoUtilityMaxPanel, ButtonsDriveTheFlagsAndTheDisplay)
{
    HeadsUpDisplay hud;
    hud.setVisible (false);
    StereoUtilityMax panel (&hud);
    panel.setSize (1168, 161);

    panel.bypassButton.setToggleState (true, juce::sendNotificationSync);
    EXPECT_TRUE (panel.bypassed.load());
    EXPECT_TRUE (panel.getProcessor().parameters.bypassed.load());
    panel.bypassButton.setToggleState (false, juce::sendNotificationSync);
    EXPECT_FALSE (panel.bypassed.load());

    panel.syncButton.setToggleState (true, juce::sendNotificationSync);
    EXPECT_TRUE (panel.syncEnabled.load());

    panel.hudButton.onClick();
    EXPECT_TRUE (hud.isVisible());
    EXPECT_FALSE (hud.closedByUser);
    panel.hudButton.onClick();
    EXPECT_FALSE (hud.isVisible());
    EXPECT_TRUE (hud.closedByUser);

    StereoUtilityMax noDisplay (nullptr);
    noDisplay.hudButton.onClick();
    noDisplay.updateHudInfo();
}

TEST (StereoUtilityMaxPanel, ProcessedBlocksAreHeardAndShown)
{
    StereoUtilityMax panel (nullptr);
    panel.setSize (1168, 161);
    panel.leftMixKnob.setValue (100.0, juce::sendNotificationSync);
    panel.prepare (48000.0);
    EXPECT_EQ (panel.spectrumAnalyzer.getSampleRate(), 48000.0);

    juce::AudioBuffer<float> b (2, 1024);
    b.clear();
    b.setSample (0, 0, 0.4f);
    panel.process (b);
    EXPECT_NE (b.getSample (0, 0), 0.4f);   // the wet path is heard on the left
    EXPECT_EQ (panel.spectrumAnalyzer.getAnalysisCount(), 1);

    panel.bypassButton.setToggleState (true, juce::sendNotificationSync);
    panel.process (b);
    EXPECT_EQ (panel.spectrumAnalyzer.getAnalysisCount(), 1);

    // The painted face: the blue title in the title column over the grey body.
    const auto image = pixel_probe::render (panel);
    const auto isTitleBlue = [] (juce::Colour c) { return c.getBlue() > 180 && c.getRed() < 120; };
    EXPECT_GT (pixel_probe::count (image, R (2, 22, 46, 135), isTitleBlue), 10);
    EXPECT_TRUE (pixel_probe::nearRgb (image.getPixelAt (30, 25), juce::Colour (0xfff0f0f8), 30));
}
