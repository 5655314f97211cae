#include "recording/RecordingWindowParts.h"

void RecordingTitleBar::paint (juce::Graphics& g)
{
    const auto w = (float) getWidth(), h = (float) getHeight();

    g.setGradientFill (juce::ColourGradient (juce::Colour (0xff4a7a9a), 0.0f, 0.0f,
                                             juce::Colour (0xff2a4a6a), 0.0f, h, false));
    g.fillRoundedRectangle (0.0f, 0.0f, w, h, 3.0f);

    g.setColour (juce::Colour (0x306090b0));
    g.fillRect (0, 0, getWidth(), juce::jmin (getHeight(), 2));

    g.setFont (juce::Font ("Times New Roman", 15.0f, juce::Font::bold | juce::Font::italic));
    g.setColour (juce::Colour (0x40ffffff));
    g.drawText ("SIGNAL CAPTURE", getLocalBounds().translated (1, 1), juce::Justification::centred, true);
    g.setColour (juce::Colours::white);
    g.drawText ("SIGNAL CAPTURE", getLocalBounds(), juce::Justification::centred, true);

    g.setColour (juce::Colour (0xff5a8aaa));
    g.drawRoundedRectangle (0.5f, 0.5f, w - 1.0f, h - 1.0f, 3.0f, 1.0f);
}

void RecordingTitleBar::mouseDown (const juce::MouseEvent& e)
{
    if (owner != nullptr)
        dragger.startDraggingComponent (owner, e.getEventRelativeTo (owner));
}

void RecordingTitleBar::mouseDrag (const juce::MouseEvent& e)
{
    if (owner != nullptr)
        dragger.dragComponent (owner, e.getEventRelativeTo (owner), nullptr);
}

//==============================================================================
void RecordingCloseButton::paint (juce::Graphics& g)
{
    const auto w = (float) getWidth(), h = (float) getHeight();
    const bool hovered = isMouseOver();

    g.setColour (juce::Colour (0xff1a2a3a));
    g.fillRoundedRectangle (2.0f, 2.0f, w - 4.0f, h - 4.0f, 4.0f);

    if (hovered)
    {
        g.setColour (juce::Colour (0x4c00ff00));
        g.drawRoundedRectangle (0.0f, 0.0f, w, h, 5.0f, 3.0f);
        g.setColour (juce::Colour (0x3300ff00));
        g.drawRoundedRectangle (-2.0f, -2.0f, w + 4.0f, h + 4.0f, 6.0f, 2.0f);
    }

    g.setColour (juce::Colour (hovered ? 0xff00ff00 : 0xff4a6a8a));
    g.drawRoundedRectangle (2.0f, 2.0f, w - 4.0f, h - 4.0f, 4.0f, 1.0f);

    const auto cross = [&] (float thickness)
    {
        g.drawLine (7.0f, 7.0f, w - 7.0f, h - 7.0f, thickness);
        g.drawLine (w - 7.0f, 7.0f, 7.0f, h - 7.0f, thickness);
    };

    if (hovered)
    {
        g.setColour (juce::Colour (0x8000ff00));
        cross (3.0f);
        g.setColour (juce::Colour (0xff00ff00));
    }
    else
    {
        g.setColour (juce::Colours::white);
    }

    cross (2.0f);
}

void RecordingCloseButton::mouseUp (const juce::MouseEvent& e)
{
    // A press that became a drag is not a click.
    if (! e.mouseWasDraggedSinceMouseDown() && onClick)
        onClick();
}
