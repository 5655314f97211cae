#pragma once

#include "knobs/DragValueKnob.h"

#include <functional>

/** The pitch knob: an offset in octaves within plus or minus rangeSemitones / 12, and a length
    mode (varispeed or preserved length). Its range menu is a later addition. */
class PitchKnob : public DragValueKnob
{
public:
    PitchKnob();
    ~PitchKnob() override;

    std::function<void (float)> onValueChange;
    std::function<void (bool)> onModeChange;
    std::function<void()> onRelease;

    /** Stores the value clamped into the range and repaints; fires nothing. */
    void setValue (float octaves);
    float getValue() const noexcept { return value; }

    /** Stores the range (12, 24 or 48 semitones) and clamps the value into it; fires nothing. */
    void setRange (int semitones);
    int getRangeSemitones() const noexcept { return rangeSemitones; }

    /** Stores the length mode, repaints and fires onModeChange. */
    void setPreserveLength (bool shouldPreserve);
    bool getPreserveLength() const noexcept { return preserveLength; }

    void mouseEnter (const juce::MouseEvent& e) override;
    void mouseExit (const juce::MouseEvent& e) override;
    void mouseDown (const juce::MouseEvent& e) override;
    void mouseUp (const juce::MouseEvent& e) override;
    void paint (juce::Graphics& g) override;

private:
    float limit() const noexcept { return (float) rangeSemitones / 12.0f; }
    float valueToMove() const noexcept override { return value; }
    void changeByUser (float octaves) override;

    float value = 0.0f;
    bool isHovered = false;
    bool preserveLength = false;
    int rangeSemitones = 48;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (PitchKnob)
};
