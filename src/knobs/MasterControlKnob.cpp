#include "knobs/MasterControlKnob.h"

MasterControlKnob::MasterControlKnob()
{
    addAndMakeVisible (titleLabel);
    knobface::styleTitle (titleLabel, "MasterPro", juce::Colour (0xff666666));
    addAndMakeVisible (valueLabel);
    knobface::styleValue (valueLabel, juce::Colour (0xff888888), 10.0f, false);
    updateTitle();
    valueLabel.setVisible (false);

    startTimer (25);
}

MasterControlKnob::~MasterControlKnob()
{
    stopTimer();
}

void MasterControlKnob::updateTitle()
{
    titleLabel.setText ("MasterPro (" + juce::String (level) + ")", juce::dontSendNotification);
    valueLabel.setText (juce::String (level), juce::dontSendNotification);
}

void MasterControlKnob::setLevel (int newLevel)
{
    level = juce::jlimit (0, maxLevel, newLevel);
    updateTitle();
    if (onLevelChange)
        onLevelChange (level);
    repaint();
}

void MasterControlKnob::mouseDown (const juce::MouseEvent& e)
{
    if (e.mods.isRightButtonDown())
    {
        if (onRightClick)
            onRightClick();
        return;
    }

    dragging = true;
    lastY = (float) e.position.y;
}

void MasterControlKnob::mouseDrag (const juce::MouseEvent& e)
{
    if (! dragging)
        return;

    // One level per 10 pixels; a small wobble while clicking changes nothing, and movement
    // short of a whole level is kept until it adds up to one.
    const auto moved = lastY - (float) e.position.y;
    if (std::abs (moved) <= 5.0f)
        return;

    const auto steps = (int) (moved / 10.0f);
    if (steps != 0)
    {
        setLevel (level + steps);
        lastY = (float) e.position.y;
    }
}

void MasterControlKnob::mouseUp (const juce::MouseEvent&)
{
    dragging = false;
}

void MasterControlKnob::mouseWheelMove (const juce::MouseEvent&, const juce::MouseWheelDetails& wheel)
{
    if (wheel.deltaY > 0.0f)
        setLevel (level + 1);
    else if (wheel.deltaY < 0.0f)
        setLevel (level - 1);
}

void MasterControlKnob::paint (juce::Graphics& g)
{
    knobface::drawDial (g, knobface::dialBetween (getLocalBounds(), 14, getHeight() - valueLabel.getY()),
                        (float) level / (float) maxLevel, juce::Colour (0xffc0c0c8));
}

void MasterControlKnob::resized()
{
    const auto w = getWidth(), h = getHeight();
    titleLabel.setBounds (0, 0, w, 14);
    valueLabel.setBounds (0, juce::jmin (h - 36, w) + 22, w, 12);
}

void MasterControlKnob::timerCallback()
{
    repaint();
}
