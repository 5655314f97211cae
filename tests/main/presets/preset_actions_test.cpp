#include <gtest/gtest.h>

#include "main/presets/MainComponentPresetAccess.h"
#include "support/MessagePump.h"

#include <cstdlib>

// The preset dialogs' handlers, the ZARIDEZ menu's quick preset and Ctrl+S / Ctrl+L on a real
// window: what each writes, applies, flashes and reports, and that a failure changes nothing.

namespace
{
    const juce::Colour savedColour (MainTimerSteps::presetSavedColour);
    const juce::Colour loadedColour (MainTimerSteps::presetLoadedColour);
    const juce::Colour normalColour (MainTimerSteps::presetNormalColour);

    /** HOME in a folder of its own for one test, so the Documents folder starts out missing. */
    struct ScopedHome
    {
        ScopedHome()
        {
            old = juce::SystemStats::getEnvironmentVariable ("HOME", {});
            home.createDirectory();
            ::setenv ("HOME", home.getFullPathName().toRawUTF8(), 1);
        }

        ~ScopedHome()
        {
            ::setenv ("HOME", old.toRawUTF8(), 1);
            home.deleteRecursively();
        }

        juce::File documents() const { return home.getChildFile ("Documents"); }
        juce::File quickPreset() const { return documents().getChildFile ("TavroFx_QuickPreset.tavro"); }

        juce::String old;
        juce::File home = juce::File::createTempFile ("home");
    };

    juce::var json (const char* text) { return juce::JSON::parse (juce::String (text)); }

    /** Everything a preset sets, as one comparable text. */
    juce::String fingerprint (MainComponentPresetAccess& a)
    {
        return presetfile::toText (a.createPresetJson(), true) + " | " + a.bpmEditor().getText()
             + " | level " + juce::String (a.masterProLevel()) + " | frozen " + juce::String ((int) a.frozen());
    }

    juce::MemoryBlock bytesOf (const juce::File& file)
    {
        juce::MemoryBlock block;
        file.loadFileAsData (block);
        return block;
    }

    const juce::KeyPress ctrlS ('s', juce::ModifierKeys::ctrlModifier, 0);
    const juce::KeyPress ctrlL ('l', juce::ModifierKeys::ctrlModifier, 0);

    const char* const stateA = R"({"toneMax": 10, "spatialMax": 20, "masterPro": 3, "texturePro": 30, "metaControl": 40,
                                   "mathControl": 0, "pitch": 0.25, "pan": -0.5, "bpm": 100, "freeze": false})";
    const char* const stateB = R"({"toneMax": 70, "spatialMax": 60, "masterPro": 12, "texturePro": 50, "metaControl": 80,
                                   "mathControl": 0, "pitch": -1, "pan": 0.75, "bpm": 128, "freeze": true})";
}

