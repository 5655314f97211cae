#pragma once

#include "knobs/MacroSliderKnob.h"

/** The MetaControl macro knob: its value (0..100) drives the randomiser's MetaControl step, and
    its face shows the energy and coupling that the owner writes on every tick. It answers a right
    click with its own menu, never with onRightClick; that menu is a later addition, so for now a
    right click does nothing. */
class MetaControlKnob : public MacroSliderKnob
{
public:
    MetaControlKnob();

    // Readouts the owner writes on every main-timer tick (0..100).
    float energy = 0.0f;
    float coupling = 50.0f;
    int mode = 0;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (MetaControlKnob)
};
