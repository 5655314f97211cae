#include <gtest/gtest.h>

#include "main/MainComponentEnginesAccess.h"

// The main window's hooks into the two generative engines and the recording panel: the
// ToneMax menu switches, the ToneMax value rules, CAPTURE and Escape.

namespace
{
    struct Window
    {
        Window() : a (mc)
        {
            mc.shutdownAudio();   // the test pulls the blocks itself
            mc.prepareToPlay (256, 48000.0);
        }

        MainComponent mc;
        MainComponentEnginesAccess a;
    };
}

TEST (MainComponentEngines, KorruptLevelFollowsTheKnobsOnlyWhileSwitchedOn)
{
    Window w;
    auto& a = w.a;
    auto& k = a.korrupt();
    a.korruptKnob().setValue (50.0f);

    // Off: the knob changes nothing.
    a.toneMax (0.0f);
    EXPECT_EQ (k.level.load(), 0);
    EXPECT_EQ (k.amount.load(), 0.0f);

    a.toneMaxMenu (tonemaxengines::korruptItemId);
    ASSERT_TRUE (k.active.load());

    // (Korrupt knob, expected level, visits of level 5 afterwards): a visit counts when the
    // level changes to one above 0, not when it stays.
    const std::tuple<float, int, int> moves[] = { { 50.0f, 5, 1 }, { 50.0f, 5, 1 }, { 0.0f, 0, 1 }, { 50.0f, 5, 2 } };
    for (const auto& [knob, level, visits] : moves)
    {
        a.korruptKnob().setValue (knob);
        a.toneMax (0.0f);
        EXPECT_EQ (k.level.load(), level) << knob;
        EXPECT_FLOAT_EQ (k.amount.load(), (float) level / 10.0f) << knob;
        EXPECT_EQ (k.levelVisits[5].load(), visits) << knob;
        a.block();
    }
    EXPECT_EQ (k.levelVisits[0].load(), 0);

    // The character values are those of level 5 on its second visit.
    KorruptEngine reference;
    reference.levelVisits[5] = 2;
    reference.reseedLevel (5);
    EXPECT_EQ (k.getCharacter(), reference.getCharacter());

    // Off again: visits go at once, amount and level one block later; the knob is ignored.
    a.toneMaxMenu (tonemaxengines::korruptItemId);
    EXPECT_FALSE (k.active.load());
    EXPECT_EQ (k.levelVisits[5].load(), 0);
    a.block();
    EXPECT_EQ (k.level.load(), 0);
    EXPECT_EQ (k.amount.load(), 0.0f);
    a.toneMax (100.0f);
    EXPECT_EQ (k.level.load(), 0);
}

TEST (MainComponentEngines, MashAmountFollowsTheKnobsAndSwitchingOffClearsItsSlots)
{
    Window w;
    auto& a = w.a;
    auto& m = a.mash();
    a.mashKnob().setValue (60.0f);
    a.korruptKnob().setValue (100.0f);

    a.toneMax (100.0f);
    EXPECT_EQ (m.amount.load(), 0.0f);

    a.toneMaxMenu (tonemaxengines::mashItemId);
    ASSERT_TRUE (m.enabled.load());
    a.toneMax (0.0f);
    EXPECT_FLOAT_EQ (m.amount.load(), 0.6f);
    a.toneMax (100.0f);
    EXPECT_FLOAT_EQ (m.amount.load(), 0.9f);

    // Slots playing when the engine goes off are gone by the next block; the amount stays.
    m.slots[0].active = m.slots[3].active = true;
    a.block();
    EXPECT_TRUE (m.slots[3].active);
    a.toneMaxMenu (tonemaxengines::mashItemId);
    EXPECT_FALSE (m.enabled.load());
    a.block();
    for (const auto& slot : m.slots)
        EXPECT_FALSE (slot.active);
    a.toneMax (0.0f);
    EXPECT_FLOAT_EQ (m.amount.load(), 0.9f);
}

TEST (MainComponentEngines, CaptureOpensThePanelAndEscapeClosesItOnlyWhileShown)
{
    Window w;
    auto& a = w.a;
    const juce::KeyPress escape (juce::KeyPress::escapeKey);
    const juce::KeyPress shiftEscape (juce::KeyPress::escapeKey, juce::ModifierKeys::shiftModifier, 0);

    EXPECT_FALSE (a.key (escape));   // hidden: Escape is left to others

    a.recordingWindow().silentTicks = 1;
    a.clickCapture();
    EXPECT_TRUE (a.recordingWindow().isVisible());
    EXPECT_TRUE (a.recordingWindowShown());
    EXPECT_EQ (a.recordingWindow().silentTicks.load(), 0);
    EXPECT_EQ (a.captureButton().getButtonText(), "....");

    EXPECT_FALSE (a.key (shiftEscape));
    EXPECT_FALSE (a.key (juce::KeyPress ('a')));
    EXPECT_TRUE (a.recordingWindow().isVisible());

    EXPECT_TRUE (a.key (escape));
    EXPECT_FALSE (a.recordingWindow().isVisible());
    EXPECT_FALSE (a.recordingWindowShown());
    EXPECT_EQ (a.captureButton().getButtonText(), "CAPTURE");

    // CAPTURE closes it as well.
    a.clickCapture();
    a.clickCapture();
    EXPECT_FALSE (a.recordingWindow().isVisible());
    EXPECT_EQ (a.captureButton().getButtonText(), "CAPTURE");
}
