#include "knobs/MetaControlKnob.h"

MetaControlKnob::MetaControlKnob()
{
    addAndMakeVisible (slider);
    knobface::setupSlider (slider, juce::Slider::RotaryVerticalDrag, 1.0);
    slider.setTextBoxStyle (juce::Slider::NoTextBox, false, 50, 20);
    slider.onValueChange = [this]
    {
        updateTitle();
        if (onValueChange)
            onValueChange ((float) slider.getValue());
    };

    addAndMakeVisible (titleLabel);
    knobface::styleTitle (titleLabel, "MetaControl", juce::Colour (0xff888888));
    addAndMakeVisible (valueLabel);
    knobface::styleValue (valueLabel, juce::Colour (0xff00ccff), 10.0f, true);
    updateTitle();
    valueLabel.setVisible (false);

    startTimer (33);
}

MetaControlKnob::~MetaControlKnob()
{
    stopTimer();
}

void MetaControlKnob::updateTitle()
{
    const auto v = (int) slider.getValue();
    titleLabel.setText ("MetaControl (" + juce::String (v) + "%)", juce::dontSendNotification);
    valueLabel.setText (juce::String (v) + "%", juce::dontSendNotification);
}

void MetaControlKnob::mouseDown (const juce::MouseEvent& e)
{
    if (e.mods.isPopupMenu())
        return;   // the knob's own menu; see the class note
    drag.begin (e);
}

void MetaControlKnob::mouseDrag (const juce::MouseEvent& e)
{
    if (! drag.dragging)
        return;

    slider.setValue (slider.getValue() + drag.take (e, 0.5f), juce::sendNotificationSync);
}

void MetaControlKnob::mouseUp (const juce::MouseEvent&)
{
    drag.end();
}

void MetaControlKnob::mouseWheelMove (const juce::MouseEvent&, const juce::MouseWheelDetails& wheel)
{
    slider.setValue (slider.getValue() + wheel.deltaY * 5.0, juce::sendNotificationAsync);
}

void MetaControlKnob::paint (juce::Graphics& g)
{
    knobface::drawDial (g, knobface::dialArea (getLocalBounds(), 14),
                        (float) (slider.getValue() / 100.0), juce::Colour (0xff00ccff));
}

void MetaControlKnob::resized()
{
    auto bounds = getLocalBounds();
    titleLabel.setBounds (bounds.removeFromBottom (14));
    valueLabel.setBounds (bounds.withSizeKeepingCentre (bounds.getWidth(), 14));
}

void MetaControlKnob::timerCallback()
{
    repaint();
}
