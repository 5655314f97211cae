#include "knobs/MacroSliderKnob.h"

MacroSliderKnob::MacroSliderKnob (const Look& knobLook)
    : look (knobLook)
{
    if (look.transparentSlider)
        for (auto id : { juce::Slider::rotarySliderFillColourId, juce::Slider::rotarySliderOutlineColourId,
                         juce::Slider::thumbColourId })
            slider.setColour (id, juce::Colours::transparentBlack);

    if (look.wholeSteps)
    {
        // A child without bounds never receives the mouse itself: the knob takes every event
        // over its face and passes the left-button ones on.
        addAndMakeVisible (slider);
        knobface::setupSlider (slider, juce::Slider::RotaryVerticalDrag, 1.0);
        slider.setTextBoxStyle (juce::Slider::NoTextBox, false, 50, 20);
    }
    else
    {
        knobface::setupSlider (slider, juce::Slider::RotaryHorizontalVerticalDrag, 0.1);
    }

    slider.onValueChange = [this]
    {
        updateTitle();
        if (onValueChange)
            onValueChange ((float) slider.getValue());

        // Knobs whose slider takes the gestures show a change at once; the others at their
        // next frame.
        if (look.wholeSteps)
            repaint();
    };

    addAndMakeVisible (titleLabel);
    knobface::styleTitle (titleLabel, look.name, look.titleColour);
    addAndMakeVisible (valueLabel);
    knobface::styleValue (valueLabel, look.valueColour, 10.0f, look.boldValue);
    updateTitle();
    valueLabel.setVisible (false);

    startTimer (33);
}

MacroSliderKnob::~MacroSliderKnob()
{
    stopTimer();
}

juce::String MacroSliderKnob::valueText (int v) const
{
    return juce::String (v) + "%";
}

void MacroSliderKnob::updateTitle()
{
    const auto v = (int) slider.getValue();
    titleLabel.setText (look.name + " (" + juce::String (v) + "%)", juce::dontSendNotification);
    valueLabel.setText (valueText (v), juce::dontSendNotification);
}

void MacroSliderKnob::setValueLater (double newValue)
{
    slider.setValue (juce::jlimit (0.0, 100.0, newValue), juce::sendNotificationAsync);
}

void MacroSliderKnob::mouseDown (const juce::MouseEvent& e)
{
    if (e.mods.isRightButtonDown())
    {
        if (look.ownRightButton)
            rightButtonPressed();
        else if (onRightClick)
            onRightClick();
        return;
    }

    if (look.drag == DragStyle::slider)
        slider.mouseDown (e.getEventRelativeTo (&slider));
    else
        drag.begin (e);
}

void MacroSliderKnob::mouseDrag (const juce::MouseEvent& e)
{
    if (e.mods.isRightButtonDown())
        return;

    switch (look.drag)
    {
        case DragStyle::slider:
            slider.mouseDrag (e.getEventRelativeTo (&slider));
            break;

        case DragStyle::pressToRelease:
            if (drag.dragging)
                setValueLater (slider.getValue() + drag.take (e, 0.5f));
            break;

        case DragStyle::anyLeftDrag:
            setValueLater (slider.getValue() + drag.take (e, 0.5f));
            break;
    }
}

void MacroSliderKnob::mouseUp (const juce::MouseEvent& e)
{
    if (look.drag == DragStyle::slider)
        slider.mouseUp (e.getEventRelativeTo (&slider));
    else if (look.drag == DragStyle::pressToRelease)
        drag.end();
}

void MacroSliderKnob::mouseDoubleClick (const juce::MouseEvent&)
{
    if (look.doubleClickResets)
        slider.setValue (0.0, juce::sendNotificationAsync);
}

void MacroSliderKnob::mouseWheelMove (const juce::MouseEvent& e, const juce::MouseWheelDetails& wheel)
{
    if (look.sliderWheel)
        slider.mouseWheelMove (e.getEventRelativeTo (&slider), wheel);
    else
        setValueLater (slider.getValue() + 5.0 * wheel.deltaY);
}

void MacroSliderKnob::paint (juce::Graphics& g)
{
    knobface::drawDial (g, knobface::dialBetween (getLocalBounds(), titleHeight, valueLabelHeight),
                        (float) (slider.getValue() / 100.0), look.dialColour);
}

void MacroSliderKnob::resized()
{
    const auto w = getWidth(), h = getHeight();
    titleLabel.setBounds (0, 0, w, titleHeight);
    valueLabel.setBounds (0, h - valueLabelHeight, w, valueLabelHeight);
}

void MacroSliderKnob::timerCallback()
{
    repaint();
}
