#include <gtest/gtest.h>

#include "effects/timepro/HeightAndWeight.h"
#include "support/MessagePump.h"

#include <vector>

namespace
{
    using R = juce::Rectangle<int>;
    using P = HeightAndWeightParameters;

    /** A panel at its usual size whose "hovered" knob is whichever the test names. */
    struct HoverPanel
    {
        HoverPanel()
        {
            panel.setSize (600, 161);
            panel.isHovered = [this] (const juce::Component& c) { return &c == pointed; };
        }

        void point (juce::Component* c)
        {
            pointed = c;
            panel.updateHud();
            panel.updateHoverLabel();
        }

        MagentaHeadsUpDisplay hud;
        HeightAndWeight panel { &hud };
        juce::Component* pointed = nullptr;
    };
}

TEST (TimeProPanel, LayoutOfTheWorkedExampleAndEveryModesKnobRow)
{
    HeightAndWeight panel (nullptr);
    panel.setSize (600, 161);
    auto& b = panel.modeButtons;

    struct Fixed { const char* what; juce::Component* c; R bounds; };
    const Fixed fixed[] = {
        { "label", &panel.hoverLabel, R (5, 5, 590, 18) },
        { "MICRO-PITCH", &b[0], R (6, 26, 145, 20) },  { "GRANULAR", &b[1], R (153, 26, 145, 20) },
        { "HALF-TIME", &b[2], R (300, 26, 145, 20) },  { "SYNC", &panel.syncButton, R (447, 26, 34, 20) },
        { "HUD", &panel.hudButton, R (483, 26, 28, 20) }, { "BYPASS", &panel.bypassButton, R (513, 26, 81, 20) },
        { "REPEAT", &b[3], R (6, 48, 145, 20) },       { "STRETCH", &b[6], R (447, 48, 145, 20) },
        { "TAPE", &b[7], R (6, 70, 116, 18) },         { "SPIN", &b[11], R (478, 70, 116, 18) },
        { "global MIX", &panel.mixKnob, R (491, 96, 42, 42) },
    };
    for (const auto& f : fixed)
        EXPECT_EQ (f.c->getBounds(), f.bounds) << f.what;

    // Each mode's knobs from x 15 in steps of 50 at y 96; its toggle beside the last knob.
    struct Row { int mode; std::vector<int> knobs; juce::Component* first; R firstBounds; juce::Component* second; R secondBounds; };
    const R trigger265 (265, 101, 55, 20), latch265 (265, 123, 55, 20);
    const Row rows[] = {
        { 0, { P::microDetune, P::microDelay, P::microWidth, P::microChar, P::microMix }, nullptr, {}, nullptr, {} },
        { 1, { P::grainSize, P::grainDensity, P::grainPitch, P::grainMotion, P::grainMix }, &panel.freezeButton, R (265, 106, 50, 22), nullptr, {} },
        { 2, { P::halfTime, P::halfSmooth, P::halfTrans, P::halfChar, P::halfMix }, &panel.tapeButton, R (265, 106, 50, 22), nullptr, {} },
        { 3, { P::repeatLength, P::repeatRate, P::repeatFade, P::repeatDecay, P::repeatMix }, &panel.triggerButton, trigger265, &panel.latchButton, latch265 },
        { 4, { P::gatePattern, P::gateRate, P::gateAttack, P::gateRelease, P::gateMix }, nullptr, {}, nullptr, {} },
        { 5, { P::reverseLength, P::reverseFade, P::reverseSpeed, P::reverseRepeats, P::reverseMix }, &panel.triggerButton, trigger265, &panel.latchButton, latch265 },
        { 6, { P::stretchFactor, P::stretchGrain, P::stretchOverlap, P::stretchSmooth, P::stretchMix }, &panel.triggerButton, trigger265, &panel.latchButton, latch265 },
        { 7, { P::halfTime, P::halfSmooth, P::halfMix }, &panel.triggerButton, R (165, 101, 55, 20), &panel.latchButton, R (165, 123, 55, 20) },
        { 8, { P::halfTime, P::halfSmooth, P::halfMix }, &panel.triggerButton, R (165, 101, 55, 20), &panel.latchButton, R (165, 123, 55, 20) },
        { 9, { P::repeatLength, P::repeatRate, P::repeatMix }, &panel.triggerButton, R (165, 101, 55, 20), &panel.latchButton, R (165, 123, 55, 20) },
        { 10, { P::repeatLength, P::repeatRate, P::repeatDecay, P::repeatMix }, &panel.triggerButton, R (215, 101, 55, 20), &panel.latchButton, R (215, 123, 55, 20) },
        { 11, { P::halfTime, P::halfSmooth, P::halfMix }, &panel.triggerButton, R (165, 101, 55, 20), &panel.latchButton, R (165, 123, 55, 20) },
    };

    for (const auto& row : rows)
    {
        SCOPED_TRACE (row.mode);
        panel.setMode (row.mode);

        int shown = 0;
        for (size_t i = 0; i + 1 < panel.knobs.size(); ++i)
            shown += panel.knobs[i].isVisible() ? 1 : 0;
        EXPECT_EQ (shown, (int) row.knobs.size() + 1);   // the mode's knobs and OUT
        EXPECT_EQ (panel.outputKnob.getBounds(), R (543, 96, 42, 42));

        for (size_t slot = 0; slot < row.knobs.size(); ++slot)
        {
            auto& knob = panel.knobs[(size_t) row.knobs[slot]];
            EXPECT_TRUE (knob.isVisible()) << slot;
            EXPECT_EQ (knob.getBounds(), R (15 + 50 * (int) slot, 96, 42, 42)) << slot;
        }

        for (auto* toggle : { &panel.freezeButton, &panel.tapeButton, &panel.triggerButton, &panel.latchButton })
            EXPECT_EQ (toggle->isVisible(), toggle == row.first || toggle == row.second) << toggle->getButtonText();
        if (row.first != nullptr)
        {
            EXPECT_EQ (row.first->getBounds(), row.firstBounds);
        }
        if (row.second != nullptr)
        {
            EXPECT_EQ (row.second->getBounds(), row.secondBounds);
        }
    }

    EXPECT_EQ (panel.latchButton.getBottom(), 143);
}

