#include <gtest/gtest.h>

#include "knobs/MathControlMenu.h"
#include "main/MainComponentTestAccess.h"
#include "support/MessagePump.h"

#include <limits>
#include <vector>

// What the main window does with its macro knobs: the MathControl menu and its results, and
// the values MIDI and automation post.

namespace
{
    struct Item
    {
        int id;
        juce::String text;
        bool enabled, ticked;
    };

    std::vector<Item> itemsOf (const juce::PopupMenu& menu)
    {
        std::vector<Item> items;
        for (juce::PopupMenu::MenuItemIterator it (menu); it.next();)
        {
            const auto& item = it.getItem();
            if (item.itemID != 0)
                items.push_back ({ item.itemID, item.text, item.isEnabled, item.isTicked });
        }
        return items;
    }
}

TEST (MathControlMenu, HeaderDamageAndModeTicksFollowTheKnob)
{
    // (value, header, damage)
    const std::tuple<double, const char*, const char*> rows[] = {
        { 0.0, "MATHCONTROL: PRISTINE", "Damage: 0%" },
        { 20.0, "MATHCONTROL: PRISTINE", "Damage: 20%" },
        { 21.0, "MATHCONTROL: BENDING", "Damage: 21%" },
        { 50.0, "MATHCONTROL: BENDING", "Damage: 50%" },
        { 51.0, "MATHCONTROL: HEAVY DAMAGE", "Damage: 51%" },
        { 80.0, "MATHCONTROL: HEAVY DAMAGE", "Damage: 80%" },
        { 81.0, "MATHCONTROL: CIRCUIT FRIED", "Damage: 81%" },
        { 100.0, "MATHCONTROL: CIRCUIT FRIED", "Damage: 100%" },
    };

    for (const auto& [value, header, damage] : rows)
    {
        const auto items = itemsOf (mathcontrolmenu::build (value, 3));
        ASSERT_EQ (items.size(), 2u + 8u + 12u + 2u);
        EXPECT_EQ (items[0].text, header);
        EXPECT_EQ (items[1].text, damage);
        EXPECT_FALSE (items[0].enabled || items[1].enabled);
    }

    const auto items = itemsOf (mathcontrolmenu::build (42.0, 7));
    const char* const modes[] = { "Bit Crush", "Sample Rate Reduce", "Overflow Wrap", "Buffer Glitch", "Feedback Chaos",
                                  "Phase Destroy", "Bit Flip", "FULL CIRCUIT BEND" };

    for (int m = 0; m < 8; ++m)
    {
        const auto& item = items[(size_t) (2 + m)];
        EXPECT_EQ (item.id, 10 + m);
        EXPECT_EQ (item.text, juce::String (m == 7 ? "[X] " : "[ ] ") + modes[m]);
        EXPECT_TRUE (item.enabled);
        EXPECT_FALSE (item.ticked);
    }

    EXPECT_EQ (items[10].id, 100);
    EXPECT_EQ (items[10].text, "Lo-Fi Crunch (Bit Crush 40%)");
    EXPECT_EQ (items[21].text, "Glitch Hop (Buffer Glitch 45%)");
    EXPECT_EQ (items[22].id, 200);
    EXPECT_EQ (items[22].text, "Reset (0%)");
    EXPECT_EQ (items[23].id, 201);
    EXPECT_EQ (items[23].text, "Random Corruption");
}

