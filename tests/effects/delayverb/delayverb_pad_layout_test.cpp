#include <gtest/gtest.h>

#include "effects/delayverb/DelayPanXYPad.h"
#include "effects/delayverb/DelayVerbLayout.h"
#include "support/PixelProbe.h"

#include <atomic>

namespace
{
    juce::MouseEvent mouseAt (juce::Component& c, juce::Point<float> at, int clicks = 1)
    {
        auto source = juce::Desktop::getInstance().getMainMouseSource();
        return juce::MouseEvent (source, at, juce::ModifierKeys::leftButtonModifier, 1.0f, 0.0f, 0.0f, 0.0f, 0.0f,
                                 &c, &c, juce::Time::getCurrentTime(), at, juce::Time::getCurrentTime(), clicks, false);
    }

    /** A pad wired the way the panel wires it: its callback stores into the values it shows. */
    struct WiredPad
    {
        WiredPad()
        {
            pad.setSize (80, 80);
            pad.showPosition (&pan, &pingPong);
            pad.onChange = [this] (float x, float y)
            {
                pan = x;
                pingPong = y;
                ++changes;
            };
        }

        DelayPanXYPad pad;
        std::atomic<float> pan { 0.0f }, pingPong { 0.0f };
        int changes = 0;
    };

    bool isOrange (juce::Colour c) { return c.getRed() > 200 && c.getGreen() > 100 && c.getGreen() < 160 && c.getBlue() < 60; }
}

TEST (DelayPanXYPad, MouseSetsPanAndPingPongHeldAtTheEdges)
{
    struct Step { const char* gesture; juce::Point<float> at; float pan, pingPong; };
    const Step steps[] = {
        { "down", { 40.0f, 40.0f }, 0.0f, 0.5f },       // the centre: half ping-pong
        { "drag", { 2.0f, 2.0f }, -1.0f, 1.0f },        // inner top-left corner
        { "drag", { 500.0f, 40.0f }, 1.0f, 0.5f },      // beyond the right edge
        { "drag", { 40.0f, -300.0f }, 0.0f, 1.0f },     // above the top
        { "drag", { -30.0f, 400.0f }, -1.0f, 0.0f },    // below and left
        { "down", { 21.0f, 59.0f }, -0.5f, 0.25f },
    };

    WiredPad w;
    for (const auto& s : steps)
    {
        SCOPED_TRACE (s.gesture);
        const auto e = mouseAt (w.pad, s.at);
        if (juce::String (s.gesture) == "down")
            w.pad.mouseDown (e);
        else
            w.pad.mouseDrag (e);
        EXPECT_FLOAT_EQ (w.pan.load(), s.pan);
        EXPECT_FLOAT_EQ (w.pingPong.load(), s.pingPong);
    }

    // Release changes nothing; a double-click returns to centre pan without cross-feed.
    const int before = w.changes;
    w.pad.mouseUp (mouseAt (w.pad, { 70.0f, 10.0f }));
    EXPECT_EQ (w.changes, before);
    w.pad.mouseDoubleClick (mouseAt (w.pad, { 70.0f, 10.0f }, 2));
    EXPECT_EQ (w.pan.load(), 0.0f);
    EXPECT_EQ (w.pingPong.load(), 0.0f);

    // Without a callback the pad only repaints.
    DelayPanXYPad bare;
    bare.setSize (80, 80);
    bare.mouseDown (mouseAt (bare, { 10.0f, 10.0f }));
    bare.mouseDoubleClick (mouseAt (bare, { 10.0f, 10.0f }, 2));
}

TEST (DelayPanXYPad, PuckFollowsTheShownValuesOnTheNextRepaint)
{
    EXPECT_EQ (DelayPanXYPad::puckCentre (-1.0f, 1.0f, 80, 80), juce::Point<float> (2.0f, 2.0f));
    EXPECT_EQ (DelayPanXYPad::puckCentre (0.0f, 0.0f, 80, 80), juce::Point<float> (40.0f, 78.0f));
    EXPECT_EQ (DelayPanXYPad::puckCentre (1.0f, 0.5f, 80, 80), juce::Point<float> (78.0f, 40.0f));

    // A write from elsewhere (the randomiser) moves the orange puck without any mouse event.
    WiredPad w;
    const auto atStart = pixel_probe::render (w.pad);
    EXPECT_GT (pixel_probe::count (atStart, { 34, 66, 12, 12 }, isOrange), 10);
    EXPECT_EQ (pixel_probe::count (atStart, { 10, 4, 12, 12 }, isOrange), 0);

    w.pan = -0.6f;   // x = 2 + 0.2 x 76 = 17.2
    w.pingPong = 0.9f;   // y = 78 - 68.4 = 9.6
    const auto moved = pixel_probe::render (w.pad);
    EXPECT_GT (pixel_probe::count (moved, { 11, 4, 12, 12 }, isOrange), 10);
    EXPECT_EQ (pixel_probe::count (moved, { 34, 66, 12, 12 }, isOrange), 0);
    EXPECT_EQ (w.changes, 0);
}

TEST (DelayVerbLayout, WorkedExampleWithAndWithoutSync)
{
    const int w = 1134, h = 161;
    const auto l = DelayVerbLayout::compute (w, h);
    using R = juce::Rectangle<int>;

    struct Case { const char* what; R actual, expected; };
    const Case cases[] = {
        { "hover label", l.hoverLabel, R (4, 1, 1126, 16) },
        { "spectrum", l.spectrum, R (1007, 25, 121, 129) },
        { "pad", l.pad, R (921, 49, 80, 80) },
        { "D L", l.delayLeft, R (713, 35, 38, 38) },
        { "D R", l.delayRight, R (713, 105, 38, 38) },
        { "R L", l.reverbLeft, R (757, 35, 38, 38) },
        { "R R", l.reverbRight, R (757, 105, 38, 38) },
        { "SYNC", l.sync, R (802, 26, 111, 34) },
        { "HUD", l.hud, R (802, 72, 111, 34) },
        { "BYPASS", l.bypass, R (802, 118, 111, 35) },
        { "row 1, cell 1", l.rows[0][0], R (55, 21, 40, 44) },
        { "row 1, cell 9", l.rows[0][8], R (55 + 8 * 42, 21, 40, 44) },
        { "row 2, cell 1", l.rows[1][0], R (55, 67, 40, 44) },
        { "row 3, cell 6", l.rows[2][5], R (55 + 5 * 42, 113, 40, 45) },
    };

    for (const auto& c : cases)
        EXPECT_EQ (c.actual, c.expected) << c.what;

    // Narrower than title + right block: the right block takes what is left and the knob
    // cells have no width.
    const auto narrow = DelayVerbLayout::compute (300, 161);
    EXPECT_EQ (narrow.rows[0][0].getWidth(), 0);
    EXPECT_EQ (narrow.rows[2][5].getWidth(), 0);
    EXPECT_EQ (narrow.spectrum, R (300 - 127, 25, 121, 129));
}
