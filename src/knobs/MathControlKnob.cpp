#include "knobs/MathControlKnob.h"

#include <algorithm>
#include <cmath>

namespace
{
    constexpr float twoPi = juce::MathConstants<float>::twoPi;
    constexpr float halfPi = juce::MathConstants<float>::halfPi;
    constexpr float tick = 0.033f;

    float random01()
    {
        return juce::Random::getSystemRandom().nextFloat();
    }

    /** Radians per tick: continuous, and steeper toward the top of the range. */
    float rotorSpeed (float v)
    {
        if (v < 0.25f) return 0.002f + 0.032f * v;
        if (v < 0.5f)  return 0.01f + 0.08f * (v - 0.25f);
        if (v < 0.75f) return 0.03f + 0.12f * (v - 0.5f);
        return 0.06f + 0.36f * (v - 0.75f);
    }

    /** One letter standing on a ring: centred in a 16-pixel box at its position, turned so that
        its foot points at the centre. */
    void drawRingLetter (juce::Graphics& g, juce::juce_wchar letter, juce::Point<float> at, float angle)
    {
        juce::Graphics::ScopedSaveState state (g);
        g.addTransform (juce::AffineTransform::rotation (angle + halfPi, at.x, at.y));
        g.drawText (juce::String::charToString (letter), juce::Rectangle<int> ((int) (at.x - 8.0f), (int) (at.y - 8.0f), 16, 16),
                    juce::Justification::centred, false);
    }

    /** The ring between two radii, filled with a vertical gradient. */
    void fillRing (juce::Graphics& g, juce::Point<float> c, float outer, float inner, juce::Colour top, juce::Colour bottom)
    {
        juce::Path ring;
        ring.addEllipse (c.x - outer, c.y - outer, 2.0f * outer, 2.0f * outer);
        ring.addEllipse (c.x - inner, c.y - inner, 2.0f * inner, 2.0f * inner);
        ring.setUsingNonZeroWinding (false);
        g.setGradientFill (juce::ColourGradient (top, c.x, c.y - outer, bottom, c.x, c.y + outer, false));
        g.fillPath (ring);
    }

    void drawCircle (juce::Graphics& g, juce::Point<float> c, float radius, juce::Colour colour, float thickness)
    {
        g.setColour (colour);
        g.drawEllipse (c.x - radius, c.y - radius, 2.0f * radius, 2.0f * radius, thickness);
    }
}

MathControlKnob::MathControlKnob()
    : MacroSliderKnob (Look ("MathControl", juce::Colour (0xff997744), juce::Colour (0xff666666), juce::Colour (0xff997744))
                           .withBoldValue()
                           .withSliderGestures()
                           .withSliderWheel()
                           .withDoubleClickReset())
{
    updateTitle();
    makeGlyphs();
}

const juce::StringArray& MathControlKnob::formulaTexts()
{
    static const juce::StringArray texts = []
    {
        juce::StringArray t;
        for (const char* s : { u8"E=mc²", u8"∫f(x)dx", u8"∑n²", u8"π≈3.14", u8"√2", u8"∞", u8"Δx/Δt", u8"sin²+cos²=1",
                               u8"e^iπ=-1", u8"∇·B=0", u8"F=ma", u8"PV=nRT", u8"∂/∂x", u8"lim→∞", u8"log₂n",
                               u8"x²+y²=r²", u8"φ=1.618", u8"i²=-1", u8"∮", u8"⊕" })
            t.add (juce::String::fromUTF8 (s));
        return t;
    }();
    return texts;
}

juce::String MathControlKnob::getModeName (int m)
{
    static const char* const names[] = { "CRUSH", "DECIM", "OVRFLW", "GLITCH", "FDBK", "PHASE", "FLIP", "BENT" };
    return juce::isPositiveAndBelow (m, 8) ? juce::String (names[m]) : juce::String ("???");
}

juce::String MathControlKnob::valueText (int v) const
{
    return getModeName (getMode()) + " " + juce::String (v) + "%";
}

void MathControlKnob::setMode (int newMode)
{
    mode.store (newMode, std::memory_order_relaxed);
    repaint();
}

//==============================================================================
void MathControlKnob::makeGlyphs()
{
    glyphs.clear();
    const auto& texts = formulaTexts();

    for (int i = 0; i < 6; ++i)
    {
        FormulaGlyph glyph;
        glyph.angle = 0.5f * random01() + (float) i / 6.0f * twoPi;
        glyph.radiusFactor = 1.1f + 0.2f * random01();
        glyph.alpha = 0.0f;
        glyph.speed = (random01() - 0.5f) * 0.02f;
        glyph.text = texts[juce::Random::getSystemRandom().nextInt (texts.size())];
        glyphs.push_back (glyph);
    }
}