TEST (MathControlMenu, ResultsSetModeAndAmount)
{
    MainComponent mc;
    MainComponentTestAccess a (mc);
    auto& knob = a.mathControlKnob();
    ASSERT_EQ (knob.getMode(), 7);

    // Modes change the mode alone.
    knob.slider.setValue (33.0, juce::sendNotificationSync);
    for (int id = 10; id <= 17; ++id)
    {
        a.mathControlMenu (id);
        EXPECT_EQ (knob.getMode(), id - 10);
        EXPECT_EQ (knob.slider.getValue(), 33.0);
    }
    EXPECT_EQ (a.circuitBendAmount(), 33.0f);

    // Presets set both; the amount follows on a later message, through the knob's callback.
    const std::pair<int, double> presets[] = { { 0, 40 }, { 1, 60 }, { 0, 70 }, { 3, 50 }, { 1, 80 }, { 4, 90 },
                                               { 5, 60 }, { 6, 75 }, { 7, 100 }, { 0, 20 }, { 2, 30 }, { 3, 45 } };

    for (int i = 0; i < 12; ++i)
    {
        SCOPED_TRACE (100 + i);
        a.mathControlMenu (100 + i);
        EXPECT_EQ (knob.getMode(), presets[i].first);
        ASSERT_TRUE (test_support::runPendingMessages());
        EXPECT_EQ (knob.slider.getValue(), presets[i].second);
        EXPECT_EQ (a.circuitBendAmount(), (float) presets[i].second);
    }

    // Reset keeps the mode; a dismissed menu or an unknown id changes nothing.
    a.mathControlMenu (200);
    ASSERT_TRUE (test_support::runPendingMessages());
    EXPECT_EQ (knob.slider.getValue(), 0.0);
    EXPECT_EQ (a.circuitBendAmount(), 0.0f);
    EXPECT_EQ (knob.getMode(), 3);

    for (int id : { 0, 1, 2, 18, 99, 112, 202 })
    {
        a.mathControlMenu (id);
        ASSERT_TRUE (test_support::runPendingMessages());
        EXPECT_EQ (knob.getMode(), 3) << id;
        EXPECT_EQ (knob.slider.getValue(), 0.0) << id;
    }

    // Random corruption: a mode 0..7 and an amount from 30 up to just below 100, which the
    // knob's whole steps may round up to 100.
    for (int i = 0; i < 50; ++i)
    {
        a.mathControlMenu (201);
        ASSERT_TRUE (test_support::runPendingMessages());
        EXPECT_GE (knob.getMode(), 0);
        EXPECT_LE (knob.getMode(), 7);
        EXPECT_GE (knob.slider.getValue(), 30.0);
        EXPECT_LE (knob.slider.getValue(), 100.0);
        EXPECT_EQ (a.circuitBendAmount(), (float) knob.slider.getValue());
    }
}

TEST (MainComponentKnobs, PostedValuesReachTheKnobsWithoutFiringExceptMathControl)
{
    MainComponent mc;
    MainComponentTestAccess a (mc);

    std::vector<int> fired;
    MacroSliderKnob* const silent[] = { &a.toneMaxKnob(), &a.spatialMaxKnob(), &a.textureProKnob(), &a.metaControlKnob() };
    const int indexes[] = { ToneMax, SpatialMax, TexturePro, MetaControl };
    const char* const titles[] = { "ToneMax (42%)", "SpatialMax (42%)", "TexturePro (42%)", "MetaControl (43%)" };

    for (int i = 0; i < 4; ++i)
        silent[i]->onValueChange = [&fired, i] (float) { fired.push_back (i); };

    for (int i = 0; i < 4; ++i)
    {
        a.postMacroValue (indexes[i], 0.427f);
        EXPECT_NEAR (silent[i]->slider.getValue(), 42.7, 0.51) << i;
        EXPECT_EQ (silent[i]->titleLabel.getText(), titles[i]);
    }

    std::vector<int> levels;
    a.masterProKnob().onLevelChange = [&] (int level) { levels.push_back (level); };
    a.postMacroValue (MasterPro, 0.07f);
    EXPECT_EQ (a.masterProKnob().getLevel(), 7);
    EXPECT_EQ (levels, std::vector<int> { 7 });

    a.postMacroValue (MathControl, 0.5f);
    EXPECT_EQ (a.mathControlKnob().slider.getValue(), 50.0);
    EXPECT_EQ (a.circuitBendAmount(), 0.0f);
    ASSERT_TRUE (test_support::runPendingMessages());
    EXPECT_EQ (a.circuitBendAmount(), 50.0f);
    EXPECT_EQ (a.mathControlKnob().titleLabel.getText(), "MathControl (50%)");

    // Unknown indexes and values that are not numbers are dropped; values past either end stop there.
    a.postMacroValue (6, 1.0f);
    a.postMacroValue (ToneMax, std::numeric_limits<float>::quiet_NaN());
    EXPECT_EQ (a.toneMaxKnob().titleLabel.getText(), "ToneMax (42%)");
    a.postMacroValue (MasterPro, 1.0e30f);
    EXPECT_EQ (a.masterProKnob().getLevel(), 19);
    a.postMacroValue (SpatialMax, -4.0f);
    EXPECT_EQ (a.spatialMaxKnob().titleLabel.getText(), "SpatialMax (0%)");
    EXPECT_TRUE (fired.empty());
}
