#pragma once

#include "knobs/DragValueKnob.h"

#include <functional>

/** An engine's amount knob, 0..100 shown and reported in steps of 10, with the engine's name
    under the dial ("[OFF]" after it while the engine is off). */
class EngineAmountKnob : public DragValueKnob,
                         public juce::Timer
{
public:
    ~EngineAmountKnob() override;

    std::function<void (float)> onValueChange;
    std::function<void()> onRightClick;

    /** Asked by the face whether the engine is on; empty counts as off. */
    std::function<bool()> isActive;

    /** Stores the value clamped to 0..100 and its nearest multiple of 10; fires nothing. */
    void setValue (float newValue);

    /** The value the knob shows and reports: a multiple of 10. */
    float getValue() const noexcept { return steppedValue; }

    void mouseDown (const juce::MouseEvent& e) override;
    void paint (juce::Graphics& g) override;
    void timerCallback() override;

protected:
    EngineAmountKnob (const juce::String& engineName, juce::Colour engineColour);

private:
    float valueToMove() const noexcept override { return value; }
    void changeByUser (float newValue) override;

    const juce::String name;
    const juce::Colour colour;
    float value = 0.0f;
    float steppedValue = 0.0f;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (EngineAmountKnob)
};
