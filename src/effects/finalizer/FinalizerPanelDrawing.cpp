// The compact finalizer panel's layout and everything it paints itself: the panel's face, the
// stereo width scope, the signal-character text and the metallic switches.

#include "effects/finalizer/FinalizerPanel.h"

#include <cmath>

void FinalizerPanel::paint (juce::Graphics& g)
{
    g.setGradientFill (juce::ColourGradient (juce::Colour (0xffe6e8ed), 0.0f, 0.0f,
                                             juce::Colour (0xff9ba1aa), 0.0f, (float) getHeight(), false));
    g.fillAll();
    g.setColour (juce::Colour (0xff3a5a7a));
    g.drawRect (getLocalBounds(), 1);
    g.setColour (juce::Colour (0x20ffffff));
    g.drawRect (1, 1, getWidth() - 2, getHeight() - 2, 1);
}

void FinalizerPanel::resized()
{
    const int wi = juce::jmax (0, getWidth() - 8);
    int remaining = juce::jmax (0, getHeight() - 8);
    const auto take = [&remaining] (int height) { remaining -= juce::jmin (height, remaining); };

    titleLabel.setBounds (4, 4, juce::jmin (wi, 100), 28);
    statusLabel.setBounds (114, 4, juce::jmax (0, wi - 110), 28);
    take (28);
    take (4);

    const auto knobs = toneKnobs();
    for (int i = 0; i < (int) knobs.size(); ++i)
        knobs[(size_t) i]->setBounds (7 + 42 * i, 39, 40, 50);
    take (56);

    waveformView.setBounds (4, 92, wi, 150);
    take (150);

    layoutBottomRegion (wi, remaining);

    hudButton.setBounds (getWidth() - 84, getHeight() - 70, 72, 26);
    bypassButton.setBounds (getWidth() - 84, getHeight() - 38, 72, 26);

    // The image knobs sit over the lower part of the scope.
    const auto scope = widthScope.getBounds();
    ParamSlider* const imageKnobs[] = { &widthKnob, &asymKnob, &rotateKnob };
    for (int i = 0; i < 3; ++i)
    {
        imageKnobs[i]->setBounds (scope.getCentreX() - 69 + 48 * i, scope.getBottom() - 50, 42, 42);
        imageKnobs[i]->toFront (false);
    }
}

void FinalizerPanel::layoutBottomRegion (int wi, int remaining)
{
    constexpr int knobSize = 42, pitch = 50;
    const int y0 = 92 + 150 + 6;
    const int hb = juce::jmax (0, remaining - 12);

    const int o = juce::jmax (140, juce::jmin (wi / 2, remaining));
    const int c = juce::jmin (wi, o);
    widthScope.setBounds (10 + (c - o) / 2, y0 + (hb - (o - 12)) / 2, o - 12, o - 12);

    const int u = juce::jmin (juce::jmax (wi - c - 12, 0), 240);
    messagePanel.setBounds (c + 10, y0, u, hb);

    const int xR = c + 10 + u;
    const int wR = wi - c - 12 - u;
    const auto rowLeft = [xR, wR] (int rowWidth) { return xR + (wR - rowWidth) / 2; };

    // Rows run down the region; a row that no longer fits moves up by half what it lacks.
    int cursor = y0;
    const auto nextRow = [&cursor, bottom = y0 + hb] (int height, int gapAfter)
    {
        const int shortfall = height - (bottom - cursor);
        const int y = shortfall > 0 ? cursor - shortfall / 2 : cursor;
        cursor += height + gapAfter;
        return y;
    };

    const int row1 = nextRow (knobSize, 12);
    const int left1 = rowLeft (8 * knobSize + 7 * 8);
    juce::Component* const widthRow[] = { &bandWidthKnobs[0], &bandWidthKnobs[1], &bandWidthKnobs[2], &bandWidthKnobs[3],
                                          &bandWidthKnobs[4], &bandWidthKnobs[5], &aboveKnob, &belowKnob };
    for (int i = 0; i < 8; ++i)
        widthRow[i]->setBounds (left1 + pitch * i, row1, knobSize, knobSize);
    widthLabel.setBounds (left1 - 46, row1, 42, 42);

    const int row2 = nextRow (knobSize, 6);
    const int left2 = rowLeft (6 * knobSize + 5 * 8);
    for (int i = 0; i < 6; ++i)
        bandDriveKnobs[(size_t) i].setBounds (left2 + pitch * i, row2, knobSize, knobSize);
    distLabel.setBounds (left2 - 46, row2, 42, 42);

    const int row3 = nextRow (20, 12);
    for (int i = 0; i < 6; ++i)
        bandModeBoxes[(size_t) i].setBounds (left2 + 4 + pitch * i, row3, 34, 20);

    const int row4 = nextRow (knobSize, 12);
    const int left4 = rowLeft (4 * knobSize + 3 * 8);
    juce::Component* const characterRow[] = { &densityKnob, &articKnob, &residueKnob, &motionKnob };
    for (int i = 0; i < 4; ++i)
        characterRow[i]->setBounds (left4 + pitch * i, row4, knobSize, knobSize);
    atomizeLabel.setBounds (left4 - 54, row4, 50, 42);

    const int row5 = nextRow (knobSize, 0);
    const int left5 = rowLeft (2 * knobSize + 8);
    leftMixKnob.setBounds (left5, row5, knobSize, knobSize);
    rightMixKnob.setBounds (left5 + pitch, row5, knobSize, knobSize);
}

