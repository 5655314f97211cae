#include "controls/SilverKnobLookAndFeel.h"

#include "controls/BlinkingLamp.h"

#include <cmath>

KnobGeometry::KnobGeometry (int x, int y, int width, int height, float proportion, float capRatio) noexcept
{
    const auto usableWidth = (float) juce::jmax (width - 4, 0);
    diameter = juce::jmin (usableWidth, (float) juce::jmax (height - 4, 0) - 18.0f);
    centreX = (float) x + 2.0f + usableWidth / 2.0f;
    centreY = (float) y + 2.0f + diameter / 2.0f;
    bezelRadius = 0.44f * diameter;
    faceRadius = 0.88f * bezelRadius;
    capRadius = capRatio * bezelRadius;

    // 270 degrees of sweep from down-left through straight up to down-right, whatever rotary
    // angles the slider itself was given.
    angle = proportion * 1.5f * juce::MathConstants<float>::pi + 2.3561945f;

    captionArea = { (float) x, (float) y + 2.0f + diameter + 0.15f * bezelRadius, (float) width, 12.0f };
}

juce::Point<float> KnobGeometry::pointAt (float a, float distance) const noexcept
{
    return { centreX + distance * std::cos (a), centreY + distance * std::sin (a) };
}

juce::Rectangle<float> KnobGeometry::circle (float radius) const noexcept
{
    return { centreX - radius, centreY - radius, 2.0f * radius, 2.0f * radius };
}

namespace
{
    juce::ColourGradient vertical (juce::Colour top, float x, float y1, juce::Colour bottom, float y2)
    {
        return juce::ColourGradient (top, x, y1, bottom, x, y2, false);
    }
}

void SilverKnobLookAndFeel::drawRotarySlider (juce::Graphics& g, int x, int y, int width, int height, float sliderPos,
                                              float, float, juce::Slider& slider)
{
    const KnobGeometry k (x, y, width, height, sliderPos, 0.18f);

    if (! k.isDrawable())
        return;

    const auto cx = k.centreX, cy = k.centreY, r = k.bezelRadius, f = k.faceRadius, c = k.capRadius;
    const auto black = juce::Colours::black;
    const auto white = juce::Colours::white;

    g.setColour (black.withAlpha (0.5f));
    g.fillEllipse (cx - r + 3.0f, cy - r + 4.0f, 2.0f * r, 2.0f * r);
    g.setColour (black.withAlpha (0.3f));
    g.fillEllipse (cx - r + 2.0f, cy - r + 3.0f, 2.0f * r, 2.0f * r);

    g.setGradientFill (juce::ColourGradient (juce::Colour (0xff6688aa), cx - r, cy - r,
                                             juce::Colour (0xff334455), cx + r, cy + r, false));
    g.fillEllipse (k.circle (r));

    juce::ColourGradient face (juce::Colour (0xffffffff), cx - 0.5f * f, cy - 0.5f * f,
                               juce::Colour (0xff808898), cx + 0.7f * f, cy + 0.7f * f, false);
    face.addColour (0.15, juce::Colour (0xfff8f8ff));
    face.addColour (0.35, juce::Colour (0xffd0d8e8));
    face.addColour (0.55, juce::Colour (0xffb0b8c8));
    face.addColour (0.75, juce::Colour (0xff909098));
    g.setGradientFill (face);
    g.fillEllipse (k.circle (f));

    g.setGradientFill (vertical (white.withAlpha (0.8f), cx, cy - 0.65f * f, white.withAlpha (0.0f), cy - 0.15f * f));
    g.fillEllipse (cx - 0.65f * f, cy - 0.9f * f, 1.3f * f, 0.55f * f);

    g.setGradientFill (vertical (black.withAlpha (0.0f), cx, cy + 0.3f * f, black.withAlpha (0.25f), cy + 0.85f * f));
    g.fillEllipse (cx - 0.7f * f, cy + 0.25f * f, 1.4f * f, 0.6f * f);

    {
        juce::Graphics::ScopedSaveState state (g);
        g.reduceClipRegion (juce::roundToInt (cx - f), juce::roundToInt (cy - f),
                            juce::roundToInt (2.0f * f), juce::roundToInt (2.0f * f));
        g.setColour (juce::Colour (0x06ffffff));

        for (int i = 0; i < 32; ++i)
        {
            const auto end = k.pointAt ((float) i * juce::MathConstants<float>::twoPi / 32.0f, f);
            g.drawLine (cx, cy, end.x, end.y, 0.5f);
        }
    }

    const auto lit = BlinkingLamp::isLitNow (sliderPos);

    g.setGradientFill (vertical (juce::Colour (0xff222233), cx, cy - c, juce::Colour (0xff111122), cy + c));
    g.fillEllipse (k.circle (c + 1.0f));

    float glintAlpha;

    if (lit)
    {
        g.setColour (juce::Colour (0x4400ff88));
        g.fillEllipse (k.circle (c + 5.0f));
        g.setColour (juce::Colour (0x2200ff88));
        g.fillEllipse (k.circle (c + 8.0f));
        g.setGradientFill (vertical (juce::Colour (0xff88ffaa), cx, cy - 0.5f * c, juce::Colour (0xff00dd66), cy + 0.5f * c));
        g.fillEllipse (k.circle (c));
        g.setColour (juce::Colour (0xffccffdd));
        g.fillEllipse (cx - 0.35f * c, cy - 0.35f * c, 0.7f * c, 0.7f * c);
        glintAlpha = 0.35f;
    }
    else
    {
        g.setGradientFill (vertical (juce::Colour (0xff113322), cx, cy - c, juce::Colour (0xff0a1a15), cy + c));
        g.fillEllipse (k.circle (c));
        glintAlpha = 0.1f;
    }

    g.setColour (white.withAlpha (glintAlpha));
    g.fillEllipse (cx - 0.45f * c, cy - 0.65f * c, 0.8f * c, 0.4f * c);

    const auto inner = k.pointAt (k.angle, 0.5f * r);
    const auto outer = k.pointAt (k.angle, 0.85f * r);
    g.setColour (juce::Colour (0x4488ccff));
    g.drawLine (inner.x, inner.y, outer.x, outer.y, 4.0f);
    g.setColour (juce::Colour (0xff88ccff));
    g.drawLine (inner.x, inner.y, outer.x, outer.y, 2.0f);

    g.setColour (black);
    g.setFont (juce::Font ("Times New Roman", 8.0f, juce::Font::bold));
    g.drawText (slider.getName(), k.captionArea, juce::Justification::centred, true);
}

