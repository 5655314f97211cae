#include <gtest/gtest.h>

#include "knobs/MathControlKnob.h"
#include "support/MessagePump.h"
#include "support/PixelProbe.h"

#include <set>

// The MathControl face, driven tick by tick through timerCallback().

namespace
{
    constexpr float twoPi = juce::MathConstants<float>::twoPi;

    struct Knob
    {
        Knob()
        {
            knob.stopTimer();   // the test ticks it
            knob.setSize (90, 90);
        }

        void at (double value, int ticks = 0)
        {
            knob.slider.setValue (value, juce::dontSendNotification);
            for (int i = 0; i < ticks; ++i)
                knob.timerCallback();
        }

        juce::Image render()
        {
            return pixel_probe::draw (knob.getWidth(), knob.getHeight(), [this] (juce::Graphics& g)
            {
                g.fillAll (juce::Colours::white);
                knob.paintEntireComponent (g, true);
            });
        }

        /** Pixels that change when the given layer's content is taken away. */
        int pixelsOf (const std::function<void()>& takeAway)
        {
            const auto with = render();
            takeAway();
            return pixel_probe::differences (with, render(), with.getBounds());
        }

        MathControlKnob knob;
    };
}

TEST (MathControlKnob, AtZeroTheRotorsTurnAndNothingElseHappens)
{
    Knob k;
    k.at (0.0, 1);
    EXPECT_FLOAT_EQ (k.knob.outerPhase, 0.002f);
    EXPECT_FLOAT_EQ (k.knob.innerPhase, twoPi - 0.0014f);
    EXPECT_FLOAT_EQ (k.knob.animTime, 0.033f);

    k.at (0.0, 300);
    EXPECT_TRUE (k.knob.sparks.empty());
    EXPECT_EQ (k.knob.letterOffset, 0);
    ASSERT_EQ (k.knob.glyphs.size(), 6u);
    for (const auto& glyph : k.knob.glyphs)
        EXPECT_EQ (glyph.alpha, 0.0f);

    // The phases wrap into 0..2pi.
    k.at (100.0, 400);
    EXPECT_GE (k.knob.outerPhase, 0.0f);
    EXPECT_LE (k.knob.outerPhase, twoPi);
    EXPECT_GE (k.knob.innerPhase, 0.0f);
    EXPECT_LE (k.knob.innerPhase, twoPi);
}

TEST (MathControlKnob, RotorSpeedRisesContinuouslyThroughItsCorners)
{
    // (value, radians per tick)
    const std::pair<double, float> rows[] = { { 0.0, 0.002f }, { 25.0, 0.01f }, { 50.0, 0.03f },
                                              { 75.0, 0.06f }, { 100.0, 0.15f }, { 60.0, 0.042f } };

    for (const auto& [value, speed] : rows)
    {
        Knob k;
        k.at (value, 1);
        EXPECT_NEAR (k.knob.outerPhase, speed, 1.0e-6f) << value;
        EXPECT_NEAR (twoPi - k.knob.innerPhase, 0.7f * speed, 1.0e-5f) << value;
    }
}

TEST (MathControlKnob, FormulasAndSparksAppearJustAboveTheirThresholds)
{
    // Formulas: none at exactly 10 %, some just above.
    for (const auto& [value, drawn] : { std::pair<double, bool> { 10.0, false }, { 11.0, true } })
    {
        Knob k;
        k.at (value, 3);
        const int pixels = k.pixelsOf ([&] { for (auto& glyph : k.knob.glyphs) glyph.text = {}; });
        EXPECT_EQ (pixels > 0, drawn) << value;
    }

    // Sparks: made from 50 % on but drawn only above it.
    for (const auto& [value, drawn] : { std::pair<double, bool> { 50.0, false }, { 51.0, true } })
    {
        Knob k;
        k.at (value, 1);
        k.knob.spawnSpark();
        k.knob.spawnSpark();
        const int pixels = k.pixelsOf ([&] { k.knob.sparks.clear(); });
        EXPECT_EQ (pixels > 0, drawn) << value;
    }

    // Spawning starts at exactly 50 %.
    for (const auto& [value, spawns] : { std::pair<double, bool> { 49.0, false }, { 50.0, true } })
    {
        Knob k;
        bool any = false;
        for (int i = 0; i < 400 && ! any; ++i)
        {
            k.at (value, 1);
            any = ! k.knob.sparks.empty();
        }
        EXPECT_EQ (any, spawns) << value;
    }
}

