#include "knobs/SpatialMaxKnob.h"

SpatialMaxKnob::SpatialMaxKnob()
{
    for (auto id : { juce::Slider::rotarySliderFillColourId, juce::Slider::rotarySliderOutlineColourId,
                     juce::Slider::thumbColourId })
        slider.setColour (id, juce::Colours::transparentBlack);
    knobface::setupSlider (slider, juce::Slider::RotaryHorizontalVerticalDrag, 0.1);
    slider.onValueChange = [this]
    {
        updateTitle();
        if (onValueChange)
            onValueChange ((float) slider.getValue());
    };

    addAndMakeVisible (titleLabel);
    knobface::styleTitle (titleLabel, "SpatialMax", juce::Colour (0xff888888));
    addAndMakeVisible (valueLabel);
    knobface::styleValue (valueLabel, juce::Colour (0xffaaaaaa), 10.0f, false);
    updateTitle();
    valueLabel.setVisible (false);

    startTimer (33);
}

SpatialMaxKnob::~SpatialMaxKnob()
{
    stopTimer();
}

void SpatialMaxKnob::updateTitle()
{
    const auto v = (int) slider.getValue();
    titleLabel.setText ("SpatialMax (" + juce::String (v) + "%)", juce::dontSendNotification);
    valueLabel.setText (juce::String (v) + "%", juce::dontSendNotification);
}

void SpatialMaxKnob::setOverdrive (bool shouldBeOn)
{
    overdrive = shouldBeOn;
    if (onOverdriveChange)
        onOverdriveChange (overdrive);
    repaint();
}

void SpatialMaxKnob::mouseDown (const juce::MouseEvent& e)
{
    if (e.mods.isPopupMenu())
    {
        if (onRightClick)
            onRightClick();
        return;
    }
    drag.begin (e);
}

void SpatialMaxKnob::mouseDrag (const juce::MouseEvent& e)
{
    if (! drag.dragging)
        return;

    slider.setValue (slider.getValue() + drag.take (e, 0.5f), juce::sendNotificationSync);
}

void SpatialMaxKnob::mouseUp (const juce::MouseEvent&)
{
    drag.end();
}

void SpatialMaxKnob::mouseWheelMove (const juce::MouseEvent&, const juce::MouseWheelDetails& wheel)
{
    slider.setValue (slider.getValue() + wheel.deltaY * 5.0, juce::sendNotificationAsync);
}

void SpatialMaxKnob::paint (juce::Graphics& g)
{
    knobface::drawDial (g, knobface::dialArea (getLocalBounds(), 14),
                        (float) (slider.getValue() / 100.0), juce::Colour (0xffaaaaaa));
}

void SpatialMaxKnob::resized()
{
    auto bounds = getLocalBounds();
    titleLabel.setBounds (bounds.removeFromBottom (14));
    valueLabel.setBounds (bounds.withSizeKeepingCentre (bounds.getWidth(), 14));
}

void SpatialMaxKnob::timerCallback()
{
    repaint();
}