void MathControlKnob::spawnSpark()
{
    if (sparks.size() >= (size_t) maxSparks)
        return;

    const float a = twoPi * random01();
    const float speed = 0.5f + random01();
    Spark s;
    s.x = s.y = 0.0f;
    s.vx = std::cos (a) * speed;
    s.vy = std::sin (a) * speed - 0.5f;
    s.age = 0.0f;
    s.life = 0.8f + 0.6f * random01();
    s.alpha = 1.0f;
    s.size = 0.8f + 0.4f * random01();
    s.rotation = twoPi * random01();
    sparks.push_back (s);
}

void MathControlKnob::stepSparks()
{
    for (auto& s : sparks)
    {
        s.age += tick;
        s.x += s.vx * tick;
        s.y += s.vy * tick;
        s.vy += 0.0099f;
        s.alpha = 1.0f - s.age / s.life;
        s.rotation += 0.1f;
        s.size = 1.0f + 0.5f * s.age;
    }

    sparks.erase (std::remove_if (sparks.begin(), sparks.end(), [] (const Spark& s) { return s.age > s.life; }),
                  sparks.end());
}

void MathControlKnob::stepGlyphs (float v)
{
    for (auto& glyph : glyphs)
    {
        glyph.angle += glyph.speed;
        glyph.alpha = (0.3f + 0.2f * std::sin (2.0f * animTime + glyph.angle)) * v;

        // Above 70 % the orbit rewrites itself now and then, from the first fifteen formulas.
        if (v > 0.7f && random01() < 0.01f)
            glyph.text = formulaTexts()[juce::Random::getSystemRandom().nextInt (15)];
    }
}

void MathControlKnob::timerCallback()
{
    // The thresholds compare the value in per cent, so that 10, 50 and 90 sit exactly on them.
    const double value = slider.getValue();
    const float v = (float) (value / 100.0);

    animTime += tick;
    glitchClock += tick;

    const float s = rotorSpeed (v);
    outerPhase += s;
    if (outerPhase > twoPi)
        outerPhase -= twoPi;
    innerPhase -= 0.7f * s;
    if (innerPhase < 0.0f)
        innerPhase += twoPi;

    stepSparks();
    stepGlyphs (v);

    if (value >= 90.0 && glitchClock > 0.15f)
    {
        glitchClock = 0.0f;
        letterOffset = juce::Random::getSystemRandom().nextInt (26);
    }

    if (value >= 90.0 && random01() < 0.3f)
        spawnSpark();
    else if (value >= 50.0 && random01() < 0.1f)
        spawnSpark();

    repaint();
}

//==============================================================================
void MathControlKnob::paint (juce::Graphics& g)
{
    const auto w = (float) getWidth(), h = (float) getHeight();
    const float d = juce::jmin (h - 26.0f, w) - 4.0f;

    if (d <= 0.0f)
        return;

    const juce::Point<float> c (w / 2.0f, h / 2.0f);
    const float radius = 0.42f * d;
    const double value = slider.getValue();

    drawCircle (g, c, radius + 2.0f, juce::Colour (0xff2a2a2a), 2.0f);
    paintRotors (g, c, radius, value >= 90.0);
    paintHub (g, c, radius);

    if (value > 10.0)
        paintFormulas (g, c, radius);

    if (value > 50.0)
        paintSparks (g, c, radius);
}

