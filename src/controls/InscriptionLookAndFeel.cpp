#include "controls/InscriptionLookAndFeel.h"

#include <cmath>

namespace
{
    const juce::Colour inkColour (0xff1a1a2e);
    const juce::Colour steelBlue (0xff4682b4);
    const juce::Colour markerYellow (0xffffff00);

    juce::Rectangle<float> nonNegative (float x, float y, float w, float h)
    {
        return { x, y, juce::jmax (w, 0.0f), juce::jmax (h, 0.0f) };
    }
}

//==============================================================================
InscriptionLookAndFeel::InscriptionLookAndFeel()
    : buttonFont ("Times New Roman", 14.0f, juce::Font::bold | juce::Font::italic)
{
}

bool InscriptionLookAndFeel::isMarked (const juce::Button& button)
{
    const auto& text = button.getButtonText();

    return text.containsIgnoreCase ("CAPTURE")
        || text.contains ("....")
        || (text.containsIgnoreCase ("KEYS") && button.getToggleState());
}

void InscriptionLookAndFeel::drawButtonBackground (juce::Graphics& g, juce::Button& button, const juce::Colour&,
                                                   bool shouldDrawButtonAsHighlighted, bool shouldDrawButtonAsDown)
{
    const auto w = (float) juce::jmax (button.getWidth() - 2, 0);
    const auto h = (float) juce::jmax (button.getHeight() - 2, 0);

    juce::Colour main (0xff87ceeb), light (0xffb0e0e6);

    if (shouldDrawButtonAsDown)
    {
        main = juce::Colour (0xff75b3cc);
        light = juce::Colour (0xff99c2c8);
    }
    else if (shouldDrawButtonAsHighlighted)
    {
        main = juce::Colour (0xff91d2ec);
        light = juce::Colour (0xffbae4e9);
    }

    juce::ColourGradient body (light, 1.0f, 1.0f, juce::Colour (0xff5cacee), w + 1.0f, h + 1.0f, false);
    body.addColour (0.3, main);
    body.addColour (0.7, main.darker (0.05f));
    g.setGradientFill (body);
    g.fillRoundedRectangle (1.0f, 1.0f, w, h, 4.0f);

    if (! shouldDrawButtonAsDown)
    {
        const auto white = juce::Colours::white;

        juce::Path facet;
        facet.startNewSubPath (1.0f, 5.0f);
        facet.lineTo (0.4f * w + 1.0f, 5.0f);
        facet.lineTo (0.24f * w + 1.0f, 0.4f * h + 1.0f);
        facet.lineTo (1.0f, 0.3f * h + 1.0f);
        facet.closeSubPath();
        g.setColour (white.withAlpha (0.35f));
        g.fillPath (facet);

        g.setGradientFill (juce::ColourGradient (white.withAlpha (0.5f), 1.0f, 1.0f, white.withAlpha (0.0f), 1.0f, 9.0f, false));
        g.fillRoundedRectangle (nonNegative (3.0f, 2.0f, w - 4.0f, 6.0f), 3.0f);

        g.setGradientFill (juce::ColourGradient (white.withAlpha (0.3f), 1.0f, 1.0f, white.withAlpha (0.0f), 11.0f, 1.0f, false));
        g.fillRoundedRectangle (nonNegative (2.0f, 3.0f, 8.0f, h - 4.0f), 3.0f);
    }

    g.setColour (juce::Colour (0x664c8fc6));
    g.drawLine (5.0f, h, w - 1.0f, h, 1.0f);
    g.drawLine (w, 5.0f, w, h - 1.0f, 1.0f);

    if (isMarked (button))
    {
        g.setColour (markerYellow);
        g.drawRoundedRectangle (1.0f, 1.0f, w, h, 4.0f, 2.0f);
        g.setColour (markerYellow.withAlpha (0.4f));
        g.drawRoundedRectangle (nonNegative (3.0f, 3.0f, w - 4.0f, h - 4.0f), 3.0f, 1.0f);
    }
    else
    {
        g.setColour (juce::Colour (0xff3f76a3));
        g.drawRoundedRectangle (1.0f, 1.0f, w, h, 4.0f, 1.0f);
    }
}

juce::Font InscriptionLookAndFeel::getTextButtonFont (juce::TextButton&, int buttonHeight)
{
    return buttonFont.withHeight (juce::jmin (0.5f * (float) buttonHeight, 14.0f));
}

