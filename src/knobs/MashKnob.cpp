#include "knobs/MashKnob.h"

MashKnob::MashKnob()
{
    startTimer (33);
}

MashKnob::~MashKnob()
{
    stopTimer();
}

void MashKnob::setValue (float newValue)
{
    value = juce::jlimit (0.0f, 100.0f, newValue);
    steppedValue = std::round (value / 10.0f) * 10.0f;
    repaint();
}

void MashKnob::changeByUser (float newValue)
{
    setValue (newValue);
    if (onValueChange)
        onValueChange (steppedValue);
}

void MashKnob::mouseDown (const juce::MouseEvent& e)
{
    if (e.mods.isPopupMenu())
    {
        if (onRightClick)
            onRightClick();
        return;
    }

    drag.begin (e);
}

void MashKnob::mouseDrag (const juce::MouseEvent& e)
{
    if (drag.dragging)
        changeByUser (value + drag.take (e, 0.5f));
}

void MashKnob::mouseUp (const juce::MouseEvent&)
{
    drag.end();
}

void MashKnob::mouseDoubleClick (const juce::MouseEvent&)
{
    changeByUser (0.0f);
}

void MashKnob::mouseWheelMove (const juce::MouseEvent&, const juce::MouseWheelDetails& wheel)
{
    changeByUser (value + wheel.deltaY * 10.0f);
}

void MashKnob::paint (juce::Graphics& g)
{
    const bool on = isActive && isActive();
    knobface::drawDial (g, knobface::dialArea (getLocalBounds(), 12), steppedValue / 100.0f, juce::Colour (0xff9944cc));

    g.setColour (juce::Colour (0xff9944cc));
    g.setFont (juce::Font ("Arial", 10.0f, juce::Font::bold));
    g.drawText (on ? "MASH" : "MASH [OFF]", getLocalBounds().removeFromBottom (12),
                juce::Justification::centred, false);
}

void MashKnob::timerCallback()
{
    if (isShowing())
        repaint();
}