//==============================================================================
FinalizerPanel::StereoWidthScope::Colours FinalizerPanel::StereoWidthScope::coloursFor (const std::array<float, 5>& d)
{
    Colours c { juce::Colour (0x9026c6ff), juce::Colour (0x5033ffaa), juce::Colour (0xff6ee0ff) };

    // Wide images pull toward cyan, narrow ones toward orange; skew and rotation tint the rest.
    if (d[width] > 1.2f)
    {
        const float t = juce::jlimit (0.0f, 1.0f, (d[width] - 1.2f) / 1.8f);
        c.fillStart = c.fillStart.interpolatedWith (juce::Colour (0xff00ffff), 0.7f * t);
        c.outline = c.outline.interpolatedWith (juce::Colour (0xff00ffff), 0.8f * t);
    }
    else if (d[width] < 0.8f)
    {
        const float t = juce::jlimit (0.0f, 1.0f, (0.8f - d[width]) / 0.8f);
        c.fillStart = c.fillStart.interpolatedWith (juce::Colour (0xffff8800), 0.7f * t);
        c.outline = c.outline.interpolatedWith (juce::Colour (0xffffaa00), 0.8f * t);
    }

    if (std::abs (d[asymmetry]) > 2.0f)
        c.fillEnd = c.fillEnd.interpolatedWith (juce::Colour (0x80ffff00),
                                                0.5f * juce::jlimit (0.0f, 1.0f, std::abs (d[asymmetry]) / 90.0f));

    if (std::abs (d[rotation]) > 2.0f)
    {
        const float t = 0.4f * juce::jlimit (0.0f, 1.0f, std::abs (d[rotation]) / 45.0f);
        c.fillStart = c.fillStart.interpolatedWith (juce::Colour (0xffaa44ff), t);
        c.fillEnd = c.fillEnd.interpolatedWith (juce::Colour (0x60cc66ff), t);
    }
    return c;
}

std::array<FinalizerPanel::StereoWidthScope::Badge, 4> FinalizerPanel::StereoWidthScope::badgesFor (const std::array<float, 5>& d)
{
    const auto degrees = juce::String::fromUTF8 ("\xc2\xb0");
    const float ratio = d[midLevel] <= 0.01f ? 0.0f : d[sideLevel] / d[midLevel];

    return { {
        { "W:", juce::String (d[width], 2), std::abs (d[width] - 1.0f) > 0.05f,
          juce::Colour (d[width] > 1.0f ? 0xff00ddff : 0xffffaa00) },
        { "A:", juce::String ((int) d[asymmetry]) + degrees, std::abs (d[asymmetry]) > 2.0f, juce::Colour (0xffffdd00) },
        { "R:", juce::String ((int) d[rotation]) + degrees, std::abs (d[rotation]) > 2.0f, juce::Colour (0xffbb66ff) },
        { "S:", juce::String (ratio, 1), d[midLevel] <= 0.01f || ratio > 0.8f || ratio < 0.3f,
          juce::Colour (ratio > 1.0f ? 0xff44ff88 : 0xff88aaff) },
    } };
}