juce::Label* SilverKnobLookAndFeel::createSliderTextBox (juce::Slider& slider)
{
    auto* label = LookAndFeel_V4::createSliderTextBox (slider);
    label->setColour (juce::Label::textColourId, juce::Colour (0xff000000));
    label->setColour (juce::Label::backgroundColourId, juce::Colour (0xeeffffff));
    label->setColour (juce::Label::outlineColourId, juce::Colour (0xff666666));
    label->setFont (juce::Font (10.0f));
    label->setEditable (true, true, false);
    return label;
}

void SilverKnobLookAndFeel::drawButtonBackground (juce::Graphics& g, juce::Button& button,
                                                  const juce::Colour& backgroundColour,
                                                  bool shouldDrawButtonAsHighlighted, bool shouldDrawButtonAsDown)
{
    const auto w = (float) juce::jmax (button.getWidth() - 2, 0);
    const auto h = (float) juce::jmax (button.getHeight() - 2, 0);

    auto base = backgroundColour;

    if (shouldDrawButtonAsDown)
        base = base.darker (0.2f);
    else if (shouldDrawButtonAsHighlighted)
        base = base.brighter (0.1f);

    g.setGradientFill (vertical (base.brighter (0.2f), 1.0f, 1.0f, base.darker (0.3f), h + 1.0f));
    g.fillRoundedRectangle (1.0f, 1.0f, w, h, 4.0f);

    if (! shouldDrawButtonAsDown)
    {
        g.setColour (juce::Colours::white.withAlpha (0.15f));
        g.fillRoundedRectangle (3.0f, 2.0f, w - 4.0f, 6.0f, 3.0f);
    }

    g.setColour (juce::Colour (0xff444455));
    g.drawRoundedRectangle (1.0f, 1.0f, w, h, 4.0f, 1.0f);
}

void SilverKnobLookAndFeel::drawButtonText (juce::Graphics& g, juce::TextButton& button, bool, bool)
{
    g.setFont (juce::Font ("Times New Roman", 11.0f, juce::Font::bold | juce::Font::italic));
    g.setColour (button.findColour (button.getToggleState() ? juce::TextButton::textColourOnId
                                                            : juce::TextButton::textColourOffId));
    g.drawText (button.getButtonText(), 0, 0, button.getWidth(), button.getHeight(),
                juce::Justification::centred, true);
}
