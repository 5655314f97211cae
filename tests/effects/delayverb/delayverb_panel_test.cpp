#include <gtest/gtest.h>

#include "effects/delayverb/DelayVerb.h"
#include "support/MessagePump.h"
#include "support/PixelProbe.h"

namespace
{
    using R = juce::Rectangle<int>;

    /** A panel whose "hovered" knob is whichever the test names. */
    struct HoverPanel
    {
        HoverPanel()
        {
            panel.setSize (1134, 161);
            panel.isHovered = [this] (const juce::Component& c) { return &c == pointed; };
        }

        void point (juce::Component* c)
        {
            pointed = c;
            panel.updateHud();
            panel.updateHoverLabel();
        }

        GreenHeadsUpDisplay hud;
        DelayVerb panel { &hud };
        juce::Component* pointed = nullptr;
    };
}

//==============================================================================
TEST (DelayVerbPanel, LayoutOfTheWorkedExampleWithAndWithoutSync)
{
    DelayVerb panel (nullptr);
    panel.setSize (1134, 161);

    struct Case { const char* what; juce::Component* c; R bounds; };
    const Case fixed[] = {
        { "label", &panel.hoverLabel, R (4, 1, 1126, 16) },     { "spectrum", &panel.spectrumAnalyzer, R (1007, 25, 121, 129) },
        { "pad", &panel.panPad, R (921, 49, 80, 80) },          { "D L", &panel.delayLeftKnob, R (713, 35, 38, 38) },
        { "D R", &panel.delayRightKnob, R (713, 105, 38, 38) }, { "R L", &panel.reverbLeftKnob, R (757, 35, 38, 38) },
        { "R R", &panel.reverbRightKnob, R (757, 105, 38, 38) }, { "SYNC", &panel.syncButton, R (802, 26, 111, 34) },
        { "HUD", &panel.hudButton, R (802, 72, 111, 34) },      { "BYPASS", &panel.bypassButton, R (802, 118, 111, 35) },
        { "PRE", panel.findKnob ("PRE"), R (55, 67, 40, 44) },  { "R HI", panel.findKnob ("R HI"), R (265, 67, 40, 44) },
        { "EARLY", panel.findKnob ("EARLY"), R (55, 113, 40, 45) }, { "R DUCK", panel.findKnob ("R DUCK"), R (265, 113, 40, 45) },
    };
    for (const auto& c : fixed)
        EXPECT_EQ (c.c->getBounds(), c.bounds) << c.what;

    // Row 1 by cell: SYNC puts NOTE and TYPE first and D DUCK in a ninth cell.
    const auto cell = [] (int i) { return R (55 + 42 * i, 21, 40, 44); };
    const char* const unsynced[] = { "TIME", "FDBK", "D LPF", "D HPF", "STEREO", "D MOD", "D RATE", "D DUCK" };
    const char* const synced[] = { "NOTE", "TYPE", "FDBK", "D LPF", "D HPF", "STEREO", "D MOD", "D RATE", "D DUCK" };

    for (int i = 0; i < 8; ++i)
        EXPECT_EQ (panel.findKnob (unsynced[i])->getBounds(), cell (i)) << unsynced[i];

    panel.syncButton.setToggleState (true, juce::sendNotificationSync);
    EXPECT_FALSE (panel.timeKnob.isVisible());
    for (int i = 0; i < 9; ++i)
    {
        EXPECT_EQ (panel.findKnob (synced[i])->getBounds(), cell (i)) << synced[i];
        EXPECT_TRUE (panel.findKnob (synced[i])->isVisible()) << synced[i];
    }

    panel.syncButton.setToggleState (false, juce::sendNotificationSync);
    EXPECT_TRUE (panel.timeKnob.isVisible());
    EXPECT_FALSE (panel.noteKnob.isVisible());
    EXPECT_EQ (panel.timeKnob.getBounds(), cell (0));
    EXPECT_EQ (panel.findKnob ("D DUCK")->getBounds(), cell (7));
}

