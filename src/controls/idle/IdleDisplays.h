#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <array>
#include <vector>

// Small displays that are kept ready for panels that do not exist yet: nothing in the
// application creates them. They only draw what they are given; all setters run on the
// message thread and repaint.

/** A vertical level meter: fills from the bottom of its track, green, then yellow from 0.7
    and red from 0.9, with a 2-pixel peak line. Levels are proportions 0..1. */
class VerticalLevelMeter : public juce::Component
{
public:
    static constexpr juce::uint32 backgroundColour = 0xff1a1a1a;
    static constexpr juce::uint32 trackColour      = 0xff2a2a2a;
    static constexpr juce::uint32 lowColour        = 0xff51cf66;
    static constexpr juce::uint32 midColour        = 0xffffd93d;
    static constexpr juce::uint32 highColour       = 0xffff6b6b;
    static constexpr juce::uint32 peakColour       = 0xffff0000;

    /** Out-of-range and non-finite values are held to 0..1, so a stray sample never paints
        outside the track. */
    void setLevel (float newLevel);
    void setPeak (float newPeak);

    float getLevel() const noexcept  { return level; }
    float getPeak() const noexcept   { return peak; }

    /** The colour of the fill at a level. */
    static juce::Colour fillColourFor (float level) noexcept;

    /** Where the level is drawn inside the component. */
    juce::Rectangle<float> getTrackArea() const;

    void paint (juce::Graphics& g) override;

private:
    float level = 0.0f, peak = 0.0f;
};

/** A spectrum curve over the first half of a block of bin magnitudes (the upper half mirrors
    it): each bin in dB, floored at -100, placed from -60 dB at the bottom to 0 dB at the top. */
class SpectrumCurve : public juce::Component
{
public:
    static constexpr juce::uint32 lineColour = 0xff00a8ff;

    void setMagnitudes (const std::vector<float>& magnitudes);

    /** The height of a magnitude as a proportion of the component's height (1 at 0 dB). */
    static float heightFor (float magnitude) noexcept;

    void paint (juce::Graphics& g) override;

private:
    std::vector<float> bins;
};

/** A 512-point waveform in white, 0.9 of the half height, on dark red while highlighted. */
class WaveformCurve : public juce::Component
{
public:
    static constexpr int numPoints = 512;
    static constexpr juce::uint32 highlightColour = 0xff8b0000;

    void setSamples (const std::array<float, numPoints>& newSamples);
    void setHighlighted (bool shouldBeHighlighted);
    bool isHighlighted() const noexcept  { return highlighted; }

    void paint (juce::Graphics& g) override;

private:
    std::array<float, numPoints> samples {};
    bool highlighted = false;
};
