#include "knobs/VolumeKnob.h"

VolumeKnob::VolumeKnob()
    : DragValueKnob ({ 0.8f, 8.0f, 100.0f })
{
    setRepaintsOnMouseActivity (true);
    startTimer (33);
}

VolumeKnob::~VolumeKnob()
{
    stopTimer();
}

void VolumeKnob::setValue (float newValue)
{
    value = juce::jlimit (0.0f, 200.0f, newValue);
    repaint();
}

void VolumeKnob::changeByUser (float newValue)
{
    setValue (newValue);
    if (onValueChange)
        onValueChange (value);
}

void VolumeKnob::mouseEnter (const juce::MouseEvent&) { isHovered = true; }
void VolumeKnob::mouseExit (const juce::MouseEvent&)  { isHovered = false; }

void VolumeKnob::mouseDown (const juce::MouseEvent& e)
{
    drag.begin (e);
    isHovered = true;
}

void VolumeKnob::paint (juce::Graphics& g)
{
    const auto area = knobface::dialArea (getLocalBounds(), 12);
    knobface::drawDial (g, area, value / 200.0f, value > 100.0f ? juce::Colour (0xffff4444) : juce::Colour (0xff44aaff));

    g.setColour (juce::Colours::black);
    g.setFont (juce::Font ("Arial", 10.0f, juce::Font::bold));
    g.drawText ("VOL", getLocalBounds().removeFromBottom (12), juce::Justification::centred, false);

    if (isHovered || drag.dragging)
    {
        g.setFont (juce::Font ("Arial", 9.0f, juce::Font::plain));
        g.drawText (juce::String (juce::roundToInt (value)), area, juce::Justification::centred, false);
    }
}

void VolumeKnob::timerCallback()
{
    if (value > 100.0f)
        repaint();
}
