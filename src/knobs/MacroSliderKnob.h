#pragma once

#include "knobs/KnobFace.h"

#include <functional>
#include <utility>

/** What the slider-backed macro knobs share: a 0..100 slider that the owner reads and writes, a
    title "Name (v%)", vertical drags and wheel turns, and a plain dial repainted at about 30 Hz
    until each knob gets its animated face. */
class MacroSliderKnob : public juce::Component,
                        public juce::Timer
{
public:
    /** Colours, name and slider feel of one knob. */
    struct Look
    {
        Look (juce::String knobName, juce::Colour title, juce::Colour value, juce::Colour dial)
            : name (std::move (knobName)), titleColour (title), valueColour (value), dialColour (dial) {}

        /** The value label in bold. */
        Look withBoldValue() const             { auto l = *this; l.boldValue = true; return l; }

        /** Whole-number steps and a vertical-only slider drag, the slider itself a child. */
        Look withWholeSteps() const            { auto l = *this; l.wholeSteps = true; return l; }

        /** The slider's own rotary parts drawn transparent. */
        Look withTransparentSlider() const     { auto l = *this; l.transparentSlider = true; return l; }

        /** The right button belongs to the knob's own menu: onRightClick never fires. */
        Look withOwnRightButton() const        { auto l = *this; l.ownRightButton = true; return l; }

        juce::String name;
        juce::Colour titleColour, valueColour, dialColour;
        bool boldValue = false, wholeSteps = false, transparentSlider = false, ownRightButton = false;
    };

    ~MacroSliderKnob() override;

    /** Fired with the value (0..100) after every change made with notification. */
    std::function<void (float)> onValueChange;

    /** Fired by a right-button press (unless the knob keeps that button); no drag starts then. */
    std::function<void()> onRightClick;

    /** Holds the value; the owner reads and writes it directly. */
    juce::Slider slider;
    juce::Label titleLabel, valueLabel;

    /** Writes "Name (v%)" into the title and the value into the value label; no callback. */
    void updateTitle();

    void mouseDown (const juce::MouseEvent& e) override;
    void mouseDrag (const juce::MouseEvent& e) override;
    void mouseUp (const juce::MouseEvent& e) override;
    void mouseWheelMove (const juce::MouseEvent& e, const juce::MouseWheelDetails& wheel) override;
    void paint (juce::Graphics& g) override;
    void resized() override;
    void timerCallback() override;

protected:
    explicit MacroSliderKnob (const Look& knobLook);

    /** The value label's text for the whole value v. A knob that overrides this calls
        updateTitle() in its own constructor: the base one runs before the override exists. */
    virtual juce::String valueText (int v) const;

private:
    const Look look;
    knobface::Drag drag;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (MacroSliderKnob)
};
