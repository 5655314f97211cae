#pragma once

#include "knobs/KnobFace.h"

#include <functional>

/** The MetaControl macro knob: its value (0..100) drives the randomiser's MetaControl step, and
    its face shows the energy and coupling that the owner writes on every tick. It answers a right
    click with its own menu, never with onRightClick; that menu is a later addition, so for now a
    right click does nothing. */
class MetaControlKnob : public juce::Component,
                       public juce::Timer
{
public:
    MetaControlKnob();
    ~MetaControlKnob() override;

    /** Fired with the value (0..100) after every change made with notification. */
    std::function<void (float)> onValueChange;

    /** Never fired: the knob's right button belongs to its own menu. */
    std::function<void()> onRightClick;

    /** Holds the value; the owner reads and writes it directly. */
    juce::Slider slider;
    juce::Label titleLabel, valueLabel;

    /** Writes "MetaControl (v%)" into the title and the value into the value label; no callback. */
    void updateTitle();

    // Readouts the owner writes on every main-timer tick (0..100).
    float energy = 0.0f;
    float coupling = 50.0f;
    int mode = 0;

    void mouseDown (const juce::MouseEvent& e) override;
    void mouseDrag (const juce::MouseEvent& e) override;
    void mouseUp (const juce::MouseEvent& e) override;
    void mouseWheelMove (const juce::MouseEvent& e, const juce::MouseWheelDetails& wheel) override;
    void paint (juce::Graphics& g) override;
    void resized() override;
    void timerCallback() override;

private:
    knobface::Drag drag;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (MetaControlKnob)
};