TEST (TimeProPanel, HoverReadoutAndHeadsUpFeedFollowOnlyVisibleKnobs)
{
    HoverPanel h;
    auto& panel = h.panel;

    struct Case
    {
        const char* what;
        int mode;
        juce::Component* knob;
        const char* label;       // empty: the label keeps the mode's description
        const char* hudName;
        const char* hudValue;
        const char* hudDescription;
    };
    const Case cases[] = {
        { "Granular SIZE", 1, &panel.grainSizeKnob, "SIZE: 40.0 ms", "GRANULAR - SIZE", "40.0 ms", "Grain size" },
        { "Micro-Pitch DETUNE", 0, &panel.microDetuneKnob, "DETUNE: 8.0 ct", "MICRO-PITCH - DETUNE", "8.0 ct", "Pitch deviation in cents" },
        { "Slicer LENGTH: no mode name, blank unit kept", 9, &panel.repeatLengthKnob, "LENGTH: 4.0 ", " - LENGTH", "4.0 ", "Loop length (musical division)" },
        { "Stutter Ramp OUT", 10, &panel.outputKnob, "OUT: 0.0 dB", " - OUT", "0.0 dB", "Output level" },
        { "hidden knob under the pointer", 0, &panel.grainSizeKnob, "", "MICRO-PITCH", "", "Hover a knob for details" },
        { "global MIX counts as nothing", 1, &panel.mixKnob, "", "GRANULAR", "", "Hover a knob for details" },
        { "Backspin idle", 11, nullptr, "", "", "", "Hover a knob for details" },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.what);
        panel.setMode (c.mode);
        const auto description = panel.hoverLabel.getText();
        h.point (c.knob);

        const juce::String label (c.label);
        EXPECT_EQ (panel.hoverLabel.getText(), label.isEmpty() ? description : label);
        EXPECT_EQ (h.hud.title, "TIMEPRO");
        EXPECT_EQ (h.hud.knobName, c.hudName);
        EXPECT_EQ (h.hud.valueText, c.hudValue);
        EXPECT_EQ (h.hud.description, c.hudDescription);
    }

    // The label keeps the last readout once the pointer leaves.
    panel.setMode (1);
    h.point (&panel.grainSizeKnob);
    h.point (nullptr);
    EXPECT_EQ (panel.hoverLabel.getText(), "SIZE: 40.0 ms");
}

TEST (TimeProPanel, DoubleClickGoesToTheDefaultAndRevertToTheNeutralValue)
{
    HeightAndWeight panel (nullptr);
    struct Case { P::Knob knob; double defaultValue, neutral; };
    const Case cases[] = { { P::microDetune, 8, 5 }, { P::microDelay, 15, 10 }, { P::grainSize, 40, 50 },
                           { P::halfTrans, 70, 50 }, { P::halfChar, 20, 30 }, { P::halfMix, 0, 0 } };

    for (const auto& c : cases)
    {
        auto& knob = panel.knobs[(size_t) c.knob];
        EXPECT_TRUE (knob.isDoubleClickReturnEnabled()) << knob.getName();
        EXPECT_EQ (knob.getDoubleClickReturnValue(), c.defaultValue) << knob.getName();
        EXPECT_EQ (knob.getValue(), c.defaultValue) << knob.getName();
        EXPECT_EQ (panel.parameters.knob (c.knob), (float) c.defaultValue) << knob.getName();
    }

    panel.resetToNeutral();
    EXPECT_TRUE (test_support::runPendingMessages());
    for (const auto& c : cases)
    {
        EXPECT_EQ (panel.knobs[(size_t) c.knob].getValue(), c.neutral) << panel.knobs[(size_t) c.knob].getName();
        EXPECT_EQ (panel.parameters.knob (c.knob), (float) c.neutral);
    }

    // Narrow ranges step in hundredths, so divisions may be fractional; ranges over 100 in ones.
    panel.repeatLengthKnob.setValue (4.37);
    EXPECT_DOUBLE_EQ (panel.repeatLengthKnob.getValue(), 4.37);
    EXPECT_FLOAT_EQ (panel.parameters.knob (P::repeatLength), 4.37f);
    panel.knobs[P::reverseSpeed].setValue (57.6);
    EXPECT_EQ (panel.knobs[P::reverseSpeed].getValue(), 58.0);
}

