#include "knobs/KorruptKnob.h"

KorruptKnob::KorruptKnob()
{
    startTimer (33);
}

KorruptKnob::~KorruptKnob()
{
    stopTimer();
}

void KorruptKnob::setValue (float newValue)
{
    value = juce::jlimit (0.0f, 100.0f, newValue);
    steppedValue = std::round (value / 10.0f) * 10.0f;
    repaint();
}

void KorruptKnob::changeByUser (float newValue)
{
    setValue (newValue);
    if (onValueChange)
        onValueChange (steppedValue);
}

void KorruptKnob::mouseDown (const juce::MouseEvent& e)
{
    if (e.mods.isPopupMenu())
    {
        if (onRightClick)
            onRightClick();
        return;
    }

    drag.begin (e);
}

void KorruptKnob::mouseDrag (const juce::MouseEvent& e)
{
    if (drag.dragging)
        changeByUser (value + drag.take (e, 0.5f));
}

void KorruptKnob::mouseUp (const juce::MouseEvent&)
{
    drag.end();
}

void KorruptKnob::mouseDoubleClick (const juce::MouseEvent&)
{
    changeByUser (0.0f);
}

void KorruptKnob::mouseWheelMove (const juce::MouseEvent&, const juce::MouseWheelDetails& wheel)
{
    changeByUser (value + wheel.deltaY * 10.0f);
}

void KorruptKnob::paint (juce::Graphics& g)
{
    const bool on = isActive && isActive();
    knobface::drawDial (g, knobface::dialArea (getLocalBounds(), 12), steppedValue / 100.0f, juce::Colour (0xffcc2244));

    g.setColour (juce::Colour (0xffcc2244));
    g.setFont (juce::Font ("Arial", 10.0f, juce::Font::bold));
    g.drawText (on ? "KORRUPT" : "KORRUPT [OFF]", getLocalBounds().removeFromBottom (12),
                juce::Justification::centred, false);
}

void KorruptKnob::timerCallback()
{
    if (isShowing())
        repaint();
}
