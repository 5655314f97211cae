#pragma once

#include "knobs/KnobFace.h"

#include <functional>

/** The output level knob "VOL", 0..200 with 100 as unity gain. It reports the user's changes
    through onValueChange and does no audio work itself. */
class VolumeKnob : public juce::Component,
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
    void mouseDrag (const juce::MouseEvent& e) override;
    void mouseUp (const juce::MouseEvent& e) override;
    void mouseDoubleClick (const juce::MouseEvent& e) override;
    void mouseWheelMove (const juce::MouseEvent& e, const juce::MouseWheelDetails& wheel) override;
    void paint (juce::Graphics& g) override;
    void timerCallback() override;

private:
    void changeByUser (float newValue);

    float value = 100.0f;
    knobface::Drag drag;
    bool isHovered = false;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (VolumeKnob)
};
