#include <gtest/gtest.h>

#include "controls/idle/IdleControls.h"
#include "controls/idle/IdleDisplays.h"
#include "support/PixelProbe.h"

#include <cmath>
#include <limits>

// The spare displays, controls and section panels drawn into images: their colours, where each
// part lands and how the section panels lay out their rows.

namespace
{
    using pixel_probe::near;
    using pixel_probe::nearRgb;

    juce::Colour at (const juce::Image& image, int x, int y)  { return image.getPixelAt (x, y); }

    bool isWhite (juce::Colour c) { return c.getAlpha() > 200 && c.getRed() > 220 && c.getGreen() > 220 && c.getBlue() > 220; }
    bool isBlueLine (juce::Colour c) { return c.getAlpha() > 100 && c.getBlue() > 200 && c.getRed() < 60; }

    /** The rows of one column where the predicate holds. */
    std::vector<int> rowsWhere (const juce::Image& image, int x, bool (*predicate) (juce::Colour))
    {
        std::vector<int> rows;
        for (int y = 0; y < image.getHeight(); ++y)
            if (predicate (image.getPixelAt (x, y)))
                rows.push_back (y);
        return rows;
    }

    /** The smallest rectangle holding every pixel where the predicate holds. */
    juce::Rectangle<int> boxOf (const juce::Image& image, juce::Rectangle<int> area, bool (*predicate) (juce::Colour))
    {
        juce::Rectangle<int> box;
        bool any = false;
        for (int y = area.getY(); y < area.getBottom(); ++y)
            for (int x = area.getX(); x < area.getRight(); ++x)
                if (predicate (image.getPixelAt (x, y)))
                {
                    const juce::Rectangle<int> pixel (x, y, 1, 1);
                    box = any ? box.getUnion (pixel) : pixel;
                    any = true;
                }
        return box;
    }
}

TEST (IdleDrawing, LevelMeterFillsFromTheBottomInTheColourOfItsLevel)
{
    // 20 x 104 leaves a 16 x 100 track from (2, 2): a level L fills rows 102 - 100 L .. 101.
    const auto nan = std::numeric_limits<float>::quiet_NaN();
    struct Case { float level; juce::uint32 fill; int fillTop; };
    const Case cases[] = {
        { 0.5f, VerticalLevelMeter::lowColour, 52 },   { 0.69f, VerticalLevelMeter::lowColour, 33 },
        { 0.7f, VerticalLevelMeter::midColour, 32 },   { 0.89f, VerticalLevelMeter::midColour, 13 },
        { 0.9f, VerticalLevelMeter::highColour, 12 },  { 1.5f, VerticalLevelMeter::highColour, 2 },
        { 0.0f, 0, 102 },                              { nan, 0, 102 },
    };

    for (const auto& c : cases)
    {
        VerticalLevelMeter meter;
        meter.setSize (20, 104);
        meter.setLevel (c.level);
        const auto image = pixel_probe::render (meter);

        EXPECT_TRUE (near (at (image, 0, 50), juce::Colour (VerticalLevelMeter::backgroundColour), 1)) << c.level;
        EXPECT_TRUE (near (at (image, 10, 1), juce::Colour (VerticalLevelMeter::backgroundColour), 1)) << c.level;

        if (c.fillTop > 2)
        {
            EXPECT_TRUE (near (at (image, 10, c.fillTop - 1), juce::Colour (VerticalLevelMeter::trackColour), 1)) << c.level;
        }

        if (c.fillTop < 102)
        {
            EXPECT_TRUE (near (at (image, 10, c.fillTop), juce::Colour (c.fill), 1)) << c.level;
            EXPECT_TRUE (near (at (image, 10, 101), juce::Colour (c.fill), 1)) << c.level;
        }
        else
        {
            EXPECT_TRUE (near (at (image, 10, 101), juce::Colour (VerticalLevelMeter::trackColour), 1)) << c.level;
        }
    }
}

TEST (IdleDrawing, LevelMeterPeakIsATwoPixelRedLineInsideTheTrack)
{
    auto isPeak = [] (juce::Colour c) { return near (c, juce::Colour (VerticalLevelMeter::peakColour), 2); };

    struct Case { float peak; int top; };
    const Case cases[] = { { 0.5f, 52 }, { 1.0f, 2 }, { 0.001f, 100 }, { 0.0f, -1 } };

    for (const auto& c : cases)
    {
        VerticalLevelMeter meter;
        meter.setSize (20, 104);
        meter.setLevel (0.3f);
        meter.setPeak (c.peak);
        const auto image = pixel_probe::render (meter);

        std::vector<int> rows;
        for (int y = 0; y < image.getHeight(); ++y)
            if (isPeak (at (image, 10, y)))
                rows.push_back (y);

        if (c.top < 0)
        {
            EXPECT_TRUE (rows.empty());
        }
        else
        {
            EXPECT_EQ (rows, (std::vector<int> { c.top, c.top + 1 })) << c.peak;
        }

        // Across the track only, never over the frame.
        EXPECT_EQ (pixel_probe::count (image, { 0, 0, 2, 104 }, isPeak), 0);
    }
}

