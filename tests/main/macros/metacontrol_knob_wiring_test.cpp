#include <gtest/gtest.h>

#include "MainComponentMacroAccess.h"

// The main window's MetaControl knob: the main timer writes the randomiser's energy and coupling
// into it, and its own menu acts on the face alone.

TEST (MetaControlKnobWiring, MainTickFeedsTheFaceAndTheKnobMenuStaysOnTheFace)
{
    MainComponent mc;
    MainComponentMacroAccess a (mc);
    auto& r = a.randomiser();
    auto& knob = a.metaControlKnob();
    knob.stopTimer();   // the test ticks it

    r.metaEnergy = 100.0f;
    r.metaCoupling = 55.9f;
    a.tick();
    const float written = r.metaEnergy;
    EXPECT_EQ (knob.energy, written);

    // The knob's own tick decays what the owner wrote and latches the overload from it.
    knob.timerCallback();
    EXPECT_FLOAT_EQ (knob.energy, written * 0.98f);
    EXPECT_TRUE (knob.overloadLatched);
    knob.readoutIndex = 1;
    EXPECT_EQ (knob.readoutText(), "COUPLED: 55%");

    // A display mode and an energy reset from the knob's menu leave the randomiser alone; the
    // next main tick writes its energy back.
    knob.handleMenuResult (MetaControlKnob::firstModeId + 4);
    knob.handleMenuResult (MetaControlKnob::resetEnergyId);
    EXPECT_EQ (knob.mode, 4);
    EXPECT_EQ (knob.energy, 0.0f);
    EXPECT_FALSE (knob.overloadLatched);
    EXPECT_EQ (r.metaControlMode, 0);
    EXPECT_EQ (r.metaEnergy, written);

    a.tick();
    EXPECT_FLOAT_EQ (r.metaEnergy, written * 0.98f);
    EXPECT_EQ (knob.energy, r.metaEnergy);
    EXPECT_EQ (r.metaControlMode, 0);
}