TEST (DelayVerbPanel, ButtonsDriveTheFlagsTheOverlayAndTheDisplay)
{
    GreenHeadsUpDisplay hud;
    hud.setVisible (false);
    DelayVerb panel (&hud);
    panel.setSize (1134, 161);

    const auto isOverlayRed = [] (juce::Colour c) { return c.getRed() > c.getGreen() + 40 && c.getRed() > c.getBlue() + 40; };
    // The empty strip between the title and the first knob cell shows the overlay.
    const R strip (40, 30, 12, 100);
    EXPECT_EQ (pixel_probe::count (pixel_probe::render (panel), strip, isOverlayRed), 0);

    panel.bypassButton.setToggleState (true, juce::sendNotificationSync);
    EXPECT_TRUE (panel.bypassed.load());
    EXPECT_GT (pixel_probe::count (pixel_probe::render (panel), strip, isOverlayRed), 1000);

    panel.bypassButton.setToggleState (false, juce::sendNotificationSync);
    EXPECT_FALSE (panel.bypassed.load());
    EXPECT_EQ (pixel_probe::count (pixel_probe::render (panel), strip, isOverlayRed), 0);

    panel.syncButton.setToggleState (true, juce::sendNotificationSync);
    EXPECT_TRUE (panel.syncEnabled.load());

    panel.hudButton.onClick();
    EXPECT_TRUE (hud.isVisible());
    EXPECT_FALSE (hud.closedByUser);
    panel.hudButton.onClick();
    EXPECT_FALSE (hud.isVisible());
    EXPECT_TRUE (hud.closedByUser);

    DelayVerb noDisplay (nullptr);
    noDisplay.hudButton.onClick();
    noDisplay.updateHud();
}

TEST (DelayVerbPanel, HoverReadoutsAndDisplayFeed)
{
    HoverPanel h;
    auto& p = h.panel;
    EXPECT_EQ (p.hoverLabel.getText(), "Hover over a knob to see its value");

    // Nothing hovered: both stay as they are.
    h.point (nullptr);
    EXPECT_EQ (p.hoverLabel.getText(), "Hover over a knob to see its value");
    EXPECT_TRUE (h.hud.title.isEmpty());

    struct Case { const char* knob; double value; float bpm; bool synced; const char* label; const char* name; const char* valueText; const char* description; };
    const Case cases[] = {
        { "TIME", -1, 120, false, "TIME: 250.50ms / 5000ms", "TIME", "250.5ms", "Delay time" },
        { "FDBK", -1, 120, true, "FDBK: 30.00% / 95%", "FDBK", "30.0%", "Feedback amount" },
        { "D LPF", -1, 120, false, "D LPF: 12000.00Hz / 20000Hz", "D LPF", "12000.0Hz", "Feedback lowpass" },
        { "D DUCK", 6.5, 120, true, "D DUCK: 6.50dB / 24dB", "D DUCK", "6.5dB", "Delay ducking" },
        { "NOTE", 2, 120, true, "NOTE: 1/8 (250.0ms @ 120.0 BPM)", "NOTE DIVISION", "1/8", "BPM-synced delay time" },
        { "NOTE", 5, 0, true, "NOTE: 1/1", "NOTE DIVISION", "1/1", "BPM-synced delay time" },
        { "TYPE", 0, 120, true, "TYPE: Normal", "NOTE TYPE", "Normal", "Normal/Dotted/Triplet modifier" },
        { "TYPE", 1, 120, true, "TYPE: Dotted (1.5x)", "NOTE TYPE", "Dotted", "Normal/Dotted/Triplet modifier" },
        { "TYPE", 2, 120, true, "TYPE: Triplet (2/3x)", "NOTE TYPE", "Triplet", "Normal/Dotted/Triplet modifier" },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.label);
        p.syncButton.setToggleState (c.synced, juce::sendNotificationSync);
        auto* knob = p.findKnob (c.knob);
        if (c.value >= 0)
            knob->setValue (c.value, juce::sendNotificationSync);
        p.bpm = c.bpm;
        h.point (knob);
        EXPECT_EQ (p.hoverLabel.getText(), c.label);
        EXPECT_EQ (h.hud.title, "DELAYVERB");
        EXPECT_EQ (h.hud.knobName, c.name);
        EXPECT_EQ (h.hud.valueText, c.valueText);
        EXPECT_EQ (h.hud.description, c.description);
    }

    // A hidden knob does not count (TIME while SYNC is on); the last readout stays.
    h.point (&p.timeKnob);
    EXPECT_EQ (p.hoverLabel.getText(), "TYPE: Triplet (2/3x)");
    EXPECT_EQ (h.hud.knobName, "NOTE TYPE");
}

