#include <gtest/gtest.h>

#include "knobs/MetaControlKnob.h"
#include "support/MessagePump.h"
#include "support/PixelProbe.h"

#include <cmath>

// The MetaControl face, readout and menu, driven tick by tick through timerCallback().

namespace
{
    struct Knob
    {
        Knob()
        {
            knob.stopTimer();   // the test ticks it
            knob.setSize (90, 90);
        }

        void tick (int n = 1)
        {
            for (int i = 0; i < n; ++i)
                knob.timerCallback();
        }

        /** Ticks once so that the energy is the given level after the tick's own decay. */
        void tickToEnergy (float level)
        {
            knob.energy = level / knob.energyDecay;
            tick();
        }

        juce::Image render()
        {
            return pixel_probe::draw (knob.getWidth(), knob.getHeight(), [this] (juce::Graphics& g)
            {
                g.fillAll (juce::Colours::white);
                knob.paintEntireComponent (g, true);
            });
        }

        // The face's geometry at 90 x 90.
        juce::Point<float> centre() const { return { 45.0f, 45.0f }; }
        float radius() const              { return 0.35f * (std::min (90.0f - 26.0f, 90.0f) - 4.0f); }

        /** Pixels at least `from` and below `to` pixels from the centre that pass the test,
            the title strip left out. */
        int countInRing (const juce::Image& image, float from, float to, const std::function<bool (juce::Colour)>& test,
                         bool withoutReadout = false) const
        {
            int n = 0;
            for (int y = MacroSliderKnob::titleHeight; y < image.getHeight(); ++y)
                for (int x = 0; x < image.getWidth(); ++x)
                {
                    if (withoutReadout && std::abs (y - 45) <= 6)
                        continue;

                    const float dist = centre().getDistanceFrom ({ x + 0.5f, y + 0.5f });
                    if (dist >= from && dist < to && test (image.getPixelAt (x, y)))
                        ++n;
                }
            return n;
        }

        MetaControlKnob knob;
    };

    bool drawn (juce::Colour c)   { return c != juce::Colours::white; }
    /** Red over the white ground, even faint: the marks and shaking rings are the face's only red
        at a value of 0. */
    bool reddish (juce::Colour c) { return c.getRed() - c.getGreen() >= 4 && c.getRed() - c.getBlue() >= 4; }

    juce::MouseEvent rightPressOn (juce::Component& c)
    {
        auto source = juce::Desktop::getInstance().getMainMouseSource();
        return juce::MouseEvent (source, { 20.0f, 20.0f }, juce::ModifierKeys::rightButtonModifier, 1.0f, 0.0f, 0.0f, 0.0f,
                                 0.0f, &c, &c, juce::Time::getCurrentTime(), { 20.0f, 20.0f }, juce::Time::getCurrentTime(),
                                 1, false);
    }
}

TEST (MetaControlKnob, ReadoutCyclesModeCouplingEnergyEverySixteenTicks)
{
    Knob k;
    k.knob.coupling = 55.9f;

    // (ticks so far, text), the energy rewritten before each look as the owner would.
    struct Row { int ticks; const char* text; };
    const Row rows[] = { { 0, "MORPH" }, { 15, "MORPH" }, { 16, "COUPLED: 55%" }, { 31, "COUPLED: 55%" },
                         { 32, "ENERGY: 42%" }, { 47, "ENERGY: 42%" }, { 48, "MORPH" }, { 64, "COUPLED: 55%" } };

    int done = 0;
    for (const auto& row : rows)
    {
        k.tick (row.ticks - done);
        done = row.ticks;
        k.knob.energy = 42.9f;
        EXPECT_EQ (k.knob.readoutText(), row.text) << row.ticks;
    }
}

TEST (MetaControlKnob, ReadoutColoursFollowTheLevels)
{
    Knob k;
    struct Row { int index; float level; juce::uint32 rgb; const char* text; };
    const Row rows[] = {
        { 0, 0.0f,   0x00ff88, "MORPH" },
        { 1, 29.9f,  0x888888, "COUPLED: 29%" },
        { 1, 30.0f,  0x00ff88, "COUPLED: 30%" },
        { 1, 69.99f, 0x00ff88, "COUPLED: 69%" },
        { 1, 70.0f,  0xff00ff, "COUPLED: 70%" },
        { 2, 29.9f,  0x00ffcc, "ENERGY: 29%" },
        { 2, 30.0f,  0xffff00, "ENERGY: 30%" },
        { 2, 60.0f,  0xff8800, "ENERGY: 60%" },
        { 2, 89.9f,  0xff8800, "ENERGY: 89%" },
        { 2, 90.0f,  0xff0055, "ENERGY: 90%" },
        { 2, 100.0f, 0xff0055, "ENERGY: 100%" },
        { 2, std::nanf (""), 0xff0055, "ENERGY: 0%" },
    };

    for (const auto& row : rows)
    {
        k.knob.readoutIndex = row.index;
        k.knob.coupling = k.knob.energy = row.level;
        EXPECT_EQ (k.knob.readoutText(), row.text);
        EXPECT_EQ (k.knob.readoutColour(), juce::Colour (0xb2000000 | row.rgb)) << row.text;
    }

    EXPECT_EQ (MetaControlKnob::getModeName (7), "SPEC");
    EXPECT_EQ (MetaControlKnob::getModeName (8), "???");
    EXPECT_EQ (MetaControlKnob::getModeName (-1), "???");
}

