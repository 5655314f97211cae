#pragma once

#include "knobs/MacroSliderKnob.h"

#include <atomic>
#include <vector>

/** The MathControl macro knob: its value (0..100) is the circuit-bend amount and its mode
    (0..7) the circuit-bend algorithm, named in the value label before the value. Its face is a
    pair of counter-rotating letter rotors round a hub that shows the value, with formulas
    orbiting outside from 10 % up, sparks above 50 %, and flickering letters and a jumping inner
    rotor from 90 %. The mode does not change the face. */
class MathControlKnob : public MacroSliderKnob
{
public:
    MathControlKnob();

    /** A spark: position and velocity in units of 0.8 rotor radii from the centre (per
        second), age and life in seconds, opacity, scale and rotation. */
    struct Spark
    {
        float x, y, vx, vy, age, life, alpha, size, rotation;
    };

    /** A formula orbiting just outside the outer rotor. */
    struct FormulaGlyph
    {
        float angle, radiusFactor, alpha, speed;
        juce::String text;
    };

    /** Sets the mode (no range check) and repaints; the labels show it from the next value change. */
    void setMode (int newMode);
    int getMode() const noexcept { return mode.load (std::memory_order_relaxed); }

    /** "CRUSH" .. "BENT" for 0..7, "???" otherwise. */
    static juce::String getModeName (int mode);

    /** The twenty formula texts the orbit draws from. */
    static const juce::StringArray& formulaTexts();

    /** Adds a spark unless more than 20 are alive. */
    void spawnSpark();

    void paint (juce::Graphics& g) override;
    void timerCallback() override;

    static constexpr int maxSparks = 21;

    /** Circuit-bend mode 0..7: written on the message thread, read whole by the audio thread. */
    std::atomic<int> mode { 7 };

    // Animation state, advanced by fixed steps per tick.
    float animTime = 0.0f;
    float outerPhase = 0.0f;
    float innerPhase = 0.0f;
    float glitchClock = 0.0f;
    int letterOffset = 0;
    std::vector<Spark> sparks;
    std::vector<FormulaGlyph> glyphs;

protected:
    juce::String valueText (int v) const override;

private:
    void makeGlyphs();
    void stepSparks();
    void stepGlyphs (float v);
    void paintRotors (juce::Graphics& g, juce::Point<float> c, float radius, bool flicker) const;
    void paintHub (juce::Graphics& g, juce::Point<float> c, float radius) const;
    void paintFormulas (juce::Graphics& g, juce::Point<float> c, float radius) const;
    void paintSparks (juce::Graphics& g, juce::Point<float> c, float radius) const;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (MathControlKnob)
};
