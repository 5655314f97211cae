#pragma once

#include "knobs/MacroSliderKnob.h"

/** The MathControl macro knob: its value (0..100) is the circuit-bend amount and its mode
    (0..7) the circuit-bend algorithm, shown before the value. It draws a plain dial until its
    animated face is added. */
class MathControlKnob : public MacroSliderKnob
{
public:
    MathControlKnob();

    /** The circuit-bend algorithm 0..7; "BENT" (7) at construction. */
    void setMode (int newMode);
    int getMode() const noexcept { return mode; }

    static juce::String getModeName (int mode);

protected:
    juce::String valueText (int v) const override;

private:
    int mode = 7;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (MathControlKnob)
};
