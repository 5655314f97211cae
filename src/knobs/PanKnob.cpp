#include "knobs/PanKnob.h"

PanKnob::PanKnob()
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

void PanKnob::mouseDrag (const juce::MouseEvent& e)
{
    if (drag.dragging)
        changeByUser (pan + drag.take (e, 0.01f));
}

void PanKnob::mouseUp (const juce::MouseEvent&)
{
    drag.end();
}

void PanKnob::mouseDoubleClick (const juce::MouseEvent&)
{
    changeByUser (0.0f);
}

void PanKnob::mouseWheelMove (const juce::MouseEvent&, const juce::MouseWheelDetails& wheel)
{
    changeByUser (pan + wheel.deltaY * 0.1f);
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
