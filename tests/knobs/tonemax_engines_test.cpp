#include <gtest/gtest.h>

#include "knobs/ToneMaxEngines.h"

#include <limits>
#include <map>

TEST (ToneMaxEngines, LevelAndMashAmountFromTheFourKnobs)
{
    constexpr float nan = std::numeric_limits<float>::quiet_NaN();

    struct Row
    {
        float toneMax, mash, korrupt, pandora;
        int level;
        float mashAmount;
    };

    const Row rows[] = {
        { 0.0f,   0.0f,   0.0f,   0.0f,   0,  0.0f },
        // At ToneMax 0 the knobs do not couple: each engine follows its own knob.
        { 0.0f,   100.0f, 50.0f,  100.0f, 5,  1.0f },
        { 0.0f,   40.0f,  0.0f,   0.0f,   0,  0.4f },
        // Full ToneMax couples Mash into Korrupt by 0.3 and Pandora by 0.2, and the other way
        // round by 0.3 and 0.15.
        { 100.0f, 100.0f, 0.0f,   0.0f,   3,  1.0f },
        { 100.0f, 0.0f,   0.0f,   100.0f, 2,  0.15f },
        { 100.0f, 30.0f,  40.0f,  0.0f,   5,  0.42f },
        { 100.0f, 0.0f,   100.0f, 0.0f,   10, 0.3f },
        // The coupling grows with the square of ToneMax: 0.49 and 0.64 of it.
        { 70.0f,  100.0f, 0.0f,   0.0f,   1,  1.0f },
        { 80.0f,  100.0f, 0.0f,   0.0f,   2,  1.0f },
        // Sums past full stop there.
        { 50.0f,  100.0f, 100.0f, 100.0f, 10, 1.0f },
        // A value that is not a number never reaches the level.
        { nan,    0.0f,   50.0f,  0.0f,   0,  0.0f },
    };

    for (const auto& r : rows)
    {
        EXPECT_EQ (tonemaxengines::korruptLevel (r.toneMax, r.mash, r.korrupt, r.pandora), r.level)
            << r.toneMax << " " << r.mash << " " << r.korrupt << " " << r.pandora;
        EXPECT_NEAR (tonemaxengines::mashAmount (r.toneMax, r.mash, r.korrupt, r.pandora), r.mashAmount, 1.0e-6f)
            << r.toneMax << " " << r.mash << " " << r.korrupt << " " << r.pandora;
    }
}

TEST (ToneMaxEngines, SwitchItemsShowEachEngineState)
{
    for (const bool korrupt : { false, true })
        for (const bool mash : { false, true })
        {
            juce::PopupMenu menu;
            tonemaxengines::addEngineItems (menu, korrupt, mash);

            std::map<int, juce::String> texts;
            for (juce::PopupMenu::MenuItemIterator it (menu); it.next();)
                if (it.getItem().itemID != 0)
                {
                    texts[it.getItem().itemID] = it.getItem().text;
                    EXPECT_TRUE (it.getItem().isEnabled);
                }

            ASSERT_EQ (texts.size(), 2u);
            EXPECT_EQ (texts[10], korrupt ? "[X] KORRUPT: Active" : "[ ] KORRUPT: Inactive");
            EXPECT_EQ (texts[11], mash ? "[X] MASH: Active" : "[ ] MASH: Inactive");
        }
}