TEST (DelayVerbPanel, KnobsPadAndToggleReachTheProcessor)
{
    DelayVerb panel (nullptr);
    panel.setSize (1134, 161);
    auto& params = panel.getProcessor().parameters;

    // TIME starts at 250.5: its step of 1 from 0.5 snaps the default.
    EXPECT_DOUBLE_EQ (panel.timeKnob.getValue(), 250.5);
    EXPECT_FLOAT_EQ (params.knob (DelayVerbParameters::time), 250.5f);

    // Every kind of write reaches the parameter: with notification, silently, and the main
    // window's REVERT (asynchronous) after one pass of the message loop.
    panel.findKnob ("DECAY")->setValue (7.0, juce::sendNotificationSync);
    EXPECT_FLOAT_EQ (params.knob (DelayVerbParameters::decay), 7.0f);
    panel.findKnob ("SIZE")->setValueSilently (80.0);
    EXPECT_FLOAT_EQ (params.knob (DelayVerbParameters::size), 80.0f);
    panel.findKnob ("DECAY")->setValue (2.0, juce::sendNotificationAsync);
    EXPECT_TRUE (test_support::pumpUntil ([&] { return params.knob (DelayVerbParameters::decay) == 2.0f; }));
    panel.noteKnob.setValue (4.0, juce::sendNotificationSync);
    panel.typeKnob.setValue (1.0, juce::sendNotificationSync);
    EXPECT_FLOAT_EQ (params.note.load(), 4.0f);
    EXPECT_FLOAT_EQ (params.type.load(), 1.0f);

    // The pad writes pan and ping-pong.
    auto source = juce::Desktop::getInstance().getMainMouseSource();
    const juce::Point<float> centre (40.0f, 40.0f);
    panel.panPad.mouseDown (juce::MouseEvent (source, centre, juce::ModifierKeys::leftButtonModifier, 1.0f, 0.0f, 0.0f,
                                              0.0f, 0.0f, &panel.panPad, &panel.panPad, juce::Time::getCurrentTime(),
                                              centre, juce::Time::getCurrentTime(), 1, false));
    EXPECT_FLOAT_EQ (panel.delayPan.load(), 0.0f);
    EXPECT_FLOAT_EQ (panel.pingPong.load(), 0.5f);

    // A processed block is heard and shown: D L at 100 halves the dry left, and the display
    // analyses once 1024 samples have arrived.
    panel.delayLeftKnob.setValue (100.0, juce::sendNotificationSync);
    panel.prepare (48000.0);
    juce::AudioBuffer<float> b (2, 1024);
    b.clear();
    b.setSample (0, 0, 0.4f);
    panel.process (b);
    EXPECT_FLOAT_EQ (b.getSample (0, 0), std::tanh (0.2f));
    EXPECT_EQ (panel.spectrumAnalyzer.getAnalysisCount(), 1);

    panel.bypassButton.setToggleState (true, juce::sendNotificationSync);
    b.setSample (0, 0, 0.4f);
    panel.process (b);
    EXPECT_FLOAT_EQ (b.getSample (0, 0), 0.4f);
}
