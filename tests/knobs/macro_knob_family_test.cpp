#include <gtest/gtest.h>

#include "knobs/MasterControlKnob.h"
#include "knobs/MathControlKnob.h"
#include "knobs/MetaControlKnob.h"
#include "knobs/OblivionKnob.h"
#include "knobs/SpatialMaxKnob.h"
#include "knobs/StutterKnob.h"
#include "knobs/TextureProKnob.h"
#include "support/MessagePump.h"

#include <functional>
#include <vector>

// The shared shape of the macro knobs: titles, the change sequence, the mouse rules each knob
// picks, limits and layout. Events are synthetic and delivered straight to the knob.

namespace
{
    juce::MouseEvent eventAt (juce::Component& c, float y, juce::ModifierKeys mods = juce::ModifierKeys::leftButtonModifier)
    {
        auto source = juce::Desktop::getInstance().getMainMouseSource();
        return juce::MouseEvent (source, { 20.0f, y }, mods, 1.0f, 0.0f, 0.0f, 0.0f, 0.0f, &c, &c,
                                 juce::Time::getCurrentTime(), { 20.0f, y }, juce::Time::getCurrentTime(), 1, false);
    }

    const auto rightButton = juce::ModifierKeys::rightButtonModifier;

    void dragBy (juce::Component& knob, float pixelsUp)
    {
        knob.mouseDown (eventAt (knob, 1000.0f));
        knob.mouseDrag (eventAt (knob, 1000.0f - pixelsUp));
        knob.mouseUp (eventAt (knob, 1000.0f - pixelsUp));
    }

    /** One slider-backed knob with a counter on its value callback. */
    struct Probe
    {
        const char* name;
        std::function<void (const std::function<void (MacroSliderKnob&)>&)> with;
    };

    template <typename Knob>
    Probe probe (const char* name)
    {
        return { name, [] (const std::function<void (MacroSliderKnob&)>& body) { Knob k; k.setSize (65, 65); body (k); } };
    }

    std::vector<Probe> sliderKnobs()
    {
        return { probe<OblivionKnob> ("ToneMax"), probe<SpatialMaxKnob> ("SpatialMax"),
                 probe<TextureProKnob> ("TexturePro"), probe<MetaControlKnob> ("MetaControl"),
                 probe<MathControlKnob> ("MathControl") };
    }
}

TEST (MacroKnobFamily, TitlesTruncateAndOnlyNotifyingChangesFire)
{
    struct Row { double value; const char* title; const char* valueLabel; };

    const std::pair<const char*, std::vector<Row>> table[] = {
        { "ToneMax",     { { 42.7, "ToneMax (42%)", "42%" }, { 99.9, "ToneMax (99%)", "99%" } } },
        { "SpatialMax",  { { 0.4, "SpatialMax (0%)", "0%" }, { 99.9, "SpatialMax (99%)", "99%" } } },
        { "TexturePro",  { { 42.7, "TexturePro (42%)", "42%" } } },
        { "MetaControl", { { 42.0, "MetaControl (42%)", "42%" } } },
        { "MathControl", { { 42.0, "MathControl (42%)", "BENT 42%" }, { 100.0, "MathControl (100%)", "BENT 100%" } } },
    };

    for (const auto& knobProbe : sliderKnobs())
    {
        knobProbe.with ([&] (MacroSliderKnob& knob)
        {
            SCOPED_TRACE (knobProbe.name);
            int calls = 0;
            knob.onValueChange = [&] (float) { ++calls; };

            for (const auto& [name, rows] : table)
            {
                if (juce::String (name) != knobProbe.name)
                    continue;

                for (const auto& row : rows)
                {
                    const auto before = knob.titleLabel.getText();
                    knob.slider.setValue (row.value, juce::dontSendNotification);
                    ASSERT_TRUE (test_support::runPendingMessages());
                    EXPECT_EQ (knob.titleLabel.getText(), before);

                    knob.updateTitle();
                    EXPECT_EQ (knob.titleLabel.getText(), row.title);
                    EXPECT_EQ (knob.valueLabel.getText(), row.valueLabel);

                    // The value it already holds fires nothing, notified or not.
                    knob.slider.setValue (knob.slider.getValue(), juce::sendNotificationSync);
                    knob.slider.setValue (knob.slider.getValue(), juce::sendNotificationAsync);
                    ASSERT_TRUE (test_support::runPendingMessages());
                }
            }

            EXPECT_EQ (calls, 0);
            EXPECT_FALSE (knob.valueLabel.isVisible());
        });
    }
}

