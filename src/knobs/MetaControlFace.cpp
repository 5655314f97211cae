#include "knobs/MetaControlKnob.h"

#include <algorithm>
#include <cmath>

// The MetaControl face. Layers go from the back to the front; each one appears above its own
// value threshold, so a knob near 0 costs a few circles and the busiest face stays within a
// few dozen short paths.

namespace
{
    constexpr float twoPi = juce::MathConstants<float>::twoPi;

    float random01()
    {
        return juce::Random::getSystemRandom().nextFloat();
    }

    juce::Colour withOpacity (juce::Colour colour, float opacity)
    {
        return colour.withAlpha (juce::jlimit (0.0f, 1.0f, opacity));
    }

    void drawCircle (juce::Graphics& g, juce::Point<float> c, float radius, juce::Colour colour, float thickness)
    {
        g.setColour (colour);
        g.drawEllipse (c.x - radius, c.y - radius, 2.0f * radius, 2.0f * radius, thickness);
    }

    void fillCircle (juce::Graphics& g, juce::Point<float> c, float radius)
    {
        g.fillEllipse (c.x - radius, c.y - radius, 2.0f * radius, 2.0f * radius);
    }
}

void MetaControlKnob::paint (juce::Graphics& g)
{
    const auto w = (float) getWidth(), h = (float) getHeight();
    const float d = std::min (h - 26.0f, w) - 4.0f;

    if (d <= 0.0f)
        return;

    const juce::Point<float> c (w / 2.0f, h / 2.0f);
    const float r = 0.35f * d;
    const float v = (float) (slider.getValue() / 100.0);

    drawCircle (g, c, r + 2.0f, juce::Colour (0xff222233), 2.5f);

    if (v < 0.01f && energy < 5.0f)
    {
        paintDormant (g, c, r);
    }
    else
    {
        paintCore (g, c, r, v);

        if (v > 0.1f)  paintTendrils (g, c, r, v);
        if (v > 0.05f) paintWaves (g, c, r, v);
        if (v > 0.15f) paintParticles (g, c, r, v);
        if (v > 0.25f) paintRays (g, c, r, v);

        paintOverload (g, c, r);

        if (v > 0.01f)
            drawCircle (g, c, r + 1.0f, withOpacity (energyColour (energy), 0.4f * v), 1.5f);
    }

    paintReadout (g, c);
}

void MetaControlKnob::paintDormant (juce::Graphics& g, juce::Point<float> c, float r) const
{
    g.setGradientFill (juce::ColourGradient (juce::Colour (0xff121218), c.x - 0.3f * r, c.y - 0.3f * r,
                                             juce::Colour (0xff050508), c.x + 0.5f * r, c.y + 0.5f * r, true));
    fillCircle (g, c, r);
    drawCircle (g, c, r - 2.0f, juce::Colour (0xff181825), 1.0f);
    drawCircle (g, c, r, juce::Colour (0xff2a2a35), 1.5f);
}

void MetaControlKnob::paintCore (juce::Graphics& g, juce::Point<float> c, float r, float v) const
{
    const float e = energy / 100.0f;
    const float p = (0.15f + 0.15f * std::sin (pulsePhase) + 0.2f * e) * (0.3f + 0.7f * v);

    // Towards 0 the core fades from a white-hot centre and blue rim to a dim slate.
    const auto centre = juce::Colour (0xffffffc8).interpolatedWith (juce::Colour (0xff1e1e32), 1.0f - v);
    const auto edge = juce::Colour (0xff6496ff).interpolatedWith (juce::Colour (0xff141428), 1.0f - v);
    g.setGradientFill (juce::ColourGradient (withOpacity (centre, p), c.x, c.y,
                                             withOpacity (edge, 0.5f * p), c.x + 0.8f * r, c.y + 0.8f * r, true));
    fillCircle (g, c, r);

    if (v > 0.05f)
    {
        const int halos = 1 + (int) (3.0f * v);

        for (int i = 0; i < halos; ++i)
            drawCircle (g, c, r + 2.5f * (float) i,
                        withOpacity (juce::Colour (0x64, 0xc8, 0xff), (0.2f - 0.05f * (float) i) * v * (0.5f + 0.5f * e)),
                        1.5f);
    }
}

void MetaControlKnob::paintTendrils (juce::Graphics& g, juce::Point<float> c, float r, float v)
{
    const int count = std::min (1 + (int) (7.0f * v), (int) nodes.size());
    const int lastBranch = (int) (2.0f * v);
    const int segments = 4 + (int) (4.0f * v);
    const float scatter = r * (0.05f + 0.1f * v);
    const juce::PathStrokeType::JointStyle joints = juce::PathStrokeType::mitered;

    for (int i = 0; i < count; ++i)
    {
        const auto& n = nodes[(size_t) i];

        if (n.brightness < 0.1f)
            continue;

        const float glow = (0.3f + 0.7f * v) * n.brightness;
        const float wobble = (0.1f * std::sin (2.0f * pulsePhase + n.angle) + n.jitter + n.radius) * (0.5f + 0.5f * v);
        const float theta = n.angle + 0.01f * swirl;
        const auto end = c + juce::Point<float> (std::cos (theta), std::sin (theta)) * (1.2f * r * wobble);

        for (int j = 0; j <= lastBranch; ++j)
        {
            scratch.clear();
            scratch.startNewSubPath (c);

            for (int k = 1; k < segments; ++k)
            {
                // One offset for both axes: the bolt zigzags along the diagonal.
                const float o = (random01() - 0.5f) * scatter;
                const auto on = c + (end - c) * ((float) k / (float) segments);
                scratch.lineTo (on.x + o, on.y + o);
            }

            scratch.lineTo (end);

            const auto colour = juce::Colour ((juce::uint8) ((2 + j) * 50), (juce::uint8) ((200 + 30 * j) % 256),
                                              (juce::uint8) 255);
            g.setColour (withOpacity (colour, 0.8f * (1.0f - 0.3f * (float) j) * glow));
            g.strokePath (scratch, juce::PathStrokeType (v + 1.0f - 0.5f * (float) j, joints, juce::PathStrokeType::butt));
        }
    }
}

