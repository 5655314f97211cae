#include "controls/idle/IdleDisplays.h"

#include <cmath>

namespace
{
    float proportion (float value) noexcept
    {
        return std::isfinite (value) ? juce::jlimit (0.0f, 1.0f, value) : 0.0f;
    }
}

//==============================================================================
void VerticalLevelMeter::setLevel (float newLevel)
{
    level = proportion (newLevel);
    repaint();
}

void VerticalLevelMeter::setPeak (float newPeak)
{
    peak = proportion (newPeak);
    repaint();
}

juce::Colour VerticalLevelMeter::fillColourFor (float value) noexcept
{
    if (value < 0.7f)
        return juce::Colour (lowColour);

    return juce::Colour (value < 0.9f ? midColour : highColour);
}

juce::Rectangle<float> VerticalLevelMeter::getTrackArea() const
{
    return getLocalBounds().toFloat().reduced (2.0f);
}

void VerticalLevelMeter::paint (juce::Graphics& g)
{
    g.fillAll (juce::Colour (backgroundColour));

    const auto track = getTrackArea();
    g.setColour (juce::Colour (trackColour));
    g.fillRect (track);

    if (level > 0.0f)
    {
        g.setColour (fillColourFor (level));
        g.fillRect (track.withTop (track.getBottom() - level * track.getHeight()));
    }

    if (peak > 0.0f)
    {
        // The line hangs below the peak and stays inside the track at either end of the scale.
        const float y = std::min (track.getBottom() - peak * track.getHeight(), track.getBottom() - 2.0f);
        g.setColour (juce::Colour (peakColour));
        g.fillRect (track.getX(), y, track.getWidth(), 2.0f);
    }
}

//==============================================================================
void SpectrumCurve::setMagnitudes (const std::vector<float>& magnitudes)
{
    bins = magnitudes;
    repaint();
}

float SpectrumCurve::heightFor (float magnitude) noexcept
{
    // A negative or non-finite magnitude has no level: it sits on the floor like silence.
    const float db = std::isfinite (magnitude) && magnitude > -0.001f
                       ? std::max (20.0f * std::log10 (magnitude + 0.001f), -100.0f)
                       : -100.0f;
    return (db + 60.0f) / 60.0f;
}

void SpectrumCurve::paint (juce::Graphics& g)
{
    const auto shown = bins.size() / 2;

    if (shown < 2)
        return;

    const auto width = (float) getWidth(), height = (float) getHeight();
    juce::Path curve;

    for (size_t i = 0; i < shown; ++i)
    {
        const float x = width * (float) i / (float) (shown - 1);
        const float y = height * (1.0f - heightFor (bins[i]));

        if (i == 0)
            curve.startNewSubPath (x, y);
        else
            curve.lineTo (x, y);
    }

    g.setColour (juce::Colour (lineColour));
    g.strokePath (curve, juce::PathStrokeType (2.0f));
}

//==============================================================================
void WaveformCurve::setSamples (const std::array<float, numPoints>& newSamples)
{
    for (size_t i = 0; i < samples.size(); ++i)
        samples[i] = std::isfinite (newSamples[i]) ? juce::jlimit (-1.0f, 1.0f, newSamples[i]) : 0.0f;

    repaint();
}

void WaveformCurve::setHighlighted (bool shouldBeHighlighted)
{
    highlighted = shouldBeHighlighted;
    repaint();
}

void WaveformCurve::paint (juce::Graphics& g)
{
    if (highlighted)
        g.fillAll (juce::Colour (highlightColour));

    const auto width = (float) getWidth();
    const float centre = (float) getHeight() * 0.5f;
    const float scale = 0.9f * centre;
    juce::Path curve;

    for (size_t i = 0; i < samples.size(); ++i)
    {
        const float x = width * (float) i / (float) (numPoints - 1);
        const float y = centre - samples[i] * scale;

        if (i == 0)
            curve.startNewSubPath (x, y);
        else
            curve.lineTo (x, y);
    }

    g.setColour (juce::Colours::white);
    g.strokePath (curve, juce::PathStrokeType (1.0f));
}
