#pragma once

#include "knobs/KnobFace.h"

/** A knob over one float value that the user moves with vertical drags and the wheel and
    double-clicks back to its rest value. Subclasses keep the value, its limits and whom they
    tell; how the press starts (and which button may) stays theirs too. */
class DragValueKnob : public juce::Component
{
public:
    void mouseDrag (const juce::MouseEvent& e) override;
    void mouseUp (const juce::MouseEvent& e) override;
    void mouseDoubleClick (const juce::MouseEvent& e) override;
    void mouseWheelMove (const juce::MouseEvent& e, const juce::MouseWheelDetails& wheel) override;

protected:
    /** Value change for a pixel of drag and for a wheel step, and where a double-click puts it. */
    struct Feel
    {
        float perPixel, perWheelStep, restValue;
    };

    explicit DragValueKnob (Feel knobFeel) noexcept : feel (knobFeel) {}

    knobface::Drag drag;

private:
    /** The value that drags and wheel turns start from. */
    virtual float valueToMove() const noexcept = 0;

    /** Stores a value the user asked for and reports it to the owner. */
    virtual void changeByUser (float newValue) = 0;

    const Feel feel;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (DragValueKnob)
};
