#pragma once

#include "knobs/KnobFace.h"

#include <functional>
#include <utility>

/** What the slider-backed macro knobs share: a 0..100 slider that the owner reads and writes, a
    title "Name (v%)" on top and a hidden value label below, the owner's value and right-click
    callbacks, the mouse gestures each knob chooses from a small set, and a timer that advances
    the face. The face itself is each knob's own; until it has one it draws a plain dial. */
class MacroSliderKnob : public juce::Component,
                        public juce::Timer
{
public:
    /** How a left-button drag moves the value. */
    enum class DragStyle
    {
        /** Press, drag and release go to the slider itself (its own vertical drag). */
        slider,
        /** 0.5 per pixel upward from a left press until its release. */
        pressToRelease,
        /** 0.5 per pixel upward for every drag event without the right button. */
        anyLeftDrag
    };

    /** Colours, name and gestures of one knob. */
    struct Look
    {
        Look (juce::String knobName, juce::Colour title, juce::Colour value, juce::Colour dial)
            : name (std::move (knobName)), titleColour (title), valueColour (value), dialColour (dial) {}

        /** The value label in bold. */
        Look withBoldValue() const             { auto l = *this; l.boldValue = true; return l; }

        /** Whole-number steps and a vertical-only slider, a child without bounds that takes the
            presses, drags and releases the knob passes on. */
        Look withSliderGestures() const        { auto l = *this; l.wholeSteps = true; l.drag = DragStyle::slider; return l; }

        /** The wheel goes to the slider too (its own step) instead of 5 per step. */
        Look withSliderWheel() const           { auto l = *this; l.sliderWheel = true; return l; }

        /** Drag events move the value from any left press on, not only until its release. */
        Look withAnyLeftDrag() const           { auto l = *this; l.drag = DragStyle::anyLeftDrag; return l; }

        /** A double-click puts the value back to 0. */
        Look withDoubleClickReset() const      { auto l = *this; l.doubleClickResets = true; return l; }

        /** The slider's own rotary parts drawn transparent. */
        Look withTransparentSlider() const     { auto l = *this; l.transparentSlider = true; return l; }

        /** The right button belongs to the knob's own menu: onRightClick never fires. */
        Look withOwnRightButton() const        { auto l = *this; l.ownRightButton = true; return l; }

        juce::String name;
        juce::Colour titleColour, valueColour, dialColour;
        DragStyle drag = DragStyle::pressToRelease;
        bool boldValue = false, wholeSteps = false, sliderWheel = false, doubleClickResets = false,
             transparentSlider = false, ownRightButton = false;
    };

    ~MacroSliderKnob() override;

    /** Fired with the value (0..100) after every change made with notification. */
    std::function<void (float)> onValueChange;

    /** Fired by a right-button press (unless the knob keeps that button); nothing else happens. */
    std::function<void()> onRightClick;

    /** Holds the value; the owner reads and writes it directly. A write without notification
        fires nothing and leaves the labels alone until the owner calls updateTitle(). */
    juce::Slider slider;
    juce::Label titleLabel, valueLabel;

    /** Writes "Name (v%)" into the title and the value text into the value label, v being the
        value truncated toward zero; no callback. */
    void updateTitle();

    void mouseDown (const juce::MouseEvent& e) override;
    void mouseDrag (const juce::MouseEvent& e) override;
    void mouseUp (const juce::MouseEvent& e) override;
    void mouseDoubleClick (const juce::MouseEvent& e) override;
    void mouseWheelMove (const juce::MouseEvent& e, const juce::MouseWheelDetails& wheel) override;
    void paint (juce::Graphics& g) override;
    void resized() override;
    void timerCallback() override;

    static constexpr int titleHeight = 14, valueLabelHeight = 12;

protected:
    explicit MacroSliderKnob (const Look& knobLook);

    /** The value label's text for the whole value v. A knob that overrides this calls
        updateTitle() in its own constructor: the base one runs before the override exists. */
    virtual juce::String valueText (int v) const;

    /** A right press on a knob that keeps its right button. */
    virtual void rightButtonPressed() {}

    /** Sets the value clamped to 0..100; the change sequence follows on a later message. */
    void setValueLater (double newValue);

private:
    const Look look;
    knobface::Drag drag;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (MacroSliderKnob)
};
