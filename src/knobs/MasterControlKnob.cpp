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
    if (e.mods.isPopupMenu())
    {
        if (onRightClick)
            onRightClick();
        return;
    }

    dragging = true;
    dragMoved = false;
    dragStartY = (float) e.position.y;
    dragStartLevel = level;
}

void MasterControlKnob::mouseDrag (const juce::MouseEvent& e)
{
    if (! dragging)
        return;

    // A small wobble while clicking must not change the level.
    const auto moved = dragStartY - (float) e.position.y;
    if (! dragMoved && std::abs (moved) <= 5.0f)
        return;

    dragMoved = true;
    const auto target = dragStartLevel + (int) (moved / 10.0f);
    if (target != level)
        setLevel (target);
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
    knobface::drawDial (g, knobface::dialArea (getLocalBounds(), 14), (float) level / (float) maxLevel,
                        juce::Colour (0xffc0c0c8));
}

void MasterControlKnob::resized()
{
    auto bounds = getLocalBounds();
    titleLabel.setBounds (bounds.removeFromBottom (14));
    valueLabel.setBounds (bounds.withSizeKeepingCentre (bounds.getWidth(), 14));
}

void MasterControlKnob::timerCallback()
{
    repaint();
}
