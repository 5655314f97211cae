#include "recording/RecordingInputMeter.h"

#include "support/PixelProbe.h"

#include <gtest/gtest.h>

// The input meter's drawing at W = 260, H = 50: bars of 200 from x 25, each 16 high.

namespace
{
    juce::Image renderMeter (float level, float peak, bool clipLeft)
    {
        RecordingInputMeter meter;
        meter.setBounds (0, 0, 260, 50);
        meter.levelLeft = level;
        meter.peakLeft = peak;
        meter.clipLeft = clipLeft;
        return pixel_probe::render (meter);
    }

    bool isTrack (juce::Colour c) { return pixel_probe::nearRgb (c, juce::Colour (0xff0a1520), 3); }
    bool isWhite (juce::Colour c) { return c.getRed() > 240 && c.getGreen() > 240 && c.getBlue() > 240; }
    bool isLitRed (juce::Colour c) { return pixel_probe::nearRgb (c, juce::Colour (0xffff0000), 3); }
}

TEST (RecordingInputMeter, BarsAre200WideFromX25AndColouredAcrossTheTrack)
{
    const auto full = renderMeter (1.0f, 0.0f, false);
    const int row = 10;

    EXPECT_TRUE (pixel_probe::nearRgb (full.getPixelAt (27, row), juce::Colour (0xff00cc00), 12)) << "green start";
    EXPECT_GT (full.getPixelAt (222, row).getRed(), 200) << "red end";
    EXPECT_LT (full.getPixelAt (222, row).getGreen(), 90);
    EXPECT_FALSE (isTrack (full.getPixelAt (223, row)));
    EXPECT_FALSE (isTrack (full.getPixelAt (227, row))) << "nothing drawn past x 225";
    EXPECT_TRUE (isTrack (renderMeter (0.0f, 0.0f, false).getPixelAt (223, row)));

    // A quarter bar is green all along: the gradient spans the whole track.
    const auto quarter = renderMeter (0.25f, 0.0f, false);
    EXPECT_GT (quarter.getPixelAt (70, row).getGreen(), 180);
    EXPECT_LT (quarter.getPixelAt (70, row).getRed(), 40);
    EXPECT_TRUE (isTrack (quarter.getPixelAt (80, row))) << "25 + 50 = 75 is the end";
}

TEST (RecordingInputMeter, ATinyLevelDrawsNoBarButThePeakMarkerShows)
{
    const auto image = renderMeter (0.004f, 0.5f, false);

    EXPECT_EQ (pixel_probe::count (image, { 25, 2, 98, 16 }, [] (juce::Colour c) { return c.getGreen() > 100; }), 0);
    EXPECT_TRUE (isWhite (image.getPixelAt (124, 10)));
    EXPECT_TRUE (isWhite (image.getPixelAt (125, 10)));
    EXPECT_TRUE (isTrack (image.getPixelAt (127, 10)));

    const auto noPeak = renderMeter (0.004f, 0.01f, false);
    EXPECT_EQ (pixel_probe::count (noPeak, { 25, 4, 200, 14 }, isWhite), 0) << "a peak of 0.01 draws no marker";
}

TEST (RecordingInputMeter, ClipLampsAtX230)
{
    const auto lit = renderMeter (0.0f, 0.0f, true);
    const auto dark = renderMeter (0.0f, 0.0f, false);

    EXPECT_TRUE (isLitRed (lit.getPixelAt (236, 9)));
    EXPECT_TRUE (pixel_probe::nearRgb (dark.getPixelAt (236, 9), juce::Colour (0xff3a2020), 3));
    EXPECT_TRUE (pixel_probe::nearRgb (lit.getPixelAt (236, 27), juce::Colour (0xff3a2020), 3)) << "right lamp dark";
    EXPECT_FALSE (isLitRed (lit.getPixelAt (228, 9))) << "lamps start at x 230";
}
