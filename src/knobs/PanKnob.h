#pragma once

#include "knobs/DragValueKnob.h"

// The knob's automate dialog fills the process-wide panRamp declared with the ramp playback.
#include "controls/RampPlayback.h"

#include <functional>

/** The pan knob "PAN": the output's position from -1 (left) to +1 (right), and the output's
    stereo width as a second value reported by its XY pad. Its menu, XY pad window and auto-pan
    oscillator are later additions; until then it is dragged, turned and double-clicked only. */
class PanKnob : public DragValueKnob,
                public juce::Timer
{
public:
    PanKnob();
    ~PanKnob() override;

    /** Fired with the pan after the user's changes. */
    std::function<void (float)> onPanChange;

    /** Fired with a width (0..1.5) from the XY pad and 0 from the menu's mono entry. */
    std::function<void (float)> onWidthChange;

    /** Stores the pan clamped to -1..1 and repaints; fires nothing. */
    void setPan (float newPan);
    float getPan() const noexcept { return pan; }

    float width = 1.0f;
    juce::Point<float> xyPosition { 0.5f, 0.5f };

    void mouseEnter (const juce::MouseEvent& e) override;
    void mouseExit (const juce::MouseEvent& e) override;
    void mouseDown (const juce::MouseEvent& e) override;
    void paint (juce::Graphics& g) override;
    void timerCallback() override;

private:
    float valueToMove() const noexcept override { return pan; }
    void changeByUser (float newPan) override;

    float pan = 0.0f;
    bool isHovered = false;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (PanKnob)
};
