#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

/** Where a rotary knob and its caption sit inside the area a slider gives its look-and-feel.
    The knob keeps to the top of the area; 18 px below it are left for the caption. */
struct KnobGeometry
{
    KnobGeometry (int x, int y, int width, int height, float proportion, float capRatio) noexcept;

    /** The point at the given angle (radians, screen y pointing down) and distance from the centre. */
    juce::Point<float> pointAt (float angle, float distance) const noexcept;

    /** The square an ellipse of the given radius around the centre is inscribed in. */
    juce::Rectangle<float> circle (float radius) const noexcept;

    /** False when the area is too short to hold a knob at all. */
    bool isDrawable() const noexcept { return diameter > 0.0f; }

    float diameter, centreX, centreY, bezelRadius, faceRadius, capRadius, angle;
    juce::Rectangle<float> captionArea;
};

/** Silver knobs with a blue pointer and a blinking centre lamp, plus the glossy text buttons of
    the panels that use it. Stateless, so one instance can serve any number of components. */
class SilverKnobLookAndFeel : public juce::LookAndFeel_V4
{
public:
    SilverKnobLookAndFeel() = default;

    void drawButtonBackground (juce::Graphics& g, juce::Button& button, const juce::Colour& backgroundColour,
                               bool shouldDrawButtonAsHighlighted, bool shouldDrawButtonAsDown) override;
    void drawButtonText (juce::Graphics& g, juce::TextButton& button,
                         bool shouldDrawButtonAsHighlighted, bool shouldDrawButtonAsDown) override;

    void drawRotarySlider (juce::Graphics& g, int x, int y, int width, int height, float sliderPos,
                           float rotaryStartAngle, float rotaryEndAngle, juce::Slider& slider) override;
    juce::Label* createSliderTextBox (juce::Slider& slider) override;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (SilverKnobLookAndFeel)
};