void FinalizerPanel::StereoWidthScope::drawScopeBadge (juce::Graphics& g, int x, int y, const Badge& badge)
{
    const juce::Rectangle<float> box ((float) x, (float) y, 44.0f, 16.0f);

    if (badge.highlighted)
    {
        g.setColour (badge.colour.withAlpha (0.3f));
        g.fillRoundedRectangle (box.expanded (3.0f), 5.0f);
        g.setColour (badge.colour.withAlpha (0.15f));
        g.fillRoundedRectangle (box.expanded (6.0f), 7.0f);
        g.setColour (badge.colour.withAlpha (0.2f));
        g.fillRoundedRectangle (box, 3.0f);
        g.setColour (badge.colour.withAlpha (0.7f));
        g.drawRoundedRectangle (box, 3.0f, 1.0f);
    }
    else
    {
        g.setColour (juce::Colour (0x30ffffff));
        g.fillRoundedRectangle (box, 3.0f);
        g.setColour (juce::Colour (0x50ffffff));
        g.drawRoundedRectangle (box, 3.0f, 1.0f);
    }

    g.setFont (juce::Font ("Consolas", 9.0f, juce::Font::bold));
    g.setColour (badge.highlighted ? badge.colour : juce::Colour (0xff667788));
    g.drawText (badge.label + badge.value, box, juce::Justification::centred, true);
}

void FinalizerPanel::StereoWidthScope::paint (juce::Graphics& g)
{
    const auto w = (float) getWidth(), h = (float) getHeight();
    const float cx = w / 2.0f, cy = h / 2.0f;
    const auto& d = displayValues;

    g.fillAll (juce::Colour (0xff0a0e14));
    g.setColour (juce::Colour (0xff1a2030));
    for (int i = 1; i < 4; ++i)
    {
        g.fillRect ((int) ((float) i * w / 4.0f), 0, 1, getHeight());
        g.fillRect (0, (int) ((float) i * h / 4.0f), getWidth(), 1);
    }

    const float mid = (0.5f + 0.5f * d[midLevel]) * 0.85f * h * 0.85f * 0.5f;
    const float side = (0.35f + 0.65f * d[sideLevel]) * 0.85f * w * 0.5f * d[width] * 0.55f;
    const float k = d[asymmetry] / 90.0f * 0.75f;
    const float angle = juce::degreesToRadians (d[rotation]);
    const float cosA = std::cos (angle), sinA = std::sin (angle);
    const auto rot = [=] (float x, float y)
    {
        return juce::Point<float> (cx + cosA * (x - cx) - sinA * (y - cy), cy + sinA * (x - cx) + cosA * (y - cy));
    };

    g.setColour (juce::Colour (0xff3a6080));
    g.drawLine (juce::Line<float> (rot (cx, cy - mid - 10.0f), rot (cx, cy + mid + 10.0f)), 1.5f);

    const auto p0 = rot (cx, cy + mid);
    const auto p1 = rot (cx - (1.0f - k) * side, cy - mid);
    const auto p2 = rot (cx + (1.0f + k) * side, cy - mid);
    juce::Path triangle;
    triangle.addTriangle (p0, p1, p2);

    const auto colours = coloursFor (d);
    g.setGradientFill (juce::ColourGradient (colours.fillStart, p0, colours.fillEnd,
                                             { (p1.x + p2.x) / 2.0f, cy - mid }, false));
    g.fillPath (triangle);
    g.setColour (colours.outline);
    g.strokePath (triangle, juce::PathStrokeType (1.8f));

    const auto badges = badgesFor (d);
    drawScopeBadge (g, 4, 4, badges[0]);
    drawScopeBadge (g, getWidth() - 48, 4, badges[1]);
    drawScopeBadge (g, 4, getHeight() - 20, badges[2]);
    drawScopeBadge (g, getWidth() - 48, getHeight() - 20, badges[3]);

    g.setFont (juce::Font ("Arial", 10.0f, juce::Font::bold));
    g.setColour (juce::Colour (0xff668899));
    const int letterY = (int) (h / 2.0f - 6.0f);
    g.drawText ("L", 4, letterY, 12, 12, juce::Justification::centred, false);
    g.drawText ("R", (int) (w - 16.0f), letterY, 12, 12, juce::Justification::centred, false);
}

