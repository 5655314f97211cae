#pragma once

#include "knobs/KnobFace.h"

#include <functional>

/** The MasterPro macro knob: a stepped level 0..19 instead of a slider value. It draws a plain
    dial until its animated face is added. */
class MasterControlKnob : public juce::Component,
                          public juce::Timer
{
public:
    MasterControlKnob();
    ~MasterControlKnob() override;

    /** Fired with the stored level by setLevel. */
    std::function<void (int)> onLevelChange;

    /** Fired by a right-button press; the knob starts no drag then. */
    std::function<void()> onRightClick;

    juce::Label titleLabel, valueLabel;

    /** Stores the level clamped to 0..19, updates both labels, fires onLevelChange, repaints. */
    void setLevel (int newLevel);
    int getLevel() const noexcept { return level; }

    void mouseDown (const juce::MouseEvent& e) override;
    void mouseDrag (const juce::MouseEvent& e) override;
    void mouseUp (const juce::MouseEvent& e) override;
    void mouseWheelMove (const juce::MouseEvent& e, const juce::MouseWheelDetails& wheel) override;
    void paint (juce::Graphics& g) override;
    void resized() override;
    void timerCallback() override;

    static constexpr int maxLevel = 19;

private:
    void updateTitle();

    int level = 0;
    float lastY = 0.0f;
    bool dragging = false;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (MasterControlKnob)
};
