#include "knobs/PanKnob.h"

PanKnob::PanKnob()
    : DragValueKnob ({ 0.01f, 0.1f, 0.0f })
{
    setRepaintsOnMouseActivity (true);
    repaint();
}

PanKnob::~PanKnob()
{
    stopTimer();
}

void PanKnob::setPan (float newPan)
{
    pan = juce::jlimit (-1.0f, 1.0f, newPan);
    repaint();
}

void PanKnob::changeByUser (float newPan)
{
    setPan (newPan);
    if (onPanChange)
        onPanChange (pan);
}

void PanKnob::mouseEnter (const juce::MouseEvent&) { isHovered = true; }
void PanKnob::mouseExit (const juce::MouseEvent&)  { isHovered = false; }

void PanKnob::mouseDown (const juce::MouseEvent& e)
{
    if (e.mods.isPopupMenu())
        return;

    drag.begin (e);
    isHovered = true;
}

void PanKnob::paint (juce::Graphics& g)
{
    knobface::drawDial (g, knobface::dialArea (getLocalBounds(), 12), (pan + 1.0f) * 0.5f,
                        juce::Colour (0xff44aaff));

    g.setColour (juce::Colours::black);
    g.setFont (juce::Font ("Arial", 10.0f, juce::Font::bold));
    g.drawText ("PAN", getLocalBounds().removeFromBottom (12), juce::Justification::centred, false);
}

void PanKnob::timerCallback() {}
