#include "knobs/EngineAmountKnob.h"

EngineAmountKnob::EngineAmountKnob (const juce::String& engineName, juce::Colour engineColour)
    : DragValueKnob ({ 0.5f, 10.0f, 0.0f }), name (engineName), colour (engineColour)
{
    startTimer (33);
}

EngineAmountKnob::~EngineAmountKnob()
{
    stopTimer();
}

void EngineAmountKnob::setValue (float newValue)
{
    value = juce::jlimit (0.0f, 100.0f, newValue);
    steppedValue = std::round (value / 10.0f) * 10.0f;
    repaint();
}

void EngineAmountKnob::changeByUser (float newValue)
{
    setValue (newValue);
    if (onValueChange)
        onValueChange (steppedValue);
}

void EngineAmountKnob::mouseDown (const juce::MouseEvent& e)
{
    if (e.mods.isPopupMenu())
    {
        if (onRightClick)
            onRightClick();
        return;
    }

    drag.begin (e);
}

void EngineAmountKnob::paint (juce::Graphics& g)
{
    const bool on = isActive && isActive();
    knobface::drawDial (g, knobface::dialArea (getLocalBounds(), 12), steppedValue / 100.0f, colour);

    g.setColour (colour);
    g.setFont (juce::Font ("Arial", 10.0f, juce::Font::bold));
    g.drawText (on ? name : name + " [OFF]", getLocalBounds().removeFromBottom (12),
                juce::Justification::centred, false);
}

void EngineAmountKnob::timerCallback()
{
    if (isShowing())
        repaint();
}