TEST (MetaControlKnob, EnergyDecaysAndLatchesTheOverload)
{
    // (energy after the tick, latched, overload strength, marks drawn, shaking rings drawn)
    struct Row { float energy; bool latched; float overload; bool marks, rings; };
    const Row rows[] = {
        { 93.9f, false, 0.0f,  false, false },
        { 95.0f, false, 0.0f,  true,  false },
        { 96.2f, true,  0.05f, true,  false },   // latched, but too weak to shake
        { 96.6f, true,  0.15f, true,  true },
        { 99.0f, true,  0.75f, true,  true },
        { 100.0f, true, 1.0f,  true,  true },
    };

    for (const auto& row : rows)
    {
        SCOPED_TRACE (row.energy);
        Knob k;   // value 0: only the outline, core, marks, rings and readout draw
        k.tickToEnergy (row.energy);
        EXPECT_NEAR (k.knob.energy, row.energy, 1.0e-3f);
        EXPECT_EQ (k.knob.overloadLatched, row.latched);
        EXPECT_NEAR (k.knob.overload, row.overload, 1.0e-3f);
        EXPECT_EQ (k.knob.crossPoints.size(), row.latched ? 8u : 0u);

        const auto image = k.render();
        const float r = k.radius();
        EXPECT_EQ (k.countInRing (image, 0.15f * 90.0f - 3.0f, 0.15f * 90.0f + 3.0f, reddish) > 0, row.marks);
        EXPECT_EQ (k.countInRing (image, r + 3.5f, r + 20.0f, reddish) > 0, row.rings);
    }

    // The latch follows the energy down.
    Knob k;
    k.tickToEnergy (99.0f);
    k.tickToEnergy (96.0f);
    EXPECT_FALSE (k.knob.overloadLatched);
    EXPECT_EQ (k.knob.overload, 0.0f);

    // Gentle decay for the first 30 clock units, then fast with a cut to 0.
    Knob idle;
    idle.knob.energy = 50.0f;
    idle.knob.animTime = 29.96f;
    idle.tick();
    EXPECT_FLOAT_EQ (idle.knob.energy, 49.0f);
    idle.knob.energy = 50.0f;
    idle.tick();
    EXPECT_FLOAT_EQ (idle.knob.energy, 47.5f);
    idle.knob.energy = 5.2f;
    idle.tick();
    EXPECT_EQ (idle.knob.energy, 0.0f);
}

TEST (MetaControlKnob, MenuSetsTheDisplayModeAndResetsTheEnergy)
{
    Knob k;
    k.knob.slider.setValue (60.0, juce::dontSendNotification);
    int valueCalls = 0;
    k.knob.onValueChange = [&] (float) { ++valueCalls; };

    k.knob.mode = 3;
    std::vector<int> ids, ticked;
    const auto menu = k.knob.buildMenu();
    for (juce::PopupMenu::MenuItemIterator it (menu); it.next();)
    {
        const auto& item = it.getItem();
        if (item.itemID != 0)
            ids.push_back (item.itemID);
        if (item.isTicked)
            ticked.push_back (item.itemID);
    }
    EXPECT_EQ (ids, (std::vector<int> { 1, 10, 11, 12, 13, 14, 15, 16, 17, 20 }));
    EXPECT_EQ (ticked, std::vector<int> { 13 });

    k.tickToEnergy (99.0f);
    k.knob.coupling = 55.0f;
    ASSERT_TRUE (k.knob.overloadLatched);

    // (id, mode after, energy after, latched after)
    struct Row { int id, mode; float energy; bool latched; };
    const Row rows[] = {
        { 0, 3, 99.0f, true },     // dismissed
        { 1, 3, 99.0f, true },     // "Show HUD"
        { 9, 3, 99.0f, true },
        { 10, 0, 99.0f, true },
        { 17, 7, 99.0f, true },
        { 18, 7, 99.0f, true },
        { 20, 7, 0.0f, false },    // "Reset Energy" keeps the mode
        { 12, 2, 0.0f, false },
    };

    for (const auto& row : rows)
    {
        k.knob.handleMenuResult (row.id);
        EXPECT_EQ (k.knob.mode, row.mode) << row.id;
        EXPECT_NEAR (k.knob.energy, row.energy, 1.0e-3f) << row.id;
        EXPECT_EQ (k.knob.overloadLatched, row.latched) << row.id;
    }

    // Only the display moves: the value, the coupling and the owner hear nothing.
    EXPECT_EQ (k.knob.slider.getValue(), 60.0);
    EXPECT_EQ (k.knob.coupling, 55.0f);
    EXPECT_EQ (valueCalls, 0);
    k.knob.readoutIndex = 0;
    EXPECT_EQ (k.knob.readoutText(), "MUSICK");

    // After the reset the marks and rings are gone from the next frame on.
    k.tick();
    k.knob.slider.setValue (0.0, juce::dontSendNotification);
    const auto image = k.render();
    EXPECT_EQ (k.countInRing (image, 0.0f, 100.0f, reddish), 0);
}

