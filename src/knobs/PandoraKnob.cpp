#include "knobs/PandoraKnob.h"

PandoraKnob::PandoraKnob()
{
    startTimer (33);
}

PandoraKnob::~PandoraKnob()
{
    stopTimer();
}

void PandoraKnob::setValue (float newValue)
{
    value = juce::jlimit (0.0f, 100.0f, newValue);
    steppedValue = std::round (value / 10.0f) * 10.0f;
    repaint();
}

void PandoraKnob::changeByUser (float newValue)
{
    setValue (newValue);
    if (onValueChange)
        onValueChange (steppedValue);
}

void PandoraKnob::mouseDown (const juce::MouseEvent& e)
{
    if (e.mods.isPopupMenu())
    {
        if (onRightClick)
            onRightClick();
        return;
    }

    drag.begin (e);
}

void PandoraKnob::mouseDrag (const juce::MouseEvent& e)
{
    if (drag.dragging)
        changeByUser (value + drag.take (e, 0.5f));
}

void PandoraKnob::mouseUp (const juce::MouseEvent&)
{
    drag.end();
}

void PandoraKnob::mouseDoubleClick (const juce::MouseEvent&)
{
    changeByUser (0.0f);
}

void PandoraKnob::mouseWheelMove (const juce::MouseEvent&, const juce::MouseWheelDetails& wheel)
{
    changeByUser (value + wheel.deltaY * 10.0f);
}

void PandoraKnob::paint (juce::Graphics& g)
{
    const bool on = isActive && isActive();
    knobface::drawDial (g, knobface::dialArea (getLocalBounds(), 12), steppedValue / 100.0f, juce::Colour (0xffccaa44));

    g.setColour (juce::Colour (0xffccaa44));
    g.setFont (juce::Font ("Arial", 10.0f, juce::Font::bold));
    g.drawText (on ? "PANDORA" : "PANDORA [OFF]", getLocalBounds().removeFromBottom (12),
                juce::Justification::centred, false);
}

void PandoraKnob::timerCallback()
{
    if (isShowing())
        repaint();
}
