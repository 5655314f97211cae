#pragma once

#include "knobs/KnobFace.h"

#include <functional>

/** The MathControl macro knob: its value (0..100) is the circuit-bend amount and its mode
    (0..7) the circuit-bend algorithm. It draws a plain dial until its animated face is added. */
class MathControlKnob : public juce::Component,
                       public juce::Timer
{
public:
    MathControlKnob();
    ~MathControlKnob() override;

    /** Fired with the value (0..100) after every change made with notification. */
    std::function<void (float)> onValueChange;

    /** Fired by a right-button press; the knob starts no drag then. */
    std::function<void()> onRightClick;

    /** Holds the value; the owner reads and writes it directly. */
    juce::Slider slider;
    juce::Label titleLabel, valueLabel;

    /** Writes "MathControl (v%)" into the title and the value into the value label; no callback. */
    void updateTitle();

    /** The circuit-bend algorithm 0..7; "BENT" (7) at construction. */
    void setMode (int newMode);
    int getMode() const noexcept { return mode; }

    static juce::String getModeName (int mode);

    void mouseDown (const juce::MouseEvent& e) override;
    void mouseDrag (const juce::MouseEvent& e) override;
    void mouseUp (const juce::MouseEvent& e) override;
    void mouseWheelMove (const juce::MouseEvent& e, const juce::MouseWheelDetails& wheel) override;
    void paint (juce::Graphics& g) override;
    void resized() override;
    void timerCallback() override;

private:
    knobface::Drag drag;
    int mode = 7;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (MathControlKnob)
};