void MathControlKnob::paintRotors (juce::Graphics& g, juce::Point<float> c, float radius, bool flicker) const
{
    auto& rng = juce::Random::getSystemRandom();
    const float step = twoPi / 26.0f;

    // Outer rotor.
    fillRing (g, c, radius, 0.75f * radius, juce::Colour (0xffd4c4a8), juce::Colour (0xffb8a888));
    drawCircle (g, c, radius, juce::Colour (0xff3a3a3a), 1.5f);
    drawCircle (g, c, 0.75f * radius, juce::Colour (0xff3a3a3a), 1.0f);
    g.setFont (juce::Font ("Times New Roman", 0.18f * radius, juce::Font::bold));

    for (int i = 0; i < 26; ++i)
    {
        const float theta = (float) i * step - halfPi + outerPhase;
        g.setColour (flicker && rng.nextFloat() < 0.3f ? juce::Colour (0xffcc0000) : juce::Colour (0xff1a1a1a));
        drawRingLetter (g, (juce::juce_wchar) ('A' + i), c.getPointOnCircumference (0.875f * radius, theta + halfPi), theta);
    }

    // Inner rotor, turning the other way, its letters shifted by the glitch offset.
    const float r = 0.72f * radius;
    fillRing (g, c, r, 0.55f * r, juce::Colour (0xffe8d8c0), juce::Colour (0xffc8b8a0));
    drawCircle (g, c, r, juce::Colour (0xff4a4a4a), 1.0f);
    g.setFont (juce::Font ("Times New Roman", 0.22f * r, juce::Font::bold));

    for (int i = 0; i < 26; ++i)
    {
        const float theta = (float) i * step - halfPi + innerPhase;
        g.setColour (flicker && rng.nextFloat() < 0.3f ? juce::Colour (0xff0000cc) : juce::Colour (0xff8b0000));
        drawRingLetter (g, (juce::juce_wchar) ('A' + (i + letterOffset) % 26),
                        c.getPointOnCircumference (0.78f * r, theta + halfPi), theta);
    }

    // Spokes.
    g.setColour (juce::Colour (0x803a3a3a));

    for (int i = 0; i < 26; ++i)
    {
        const float angle = (float) i * step + outerPhase + halfPi;
        g.drawLine ({ c.getPointOnCircumference (0.35f * radius, angle), c.getPointOnCircumference (radius, angle) }, 0.5f);
    }
}

void MathControlKnob::paintHub (juce::Graphics& g, juce::Point<float> c, float radius) const
{
    const float q = 0.35f * radius;
    g.setGradientFill (juce::ColourGradient (juce::Colour (0xfff0e8d8), c.x, c.y - q / 2.0f,
                                             juce::Colour (0xffc8b898), c.x, c.y + q / 2.0f, false));
    g.fillEllipse (c.x - q, c.y - q, 2.0f * q, 2.0f * q);
    drawCircle (g, c, q, juce::Colour (0xff5a4a3a), 2.0f);

    g.setColour (juce::Colour (0xff8a7a6a));
    g.fillEllipse (c.x - 4.0f, c.y - 4.0f, 8.0f, 8.0f);
    drawCircle (g, c, 4.0f, juce::Colour (0xff3a3a3a), 1.0f);

    g.setColour (juce::Colour (0xff2a2a2a));
    g.setFont (juce::Font ("Times New Roman", 0.6f * q, juce::Font::bold));
    g.drawText (juce::String ((int) slider.getValue()),
                juce::Rectangle<int> ((int) (c.x - q), (int) (c.y - 0.4f * q), (int) (2.0f * q), (int) (0.8f * q)),
                juce::Justification::centred, false);
}

void MathControlKnob::paintFormulas (juce::Graphics& g, juce::Point<float> c, float radius) const
{
    const juce::Font font ("Times New Roman", 9.0f, juce::Font::italic);

    for (const auto& glyph : glyphs)
    {
        const float x = c.x + std::cos (glyph.angle) * glyph.radiusFactor * radius - 25.0f;
        const float y = c.y + std::sin (glyph.angle) * glyph.radiusFactor * radius - 6.0f;
        g.setColour (juce::Colour (0x4a, 0x4a, 0x4a).withAlpha (juce::jlimit (0.0f, 1.0f, glyph.alpha)));
        knobface::drawTextWithFallback (g, glyph.text, font,
                                        juce::Rectangle<int> ((int) x, (int) y, 50, 12).toFloat());
    }
}

void MathControlKnob::paintSparks (juce::Graphics& g, juce::Point<float> c, float radius) const
{
    g.setFont (juce::Font ("Times New Roman", 14.0f, juce::Font::bold));

    for (const auto& s : sparks)
    {
        const juce::Point<float> p (c.x + 0.8f * radius * s.x, c.y + 0.8f * radius * s.y);
        const float hue = std::fmod (s.rotation, twoPi);
        const auto colour = hue < 2.0734513f ? juce::Colour (0xffcc0000)
                          : hue < 4.1783185f ? juce::Colour (0xff0000cc)
                                             : juce::Colour (0xff008800);

        juce::Graphics::ScopedSaveState state (g);
        g.addTransform (juce::AffineTransform::rotation (s.rotation, p.x, p.y).scaled (s.size, s.size, p.x, p.y));
        g.setColour (colour.withAlpha (0.9f * juce::jlimit (0.0f, 1.0f, s.alpha)));
        g.drawText ("???", juce::Rectangle<int> ((int) (p.x - 15.0f), (int) (p.y - 8.0f), 30, 16),
                    juce::Justification::centred, false);
    }
}
