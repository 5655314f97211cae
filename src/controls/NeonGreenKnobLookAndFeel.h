#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

/** Dark knobs with a neon-green bezel and a glow that grows with the value; set on single
    knobs (the mix knobs) over a panel's silver look. Stateless. */
class NeonGreenKnobLookAndFeel : public juce::LookAndFeel_V4
{
public:
    NeonGreenKnobLookAndFeel() = default;

    void drawRotarySlider (juce::Graphics& g, int x, int y, int width, int height, float sliderPos,
                           float rotaryStartAngle, float rotaryEndAngle, juce::Slider& slider) override;
    juce::Label* createSliderTextBox (juce::Slider& slider) override;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (NeonGreenKnobLookAndFeel)
};