TEST (TimeProPanel, TriggerIsARequestAndRevertTurnsItOffKeepingModeAndToggles)
{
    HeightAndWeight panel (nullptr);
    panel.setMode (HeightAndWeight::reverseMode);
    for (auto* b : { &panel.syncButton, &panel.tapeButton, &panel.freezeButton, &panel.bypassButton, &panel.latchButton })
        b->setToggleState (true, juce::sendNotificationSync);

    // The first click after construction turns it on and asks the processor for a restart.
    panel.triggerButton.onClick();
    EXPECT_TRUE (panel.triggered.load());
    EXPECT_TRUE (panel.triggerButton.getToggleState());
    EXPECT_EQ (panel.parameters.triggerRequests.load(), 1u);
    panel.triggerButton.onClick();
    EXPECT_FALSE (panel.triggered.load());
    EXPECT_EQ (panel.parameters.triggerRequests.load(), 1u);
    panel.triggerButton.onClick();

    panel.resetToNeutral();
    EXPECT_FALSE (panel.triggered.load());
    EXPECT_FALSE (panel.triggerButton.getToggleState());
    EXPECT_FALSE (panel.latched);
    EXPECT_FALSE (panel.latchButton.getToggleState());
    EXPECT_EQ (panel.getMode(), HeightAndWeight::reverseMode);
    EXPECT_TRUE (panel.tempoSyncEnabled.load());
    EXPECT_TRUE (panel.frozen.load());
    EXPECT_TRUE (panel.tapeButton.getToggleState());
    EXPECT_TRUE (panel.bypassed.load());
}

TEST (TimeProPanel, HudButtonShowsTheDisplayAgainAfterItsOwnCloseButton)
{
    MagentaHeadsUpDisplay hud;
    HeightAndWeight panel (&hud);
    hud.setVisible (true);

    auto* close = dynamic_cast<juce::Button*> (hud.getChildComponent (0));
    ASSERT_NE (close, nullptr);
    close->onClick();
    EXPECT_FALSE (hud.isVisible());
    EXPECT_TRUE (hud.closedByUser);

    panel.hudButton.onClick();
    EXPECT_TRUE (hud.isVisible());
    EXPECT_FALSE (hud.closedByUser);
    panel.hudButton.onClick();
    EXPECT_FALSE (hud.isVisible());
    panel.hudButton.onClick();
    EXPECT_TRUE (hud.isVisible());
}

TEST (TimeProPanel, PanelProcessesThroughItsProcessorAndDeadControlsChangeNothing)
{
    // The panel's knobs, mode and FREEZE reach the sound; TAPE, LATCH, TRANS and OLAP do not.
    const auto render = [] (bool touchDeadControls)
    {
        HeightAndWeight panel (nullptr);
        panel.prepare (48000.0);
        panel.setMode (HeightAndWeight::microPitchMode);
        panel.mixKnob.setValue (100.0);
        panel.knobs[P::microMix].setValue (60.0);
        if (touchDeadControls)
        {
            panel.tapeButton.setToggleState (false, juce::sendNotificationSync);
            panel.latchButton.setToggleState (true, juce::sendNotificationSync);
            panel.halfTransKnob.setValue (3.0);
            panel.stretchOverlapKnob.setValue (88.0);
        }

        juce::AudioBuffer<float> buffer (2, 2048);
        for (int i = 0; i < 2048; ++i)
        {
            buffer.setSample (0, i, 0.5f * std::sin (0.03f * (float) i));
            buffer.setSample (1, i, 0.4f * std::cos (0.05f * (float) i));
        }
        panel.process (buffer.getWritePointer (0), buffer.getWritePointer (1), 2048);
        return buffer;
    };

    const auto plain = render (false), touched = render (true);
    for (int ch = 0; ch < 2; ++ch)
        for (int i = 0; i < 2048; ++i)
            ASSERT_EQ (plain.getSample (ch, i), touched.getSample (ch, i)) << ch << " " << i;

    // Micro-Pitch really ran: the channels were blended with their delayed crossed copies.
    EXPECT_NE (plain.getSample (0, 1500), std::tanh (0.5f * std::sin (0.03f * 1500.0f)));
}