TEST (MathControlKnob, FromNinetyTheInnerRotorJumpsEveryFifthTick)
{
    Knob below;
    below.at (89.0, 200);
    EXPECT_EQ (below.knob.letterOffset, 0);

    Knob k;
    k.at (90.0);
    std::set<int> offsets;
    std::vector<int> resets;

    for (int i = 1; i <= 200; ++i)
    {
        k.knob.timerCallback();
        offsets.insert (k.knob.letterOffset);
        if (k.knob.glitchClock == 0.0f)
            resets.push_back (i);
        ASSERT_LE (k.knob.letterOffset, 25);
        ASSERT_GE (k.knob.letterOffset, 0);
    }

    ASSERT_GE (resets.size(), 2u);
    EXPECT_EQ (resets[0], 5);
    EXPECT_EQ (resets[1] - resets[0], 5);
    EXPECT_GT (offsets.size(), 5u);
}

TEST (MathControlKnob, NeverMoreThanTwentyOneSparks)
{
    Knob k;
    for (int i = 0; i < 40; ++i)
        k.knob.spawnSpark();
    EXPECT_EQ (k.knob.sparks.size(), 21u);

    // At full value, live sparks keep ageing; none outlives its life and the cap holds.
    for (int i = 0; i < 2000; ++i)
    {
        k.at (100.0, 1);
        ASSERT_LE (k.knob.sparks.size(), 21u);
        for (const auto& s : k.knob.sparks)
            ASSERT_LE (s.age, s.life);
    }

    // Below 50 % no new sparks come; the live ones die within their longest life.
    k.at (40.0, 45);
    EXPECT_TRUE (k.knob.sparks.empty());
}

TEST (MathControlKnob, ModeShowsInTheValueLabelFromTheNextChange)
{
    Knob k;
    k.knob.slider.setValue (42.0, juce::sendNotificationSync);
    EXPECT_EQ (k.knob.valueLabel.getText(), "BENT 42%");

    const auto face = k.render();
    k.knob.setMode (0);
    EXPECT_EQ (k.knob.getMode(), 0);
    EXPECT_EQ (k.knob.valueLabel.getText(), "BENT 42%");
    EXPECT_EQ (k.knob.titleLabel.getText(), "MathControl (42%)");
    EXPECT_EQ (pixel_probe::differences (face, k.render(), face.getBounds()), 0);

    k.knob.slider.setValue (43.0, juce::sendNotificationSync);
    EXPECT_EQ (k.knob.valueLabel.getText(), "CRUSH 43%");

    const char* const names[] = { "CRUSH", "DECIM", "OVRFLW", "GLITCH", "FDBK", "PHASE", "FLIP", "BENT" };
    for (int m = 0; m < 8; ++m)
        EXPECT_EQ (MathControlKnob::getModeName (m), names[m]);
    EXPECT_EQ (MathControlKnob::getModeName (-1), "???");
}

// Every character of every formula leaves ink: none falls through to a face without it.
TEST (MathControlKnob, FormulasRenderWithoutBlankGlyphs)
{
    const juce::Font font ("Times New Roman", 18.0f, juce::Font::italic);
    ASSERT_EQ (MathControlKnob::formulaTexts().size(), 20);

    for (const auto& text : MathControlKnob::formulaTexts())
    {
        for (auto p = text.getCharPointer(); ! p.isEmpty();)
        {
            const auto c = p.getAndAdvance();
            const auto glyph = juce::String::charToString (c);
            const auto image = pixel_probe::draw (40, 30, [&] (juce::Graphics& g)
            {
                g.setColour (juce::Colours::black);
                knobface::drawTextWithFallback (g, glyph, font, { 0.0f, 0.0f, 40.0f, 30.0f });
            });
            EXPECT_GT (pixel_probe::count (image, [] (juce::Colour px) { return px.getAlpha() > 64; }), 0)
                << text << " / U+" << juce::String::toHexString ((int) c);
        }
    }
}