TEST (MetaControlKnob, RightPressOpensItsOwnMenuNeverOnRightClick)
{
    Knob k;
    int rightClicks = 0;
    k.knob.onRightClick = [&] { ++rightClicks; };
    k.knob.energy = 50.0f;
    k.knob.mode = 5;

    k.knob.mouseDown (rightPressOn (k.knob));
    EXPECT_EQ (rightClicks, 0);
    EXPECT_TRUE (juce::PopupMenu::dismissAllActiveMenus());

    // The dismissed menu's answer arrives later and changes nothing.
    ASSERT_TRUE (test_support::runPendingMessages());
    EXPECT_EQ (k.knob.mode, 5);
    EXPECT_EQ (k.knob.energy, 50.0f);
    EXPECT_EQ (rightClicks, 0);
}

TEST (MetaControlKnob, DormantBelowEnergyFiveCoreAbove)
{
    // (value, energy, dormant)
    struct Row { double value; float energy; bool dormant; };
    const Row rows[] = { { 0.0, 0.0f, true }, { 0.0, 4.9f, true }, { 0.0, 5.0f, false }, { 0.0, 60.0f, false },
                         { 1.0, 0.0f, false }, { 50.0, 0.0f, false }, { 100.0, 0.0f, false }, { 100.0, 80.0f, false } };

    for (const auto& row : rows)
    {
        SCOPED_TRACE (juce::String (row.value) + " / " + juce::String (row.energy));
        Knob k;
        k.knob.slider.setValue (row.value, juce::dontSendNotification);
        k.tick (40);
        k.knob.energy = row.energy;
        const auto image = k.render();
        const float r = k.radius();

        // Above the readout, inside the face: the dormant face is near black and opaque; the
        // core over white is at most half opaque and bright.
        const auto probe = image.getPixelAt (45, (int) (45.0f - 0.6f * r));
        if (row.dormant)
        {
            EXPECT_LT (probe.getBrightness(), 0.15f);
        }
        else
        {
            EXPECT_GT (probe.getBrightness(), 0.5f);
        }

        // Near 0 nothing reaches beyond the outline; at the top the halos and rays do.
        const int outside = k.countInRing (image, r + 4.0f, 100.0f, drawn);
        if (row.value <= 1.0)
        {
            EXPECT_EQ (outside, 0);
        }
        else if (row.value == 100.0)
        {
            EXPECT_GT (outside, 50);
        }

        // Only the value grows tendrils, waves and particles: saturated colour inside the face,
        // the readout's strip left out.
        const auto isVivid = [] (juce::Colour c) { return c.getSaturation() > 0.25f && c.getBrightness() > 0.5f; };
        const int vivid = k.countInRing (image, 0.0f, r, isVivid, true);
        EXPECT_EQ (vivid > 0, row.value >= 50.0) << vivid;
    }
}

TEST (MetaControlKnob, TickAdvancesTheAnimationByFixedSteps)
{
    Knob k;
    k.knob.energy = 100.0f;
    k.tick();
    EXPECT_FLOAT_EQ (k.knob.animTime, 0.033f);
    EXPECT_FLOAT_EQ (k.knob.pulsePhase, 0.08f);
    EXPECT_FLOAT_EQ (k.knob.swirl, 1.5f);

    for (const auto& w : k.knob.waves)
        EXPECT_FLOAT_EQ (w.amplitude, 0.4f);   // from the energy before this tick's decay

    // The pulse wraps; the particles keep moving and are reborn within their life range.
    k.tick (200);
    EXPECT_GE (k.knob.pulsePhase, 0.0f);
    EXPECT_LE (k.knob.pulsePhase, juce::MathConstants<float>::twoPi);

    for (const auto& p : k.knob.particles)
    {
        EXPECT_LE (p.age, p.life);
        EXPECT_GE (p.life, 0.5f);
        EXPECT_LE (p.life, 2.0f);
        EXPECT_EQ (p.colour, juce::Colour (0xff00ffcc));
    }

    ASSERT_EQ (k.knob.nodes.size(), 8u);
    ASSERT_EQ (k.knob.waves.size(), 4u);
    ASSERT_EQ (k.knob.particles.size(), 40u);
}