TEST (MacroKnobFamily, DoubleClicksRightPressesAndLimits)
{
    struct Row { const char* name; bool doubleClickResets, firesRightClick; };
    const Row rows[] = { { "ToneMax", false, true }, { "SpatialMax", false, true }, { "TexturePro", true, true },
                         { "MetaControl", false, false }, { "MathControl", true, true } };

    const auto probes = sliderKnobs();

    for (size_t i = 0; i < probes.size(); ++i)
    {
        const auto& row = rows[i];
        probes[i].with ([&] (MacroSliderKnob& knob)
        {
            SCOPED_TRACE (row.name);
            std::vector<float> reported;
            int rightClicks = 0;
            knob.onValueChange = [&] (float v) { reported.push_back (v); };
            knob.onRightClick = [&] { ++rightClicks; };

            // At 0 a double-click changes and reports nothing.
            knob.mouseDoubleClick (eventAt (knob, 0.0f));
            ASSERT_TRUE (test_support::runPendingMessages());
            EXPECT_TRUE (reported.empty());

            // Past the top stops at 100.
            dragBy (knob, 5000.0f);
            ASSERT_TRUE (test_support::runPendingMessages());
            EXPECT_EQ (knob.slider.getValue(), 100.0);
            reported.clear();

            // A right press reaches only the owner's callback; a right drag moves nothing.
            knob.mouseDown (eventAt (knob, 500.0f, rightButton));
            knob.mouseDrag (eventAt (knob, 0.0f, rightButton));
            knob.mouseUp (eventAt (knob, 0.0f, rightButton));
            ASSERT_TRUE (test_support::runPendingMessages());
            EXPECT_EQ (rightClicks, row.firesRightClick ? 1 : 0);
            EXPECT_EQ (knob.slider.getValue(), 100.0);
            EXPECT_TRUE (reported.empty());

            // A double-click resets on a later message, where the knob does that.
            knob.mouseDoubleClick (eventAt (knob, 0.0f));
            EXPECT_EQ (knob.slider.getValue(), row.doubleClickResets ? 0.0 : 100.0);
            EXPECT_TRUE (reported.empty());
            ASSERT_TRUE (test_support::runPendingMessages());
            EXPECT_EQ (reported, row.doubleClickResets ? std::vector<float> { 0.0f } : std::vector<float> {});

            // Past the bottom stops at 0, by drag and by wheel.
            dragBy (knob, 100.0f);
            dragBy (knob, -5000.0f);
            EXPECT_EQ (knob.slider.getValue(), 0.0);
            juce::MouseWheelDetails down {};
            down.deltaY = -3.0f;
            knob.mouseWheelMove (eventAt (knob, 0.0f, {}), down);
            EXPECT_EQ (knob.slider.getValue(), 0.0);
        });
    }
}

TEST (MacroKnobFamily, MasterProStepsOneLevelPerTenPixels)
{
    MasterControlKnob knob;
    std::vector<int> levels;
    int rightClicks = 0;
    knob.onLevelChange = [&] (int level) { levels.push_back (level); };
    knob.onRightClick = [&] { ++rightClicks; };

    // (drag events in pixels up from the press, level after them)
    struct Row { std::vector<float> moves; int level; };
    const Row rows[] = {
        { { 9.0f }, 0 },                 // short of a level
        { { 5.0f, 10.0f }, 1 },          // the wobble is ignored, not stored
        { { 10.0f, 19.0f }, 1 },         // 9 more pixels: still one
        { { 10.0f, 20.0f }, 2 },
        { { 35.0f }, 3 },                // a long event takes whole levels
        { { -25.0f }, -2 },              // downward
    };

    for (const auto& row : rows)
    {
        knob.setLevel (5);
        levels.clear();
        knob.mouseDown (eventAt (knob, 500.0f));
        for (float up : row.moves)
            knob.mouseDrag (eventAt (knob, 500.0f - up));
        knob.mouseUp (eventAt (knob, 500.0f));
        EXPECT_EQ (knob.getLevel(), 5 + row.level) << row.moves.back();
        EXPECT_EQ (levels.empty(), row.level == 0);
    }

    // Limits 0..19 by drag and wheel; a right press only asks for the menu.
    knob.mouseDown (eventAt (knob, 5000.0f));
    knob.mouseDrag (eventAt (knob, 0.0f));
    knob.mouseUp (eventAt (knob, 0.0f));
    EXPECT_EQ (knob.getLevel(), 19);
    juce::MouseWheelDetails up {};
    up.deltaY = 1.0f;
    knob.mouseWheelMove (eventAt (knob, 0.0f, {}), up);
    EXPECT_EQ (knob.getLevel(), 19);

    knob.mouseDown (eventAt (knob, 0.0f, rightButton));
    knob.mouseDrag (eventAt (knob, 5000.0f, rightButton));
    EXPECT_EQ (rightClicks, 1);
    EXPECT_EQ (knob.getLevel(), 19);
}

TEST (MacroKnobFamily, LabelsSitWhereEachKnobPutsThem)
{
    using R = juce::Rectangle<int>;

    for (const auto& size : { juce::Point<int> (65, 65), juce::Point<int> (90, 90), juce::Point<int> (90, 60) })
    {
        const int w = size.x, h = size.y;
        SCOPED_TRACE (juce::String (w) + "x" + juce::String (h));

        for (const auto& knobProbe : sliderKnobs())
        {
            knobProbe.with ([&] (MacroSliderKnob& knob)
            {
                knob.setSize (w, h);
                EXPECT_EQ (knob.titleLabel.getBounds(), R (0, 0, w, 14)) << knobProbe.name;
                EXPECT_EQ (knob.valueLabel.getBounds(), R (0, h - 12, w, 12)) << knobProbe.name;
                EXPECT_TRUE (knob.slider.getBounds().isEmpty() || knob.slider.getParentComponent() == nullptr)
                    << knobProbe.name;
            });
        }

        MasterControlKnob master;
        master.setSize (w, h);
        EXPECT_EQ (master.titleLabel.getBounds(), R (0, 0, w, 14));
        EXPECT_EQ (master.valueLabel.getBounds(), R (0, juce::jmin (h - 36, w) + 22, w, 12));

        StutterKnob stutter;
        stutter.setSize (w, h);
        const int m = juce::jmin (h - 40, w);
        EXPECT_EQ (stutter.slider.getBounds(), R ((w - m) / 2, 0, m, m));
        EXPECT_EQ (stutter.valueLabel.getBounds(), R (0, m, w, 18));
        EXPECT_EQ (stutter.titleLabel.getBounds(), R (0, m + 18, w, 22));
    }
}