void InscriptionLookAndFeel::drawButtonText (juce::Graphics& g, juce::TextButton& button,
                                             bool, bool shouldDrawButtonAsDown)
{
    g.setFont (buttonFont);

    const auto switchedOn = button.getClickingTogglesState() && button.getToggleState();
    auto colour = button.findColour (switchedOn ? juce::TextButton::textColourOnId
                                                : juce::TextButton::textColourOffId);

    // Invisible or plain white lettering would vanish on the pale glass.
    if (colour.getAlpha() == 0 || colour.getARGB() == 0xffffffff)
        colour = inkColour;

    if (! button.isEnabled())
        colour = colour.withAlpha ((juce::uint8) 128);

    const auto text = button.getButtonText().toUpperCase();
    const auto w = button.getWidth(), h = button.getHeight();

    const auto drawAt = [&] (juce::Colour c, int dx, int dy)
    {
        g.setColour (c);
        g.drawText (text, juce::Rectangle<int> (dx, dy, w, h), juce::Justification::centred, true);
    };

    const auto hue = colour.getHue();

    if (switchedOn && hue > 0.1f && hue < 0.2f)
    {
        for (int d = 4; d >= 1; --d)
        {
            const auto halo = markerYellow.withAlpha ((float) (5 - d) * 0.15f);
            drawAt (halo, -d, -d);
            drawAt (halo, d, -d);
            drawAt (halo, -d, d);
            drawAt (halo, d, d);
        }

        drawAt (juce::Colours::white.withAlpha (0.7f), 0, -1);
        drawAt (markerYellow, 0, 0);
        return;
    }

    if (! shouldDrawButtonAsDown)
        drawAt (juce::Colours::white.withAlpha (0.5f), 0, 1);

    drawAt (colour, 0, 0);
}

void InscriptionLookAndFeel::drawToggleButton (juce::Graphics& g, juce::ToggleButton& button,
                                               bool shouldDrawButtonAsHighlighted, bool shouldDrawButtonAsDown)
{
    drawButtonBackground (g, button, juce::Colours::white, shouldDrawButtonAsHighlighted, shouldDrawButtonAsDown);

    const auto w = button.getWidth(), h = button.getHeight();
    const auto s = (float) juce::jmax (juce::jmin (w, h) - 12, 0);
    const auto b = (float) juce::jmax (h - 12, 0);

    g.setColour (juce::Colours::white);
    g.fillRoundedRectangle (6.0f, 6.0f, s, b, 3.0f);
    g.setColour (steelBlue);
    g.drawRoundedRectangle (6.0f, 6.0f, s, b, 3.0f, 1.0f);

    if (button.getToggleState())
    {
        const auto outer = juce::jmax (s - 4.0f, 0.0f) / 2.0f;
        const juce::Point<float> centre (outer + 8.0f, juce::jmax (b - 4.0f, 0.0f) / 2.0f + 8.0f);

        juce::Path star;

        for (int i = 0; i < 12; ++i)
        {
            const auto angle = (float) i * juce::MathConstants<float>::pi / 6.0f - juce::MathConstants<float>::halfPi;
            const auto radius = (i % 2 == 0) ? outer : 0.4f * outer;
            const juce::Point<float> point (centre.x + radius * std::cos (angle), centre.y + radius * std::sin (angle));

            if (i == 0)
                star.startNewSubPath (point);
            else
                star.lineTo (point);
        }

        star.closeSubPath();
        g.setColour (juce::Colour (0xffffd700));
        g.fillPath (star);
    }

    g.setFont (buttonFont);
    g.setColour (inkColour);
    g.drawText (button.getButtonText().toUpperCase(), juce::Rectangle<int> (h, 0, juce::jmax (w - h, 0), h),
                juce::Justification::centredLeft, true);
}

void InscriptionLookAndFeel::drawPopupMenuBackground (juce::Graphics& g, int width, int height)
{
    g.setGradientFill (juce::ColourGradient (juce::Colour (0xffb0e0e6), 0.0f, 0.0f,
                                             juce::Colour (0xff87ceeb), (float) width, (float) height, false));
    g.fillRect (0, 0, width, height);
    g.setColour (steelBlue);
    g.drawRect (0, 0, width, height, 1);
}

