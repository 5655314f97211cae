#pragma once

#include "knobs/MacroSliderKnob.h"

/** The SpatialMax macro knob: its value (0..100) drives the randomiser's space group, and its
    menu switches an overdrive flag that it reports to its owner. It draws a plain dial until its
    animated face is added. */
class SpatialMaxKnob : public MacroSliderKnob
{
public:
    SpatialMaxKnob();

    /** Fired with the overdrive flag when the knob's menu toggles it. */
    std::function<void (bool)> onOverdriveChange;

    /** The overdrive flag that the owner's menu toggles; reported through onOverdriveChange. */
    bool isOverdrive() const noexcept { return overdrive; }
    void setOverdrive (bool shouldBeOn);

    void resized() override;

private:
    bool overdrive = false;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (SpatialMaxKnob)
};
