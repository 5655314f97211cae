#include "controls/HeadsUpDisplay.h"

namespace
{
    using Palette = ColourHeadsUpDisplay::Palette;

    juce::Colour c (juce::uint32 argb) { return juce::Colour (argb); }

    juce::Font hudFont (float height, int styleFlags)
    {
        return juce::Font ("Times New Roman", height, styleFlags);
    }

    constexpr int boldItalic = juce::Font::bold | juce::Font::italic;
}

//==============================================================================
ColourHeadsUpDisplay::ColourHeadsUpDisplay (const Palette& p, Layout l)
    : palette (p), layout (l)
{
    setOpaque (false);

    closeButton.setButtonText ("-");
    closeButton.setColour (juce::TextButton::buttonColourId, palette.closeButton);
    closeButton.setColour (juce::TextButton::textColourOffId, palette.closeText);
    closeButton.onClick = [this] { closeFromButton(); };
    addAndMakeVisible (closeButton);
}

ColourHeadsUpDisplay::~ColourHeadsUpDisplay() = default;

void ColourHeadsUpDisplay::setInfo (const juce::String& newTitle, const juce::String& newKnobName,
                                    const juce::String& newValueText, const juce::String& newDescription)
{
    title = newTitle;
    knobName = newKnobName;
    valueText = newValueText;
    description = newDescription;
    repaint();
}

void ColourHeadsUpDisplay::closeFromButton()
{
    closedByUser = true;
    setVisible (false);

    if (onClose != nullptr)
        onClose();
}

juce::MouseCursor ColourHeadsUpDisplay::getMouseCursor()
{
    // The dragging hand is made when the pointer first asks for it, not at construction:
    // on X11 the framework builds it by decoding a tiny GIF with a decoder that reads two
    // bytes before its buffer, and displays are built long before anyone hovers them.
    return juce::MouseCursor::DraggingHandCursor;
}

void ColourHeadsUpDisplay::resized()
{
    closeButton.setBounds (getWidth() - 18, 4, 14, 14);
}

bool ColourHeadsUpDisplay::isOnCloseButton (const juce::MouseEvent& e)
{
    return closeButton.getBounds().contains (e.getEventRelativeTo (this).getPosition());
}

void ColourHeadsUpDisplay::mouseDown (const juce::MouseEvent& e)
{
    // A press that reaches the card over its close button must not turn into a drag; the
    // flag also keeps a later drag from moving the card from a stale grab point.
    dragStarted = ! isOnCloseButton (e);

    if (dragStarted)
        dragger.startDraggingComponent (this, e);
}

void ColourHeadsUpDisplay::mouseDrag (const juce::MouseEvent& e)
{
    if (dragStarted && ! isOnCloseButton (e))
        dragger.dragComponent (this, e, nullptr);
}

void ColourHeadsUpDisplay::paint (juce::Graphics& g)
{
    const auto w = getWidth(), h = getHeight();
    const auto fw = (float) w, fh = (float) h;
    const auto cyan = layout == Layout::statusLine;

    g.setColour (c (0x40000000));
    g.fillRoundedRectangle (2.0f, 2.0f, fw, fh, 4.0f);

    g.setGradientFill (juce::ColourGradient (palette.bodyTop, 0.0f, 0.0f, palette.bodyBottom, 0.0f, fh, false));
    g.fillRoundedRectangle (0.0f, 0.0f, fw, fh, 4.0f);

    g.setGradientFill (juce::ColourGradient (palette.borderTop, 0.0f, 0.0f, palette.borderBottom, 0.0f, fh, false));

    if (cyan)
        g.drawRoundedRectangle (1.0f, 1.0f, juce::jmax (fw - 2.0f, 0.0f), juce::jmax (fh - 2.0f, 0.0f), 4.0f, 2.0f);
    else
        g.drawRoundedRectangle (0.0f, 0.0f, fw, fh, 4.0f, 3.0f);

    g.setColour (palette.topLine);
    g.drawLine (6.0f, 2.0f, fw - 6.0f, 2.0f, 1.0f);
    g.setColour (palette.bottomLine);
    g.drawLine (6.0f, fh - 2.0f, fw - 6.0f, fh - 2.0f, 1.0f);

    if (title.isEmpty())
        return;

    if (cyan)
        paintStatusTexts (g, w, h);
    else
        paintFourLineTexts (g, w, h);
}

void ColourHeadsUpDisplay::paintFourLineTexts (juce::Graphics& g, int w, int)
{
    g.setColour (palette.title);
    g.setFont (hudFont (14.0f, boldItalic));
    g.drawText (title, 8, 8, w - 30, 18, juce::Justification::centred, true);

    g.setColour (palette.knobName);
    g.setFont (hudFont (12.0f, juce::Font::italic));
    g.drawText (knobName, 8, 28, w - 16, 16, juce::Justification::centred, true);

    g.setColour (palette.value);
    g.setFont (hudFont (16.0f, boldItalic));
    g.drawText (valueText, 8, 46, w - 16, 20, juce::Justification::centred, true);

    g.setColour (palette.description);
    g.setFont (hudFont (10.0f, juce::Font::italic));
    g.drawFittedText (description, juce::Rectangle<int> (8, 68, w - 16, 28), juce::Justification::centredTop, 2);
}

