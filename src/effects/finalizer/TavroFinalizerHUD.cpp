#include "effects/finalizer/TavroFinalizerHUD.h"

TavroFinalizerHUD::TavroFinalizerHUD()
{
    setOpaque (false);
    setMouseCursor (juce::MouseCursor::DraggingHandCursor);

    closeButton.setButtonText ("-");
    closeButton.setColour (juce::TextButton::buttonColourId, juce::Colour (0xff60c0c0));
    closeButton.setColour (juce::TextButton::textColourOffId, juce::Colour (0xff004040));
    closeButton.onClick = [this]
    {
        setVisible (false);
        if (onClose)
            onClose();
    };
    addAndMakeVisible (closeButton);
}

TavroFinalizerHUD::~TavroFinalizerHUD() = default;

void TavroFinalizerHUD::setHoverText (const juce::String& name, const juce::String& range,
                                      const juce::String& description)
{
    hoverName = name;
    hoverRange = range;
    hoverDescription = description;
    hoverActive = true;
    repaint();
}

juce::Colour TavroFinalizerHUD::truePeakColour (float peakDb) noexcept
{
    return peakDb > -1.0f ? juce::Colour (0xffff4444) : juce::Colour (0xffffcc00);
}

void TavroFinalizerHUD::resized()
{
    closeButton.setBounds (getWidth() - 18, 4, 14, 14);
}

void TavroFinalizerHUD::mouseDown (const juce::MouseEvent& e)
{
    // A press that did not start a drag must not move the display later with the dragger's
    // anchor from an earlier press.
    dragging = ! closeButton.getBounds().contains (e.getPosition());

    if (dragging)
        dragger.startDraggingComponent (this, e);
}

void TavroFinalizerHUD::mouseDrag (const juce::MouseEvent& e)
{
    if (! dragging || closeButton.getBounds().contains (e.getPosition()))
        return;

    dragger.dragComponent (this, e, nullptr);
}

void TavroFinalizerHUD::drawReadoutRow (juce::Graphics& g, int x, int& y, const juce::String& label, float value,
                                        const juce::String& unit, juce::Colour colour) const
{
    g.setColour (juce::Colour (0xff668888));
    g.setFont (juce::Font ("Arial", 9.0f, juce::Font::plain));
    g.drawText (label, x, y, 70, 13, juce::Justification::centredLeft, false);

    g.setColour (colour);
    g.setFont (juce::Font ("Arial", 11.0f, juce::Font::bold));
    g.drawText (juce::String (value, 1) + " " + unit, x + 72, y, 70, 13, juce::Justification::centredLeft, false);

    y += 15;
}

void TavroFinalizerHUD::paint (juce::Graphics& g)
{
    const int w = getWidth();
    const int h = getHeight();
    const int cw = w - 24;

    g.setColour (juce::Colour (0x50000000));
    g.fillRoundedRectangle (3.0f, 3.0f, (float) w, (float) h, 6.0f);

    g.setGradientFill (juce::ColourGradient (juce::Colour (0xff1a3038), 0.0f, 0.0f,
                                             juce::Colour (0xff0a1820), 0.0f, (float) h, false));
    g.fillRoundedRectangle (0.0f, 0.0f, (float) w, (float) h, 6.0f);

    g.setColour (juce::Colour (0xff00cccc));
    g.drawRoundedRectangle (1.0f, 1.0f, (float) juce::jmax (w - 2, 0), (float) juce::jmax (h - 2, 0), 5.0f, 2.0f);

    g.setColour (juce::Colour (0x3000ffff));
    g.drawRoundedRectangle (3.0f, 3.0f, (float) juce::jmax (w - 6, 0), (float) juce::jmax (h - 6, 0), 4.0f, 1.0f);

    g.setColour (juce::Colour (0xff00ffff));
    g.setFont (juce::Font ("Arial", 13.0f, juce::Font::bold));
    g.drawText ("TAVRO FINALIZER", 12, 10, cw, 16, juce::Justification::centred, true);

    int y = 32;

    {
        juce::ColourGradient separator (juce::Colour (0x0000ffff), 12.0f, (float) y,
                                        juce::Colour (0xff00ffff), 12.0f + (float) cw / 2.0f, (float) y, false);
        separator.addColour (1.0, juce::Colour (0x0000ffff));
        g.setGradientFill (separator);
        g.fillRect (12, y, cw, 1);
    }
    y += 8;

    if (hoverActive)
    {
        g.setColour (juce::Colour (0xff00ffaa));
        g.setFont (juce::Font ("Arial", 14.0f, juce::Font::bold));
        g.drawText (hoverName, 12, y, cw, 18, juce::Justification::centredLeft, true);
        y += 20;

        g.setColour (juce::Colour (0xff00ccff));
        g.setFont (juce::Font ("Arial", 11.0f, juce::Font::plain));
        g.drawText ("Range: " + hoverRange, 12, y, cw, 14, juce::Justification::centredLeft, true);
        y += 18;

        g.setColour (juce::Colour (0xffaacccc));
        g.setFont (juce::Font ("Arial", 10.0f, juce::Font::plain));
        g.drawFittedText (hoverDescription, 12, y, cw, 40, juce::Justification::topLeft, 3);
        y += 48;

        g.setColour (juce::Colour (0x4000ffff));
        g.fillRect (12, y, cw, 1);
        y += 8;
    }

    drawReadoutRow (g, 12, y, "INTEGRATED", integratedLufs, "LUFS", juce::Colour (0xff00ffff));
    drawReadoutRow (g, 12, y, "SHORT-TERM", shortTermLufs, "LUFS", juce::Colour (0xff00ccff));
    drawReadoutRow (g, 12, y, "MOMENTARY", momentaryLufs, "LUFS", juce::Colour (0xff44ffaa));
    drawReadoutRow (g, 12, y, "TRUE PEAK", truePeakDb, "dBTP", truePeakColour (truePeakDb));
    drawReadoutRow (g, 12, y, "LRA", loudnessRange, "LU", juce::Colour (0xffffaa44));

    const int footerY = h - 22;
    g.setColour (juce::Colour (0x4000ffff));
    g.fillRect (12, footerY - 5, cw, 1);

    g.setColour (juce::Colour (0xff446666));
    g.setFont (juce::Font ("Arial", 8.0f, juce::Font::italic));
    g.drawText ("Hover over controls for info", 12, footerY, cw, 12, juce::Justification::centred, false);
}
