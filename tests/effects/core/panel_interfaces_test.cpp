#include <gtest/gtest.h>

#include "effects/atomizer/Atomizer.h"
#include "effects/delayverb/DelayVerb.h"
#include "effects/timepro/HeightAndWeight.h"
#include "effects/stereoutility/StereoUtilityMax.h"
#include "support/MessagePump.h"

TEST (DelayVerbPanel, MixGettersTreatOffsetsAsFloorOrAddition)
{
    DelayVerb panel (nullptr);
    EXPECT_FALSE (panel.isActive());

    // A Korrupt delay-mix offset alone lifts the delay mix and makes the effect active.
    panel.korruptOffsets[3] = 25.0f;
    EXPECT_FLOAT_EQ (panel.getDelayLeftMix(), 25.0f);
    EXPECT_TRUE (panel.isActive());

    panel.delayLeftKnob.setValueSilently (40.0);
    EXPECT_FLOAT_EQ (panel.getDelayLeftMix(), 40.0f);
    panel.delayLeftKnob.setValueSilently (10.0);
    EXPECT_FLOAT_EQ (panel.getDelayLeftMix(), 25.0f);

    panel.reverbLeftKnob.setValueSilently (90.0);
    panel.korruptOffsets[2] = 20.0f;
    EXPECT_FLOAT_EQ (panel.getReverbLeftMix(), 100.0f);

    panel.bypassed = true;
    EXPECT_FALSE (panel.isActive());
}

TEST (DelayVerbPanel, SyncedDelayTime)
{
    DelayVerb panel (nullptr);

    struct Case { float bpm; double note, type; float ms; };
    const Case cases[] = { { 120.0f, 2, 0, 250.0f }, { 120.0f, 2, 1, 375.0f }, { 120.0f, 2, 2, 166.66667f },
                           { 0.0f, 5, 1, 250.0f }, { -10.0f, 0, 0, 250.0f }, { 20.0f, 5, 0, 12000.0f } };

    for (const auto& c : cases)
    {
        panel.bpm = c.bpm;
        panel.noteKnob.setValueSilently (c.note);
        panel.typeKnob.setValueSilently (c.type);
        EXPECT_NEAR (panel.getSyncedDelayMs(), c.ms, 0.01f) << c.bpm << " " << c.note << " " << c.type;
    }
}

TEST (TimeProPanel, ModesShowTheirSectionsAndResetGoesToNeutral)
{
    HeightAndWeight panel (nullptr);
    EXPECT_EQ (panel.getMode(), -1);
    EXPECT_TRUE (panel.mixKnob.isVisible());
    EXPECT_FALSE (panel.outputKnob.isVisible());

    panel.setMode (HeightAndWeight::halfTimeMode);
    EXPECT_TRUE (panel.halfTransKnob.isVisible());
    EXPECT_TRUE (panel.tapeButton.isVisible());
    EXPECT_FALSE (panel.triggerButton.isVisible());
    EXPECT_TRUE (panel.outputKnob.isVisible());

    panel.setMode (HeightAndWeight::slicerMode);
    EXPECT_FALSE (panel.halfTransKnob.isVisible());
    EXPECT_TRUE (panel.repeatLengthKnob.isVisible());
    EXPECT_FALSE (panel.repeatFadeKnob.isVisible());
    EXPECT_TRUE (panel.triggerButton.isVisible());
    EXPECT_EQ (panel.hoverLabel.getText(), "Slicer: Beat-synced slice rearrangement");

    panel.halfTransKnob.setValue (10.0);
    panel.triggered = true;
    panel.bypassed = true;
    panel.resetToNeutral();
    EXPECT_DOUBLE_EQ (panel.halfTransKnob.getValue(), 50.0);   // neutral, not the start value 70
    EXPECT_FALSE (panel.triggered.load());
    EXPECT_TRUE (panel.bypassed.load());
    EXPECT_EQ (panel.getMode(), HeightAndWeight::slicerMode);
}

