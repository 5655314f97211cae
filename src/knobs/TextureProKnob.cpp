#include "knobs/TextureProKnob.h"

TextureProKnob::TextureProKnob()
{
    knobface::setupSlider (slider, juce::Slider::RotaryHorizontalVerticalDrag, 0.1);
    slider.onValueChange = [this]
    {
        updateTitle();
        if (onValueChange)
            onValueChange ((float) slider.getValue());
    };

    addAndMakeVisible (titleLabel);
    knobface::styleTitle (titleLabel, "TexturePro", juce::Colour (0xffdd3355));
    addAndMakeVisible (valueLabel);
    knobface::styleValue (valueLabel, juce::Colour (0xffff6688), 10.0f, false);
    updateTitle();
    valueLabel.setVisible (false);

    startTimer (33);
}

TextureProKnob::~TextureProKnob()
{
    stopTimer();
}

void TextureProKnob::updateTitle()
{
    const auto v = (int) slider.getValue();
    titleLabel.setText ("TexturePro (" + juce::String (v) + "%)", juce::dontSendNotification);
    valueLabel.setText (juce::String (v) + "%", juce::dontSendNotification);
}

void TextureProKnob::mouseDown (const juce::MouseEvent& e)
{
    if (e.mods.isPopupMenu())
    {
        if (onRightClick)
            onRightClick();
        return;
    }
    drag.begin (e);
}

void TextureProKnob::mouseDrag (const juce::MouseEvent& e)
{
    if (! drag.dragging)
        return;

    slider.setValue (slider.getValue() + drag.take (e, 0.5f), juce::sendNotificationSync);
}

void TextureProKnob::mouseUp (const juce::MouseEvent&)
{
    drag.end();
}

void TextureProKnob::mouseWheelMove (const juce::MouseEvent&, const juce::MouseWheelDetails& wheel)
{
    slider.setValue (slider.getValue() + wheel.deltaY * 5.0, juce::sendNotificationAsync);
}

void TextureProKnob::paint (juce::Graphics& g)
{
    knobface::drawDial (g, knobface::dialArea (getLocalBounds(), 14),
                        (float) (slider.getValue() / 100.0), juce::Colour (0xffdd3355));
}

void TextureProKnob::resized()
{
    auto bounds = getLocalBounds();
    titleLabel.setBounds (bounds.removeFromBottom (14));
    valueLabel.setBounds (bounds.withSizeKeepingCentre (bounds.getWidth(), 14));
}

void TextureProKnob::timerCallback()
{
    repaint();
}