TEST (IdleDrawing, ToggleSwitchColoursAndKnobPosition)
{
    // 60 x 30: the knob is 24 pixels across, 3 from the ends.
    struct Case { bool on, over; juce::Point<int> knob, track; };
    const Case cases[] = {
        { false, false, { 15, 15 }, { 45, 15 } }, { true, false, { 45, 15 }, { 15, 15 } },
        { false, true, { 15, 15 }, { 45, 15 } },  { true, true, { 45, 15 }, { 15, 15 } },
    };

    for (const auto& c : cases)
    {
        ToggleSwitch toggle;
        toggle.setSize (60, 30);
        toggle.setToggleState (c.on, juce::dontSendNotification);
        toggle.setState (c.over ? juce::Button::buttonOver : juce::Button::buttonNormal);
        const auto image = pixel_probe::render (toggle);

        const juce::Colour base (c.on ? ToggleSwitch::onColour : ToggleSwitch::offColour);
        const auto track = at (image, c.track.x, c.track.y);
        EXPECT_TRUE (isWhite (at (image, c.knob.x, c.knob.y))) << c.on << c.over;

        if (c.over)
        {
            EXPECT_GT (track.getPerceivedBrightness(), base.getPerceivedBrightness() + 0.05f) << c.on;
            EXPECT_TRUE (nearRgb (track, ToggleSwitch::trackColourFor (c.on, true), 2));
        }
        else
        {
            EXPECT_TRUE (near (track, base, 1)) << c.on;
        }

        // The knob is 0.8 of the height.
        const auto knobRows = rowsWhere (image, c.knob.x, [] (juce::Colour p) { return p.getRed() > 180 && p.getGreen() > 180; });
        EXPECT_NEAR ((double) knobRows.size(), 24.0, 1.0) << c.on;
    }
}

TEST (IdleDrawing, PillButtonFillRimCornersAndCaption)
{
    const juce::Colour colour (0xffe03030);
    struct Case { bool on, over; };

    for (const auto c : { Case { true, false }, Case { false, false }, Case { true, true }, Case { false, true } })
    {
        PillButton pill ("GO", colour);
        pill.setSize (100, 30);
        pill.setToggleState (c.on, juce::dontSendNotification);
        pill.setState (c.over ? juce::Button::buttonOver : juce::Button::buttonNormal);
        const auto image = pixel_probe::render (pill);

        const auto fill = at (image, 22, 15);
        EXPECT_TRUE (nearRgb (fill, colour, 3)) << c.on;
        EXPECT_NEAR (fill.getAlpha(), c.on ? 255 : 77, 3) << c.on;

        const juce::Colour rim (c.over ? 0xffffffff : PillButton::restingRimColour);
        EXPECT_TRUE (near (at (image, 50, 0), rim, 3)) << c.over;
        EXPECT_TRUE (near (at (image, 50, 29), rim, 3)) << c.over;

        // Ends rounded with half the height: the corners stay empty.
        for (const auto corner : { juce::Point<int> { 1, 1 }, { 98, 1 }, { 1, 28 }, { 98, 28 } })
            EXPECT_LT (at (image, corner.x, corner.y).getAlpha(), 20) << corner.toString();

        const auto caption = boxOf (image, { 4, 3, 92, 24 }, isWhite);
        EXPECT_FALSE (caption.isEmpty());
        EXPECT_NEAR (caption.getCentreX(), 50, 3);
        EXPECT_NEAR (caption.getCentreY(), 15, 3);
    }
}