TEST (CorePanels, NeutralResetActivityAndPrepare)
{
    StereoUtilityMax stereo (nullptr);
    stereo.widthKnob.setValue (10.0);
    stereo.leftMixKnob.setValueSilently (50.0);
    EXPECT_TRUE (stereo.isActive());
    stereo.modMixOffset = 80.0f;   // offsets never make the effect active on their own
    stereo.bypassButton.triggerClick();
    EXPECT_TRUE (test_support::runPendingMessages());
    stereo.resetToNeutral();
    EXPECT_DOUBLE_EQ (stereo.widthKnob.getValue(), 100.0);
    EXPECT_DOUBLE_EQ (stereo.leftMixKnob.getValue(), 0.0);
    EXPECT_TRUE (stereo.bypassed.load());

    Atomizer atomizer (nullptr);
    for (auto [rate, length] : { std::pair { 44100.0, 1906u }, std::pair { 48000.0, 1984u } })
    {
        atomizer.prepare (rate);
        EXPECT_EQ (atomizer.getDelayLineLength(), length);
    }
    EXPECT_FALSE (atomizer.isActive());
    atomizer.rightMixKnob.setValueSilently (0.02);
    EXPECT_TRUE (atomizer.isActive());
}

namespace
{
    /** The header the panels without a face of their own share: BYPASS and SYNC mirror their toggles into the panel's
        flags, HUD shows and hides the display, and the strip is laid out from both ends. */
    template <typename Panel, typename Display>
    void checkHeader (const char* name, std::atomic<bool> Panel::* sync, juce::Rectangle<int> hoverBounds)
    {
        SCOPED_TRACE (name);
        Display hud;
        hud.setVisible (false);
        Panel panel (&hud);
        panel.setSize (900, 200);

        EXPECT_EQ (panel.hoverLabel.getBounds(), hoverBounds);
        EXPECT_EQ (panel.syncButton.getBounds(), juce::Rectangle<int> (846, 4, 50, 22));
        EXPECT_EQ (panel.hudButton.getBounds(), juce::Rectangle<int> (801, 4, 45, 22));
        EXPECT_EQ (panel.bypassButton.getBounds(), juce::Rectangle<int> (736, 4, 65, 22));

        panel.bypassButton.setToggleState (true, juce::sendNotificationSync);
        EXPECT_TRUE (panel.bypassed.load());
        panel.syncButton.setToggleState (true, juce::sendNotificationSync);
        EXPECT_TRUE ((panel.*sync).load());
        panel.syncButton.setToggleState (false, juce::sendNotificationSync);
        EXPECT_FALSE ((panel.*sync).load());

        panel.hudButton.onClick();
        EXPECT_TRUE (hud.isVisible());
        EXPECT_FALSE (hud.closedByUser);
        panel.hudButton.onClick();
        EXPECT_FALSE (hud.isVisible());
        EXPECT_TRUE (hud.closedByUser);
    }
}

TEST (CorePanels, HeaderButtonsAndLayout)
{
    checkHeader<Atomizer, OrangeHeadsUpDisplay> ("atomizer", &Atomizer::sync, { 104, 4, 200, 22 });
    checkHeader<HeightAndWeight, MagentaHeadsUpDisplay> ("timepro", &HeightAndWeight::tempoSyncEnabled, { 84, 4, 240, 22 });
}

TEST (DelayVerbPanel, SyncSwapsTheTimeKnobForNoteAndType)
{
    DelayVerb panel (nullptr);
    EXPECT_TRUE (panel.timeKnob.isVisible());
    EXPECT_FALSE (panel.noteKnob.isVisible());

    panel.syncButton.setToggleState (true, juce::sendNotificationSync);
    EXPECT_FALSE (panel.timeKnob.isVisible());
    EXPECT_TRUE (panel.noteKnob.isVisible());
    EXPECT_TRUE (panel.typeKnob.isVisible());
}
