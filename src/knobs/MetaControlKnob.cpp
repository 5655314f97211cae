#include "knobs/MetaControlKnob.h"

#include <algorithm>
#include <cmath>

namespace
{
    constexpr float twoPi = juce::MathConstants<float>::twoPi;
    constexpr float tick = 0.033f;

    // The tendrils turn by 0.01 and the rays by 0.02 radians per unit of swirl, so both repeat
    // every 200 pi of it: wrapping there changes no frame, and keeps a float from losing the
    // per-tick step after days of running.
    constexpr float swirlPeriod = 100.0f * twoPi;

    float random01()
    {
        return juce::Random::getSystemRandom().nextFloat();
    }

    /** A readout level as a whole per cent, truncated toward zero; 0 for a value that is not a number. */
    int wholePercent (float level)
    {
        return std::isfinite (level) ? (int) juce::jlimit (-1.0e6f, 1.0e6f, level) : 0;
    }

    const char* const modeNames[] = { "MORPH", "XMOD", "MUSICK", "DIST", "FEEDBACK", "DAMP", "DECAY", "SPEC" };

    const char* const modeItems[] = { "Morphing Speed", "Cross-Modulation", "Musical Constraint", "Distribution Curve",
                                      "Feedback Gain", "Coherence Damping", "Temporal Decay", "Spectral Alignment" };

    const juce::uint32 waveColours[] = { 0xff00ffff, 0xffff00ff, 0xffffff00, 0xff00ff88 };
}

MetaControlKnob::MetaControlKnob()
    : MacroSliderKnob (Look ("MetaControl", juce::Colour (0xff888888), juce::Colour (0xff00ccff), juce::Colour (0xff00ccff))
                           .withBoldValue()
                           .withSliderGestures()
                           .withOwnRightButton())
{
    crossPoints.reserve (8);
    makeNodesWavesAndParticles();
}

juce::String MetaControlKnob::getModeName (int m)
{
    return juce::isPositiveAndBelow (m, numModes) ? juce::String (modeNames[m]) : juce::String ("???");
}

juce::String MetaControlKnob::getModeItemText (int m)
{
    return juce::isPositiveAndBelow (m, numModes) ? juce::String (modeItems[m]) : juce::String();
}

juce::Colour MetaControlKnob::energyColour (float level)
{
    if (level < 30.0f) return juce::Colour (0xff00ffcc);
    if (level < 60.0f) return juce::Colour (0xffffff00);
    if (level < 90.0f) return juce::Colour (0xffff8800);
    return juce::Colour (0xffff0055);
}

void MetaControlKnob::makeNodesWavesAndParticles()
{
    nodes.clear();
    for (int i = 0; i < numNodes; ++i)
    {
        Node n;
        n.angle = (float) i * twoPi / (float) numNodes;
        n.radius = 0.7f + 0.3f * random01();
        n.brightness = 0.3f + 0.7f * random01();
        n.jitter = 0.0f;
        nodes.push_back (n);
    }

    waves.clear();
    for (int i = 0; i < numWaves; ++i)
    {
        Wave w;
        w.phase = (float) i * twoPi / (float) numWaves;
        w.speed = 0.5f + 1.5f * random01();
        w.amplitude = 0.1f + 0.3f * random01();
        w.colour = juce::Colour (waveColours[i]);
        waves.push_back (w);
    }

    // The colour is the energy's at this moment, and stays.
    particles.clear();
    for (int i = 0; i < numParticles; ++i)
    {
        Particle p;
        p.angle = random01();
        p.angularSpeed = 2.0f * (random01() - 0.5f);
        p.age = 0.0f;
        p.life = 0.5f + 1.5f * random01();
        p.colour = energyColour (energy);
        p.size = 1.0f + 2.0f * random01();
        particles.push_back (p);
    }
}

//==============================================================================
void MetaControlKnob::timerCallback()
{
    stepAnimation();
    stepEnergy();
    repaint();
}

