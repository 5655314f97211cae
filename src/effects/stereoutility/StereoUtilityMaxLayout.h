#pragma once

#include <juce_graphics/juce_graphics.h>

#include <array>

/** Where everything on the Stereo Utility Max panel goes, for a panel of any size: the hover
    label over the header strip, the painted title on the left, three rows of knob cells in the
    middle, and on the right the two mix knobs, TRIM, the button column and the spectrum. The
    right section keeps its width first, so a narrow panel squeezes the knob rows to nothing
    before it touches the buttons. */
struct StereoUtilityMaxLayout
{
    static constexpr std::array<int, 3> knobsPerRow { 10, 10, 12 };

    juce::Rectangle<int> hoverLabel, spectrum, leftMix, rightMix, trim, sync, hud, bypass;

    /** Knob cells of rows 1 to 3, left to right (already less 1 pixel on every side); row 1
        and 2 use their first ten. */
    std::array<std::array<juce::Rectangle<int>, 12>, 3> rows;

    static StereoUtilityMaxLayout compute (int width, int height);
};