void InscriptionLookAndFeel::drawPopupMenuItem (juce::Graphics& g, const juce::Rectangle<int>& area,
                                                bool isSeparator, bool isActive, bool isHighlighted, bool isTicked,
                                                bool hasSubMenu, const juce::String& text,
                                                const juce::String&, const juce::Drawable*, const juce::Colour*)
{
    const auto h = juce::jmax (area.getHeight(), 0);

    if (isSeparator)
    {
        const auto k = juce::jmin (h / 2 - 1, h);
        g.setColour (steelBlue.withAlpha (0.5f));
        g.fillRect (area.getX() + 5, area.getY() + k, juce::jmax (area.getWidth() - 10, 0), juce::jmin (1, h - k));
        return;
    }

    const juce::Rectangle<int> a (area.getX() + 1, area.getY() + 1,
                                  juce::jmax (area.getWidth() - 2, 0), juce::jmax (area.getHeight() - 2, 0));

    if (isHighlighted && isActive)
    {
        g.setColour (juce::Colour (0xff5cacee));
        g.fillRect (a);
    }

    auto colour = isActive ? inkColour : juce::Colour (0xff808080);
    auto textArea = juce::Rectangle<int> (a.getX() + 10, a.getY(), juce::jmax (a.getWidth() - 20, 0), a.getHeight());

    if (isTicked)
    {
        colour = inkColour;
        const auto tickArea = textArea.removeFromLeft (juce::jmin (textArea.getWidth(), 20));

        // The serif face has no check mark; the symbol face does.
        g.setColour (colour);
        g.setFont (juce::Font ("DejaVu Sans", 14.0f, juce::Font::plain));
        g.drawText (juce::String::fromUTF8 ("\xe2\x9c\x93"), tickArea, juce::Justification::centred, true);
    }

    g.setColour (colour);
    g.setFont (juce::Font ("Times New Roman", 14.0f, juce::Font::italic));
    g.drawFittedText (text, textArea, juce::Justification::centredLeft, 1);

    if (hasSubMenu)
    {
        const auto arrow = 0.6f * (float) a.getHeight();
        const auto x0 = (float) (a.getX() + a.getWidth() - 10);
        const auto yc = (float) (a.getY() + a.getHeight() / 2);

        juce::Path path;
        path.startNewSubPath (x0, yc - arrow / 2.0f);
        path.lineTo (x0 + 0.6f * arrow, yc);
        path.lineTo (x0, yc + arrow / 2.0f);
        g.setColour (inkColour);
        g.strokePath (path, juce::PathStrokeType (1.5f));
    }
}

juce::Font InscriptionLookAndFeel::getPopupMenuFont()
{
    return juce::Font ("Times New Roman", 14.0f, juce::Font::italic);
}

//==============================================================================
InscriptionScrollbarLookAndFeel::InscriptionScrollbarLookAndFeel()
{
    setColour (juce::ScrollBar::backgroundColourId, juce::Colour (0xff404048));
    setColour (juce::ScrollBar::thumbColourId, juce::Colour (0xffc0c0c8));
}

void InscriptionScrollbarLookAndFeel::drawScrollbar (juce::Graphics& g, juce::ScrollBar&, int x, int y, int width, int height,
                                                     bool isScrollbarVertical, int thumbStartPosition, int thumbSize,
                                                     bool isMouseOver, bool isMouseDown)
{
    const auto fx = (float) x, fy = (float) y, fw = (float) width, fh = (float) height;

    g.setGradientFill (juce::ColourGradient (juce::Colour (0xff353540), fx, fy, juce::Colour (0xff505058), fx + fw, fy, false));
    g.fillRoundedRectangle (nonNegative (fx, fy, fw, fh), 4.0f);
    g.setColour (juce::Colour (0xff252530));
    g.drawRoundedRectangle (nonNegative (fx + 0.5f, fy + 0.5f, fw - 1.0f, fh - 1.0f), 4.0f, 1.0f);

    if (thumbSize <= 0)
        return;

    const auto thumb = isScrollbarVertical
        ? nonNegative (fx + 1.0f, (float) thumbStartPosition, fw - 2.0f, (float) thumbSize)
        : nonNegative ((float) thumbStartPosition, fy + 1.0f, (float) thumbSize, fh - 2.0f);
    const auto tx = thumb.getX(), ty = thumb.getY(), tw = thumb.getWidth(), th = thumb.getHeight();

    const auto base = isMouseDown ? juce::Colour (0xff909098)
                    : isMouseOver ? juce::Colour (0xffd8d8e0)
                                  : juce::Colour (0xffc0c0c8);

    juce::ColourGradient fill (base.brighter (0.3f), tx, ty, base.darker (0.2f), tx + tw, ty + th, false);
    fill.addColour (0.3, base);
    fill.addColour (0.7, base.darker (0.1f));
    g.setGradientFill (fill);
    g.fillRoundedRectangle (thumb, 3.0f);

    if (! isMouseDown)
    {
        const auto white = juce::Colours::white;
        g.setGradientFill (juce::ColourGradient (white.withAlpha (0.4f), tx, ty, white.withAlpha (0.0f), tx, ty + 6.0f, false));
        g.fillRoundedRectangle (nonNegative (tx + 1.0f, ty + 1.0f, tw - 2.0f, 5.0f), 2.0f);
    }

    if (isMouseOver || isMouseDown)
    {
        g.setColour (juce::Colour (0xff87ceeb).withAlpha (0.6f));

        if (isScrollbarVertical)
            g.drawLine (tx + tw / 2.0f, ty + 4.0f, tx + tw / 2.0f, ty + th - 4.0f, 2.0f);
        else
            g.drawLine (tx + 4.0f, ty + th / 2.0f, tx + tw - 4.0f, ty + th / 2.0f, 2.0f);
    }

    g.setColour (juce::Colour (0xff606068));
    g.drawRoundedRectangle (thumb, 3.0f, 1.0f);
}

int InscriptionScrollbarLookAndFeel::getMinimumScrollbarThumbSize (juce::ScrollBar&)
{
    return 30;
}

int InscriptionScrollbarLookAndFeel::getDefaultScrollbarWidth()
{
    return 12;
}
