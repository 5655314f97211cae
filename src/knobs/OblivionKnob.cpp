#include "knobs/OblivionKnob.h"

OblivionKnob::OblivionKnob()
{
    knobface::setupSlider (slider, juce::Slider::RotaryHorizontalVerticalDrag, 0.1);
    slider.onValueChange = [this]
    {
        updateTitle();
        if (onValueChange)
            onValueChange ((float) slider.getValue());
    };

    addAndMakeVisible (titleLabel);
    knobface::styleTitle (titleLabel, "ToneMax", juce::Colour (0xff4488ff));
    addAndMakeVisible (valueLabel);
    knobface::styleValue (valueLabel, juce::Colour (0xff88bbff), 10.0f, false);
    updateTitle();
    valueLabel.setVisible (false);

    startTimer (33);
}

OblivionKnob::~OblivionKnob()
{
    stopTimer();
}

void OblivionKnob::updateTitle()
{
    const auto v = (int) slider.getValue();
    titleLabel.setText ("ToneMax (" + juce::String (v) + "%)", juce::dontSendNotification);
    valueLabel.setText (juce::String (v) + "%", juce::dontSendNotification);
}

void OblivionKnob::mouseDown (const juce::MouseEvent& e)
{
    if (e.mods.isPopupMenu())
    {
        if (onRightClick)
            onRightClick();
        return;
    }
    drag.begin (e);
}

void OblivionKnob::mouseDrag (const juce::MouseEvent& e)
{
    if (! drag.dragging)
        return;

    slider.setValue (slider.getValue() + drag.take (e, 0.5f), juce::sendNotificationSync);
}

void OblivionKnob::mouseUp (const juce::MouseEvent&)
{
    drag.end();
}

void OblivionKnob::mouseWheelMove (const juce::MouseEvent&, const juce::MouseWheelDetails& wheel)
{
    slider.setValue (slider.getValue() + wheel.deltaY * 5.0, juce::sendNotificationAsync);
}

void OblivionKnob::paint (juce::Graphics& g)
{
    knobface::drawDial (g, knobface::dialArea (getLocalBounds(), 14),
                        (float) (slider.getValue() / 100.0), juce::Colour (0xff4488ff));
}

void OblivionKnob::resized()
{
    auto bounds = getLocalBounds();
    titleLabel.setBounds (bounds.removeFromBottom (14));
    valueLabel.setBounds (bounds.withSizeKeepingCentre (bounds.getWidth(), 14));
}

void OblivionKnob::timerCallback()
{
    repaint();
}