void ColourHeadsUpDisplay::paintStatusTexts (juce::Graphics& g, int w, int h)
{
    g.setColour (palette.title);
    g.setFont (hudFont (14.0f, boldItalic));
    g.drawText (title, 8, 8, w - 30, 18, juce::Justification::centred, true);

    const auto status = valueText.isEmpty() ? knobName : knobName + ": " + valueText;
    g.setColour (palette.knobName);
    g.setFont (hudFont (11.0f, juce::Font::italic));
    g.drawText (status, 8, 28, w - 16, 14, juce::Justification::centredLeft, true);

    if (description.isNotEmpty())
    {
        g.setColour (palette.description);
        g.setFont (hudFont (10.0f, juce::Font::italic));
        g.drawFittedText (description, juce::Rectangle<int> (8, 44, w - 16, h - 48), juce::Justification::centredLeft, 3);
    }
}

//==============================================================================
// Palettes: close button and its text, body top/bottom, border top/bottom, top and bottom
// lines, then title, knob name, value and description texts.

HeadsUpDisplay::HeadsUpDisplay()
    : ColourHeadsUpDisplay ({ c (0xffc0c0c0), c (0xff000000), c (0xffe8e8e8), c (0xffd0d0d0),
                              c (0xffffffff), c (0xff888888), c (0xffffffff).withAlpha (0.7f), c (0xff666666),
                              c (0xff000000), c (0xff000000), c (0xff000000), c (0xff444444) },
                            Layout::fourLines)
{
}

PurpleHeadsUpDisplay::PurpleHeadsUpDisplay()
    : ColourHeadsUpDisplay ({ c (0xffc090c0), c (0xff440044), c (0xfff0e0f0), c (0xffd8c0d8),
                              c (0xffffe8ff), c (0xff886688), c (0xfffff0ff).withAlpha (0.7f), c (0xff664466),
                              c (0xff440044), c (0xff440044), c (0xff660066), c (0xff663366) },
                            Layout::fourLines)
{
}

GreenHeadsUpDisplay::GreenHeadsUpDisplay()
    : ColourHeadsUpDisplay ({ c (0xff90c090), c (0xff004400), c (0xffe0f0e0), c (0xffc0d8c0),
                              c (0xffe8ffe8), c (0xff669966), c (0xfff0fff0).withAlpha (0.7f), c (0xff446644),
                              c (0xff004400), c (0xff004400), c (0xff006600), c (0xff336633) },
                            Layout::fourLines)
{
}

OrangeHeadsUpDisplay::OrangeHeadsUpDisplay()
    : ColourHeadsUpDisplay ({ c (0xffddb060), c (0xff664400), c (0xfffff0d8), c (0xffe8d0a0),
                              c (0xfffff8e0), c (0xffcc8844), c (0xffffffd0).withAlpha (0.7f), c (0xff996633),
                              c (0xff664400), c (0xff664400), c (0xffcc6600), c (0xff996644) },
                            Layout::fourLines)
{
}

MagentaHeadsUpDisplay::MagentaHeadsUpDisplay()
    : ColourHeadsUpDisplay ({ c (0xffc080b0), c (0xff400040), c (0xfff8e0f0), c (0xffe0c0d8),
                              c (0xffffe0f8), c (0xff9060a0), c (0xfffff0f8).withAlpha (0.7f), c (0xff604060),
                              c (0xff400040), c (0xff400040), c (0xff800080), c (0xff664466) },
                            Layout::fourLines)
{
}

GoldHeadsUpDisplay::GoldHeadsUpDisplay()
    : ColourHeadsUpDisplay ({ c (0xffd4a840), c (0xff402000), c (0xfff8f0d0), c (0xffe8d8a0),
                              c (0xfffff8d0), c (0xff906020), c (0xfffff8e0).withAlpha (0.7f), c (0xff806030),
                              c (0xff402000), c (0xff503010), c (0xff806000), c (0xff604020) },
                            Layout::fourLines)
{
}

CyanHeadsUpDisplay::CyanHeadsUpDisplay()
    : ColourHeadsUpDisplay ({ c (0xff80c0c0), c (0xff004444), c (0xffd8f8f8), c (0xffa0e0e0),
                              c (0xff80d0d0), c (0xff40a0a0), juce::Colours::white.withAlpha (0.4f), c (0xff206060),
                              c (0xff004444), c (0xff000000), c (0xff000000), c (0xff006666) },
                            Layout::statusLine)
{
}

void CyanHeadsUpDisplay::setText (const juce::String& newStatus)
{
    knobName = newStatus;
    repaint();
}

void CyanHeadsUpDisplay::setTitle (const juce::String& newTitle)
{
    title = newTitle;
    repaint();
}

void CyanHeadsUpDisplay::setDetailText (const juce::String& newDetail)
{
    description = newDetail;
    repaint();
}
