#include "knobs/MathControlMenu.h"


namespace mathcontrolmenu
{
    const char* modeName (int mode)
    {
        static const char* const names[] = { "Bit Crush", "Sample Rate Reduce", "Overflow Wrap", "Buffer Glitch",
                                             "Feedback Chaos", "Phase Destroy", "Bit Flip", "FULL CIRCUIT BEND" };
        return juce::isPositiveAndBelow (mode, numModes) ? names[mode] : "";
    }

    const std::array<Preset, 12>& presets()
    {
        static const std::array<Preset, 12> all { {
            { "Lo-Fi Crunch (Bit Crush 40%)", 0, 40.0 },
            { "Walkie Talkie (Sample Rate 60%)", 1, 60.0 },
            { "Speak & Spell (Bit Crush 70%)", 0, 70.0 },
            { "Scratched CD (Buffer Glitch 50%)", 3, 50.0 },
            { "Broken VHS (Sample Rate 80%)", 1, 80.0 },
            { "Feedback Nightmare (Feedback 90%)", 4, 90.0 },
            { "Phase Inverter (Phase Destroy 60%)", 5, 60.0 },
            { "Data Corruption (Bit Flip 75%)", 6, 75.0 },
            { "Digital Apocalypse (Full Bend 100%)", 7, 100.0 },
            { "Subtle Degradation (Bit Crush 20%)", 0, 20.0 },
            { "Analog Warmth (Overflow 30%)", 2, 30.0 },
            { "Glitch Hop (Buffer Glitch 45%)", 3, 45.0 },
        } };
        return all;
    }

    juce::String stateText (double value)
    {
        const double c = value / 100.0;
        const char* state = c > 0.8 ? "CIRCUIT FRIED" : c > 0.5 ? "HEAVY DAMAGE" : c > 0.2 ? "BENDING" : "PRISTINE";
        return juce::String ("MATHCONTROL: ") + state;
    }

    juce::String damageText (double value)
    {
        return "Damage: " + juce::String ((int) (value / 100.0 * 100.0)) + "%";
    }

    juce::PopupMenu build (double value, int mode)
    {
        juce::PopupMenu menu;
        menu.addItem (stateHeaderId, stateText (value), false);
        menu.addItem (damageId, damageText (value), false);

        menu.addSeparator();
        menu.addSectionHeader ("BEND MODE");
        for (int m = 0; m < numModes; ++m)
            menu.addItem (firstModeId + m, juce::String (m == mode ? "[X] " : "[ ] ") + modeName (m));

        menu.addSeparator();
        menu.addSectionHeader ("PRESETS");
        for (size_t i = 0; i < presets().size(); ++i)
            menu.addItem (firstPresetId + (int) i, presets()[i].text);

        menu.addSeparator();
        menu.addSectionHeader ("CONTROLS");
        menu.addItem (resetId, "Reset (0%)");
        menu.addItem (randomId, "Random Corruption");
        return menu;
    }

    Choice choiceFor (int id, juce::Random& random)
    {
        Choice choice;

        if (id >= firstModeId && id < firstModeId + numModes)
        {
            choice.mode = id - firstModeId;
        }
        else if (id >= firstPresetId && id < firstPresetId + (int) presets().size())
        {
            const auto& preset = presets()[(size_t) (id - firstPresetId)];
            choice.mode = preset.mode;
            choice.value = preset.value;
        }
        else if (id == resetId)
        {
            choice.value = 0.0;
        }
        else if (id == randomId)
        {
            choice.mode = random.nextInt (numModes);
            choice.value = 30.0 + 70.0 * juce::jmin (random.nextFloat(), 0.9999999f);
        }

        return choice;
    }
}