//==============================================================================
void FinalizerPanel::AIMsgPanel::paint (juce::Graphics& g)
{
    const auto w = (float) getWidth(), h = (float) getHeight();
    const juce::Rectangle<float> area (0.0f, 0.0f, w, h);

    g.setGradientFill (juce::ColourGradient (juce::Colour (0xffe6e8ed), 0.0f, 0.0f, juce::Colour (0xff9ba1aa), 0.0f, h, false));
    g.fillRoundedRectangle (area, 6.0f);
    g.setColour (juce::Colour (0xff3a5a7a));
    g.drawRoundedRectangle (area, 6.0f, 1.2f);
    g.setColour (juce::Colour (0x20ffffff));
    g.drawRoundedRectangle (area.reduced (1.2f), 6.0f, 1.0f);

    const int innerW = juce::jmax (0, getWidth() - 16), innerH = juce::jmax (0, getHeight() - 16);
    g.setColour (juce::Colour (0xff1f3a4d));
    g.setFont (juce::Font ("Consolas", 12.0f, juce::Font::bold));
    g.drawText ("SIGNAL CHARACTER", 8, 8, innerW, juce::jmin (innerH, 18), juce::Justification::centredLeft, false);

    const int titleH = juce::jmin (innerH, 20);
    g.setColour (juce::Colour (0xff1f1f1f));
    g.setFont (juce::Font ("Consolas", 11.0f, juce::Font::plain));
    g.drawFittedText (text, 8, 8 + titleH, innerW, juce::jmax (0, innerH - titleH), juce::Justification::topLeft, 6, 0.0f);
}

//==============================================================================
void FinalizerPanel::MetallicButtonLookAndFeel::drawButtonBackground (juce::Graphics& g, juce::Button& button,
                                                                       const juce::Colour&, bool highlighted, bool down)
{
    const bool on = button.getToggleState();
    const auto w = (float) button.getWidth(), h = (float) button.getHeight();
    auto top = juce::Colour (on ? 0xff3a3a3a : 0xffc8c8c8);
    auto bottom = juce::Colour (on ? 0xff1a1a1a : 0xff888888);

    const auto shade = [] (juce::Colour c, const std::function<float (float)>& f)
    {
        return juce::Colour ((juce::uint8) f ((float) c.getRed()), (juce::uint8) f ((float) c.getGreen()),
                             (juce::uint8) f ((float) c.getBlue()), c.getAlpha());
    };
    if (down)
    {
        const auto darker = [] (float v) { return v / 1.2f; };
        top = shade (top, darker);
        bottom = shade (bottom, darker);
    }
    else if (highlighted)
    {
        const auto brighter = [] (float v) { return 255.0f - (255.0f - v) / 1.1f; };
        top = shade (top, brighter);
        bottom = shade (bottom, brighter);
    }

    const juce::Rectangle<float> body (1.0f, 1.0f, w - 2.0f, h - 2.0f);
    g.setColour (juce::Colour (0xff2a2a2a));
    g.fillRoundedRectangle (body.translated (0.0f, 1.0f), 4.0f);
    g.setGradientFill (juce::ColourGradient (top, 0.0f, 1.0f, bottom, 0.0f, h - 1.0f, false));
    g.fillRoundedRectangle (body, 4.0f);

    if (w - 5.0f > 5.0f)
    {
        g.setColour (juce::Colour (on ? 0x30ffffff : 0x60ffffff));
        g.drawLine (5.0f, 3.0f, w - 5.0f, 3.0f);
        g.setColour (juce::Colour (0x40000000));
        g.drawLine (5.0f, h - 3.0f, w - 5.0f, h - 3.0f);
    }

    g.setColour (juce::Colour (0xff3a3a3a));
    g.drawRoundedRectangle (body, 4.0f, 1.0f);
}

void FinalizerPanel::MetallicButtonLookAndFeel::drawButtonText (juce::Graphics& g, juce::TextButton& button, bool, bool)
{
    g.setFont (juce::Font ("Arial", 11.0f, juce::Font::bold));
    g.setColour (juce::Colour (button.getToggleState() ? 0xffff6644 : 0xff1a1a1a));
    g.drawText (button.getButtonText(), button.getLocalBounds(), juce::Justification::centred, true);
}
