#pragma once

#include "knobs/KnobFace.h"

#include <functional>

/** The ToneMax macro knob: its value (0..100) couples the EQ group, the engines and the
    panels. Its animated face is a later addition; it draws a plain dial until then. */
class OblivionKnob : public juce::Component,
                    public juce::Timer
{
public:
    OblivionKnob();
    ~OblivionKnob() override;

    /** Fired with the value (0..100) after every change made with notification. */
    std::function<void (float)> onValueChange;

    /** Fired by a right-button press; the knob starts no drag then. */
    std::function<void()> onRightClick;

    /** Holds the value; the owner reads and writes it directly. */
    juce::Slider slider;
    juce::Label titleLabel, valueLabel;

    /** Writes "ToneMax (v%)" into the title and the value into the value label; no callback. */
    void updateTitle();

    void mouseDown (const juce::MouseEvent& e) override;
    void mouseDrag (const juce::MouseEvent& e) override;
    void mouseUp (const juce::MouseEvent& e) override;
    void mouseWheelMove (const juce::MouseEvent& e, const juce::MouseWheelDetails& wheel) override;
    void paint (juce::Graphics& g) override;
    void resized() override;
    void timerCallback() override;

private:
    knobface::Drag drag;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (OblivionKnob)
};
