#include "knobs/MathControlKnob.h"

MathControlKnob::MathControlKnob()
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
    knobface::styleTitle (titleLabel, "MathControl", juce::Colour (0xff997744));
    addAndMakeVisible (valueLabel);
    knobface::styleValue (valueLabel, juce::Colour (0xff666666), 10.0f, true);
    updateTitle();
    valueLabel.setVisible (false);

    startTimer (33);
}

MathControlKnob::~MathControlKnob()
{
    stopTimer();
}

void MathControlKnob::updateTitle()
{
    const auto v = (int) slider.getValue();
    titleLabel.setText ("MathControl (" + juce::String (v) + "%)", juce::dontSendNotification);
    valueLabel.setText (getModeName (mode) + " " + juce::String (v) + "%", juce::dontSendNotification);
}

void MathControlKnob::setMode (int newMode)
{
    mode = newMode;
    updateTitle();
    repaint();
}

juce::String MathControlKnob::getModeName (int m)
{
    static const char* const names[] = { "CRUSH", "DECIM", "OVRFLW", "GLITCH", "FDBK", "PHASE", "FLIP", "BENT" };
    return juce::isPositiveAndBelow (m, 8) ? juce::String (names[m]) : juce::String ("???");
}

void MathControlKnob::mouseDown (const juce::MouseEvent& e)
{
    if (e.mods.isPopupMenu())
    {
        if (onRightClick)
            onRightClick();
        return;
    }
    drag.begin (e);
}

void MathControlKnob::mouseDrag (const juce::MouseEvent& e)
{
    if (! drag.dragging)
        return;

    slider.setValue (slider.getValue() + drag.take (e, 0.5f), juce::sendNotificationSync);
}

void MathControlKnob::mouseUp (const juce::MouseEvent&)
{
    drag.end();
}

void MathControlKnob::mouseWheelMove (const juce::MouseEvent&, const juce::MouseWheelDetails& wheel)
{
    slider.setValue (slider.getValue() + wheel.deltaY * 5.0, juce::sendNotificationAsync);
}

void MathControlKnob::paint (juce::Graphics& g)
{
    knobface::drawDial (g, knobface::dialArea (getLocalBounds(), 14),
                        (float) (slider.getValue() / 100.0), juce::Colour (0xff997744));
}

void MathControlKnob::resized()
{
    auto bounds = getLocalBounds();
    titleLabel.setBounds (bounds.removeFromBottom (14));
    valueLabel.setBounds (bounds.withSizeKeepingCentre (bounds.getWidth(), 14));
}

void MathControlKnob::timerCallback()
{
    repaint();
}
