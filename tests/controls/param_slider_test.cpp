#include <gtest/gtest.h>

#include "controls/ParamSlider.h"
#include "support/MessagePump.h"

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