TEST (PresetActions, SuccessAndFailureTable)
{
    ScopedHome home;
    MainComponent mc;
    MainComponentPresetAccess a (mc);

    const auto scratch = home.home.getChildFile ("chosen");
    const auto chosen = scratch.getChildFile ("chosen.tavro");

    ASSERT_TRUE (a.applyPreset (json (stateB)));
    const auto fingerprintB = fingerprint (a);

    enum Situation { valid, array, noToneMax, invalidJson, missing, unwritable };
    enum Entry { dialog, menu, shortcut, quickSave };

    const std::map<Situation, std::string> contents = {
        { valid, stateB }, { array, R"([{"toneMax": 70}])" }, { noToneMax, R"({"spatialMax": 60})" },
        { invalidJson, R"({"toneMax": 70, "spatialMax")" },
    };

    /** Puts the files in place: the chosen file and the quick preset hold the contents; for
        `missing` neither exists (nor the Documents folder); for `unwritable` the chosen name is
        a folder with a file in it and "Documents" is a plain file. */
    auto arrange = [&] (Situation s)
    {
        scratch.deleteRecursively();
        home.documents().deleteRecursively();
        scratch.createDirectory();

        if (s == unwritable)
        {
            chosen.createDirectory();
            chosen.getChildFile ("inside.txt").replaceWithText ("mine");
            home.documents().replaceWithText ("not a folder");
        }
        else if (s != missing)
        {
            home.documents().createDirectory();
            chosen.replaceWithText (contents.at (s), false, false, nullptr);
            home.quickPreset().replaceWithText (contents.at (s), false, false, nullptr);
        }
    };

    auto run = [&] (Situation s, Entry e)
    {
        switch (e)
        {
            case dialog:    s == unwritable ? a.saveToFile (chosen) : a.loadFromFile (chosen); break;
            case menu:      a.menu (s == unwritable ? 3 : 4); break;
            case shortcut:  EXPECT_TRUE (a.key (ctrlL)); break;
            case quickSave: EXPECT_TRUE (a.key (ctrlS)); break;
        }
    };

    enum Result { none, loaded, saved };
    struct Case { Situation situation; Entry entry; Result result; const char* warning; };
    const Case cases[] = {
        { valid,       dialog, loaded, nullptr },       { valid,       menu, loaded, nullptr },
        { valid,       shortcut, loaded, nullptr },     { valid,       quickSave, saved, nullptr },
        { array,       dialog, none, "Load Failed" },   { array,       menu, none, nullptr },
        { array,       shortcut, none, nullptr },       { array,       quickSave, saved, nullptr },
        { noToneMax,   dialog, none, "Load Failed" },   { noToneMax,   menu, none, nullptr },
        { noToneMax,   shortcut, none, nullptr },       { noToneMax,   quickSave, saved, nullptr },
        { invalidJson, dialog, none, "Load Failed" },   { invalidJson, menu, none, nullptr },
        { invalidJson, shortcut, none, nullptr },       { invalidJson, quickSave, saved, nullptr },
        { missing,     dialog, none, nullptr },         { missing,     menu, none, nullptr },
        { missing,     shortcut, none, nullptr },       { missing,     quickSave, saved, nullptr },
        { unwritable,  dialog, none, "Save Failed" },   { unwritable,  menu, none, nullptr },
        { unwritable,  shortcut, none, nullptr },       { unwritable,  quickSave, none, nullptr },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE ("situation " + std::to_string (c.situation) + ", entry " + std::to_string (c.entry));

        arrange (c.situation);
        ASSERT_TRUE (a.applyPreset (json (stateA)));
        a.resetPresetColour();
        a.warnings.clear();

        const auto before = fingerprint (a);
        const auto chosenBefore = bytesOf (chosen);
        const auto quickBefore = bytesOf (home.quickPreset());

        run (c.situation, c.entry);

        EXPECT_EQ (a.presetColour(), c.result == loaded ? loadedColour : c.result == saved ? savedColour : normalColour);
        EXPECT_EQ (fingerprint (a), c.result == loaded ? fingerprintB : before);

        if (c.warning == nullptr)
        {
            EXPECT_TRUE (a.warnings.empty());
        }
        else
        {
            ASSERT_EQ (a.warnings.size(), 1u);
            EXPECT_EQ (a.warnings[0].title, c.warning);
            const juce::String text = c.situation == unwritable ? "Could not save preset to:\n" : "Invalid preset file:\n";
            EXPECT_EQ (a.warnings[0].message, text + chosen.getFullPathName());
        }

        // A save writes the quick preset (creating the Documents folder when needed); nothing
        // else touches either file.
        if (c.result == saved)
            EXPECT_EQ (home.quickPreset().loadFileAsString(), presetfile::toText (a.createPresetJson(), false));
        else
            EXPECT_EQ (bytesOf (home.quickPreset()), quickBefore);

        EXPECT_EQ (bytesOf (chosen), chosenBefore);
        if (c.situation == unwritable)
        {
            EXPECT_EQ (chosen.getChildFile ("inside.txt").loadFileAsString(), "mine");
            EXPECT_EQ (home.documents().loadFileAsString(), "not a folder");
        }
    }
}

TEST (PresetActions, DialogSaveWritesOneLineWithThePresetExtension)
{
    ScopedHome home;
    MainComponent mc;
    MainComponentPresetAccess a (mc);

    a.toneMaxKnob().slider.setValue (50.0, juce::dontSendNotification);
    a.spatialMaxKnob().slider.setValue (25.0, juce::dontSendNotification);
    a.masterProKnob().setLevel (18);
    a.textureProKnob().slider.setValue (40.0, juce::dontSendNotification);
    a.metaControlKnob().slider.setValue (10.0, juce::dontSendNotification);
    a.mathControlKnob().slider.setValue (5.0, juce::dontSendNotification);
    a.pitchKnob().setValue (0.5f);
    a.panKnob().setPan (-0.25f);
    a.bpm() = 128.0f;

    const auto folder = home.home.getChildFile ("presets");
    folder.createDirectory();

    a.saveToFile (folder.getChildFile ("my.json"));
    EXPECT_FALSE (folder.getChildFile ("my.json").exists());
    EXPECT_EQ (folder.getChildFile ("my.tavro").loadFileAsString(),
               R"({"version": 1, "toneMax": 50.0, "spatialMax": 25.0, "masterPro": 18.0, "texturePro": 40.0, )"
               R"("metaControl": 10.0, "mathControl": 5.0, "volume": 100.0, "pitch": 0.5, "pan": -0.25, "bpm": 128.0, )"
               R"("freeze": false})");
    EXPECT_EQ (a.presetColour(), savedColour);

    a.saveToFile (folder.getChildFile ("my.TAVRO"));
    EXPECT_TRUE (folder.getChildFile ("my.TAVRO").existsAsFile());

    // A cancelled dialog does nothing at all.
    a.resetPresetColour();
    a.saveToFile (juce::File());
    a.loadFromFile (juce::File());
    EXPECT_EQ (a.presetColour(), normalColour);
    EXPECT_TRUE (a.warnings.empty());
}

