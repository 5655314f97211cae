#include "knobs/PitchKnob.h"

PitchKnob::PitchKnob()
    : DragValueKnob ({ 0.02f, 0.25f, 0.0f })
{
}

PitchKnob::~PitchKnob() = default;

void PitchKnob::setValue (float octaves)
{
    value = juce::jlimit (-limit(), limit(), octaves);
    repaint();
}

void PitchKnob::setRange (int semitones)
{
    rangeSemitones = semitones;
    setValue (value);
}

void PitchKnob::setPreserveLength (bool shouldPreserve)
{
    preserveLength = shouldPreserve;
    repaint();
    if (onModeChange)
        onModeChange (preserveLength);
}

void PitchKnob::changeByUser (float octaves)
{
    setValue (octaves);
    if (onValueChange)
        onValueChange (value);
}

void PitchKnob::mouseEnter (const juce::MouseEvent&) { isHovered = true;  repaint(); }
void PitchKnob::mouseExit (const juce::MouseEvent&)  { isHovered = false; repaint(); }

void PitchKnob::mouseDown (const juce::MouseEvent& e)
{
    if (e.mods.isPopupMenu())
        return;

    drag.begin (e);
    isHovered = true;
    repaint();
}

void PitchKnob::mouseUp (const juce::MouseEvent& e)
{
    DragValueKnob::mouseUp (e);
    if (onRelease)
        onRelease();
    repaint();
}

void PitchKnob::paint (juce::Graphics& g)
{
    knobface::drawDial (g, knobface::dialArea (getLocalBounds(), 12), (value / limit() + 1.0f) * 0.5f,
                        juce::Colour (0xffffaa44));

    g.setColour (juce::Colours::black);
    g.setFont (juce::Font ("Arial", 10.0f, juce::Font::bold));
    g.drawText ("PITCH", getLocalBounds().removeFromBottom (12), juce::Justification::centred, false);
}