void MetaControlKnob::paintWaves (juce::Graphics& g, juce::Point<float> c, float r, float v)
{
    const int count = std::min (1 + (int) (3.0f * v), (int) waves.size());
    const float opacity = (0.5f + 0.5f * energy / 100.0f) * (0.2f + 0.4f * v);
    constexpr int points = 64;

    for (int i = 0; i < count; ++i)
    {
        const auto& wave = waves[(size_t) i];
        const float f = (0.3f + 0.7f * v) * wave.amplitude;
        scratch.clear();

        for (int j = 0; j < points; ++j)
        {
            const float t = (float) j * twoPi / (float) points;
            const float radius = (0.6f + f * std::sin (t * wave.speed + wave.phase)) * r;
            const auto at = c + juce::Point<float> (std::cos (t), std::sin (t)) * radius;
            if (j == 0)
                scratch.startNewSubPath (at);
            else
                scratch.lineTo (at);
        }

        scratch.closeSubPath();
        g.setColour (withOpacity (wave.colour, opacity));
        g.strokePath (scratch, juce::PathStrokeType (1.0f + 0.5f * v));
    }
}

void MetaControlKnob::paintParticles (juce::Graphics& g, juce::Point<float> c, float r, float v) const
{
    const int count = std::min (2 + (int) (18.0f * v), (int) particles.size());
    const float rim = r * (0.8f + 0.7f * v);

    for (int i = 0; i < count; ++i)
    {
        const auto& p = particles[(size_t) i];
        const float q = p.age / p.life;

        if (q > 1.0f)
            continue;

        const float a = twoPi * p.angle;
        const auto at = c + juce::Point<float> (std::cos (a), std::sin (a)) * ((1.0f - q) * rim);
        g.setColour (withOpacity (p.colour, (0.3f + 0.7f * v) * (1.0f - q) * 0.8f));
        fillCircle (g, at, 0.5f * (1.0f - 0.5f * q) * p.size * (0.5f + 0.5f * v));
    }
}

void MetaControlKnob::paintRays (juce::Graphics& g, juce::Point<float> c, float r, float v) const
{
    const float e = energy / 100.0f;
    const int n = (int) (16.0f * v) + (int) (0.04f * std::max (0.0f, energy)) + 4;
    const float outer = (0.8f + 0.4f * v + 0.3f * e) * r;
    const auto colour = energyColour (energy);

    for (int i = 0; i < n; ++i)
    {
        const float theta = (float) i * twoPi / (float) n + 0.02f * swirl;
        const juce::Point<float> dir (std::cos (theta), std::sin (theta));
        g.setColour (withOpacity (colour, (0.5f + 0.5f * std::sin ((float) i + pulsePhase)) * (0.15f + 0.35f * v)));
        g.drawLine ({ c + dir * (0.7f * r), c + dir * outer }, 1.0f + 0.5f * v);
    }
}

void MetaControlKnob::paintOverload (juce::Graphics& g, juce::Point<float> c, float r)
{
    if (energy > 94.0f)
    {
        if (crossPoints.empty())
            placeCrossPoints();

        g.setColour (juce::Colour (0xccff3264));

        for (const auto& p : crossPoints)
        {
            g.drawLine (p.x - 2.0f, p.y, p.x + 2.0f, p.y, 2.0f);
            g.drawLine (p.x, p.y - 2.0f, p.x, p.y + 2.0f, 2.0f);
        }
    }

    if (energy > 96.0f && overload >= 0.1f)
    {
        const float dx = (random01() - 0.5f) * r * overload * 0.3f;
        const float dy = (random01() - 0.5f) * r * overload * 0.3f;
        const auto shaken = c + juce::Point<float> (dx, dy);

        for (int i = 0; i < 5; ++i)
            drawCircle (g, shaken, r + 2.0f * (float) i,
                        withOpacity (juce::Colour (0xff, 0x1e, 0x32), (0.5f - 0.08f * (float) i) * overload), 1.0f);
    }
}

void MetaControlKnob::paintReadout (juce::Graphics& g, juce::Point<float> c) const
{
    g.setColour (readoutColour());
    g.setFont (juce::Font (8.0f, juce::Font::bold));
    g.drawText (readoutText(), juce::Rectangle<int> ((int) (c.x - 20.0f), (int) (c.y - 5.0f), 40, 10),
                juce::Justification::centred, true);
}
