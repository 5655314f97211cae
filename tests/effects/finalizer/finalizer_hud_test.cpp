#include <gtest/gtest.h>

#include "effects/finalizer/TavroFinalizerHUD.h"
#include "support/MessagePump.h"
#include "support/PixelProbe.h"

namespace
{
    juce::Image render (TavroFinalizerHUD& hud) { return pixel_probe::render (hud); }

    /** Pixels in `area` whose colour lies within `tolerance` of `colour` on every channel. */
    int pixelsNear (const juce::Image& image, juce::Rectangle<int> area, juce::Colour colour, int tolerance = 40)
    {
        return pixel_probe::count (image, area, [&] (juce::Colour c) { return pixel_probe::nearRgb (c, colour, tolerance); });
    }

    const juce::Colour yellow (0xffffcc00), red (0xffff4444), cyan (0xff00ffff), footer (0xff446666);

    juce::Rectangle<int> valueBox (int rowY) { return { 84, rowY, 70, 13 }; }
}

TEST (FinalizerHud, TruePeakColourChangesAboveMinusOne)
{
    struct Case { float db; juce::Colour shown, notShown; };
    for (const auto& c : { Case { -1.0f, yellow, red }, Case { -0.9f, red, yellow }, Case { -30.0f, yellow, red } })
    {
        SCOPED_TRACE (c.db);
        TavroFinalizerHUD hud;
        hud.setSize (260, 280);
        hud.truePeakDb = c.db;
        const auto image = render (hud);
        EXPECT_GT (pixelsNear (image, valueBox (85), c.shown), 5);
        EXPECT_EQ (pixelsNear (image, valueBox (85), c.notShown), 0);
    }
}

TEST (FinalizerHud, FaceShowsTitleRowsAndFooterAndTheHoverBlockPushesRowsDown)
{
    TavroFinalizerHUD hud;
    hud.setSize (260, 280);
    EXPECT_FALSE (hud.hoverActive);
    EXPECT_EQ (hud.truePeakDb, -1.0f);

    auto image = render (hud);
    EXPECT_GT (pixelsNear (image, { 12, 10, 236, 16 }, cyan, 30), 20);          // title
    EXPECT_GT (pixelsNear (image, valueBox (40), cyan, 30), 5);                 // INTEGRATED value
    EXPECT_GT (pixelsNear (image, valueBox (85), yellow), 5);                   // TRUE PEAK, initial -1.0
    EXPECT_GT (pixelsNear (image, { 12, 258, 236, 12 }, footer, 25), 5);        // footer hint
    EXPECT_EQ (pixelsNear (image, valueBox (134), cyan, 30), 0);

    hud.setHoverText ("Ceiling", "-6..0 dBTP", "Hard clip level");
    EXPECT_TRUE (hud.hoverActive);
    image = render (hud);
    EXPECT_EQ (pixelsNear (image, valueBox (40), cyan, 30), 0);
    EXPECT_GT (pixelsNear (image, valueBox (134), cyan, 30), 5);
    EXPECT_GT (pixelsNear (image, { 12, 40, 236, 18 }, juce::Colour (0xff00ffaa), 30), 5);
}

TEST (FinalizerHud, CloseButtonHidesAndOnlyTheBodyDrags)
{
    juce::Component parent;
    parent.setSize (800, 600);
    TavroFinalizerHUD hud;
    parent.addAndMakeVisible (hud);
    hud.setBounds (100, 100, 260, 280);
    EXPECT_EQ (hud.closeButton.getBounds(), juce::Rectangle<int> (242, 4, 14, 14));
    EXPECT_EQ (hud.closeButton.getButtonText(), "-");

    int closed = 0;
    hud.onClose = [&] { ++closed; };

    auto source = juce::Desktop::getInstance().getMainMouseSource();
    auto event = [&] (juce::Point<float> at)
    {
        return juce::MouseEvent (source, at, {}, 1.0f, 0.0f, 0.0f, 0.0f, 0.0f, &hud, &hud,
                                 juce::Time::getCurrentTime(), at, juce::Time::getCurrentTime(), 1, false);
    };

    // A press on the close button starts no drag.
    hud.mouseDown (event ({ 248.0f, 10.0f }));
    hud.mouseDrag (event ({ 150.0f, 150.0f }));
    EXPECT_EQ (hud.getPosition(), juce::Point<int> (100, 100));

    // Elsewhere it drags, even past the parent's edge.
    hud.mouseDown (event ({ 50.0f, 50.0f }));
    hud.mouseDrag (event ({ -150.0f, -150.0f }));
    EXPECT_EQ (hud.getPosition(), juce::Point<int> (-100, -100));

    hud.closeButton.triggerClick();
    EXPECT_TRUE (test_support::runPendingMessages());
    EXPECT_FALSE (hud.isVisible());
    EXPECT_EQ (closed, 1);
}