TEST (IdleDrawing, SectionPanelsStackTheirRowsUnderACentredTitle)
{
    juce::Image previousTitle;

    for (const char* title : { SectionPanel::bitCrushTitle, SectionPanel::delayReverbTitle, SectionPanel::distortionTitle })
    {
        SectionPanel panel (title);
        juce::Component rows[3];
        for (auto& row : rows)
            panel.addAndMakeVisible (row);

        for (const int width : { 300, 180 })
        {
            panel.setSize (width, 320);
            for (int i = 0; i < 3; ++i)
                EXPECT_EQ (rows[i].getBounds(), juce::Rectangle<int> (10, 40 + 90 * i, width - 20, 80)) << title << " row " << i;
        }

        panel.setSize (300, 320);
        const auto image = pixel_probe::render (panel);
        EXPECT_TRUE (near (at (image, 5, 200), juce::Colour (SectionPanel::fillColour), 1));
        EXPECT_TRUE (near (at (image, 150, 300), juce::Colour (SectionPanel::fillColour), 1));

        const auto caption = boxOf (image, image.getBounds(), isWhite);
        EXPECT_FALSE (caption.isEmpty()) << title;
        EXPECT_LE (caption.getBottom(), SectionPanel::titleHeight) << title;
        EXPECT_NEAR (caption.getCentreX(), 150, 3) << title;
        EXPECT_NEAR (caption.getCentreY(), 15, 3) << title;

        if (previousTitle.isValid())
        {
            EXPECT_GT (pixel_probe::differences (image, previousTitle, { 0, 0, 300, 30 }), 0) << title;
        }
        previousTitle = image;
    }
}

TEST (IdleDrawing, SpectrumCurveDrawsTheFirstHalfOfTheBinsInDecibels)
{
    // A magnitude 0.001 below -30 dB sits at half height; 0 sits on the bottom (-60 dB);
    // negative ones have no level and fall to the floor of -100 dB.
    const float minus30 = std::pow (10.0f, -1.5f) - 0.001f;
    const auto nan = std::numeric_limits<float>::quiet_NaN();
    struct Level { float magnitude, height; };
    for (const auto& l : { Level { minus30, 0.5f }, Level { 0.0f, 0.0f }, Level { 0.999f, 1.0f },
                           Level { -0.5f, -40.0f / 60.0f }, Level { nan, -40.0f / 60.0f } })
        EXPECT_NEAR (SpectrumCurve::heightFor (l.magnitude), l.height, 1e-4f) << l.magnitude;

    SpectrumCurve curve;
    curve.setSize (200, 120);
    // The upper half is loud: drawn, it would run along the top.
    curve.setMagnitudes ({ minus30, minus30, minus30, minus30, 1.0f, 1.0f, 1.0f, 1.0f });
    const auto image = pixel_probe::render (curve);

    for (const int x : { 1, 100, 198 })
    {
        const auto rows = rowsWhere (image, x, isBlueLine);
        ASSERT_FALSE (rows.empty()) << x;
        EXPECT_GE (rows.front(), 58) << x;
        EXPECT_LE (rows.back(), 61) << x;
        EXPECT_LE (rows.size(), 3u) << x;
    }
    EXPECT_TRUE (near (at (image, 100, 60), juce::Colour (SpectrumCurve::lineColour), 2));
    EXPECT_EQ (pixel_probe::count (image, { 0, 0, 200, 50 }, isBlueLine), 0);
}

TEST (IdleDrawing, WaveformCurveUsesNineTenthsOfTheHalfHeight)
{
    // Full scale up on the left half, down on the right: 100 high gives lines at 5 and 95.
    std::array<float, WaveformCurve::numPoints> samples {};
    for (size_t i = 0; i < samples.size(); ++i)
        samples[i] = i < 256 ? 1.0f : -1.0f;
    samples[100] = std::numeric_limits<float>::infinity();   // held to 0: a spike to the middle, not off the image

    for (const bool highlighted : { false, true })
    {
        WaveformCurve curve;
        curve.setSize (256, 100);
        curve.setSamples (samples);
        curve.setHighlighted (highlighted);
        const auto image = pixel_probe::render (curve);

        auto isTrace = [] (juce::Colour c) { return c.getAlpha() > 60 && c.getGreen() > 60; };
        for (const auto& [x, y] : { std::pair { 40, 5 }, { 200, 95 } })
        {
            const auto rows = rowsWhere (image, x, isTrace);
            ASSERT_FALSE (rows.empty()) << x;
            EXPECT_GE (rows.front(), y - 1) << x;
            EXPECT_LE (rows.back(), y) << x;
        }
        EXPECT_FALSE (rowsWhere (image, 50, isTrace).empty());
        EXPECT_LE (rowsWhere (image, 50, isTrace).back(), 51);

        const auto background = at (image, 40, 50);
        if (highlighted)
        {
            EXPECT_TRUE (near (background, juce::Colour (WaveformCurve::highlightColour), 1));
        }
        else
        {
            EXPECT_EQ (background.getAlpha(), 0);
        }
    }
}
