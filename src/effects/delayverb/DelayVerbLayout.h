#pragma once

#include <juce_graphics/juce_graphics.h>

#include <array>

/** Where everything on the DelayVerb panel goes, for a panel of any size: the hover label in a
    strip at the top, the painted title on the left, three rows of knob cells in the middle,
    and on the right the four mix knobs, the button column, the XY pad and the spectrum. */
struct DelayVerbLayout
{
    static constexpr int cellsPerRow = 9;

    juce::Rectangle<int> hoverLabel, spectrum, pad;
    juce::Rectangle<int> delayLeft, delayRight, reverbLeft, reverbRight;
    juce::Rectangle<int> sync, hud, bypass;

    /** Knob cells of rows 1 to 3, left to right (already less 1 pixel on every side). */
    std::array<std::array<juce::Rectangle<int>, cellsPerRow>, 3> rows;

    static DelayVerbLayout compute (int width, int height);
};
