#include "controls/idle/IdleControls.h"

//==============================================================================
ToggleSwitch::ToggleSwitch() : juce::Button ("switch")
{
    setClickingTogglesState (true);
}

juce::Colour ToggleSwitch::trackColourFor (bool on, bool mouseOver) noexcept
{
    const juce::Colour base (on ? onColour : offColour);
    // brighter() barely moves a saturated blue, so the hover state mixes in white instead.
    return mouseOver ? base.interpolatedWith (juce::Colours::white, 0.2f) : base;
}

void ToggleSwitch::paintButton (juce::Graphics& g, bool mouseOver, bool)
{
    const auto bounds = getLocalBounds().toFloat();
    const bool on = getToggleState();

    g.setColour (trackColourFor (on, mouseOver));
    g.fillRoundedRectangle (bounds, bounds.getHeight() * 0.5f);

    const float diameter = knobProportion * bounds.getHeight();
    const float inset = (bounds.getHeight() - diameter) * 0.5f;
    const float x = on ? bounds.getRight() - inset - diameter : bounds.getX() + inset;

    g.setColour (juce::Colours::white);
    g.fillEllipse (x, bounds.getY() + inset, diameter, diameter);
}

//==============================================================================
PillButton::PillButton (const juce::String& caption, juce::Colour c) : juce::Button (caption), colour (c)
{
    setClickingTogglesState (true);
}

void PillButton::paintButton (juce::Graphics& g, bool mouseOver, bool)
{
    // The rim is stroked half inside the bounds, so the pill is inset by half its width.
    const auto pill = getLocalBounds().toFloat().reduced (0.5f);
    const float radius = pill.getHeight() * 0.5f;

    g.setColour (getToggleState() ? colour : colour.withMultipliedAlpha (offOpacity));
    g.fillRoundedRectangle (pill, radius);

    g.setColour (mouseOver ? juce::Colours::white : juce::Colour (restingRimColour));
    g.drawRoundedRectangle (pill, radius, 1.0f);

    g.setColour (juce::Colours::white);
    g.setFont (juce::Font (juce::jmax (8.0f, pill.getHeight() * 0.45f), juce::Font::bold));
    g.drawText (getButtonText(), getLocalBounds(), juce::Justification::centred, false);
}

//==============================================================================
SectionPanel::SectionPanel (const juce::String& t) : title (t)
{
    setName (t);
}

juce::Rectangle<int> SectionPanel::rowBounds (int index, int width) noexcept
{
    return { 10, 40 + 90 * index, width - 20, 80 };
}

void SectionPanel::paint (juce::Graphics& g)
{
    g.fillAll (juce::Colour (fillColour));
    g.setColour (juce::Colours::white);
    g.setFont (juce::Font (16.0f, juce::Font::bold));
    g.drawText (title, getLocalBounds().removeFromTop (titleHeight), juce::Justification::centred, false);
}

void SectionPanel::resized()
{
    for (int i = 0; i < getNumChildComponents(); ++i)
        getChildComponent (i)->setBounds (rowBounds (i, getWidth()));
}
