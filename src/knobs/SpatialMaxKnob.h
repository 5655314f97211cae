#pragma once

#include "knobs/KnobFace.h"

#include <functional>

/** The SpatialMax macro knob: its value (0..100) drives the randomiser's space group, and its
    menu switches an overdrive flag that it reports to its owner. It draws a plain dial until its
    animated face is added. */
class SpatialMaxKnob : public juce::Component,
                      public juce::Timer
{
public:
    SpatialMaxKnob();
    ~SpatialMaxKnob() override;

    /** Fired with the value (0..100) after every change made with notification. */
    std::function<void (float)> onValueChange;

    /** Fired by a right-button press; the knob starts no drag then. */
    std::function<void()> onRightClick;
    /** Fired with the overdrive flag when the knob's menu toggles it. */
    std::function<void (bool)> onOverdriveChange;

    /** Holds the value; the owner reads and writes it directly. */
    juce::Slider slider;
    juce::Label titleLabel, valueLabel;

    /** Writes "SpatialMax (v%)" into the title and the value into the value label; no callback. */
    void updateTitle();

    /** The overdrive flag that the owner's menu toggles; reported through onOverdriveChange. */
    bool isOverdrive() const noexcept { return overdrive; }
    void setOverdrive (bool shouldBeOn);

    void mouseDown (const juce::MouseEvent& e) override;
    void mouseDrag (const juce::MouseEvent& e) override;
    void mouseUp (const juce::MouseEvent& e) override;
    void mouseWheelMove (const juce::MouseEvent& e, const juce::MouseWheelDetails& wheel) override;
    void paint (juce::Graphics& g) override;
    void resized() override;
    void timerCallback() override;

private:
    knobface::Drag drag;
    bool overdrive = false;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (SpatialMaxKnob)
};
