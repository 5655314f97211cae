#pragma once

#include "knobs/KnobFace.h"

#include <atomic>
#include <functional>

/** The STUTTER knob: a value 0..100 whose division of the beat the value label shows at the
    current tempo. The main window builds it and keeps its tempo up to date but never shows it. */
class StutterKnob : public juce::Component,
                    public juce::Timer
{
public:
    StutterKnob();
    ~StutterKnob() override;

    std::function<void (float)> onValueChange;
    std::function<void()> onRightClick;

    juce::Slider slider;
    juce::Label titleLabel, valueLabel;

    void updateTitle();

    /** Name and length in beats of the division the value selects. */
    static juce::String divisionName (float value);
    static double divisionBeats (float value);

    // Written by the prepare step and the tempo setter.
    std::atomic<float> tempoBpm { 120.0f };

    /** Stutter mode 0..5, written by the stutter menu's results. */
    int stutterMode = 0;

    void mouseDown (const juce::MouseEvent& e) override;
    void paint (juce::Graphics& g) override;
    void resized() override;
    void timerCallback() override;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (StutterKnob)
};
