#pragma once

#include "knobs/MacroSliderKnob.h"

/** The ToneMax macro knob: its value (0..100) couples the EQ group, the engines and the
    panels. Its animated face is a later addition; it draws a plain dial until then. */
class OblivionKnob : public MacroSliderKnob
{
public:
    OblivionKnob();

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (OblivionKnob)
};
