#include <gtest/gtest.h>

#include "controls/RampPlayback.h"
#include "controls/RightClickSlider.h"
#include "controls/SliderRampRegistry.h"
#include "support/MessagePump.h"

namespace
{
    struct RampedKnob : public ::testing::Test
    {
        RampedKnob()
        {
            panel.addAndMakeVisible (knob);
            knob.setRange (0.0, 100.0);
            knob.setValue (20.0, juce::dontSendNotification);
            SliderRampRegistry::getInstance().setRamp (&knob, { 20.0, 80.0, 0.0, 10.0, true, "%" });
        }

        ~RampedKnob() override { clearAllRamps(); }

        juce::Component panel;
        RightClickSlider knob;
    };
}

TEST (RampValue, FollowsTheLineAndHoldsItsEnds)
{
    const struct { double t; double expected; } cases[] =
    {
        { -1.0, 20.0 }, { 0.0, 20.0 }, { 5.0, 50.0 }, { 10.0, 80.0 }, { 12.0, 80.0 },
    };

    for (const auto& c : cases)
    {
        const auto v = rampValueAt (20.0, 80.0, 0.0, 10.0, c.t);
        ASSERT_TRUE (v.has_value());
        EXPECT_DOUBLE_EQ (*v, c.expected) << "t = " << c.t;
    }

    EXPECT_FALSE (rampValueAt (20.0, 80.0, 3.0, 3.0, 3.0).has_value()) << "no span: no value at its only instant";
}

TEST_F (RampedKnob, MovesTheKnobAsPlayTimeAdvances)
{
    int callbacks = 0;
    knob.onValueChange = [&] { ++callbacks; };

    applySliderRamps (5.0);
    EXPECT_DOUBLE_EQ (knob.getValue(), 50.0);
    EXPECT_FLOAT_EQ (knob.getAtomicValue(), 50.0f);

    applySliderRamps (12.0);
    EXPECT_DOUBLE_EQ (knob.getValue(), 80.0);

    // The owner's callback runs later, as for any asynchronous change.
    EXPECT_TRUE (test_support::runPendingMessages());
    EXPECT_GT (callbacks, 0);

    // A difference below 1e-4 is not worth a set.
    knob.setValue (80.00005, juce::dontSendNotification);
    applySliderRamps (13.0);
    EXPECT_DOUBLE_EQ (knob.getValue(), 80.00005);

    // Playback going back (a loop or a stop) takes the knob back.
    applySliderRamps (2.5);
    EXPECT_DOUBLE_EQ (knob.getValue(), 35.0);
}

TEST_F (RampedKnob, StopsAtTheRangeLimitAndSkipsHiddenKnobsButNotHiddenPanels)
{
    SliderRampRegistry::getInstance().setRamp (&knob, { 50.0, 150.0, 0.0, 10.0, true, {} });
    applySliderRamps (9.0);
    EXPECT_DOUBLE_EQ (knob.getValue(), 100.0);

    panel.setVisible (false);
    applySliderRamps (1.0);
    EXPECT_DOUBLE_EQ (knob.getValue(), 60.0) << "the knob's own flag counts, not its panel's";

    knob.setVisible (false);
    applySliderRamps (2.0);
    EXPECT_DOUBLE_EQ (knob.getValue(), 60.0);
}

TEST_F (RampedKnob, ADestroyedKnobIsNeverReached)
{
    {
        RightClickSlider transient;
        panel.addAndMakeVisible (transient);
        transient.setRange (0.0, 1.0);
        SliderRampRegistry::getInstance().setRamp (&transient, { 0.0, 1.0, 0.0, 1.0, true, {} });
    }

    EXPECT_EQ (SliderRampRegistry::getInstance().size(), 1u);
    applySliderRamps (0.5);   // under ASan a stale entry would be a use-after-free here
    EXPECT_DOUBLE_EQ (knob.getValue(), 23.0);
}

TEST (PanRamp, MovesPanAndOutputGains)
{
    PanRamp ramp { -1.0, 1.0, 0.0, 4.0, true };

    const auto step = panRampStepAt (ramp, 3.0, -1.0);
    ASSERT_TRUE (step.has_value());
    EXPECT_DOUBLE_EQ (step->pan, 0.5);
    EXPECT_FLOAT_EQ (step->gainLeft, 0.5f);
    EXPECT_FLOAT_EQ (step->gainRight, 1.0f);

    const auto left = panGainsFor (-0.25);
    EXPECT_FLOAT_EQ (left.gainLeft, 1.0f);
    EXPECT_FLOAT_EQ (left.gainRight, 0.75f);

    EXPECT_FALSE (panRampStepAt (ramp, 3.0, 0.5005).has_value()) << "within 0.001 the knob stays";

    ramp.active = false;
    EXPECT_FALSE (panRampStepAt (ramp, 3.0, -1.0).has_value());
}

TEST (PanRamp, DialogRampClampsTargetAndEndTime)
{
    const auto ramp = makePanRamp (0.2, 150.0, 0.0);
    EXPECT_DOUBLE_EQ (ramp.startValue, 0.2);
    EXPECT_DOUBLE_EQ (ramp.targetValue, 1.0);
    EXPECT_DOUBLE_EQ (ramp.startTime, 0.0);
    EXPECT_DOUBLE_EQ (ramp.endTime, 0.1);
    EXPECT_TRUE (ramp.active);

    EXPECT_DOUBLE_EQ (makePanRamp (0.0, -40.0, 3.0).targetValue, -0.4);
}

TEST (ClearAllRamps, EmptiesTheRegistryAndStopsThePanRamp)
{
    RightClickSlider knob;
    SliderRampRegistry::getInstance().setRamp (&knob, { 0.0, 1.0, 0.0, 1.0, true, {} });
    panRamp = makePanRamp (0.0, 100.0, 4.0);

    clearAllRamps();
    EXPECT_TRUE (SliderRampRegistry::getInstance().isEmpty());
    EXPECT_FALSE (panRamp.active);
}
