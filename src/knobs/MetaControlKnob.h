#pragma once

#include "knobs/MacroSliderKnob.h"

#include <vector>

/** The MetaControl macro knob: its value (0..100) drives the randomiser's MetaControl step, and
    its face shows the energy and coupling that the owner writes on every tick. Dormant while the
    value and the energy are both near 0; otherwise a pulsing core that grows tendrils, wave
    rings, inward-drifting particles and rays with the value, and overload marks and shaking rings
    when the energy nears its top. A readout at the centre cycles through the display mode, the
    coupling and the energy.

    A right click opens the knob's own menu (display modes, energy reset), never onRightClick.
    The display mode changes only the readout: the randomiser keeps a mode of its own. */
class MetaControlKnob : public MacroSliderKnob
{
public:
    MetaControlKnob();

    /** A root of the lightning tendrils. */
    struct Node
    {
        float angle, radius, brightness, jitter;
    };

    /** A wave ring: its speed is also its number of lobes. */
    struct Wave
    {
        float phase, speed, amplitude;
        juce::Colour colour;
    };

    /** A particle drifting from the rim to the centre over its life; angle in turns. */
    struct Particle
    {
        float angle, angularSpeed, age, life;
        juce::Colour colour;
        float size;
    };

    enum MenuIds
    {
        showHudId = 1,
        firstModeId = 10,   // 10..17: mode id - 10
        resetEnergyId = 20
    };

    static constexpr int numModes = 8, numNodes = 8, numWaves = 4, numParticles = 40;

    /** "MORPH" .. "SPEC" for 0..7, "???" otherwise. */
    static juce::String getModeName (int mode);

    /** The menu's item for a mode ("Morphing Speed" .. "Spectral Alignment"); "" outside 0..7. */
    static juce::String getModeItemText (int mode);

    /** The colour of an energy level, shared by the readout, rays, energy ring and particles. */
    static juce::Colour energyColour (float energy);

    /** The knob's menu as it stands, its mode ticked. */
    juce::PopupMenu buildMenu() const;

    /** What a chosen id does: a mode item sets the display mode, "Reset Energy" clears the
        energy and the overload latch, anything else (0 for a dismissed menu) does nothing. The
        next tick shows the change. */
    void handleMenuResult (int id);

    /** The readout's current text and colour (its opacity already set). */
    juce::String readoutText() const;
    juce::Colour readoutColour() const;

    void paint (juce::Graphics& g) override;
    void resized() override;
    void timerCallback() override;

    // Animation state, advanced by fixed steps per tick.
    float animTime = 0.0f;
    float pulsePhase = 0.0f;
    float swirl = 0.0f;

    /** 0..100, written by the owner on every tick of its own timer and decayed by this one. */
    float energy = 0.0f;
    float energyDecay = 0.98f;

    /** Nothing renews it yet, so the idle rule counts from construction: the gentle decay holds
        for the first 30 clock units and the fast one, with its cut to 0, after that. */
    float lastActivityTime = 0.0f;

    /** 0..100, written by the owner on every tick. */
    float coupling = 0.0f;

    /** Display mode 0..7, for the readout only. */
    int mode = 0;

    int readoutIndex = 0;   // 0 mode, 1 coupling, 2 energy
    float readoutClock = 0.0f;

    bool overloadLatched = false;
    std::vector<juce::Point<float>> crossPoints;
    float overload = 0.0f;

    std::vector<Node> nodes;
    std::vector<Wave> waves;
    std::vector<Particle> particles;

protected:
    void rightButtonPressed() override;

private:
    void makeNodesWavesAndParticles();
    void stepAnimation();
    void stepEnergy();
    void placeCrossPoints();

    // Face layers, each in the knob's own geometry: centre c, radius r, value v (0..1).
    void paintDormant (juce::Graphics& g, juce::Point<float> c, float r) const;
    void paintCore (juce::Graphics& g, juce::Point<float> c, float r, float v) const;
    void paintTendrils (juce::Graphics& g, juce::Point<float> c, float r, float v);
    void paintWaves (juce::Graphics& g, juce::Point<float> c, float r, float v);
    void paintParticles (juce::Graphics& g, juce::Point<float> c, float r, float v) const;
    void paintRays (juce::Graphics& g, juce::Point<float> c, float r, float v) const;
    void paintOverload (juce::Graphics& g, juce::Point<float> c, float r);
    void paintReadout (juce::Graphics& g, juce::Point<float> c) const;

    /** Reused by the tendrils and waves, so that a frame allocates nothing once warmed up. */
    juce::Path scratch;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (MetaControlKnob)
};
