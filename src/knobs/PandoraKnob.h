#pragma once

#include "knobs/KnobFace.h"

#include <functional>

/** The Pandora knob, 0..100 shown in steps of 10. The main window builds it but never shows
    it, so its value stays 0; the ToneMax callback reads it. */
class PandoraKnob : public juce::Component,
                   public juce::Timer
{
public:
    PandoraKnob();
    ~PandoraKnob() override;

    std::function<void (float)> onValueChange;
    std::function<void()> onRightClick;

    /** Asked by the face whether the engine is on; empty counts as off. */
    std::function<bool()> isActive;

    /** Stores the value clamped to 0..100 and its nearest multiple of 10; fires nothing. */
    void setValue (float newValue);

    /** The value the knob shows and reports: a multiple of 10. */
    float getValue() const noexcept { return steppedValue; }

    void mouseDown (const juce::MouseEvent& e) override;
    void mouseDrag (const juce::MouseEvent& e) override;
    void mouseUp (const juce::MouseEvent& e) override;
    void mouseDoubleClick (const juce::MouseEvent& e) override;
    void mouseWheelMove (const juce::MouseEvent& e, const juce::MouseWheelDetails& wheel) override;
    void paint (juce::Graphics& g) override;
    void timerCallback() override;

private:
    void changeByUser (float newValue);

    float value = 0.0f;
    float steppedValue = 0.0f;
    knobface::Drag drag;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (PandoraKnob)
};
