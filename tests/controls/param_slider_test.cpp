#include <gtest/gtest.h>

#include "controls/ParamSlider.h"
#include "support/MessagePump.h"

#include <atomic>

TEST (ParamSlider, MirrorFollowsEveryKindOfWrite)
{
    ParamSlider slider;
    slider.setRange (0.0, 100.0);

    slider.setValue (42.0);
    EXPECT_FLOAT_EQ (slider.getAtomicValue(), 42.0f);

    slider.setValueSilently (7.5);
    EXPECT_FLOAT_EQ (slider.getAtomicValue(), 7.5f);

    // A write without notification is caught by the value listener on the next message-loop pass.
    slider.setValue (63.0, juce::dontSendNotification);
    EXPECT_TRUE (test_support::runPendingMessages());
    EXPECT_FLOAT_EQ (slider.getAtomicValue(), 63.0f);

    // Out-of-range writes are clamped before they reach the mirror.
    slider.setValue (1000.0);
    EXPECT_FLOAT_EQ (slider.getAtomicValue(), 100.0f);
}

TEST (ParamToggle, MirrorFollowsClicksAndSetter)
{
    ParamToggle toggle ("BYPASS");
    toggle.setToggleStateAndMirror (true, juce::dontSendNotification);
    EXPECT_TRUE (toggle.getAtomicState());

    toggle.triggerClick();
    EXPECT_TRUE (test_support::runPendingMessages());
    EXPECT_FALSE (toggle.getToggleState());
    EXPECT_FALSE (toggle.getAtomicState());
}

TEST (ParamToggle, LinkedTargetFollowsEveryStateChange)
{
    ParamToggle toggle ("MONO");
    std::atomic<bool> target { true };

    toggle.linkMirror (&target);
    EXPECT_FALSE (target.load());   // linking hands over the current state at once

    toggle.setToggleStateAndMirror (true, juce::dontSendNotification);
    EXPECT_TRUE (target.load());

    // A plain silent write, which no click callback sees.
    toggle.setToggleState (false, juce::dontSendNotification);
    EXPECT_FALSE (target.load());

    toggle.setToggleState (true, juce::sendNotificationSync);
    EXPECT_TRUE (target.load());

    toggle.linkMirror (nullptr);
    toggle.setToggleState (false, juce::sendNotificationSync);
    EXPECT_TRUE (target.load());
    EXPECT_FALSE (toggle.getAtomicState());
}
