#pragma once

#include "knobs/DragValueKnob.h"

#include <functional>

/** The output level knob "VOL", 0..200 with 100 as unity gain. It reports the user's changes
    through onValueChange and does no audio work itself. */
class VolumeKnob : public DragValueKnob,
                   public juce::Timer
{
public:
    VolumeKnob();
    ~VolumeKnob() override;

    /** Fired with the value (0..200) after a drag, a wheel turn or a double-click. */
    std::function<void (float)> onValueChange;

    /** Stores the value clamped to 0..200 and repaints; fires nothing. */
    void setValue (float newValue);
    float getValue() const noexcept { return value; }

    void mouseEnter (const juce::MouseEvent& e) override;
    void mouseExit (const juce::MouseEvent& e) override;
    void mouseDown (const juce::MouseEvent& e) override;
    void paint (juce::Graphics& g) override;
    void timerCallback() override;

private:
    float valueToMove() const noexcept override { return value; }
    void changeByUser (float newValue) override;

    float value = 100.0f;
    bool isHovered = false;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (VolumeKnob)
};