void MetaControlKnob::stepAnimation()
{
    animTime += tick;

    pulsePhase += 0.08f;
    if (pulsePhase > twoPi)
        pulsePhase -= twoPi;

    swirl += 1.5f;
    if (swirl >= swirlPeriod)
        swirl -= swirlPeriod;

    for (auto& n : nodes)
    {
        n.jitter = 0.9f * (n.jitter + 0.15f * (random01() - 0.5f));
        n.brightness = 0.2f + 0.4f * std::sin (n.angle + pulsePhase) + 0.4f * energy / 100.0f;
    }

    for (auto& w : waves)
    {
        w.phase += w.speed * 0.05f;
        w.amplitude = 0.1f + 0.3f * energy / 100.0f;
    }

    for (auto& p : particles)
    {
        p.age += tick;
        p.angle += p.angularSpeed * tick;

        if (p.age > p.life)
        {
            p.age = 0.0f;
            p.life = 0.5f + 1.5f * random01();
        }
    }
}

void MetaControlKnob::stepEnergy()
{
    if (animTime - lastActivityTime > 30.0f)
    {
        energy *= 0.95f;
        if (energy < 5.0f)
            energy = 0.0f;
    }
    else
    {
        energy *= energyDecay;
    }

    readoutClock += tick;
    if (readoutClock > 0.5f)
    {
        readoutClock = 0.0f;
        readoutIndex = (readoutIndex + 1) % 3;
    }

    if (energy > 96.0f)
    {
        overload = std::min ((energy - 96.0f) * 0.25f, 1.0f);

        if (! overloadLatched)
        {
            overloadLatched = true;
            placeCrossPoints();
        }
    }
    else
    {
        overloadLatched = false;
        overload = 0.0f;
    }
}

void MetaControlKnob::placeCrossPoints()
{
    const auto w = (float) getWidth(), h = (float) getHeight();
    crossPoints.clear();

    for (int i = 0; i < 8; ++i)
    {
        const float a = (float) i * twoPi / 8.0f;
        crossPoints.emplace_back (w / 2.0f + std::cos (a) * 0.15f * h, h / 2.0f + std::sin (a) * 0.15f * h);
    }
}

void MetaControlKnob::resized()
{
    MacroSliderKnob::resized();

    // Marks placed for the old size would sit off the face.
    if (! crossPoints.empty())
        placeCrossPoints();
}

//==============================================================================
juce::String MetaControlKnob::readoutText() const
{
    switch (readoutIndex)
    {
        case 0:  return getModeName (mode);
        case 1:  return "COUPLED: " + juce::String (wholePercent (coupling)) + "%";
        default: return "ENERGY: " + juce::String (wholePercent (energy)) + "%";
    }
}

juce::Colour MetaControlKnob::readoutColour() const
{
    juce::Colour colour;

    switch (readoutIndex)
    {
        case 0:  colour = juce::Colour (0xff00ff88); break;
        case 1:  colour = coupling < 30.0f ? juce::Colour (0xff888888)
                        : coupling < 70.0f ? juce::Colour (0xff00ff88)
                                           : juce::Colour (0xffff00ff);
                 break;
        default: colour = energyColour (energy); break;
    }

    return colour.withAlpha ((juce::uint8) 0xb2);
}

//==============================================================================
juce::PopupMenu MetaControlKnob::buildMenu() const
{
    juce::PopupMenu menu;
    menu.addSectionHeader ("METACONTROL");
    menu.addItem (showHudId, "Show HUD");
    menu.addSeparator();
    menu.addSectionHeader ("Modes");

    for (int m = 0; m < numModes; ++m)
        menu.addItem (firstModeId + m, getModeItemText (m), true, mode == m);

    menu.addSeparator();
    menu.addItem (resetEnergyId, "Reset Energy");
    return menu;
}

void MetaControlKnob::handleMenuResult (int id)
{
    // "Show HUD" has nothing to show: the knob has no display beyond its face.
    if (id >= firstModeId && id < firstModeId + numModes)
    {
        mode = id - firstModeId;
    }
    else if (id == resetEnergyId)
    {
        energy = 0.0f;
        overloadLatched = false;
    }
}

void MetaControlKnob::rightButtonPressed()
{
    buildMenu().showMenuAsync (juce::PopupMenu::Options().withTargetComponent (this).withMousePosition(),
                               [safe = juce::Component::SafePointer<MetaControlKnob> (this)] (int id)
                               {
                                   if (safe != nullptr)
                                       safe->handleMenuResult (id);
                               });
}