TEST (PresetActions, QuickPresetRoundTripsThroughTheDocumentsFolder)
{
    ScopedHome home;
    MainComponent mc;
    MainComponentPresetAccess a (mc);

    ASSERT_TRUE (a.applyPreset (json (stateB)));
    const auto saved = fingerprint (a);
    ASSERT_FALSE (home.documents().exists());

    a.menu (3);
    ASSERT_TRUE (home.quickPreset().existsAsFile());
    const auto text = home.quickPreset().loadFileAsString();
    EXPECT_TRUE (text.startsWith ("{\r\n  \"version\": 1,\r\n  \"toneMax\": 70.0,\r\n"));
    EXPECT_TRUE (text.endsWith ("\r\n  \"freeze\": true\r\n}"));

    ASSERT_TRUE (a.applyPreset (json (stateA)));
    ASSERT_NE (fingerprint (a), saved);
    a.menu (4);
    EXPECT_EQ (fingerprint (a), saved);
}

TEST (PresetActions, AppliesEachValueAsItsKnobTakesIt)
{
    ScopedHome home;
    MainComponent mc;
    MainComponentPresetAccess a (mc);

    // MasterPro goes through the knob's level, truncated and limited, and its callback runs.
    for (const auto& [value, level] : { std::pair<const char*, int> { "25", 19 }, { "7.9", 7 }, { "-3", 0 } })
    {
        a.masterProKnob().setLevel (5);
        ASSERT_TRUE (a.applyPreset (json ((R"({"toneMax": 1, "masterPro": )" + std::string (value) + "}").c_str())));
        EXPECT_EQ (a.masterProKnob().getLevel(), level) << value;
        EXPECT_EQ (a.masterProLevel(), level) << value;
    }

    // Missing keys: the knobs go to 0 (a missing pan centres the pan), tempo and FREEZE stay.
    ASSERT_TRUE (a.applyPreset (json (stateB)));
    ASSERT_TRUE (a.applyPreset (json (R"({"toneMax": 5})")));
    EXPECT_EQ (a.panKnob().getPan(), 0.0f);
    EXPECT_EQ (a.spatialMaxKnob().slider.getValue(), 0.0);
    EXPECT_EQ (a.bpm().load(), 128.0f);
    EXPECT_EQ (a.bpmEditor().getText(), "128.0");
    EXPECT_TRUE (a.frozen());

    // FREEZE follows the preset without toggling twice: true while on stays on.
    ASSERT_TRUE (a.applyPreset (json (R"({"toneMax": 5, "freeze": true})")));
    EXPECT_TRUE (a.frozen());
    ASSERT_TRUE (a.applyPreset (json (R"({"toneMax": 5, "freeze": false})")));
    EXPECT_FALSE (a.frozen());
    ASSERT_TRUE (a.applyPreset (json (R"({"toneMax": 5, "freeze": false})")));
    EXPECT_FALSE (a.frozen());

    // Pitch and pan beyond their ranges are limited by the knobs.
    a.pitchKnob().setRange (12);
    ASSERT_TRUE (a.applyPreset (json (R"({"toneMax": 5, "pitch": 3, "pan": -7})")));
    EXPECT_EQ (a.pitchKnob().getValue(), 1.0f);
    EXPECT_EQ (a.panKnob().getPan(), -1.0f);

    // The knobs move without their callbacks: the randomiser keeps its amount, and only
    // MathControl's callback follows, on a later message.
    a.randomiser().setEqAmount (20.0f);
    const auto eqAmount = a.randomiser().eqAmount.load();
    ASSERT_TRUE (a.applyPreset (json (R"({"toneMax": 90, "mathControl": 60})")));
    EXPECT_EQ (a.toneMaxKnob().slider.getValue(), 90.0);
    EXPECT_EQ (a.randomiser().eqAmount.load(), eqAmount);
    EXPECT_TRUE (test_support::pumpUntil ([&] { return a.circuitBendAmount() == 60.0f; }));

    // A wrongly typed preset is refused before any knob moves.
    const auto before = fingerprint (a);
    EXPECT_FALSE (a.applyPreset (json (R"({"toneMax": 10, "spatialMax": 10, "pan": "left"})")));
    EXPECT_FALSE (a.applyPreset (json (R"([{"toneMax": 10}])")));
    EXPECT_EQ (fingerprint (a), before);
}
