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

void MacroSliderKnob::mouseDown (const juce::MouseEvent& e)
{
    if (e.mods.isPopupMenu())
    {
        if (onRightClick && ! look.ownRightButton)
            onRightClick();
        return;
    }
    drag.begin (e);
}

void MacroSliderKnob::mouseDrag (const juce::MouseEvent& e)
{
    if (! drag.dragging)
        return;

    slider.setValue (slider.getValue() + drag.take (e, 0.5f), juce::sendNotificationSync);
}

void MacroSliderKnob::mouseUp (const juce::MouseEvent&)
{
    drag.end();
}

void MacroSliderKnob::mouseWheelMove (const juce::MouseEvent&, const juce::MouseWheelDetails& wheel)
{
    slider.setValue (slider.getValue() + wheel.deltaY * 5.0, juce::sendNotificationAsync);
}

void MacroSliderKnob::paint (juce::Graphics& g)
{
    knobface::drawDial (g, knobface::dialArea (getLocalBounds(), 14),
                        (float) (slider.getValue() / 100.0), look.dialColour);
}

void MacroSliderKnob::resized()
{
    auto bounds = getLocalBounds();
    titleLabel.setBounds (bounds.removeFromBottom (14));
    valueLabel.setBounds (bounds.withSizeKeepingCentre (bounds.getWidth(), 14));
}

void MacroSliderKnob::timerCallback()
{
    repaint();
}
