#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <array>
#include <optional>

/** The MathControl knob's right-click menu: its state in words, the eight bend modes, twelve
    presets and two controls. The menu is rebuilt at every right click from the knob's value and
    mode; the owner turns the chosen id into a change with choiceFor(). */
namespace mathcontrolmenu
{
    enum ItemIds
    {
        stateHeaderId = 1,
        damageId = 2,
        firstModeId = 10,    // 10..17: mode id - 10
        firstPresetId = 100, // 100..111
        resetId = 200,
        randomId = 201
    };

    constexpr int numModes = 8;

    /** The mode as the menu lists it ("Bit Crush" .. "FULL CIRCUIT BEND"); "" outside 0..7. */
    const char* modeName (int mode);

    struct Preset
    {
        const char* text;
        int mode;
        double value;
    };

    const std::array<Preset, 12>& presets();

    /** "MATHCONTROL: " and the state the value (0..100) stands for. */
    juce::String stateText (double value);

    /** "Damage: " and the whole per cent. */
    juce::String damageText (double value);

    juce::PopupMenu build (double value, int mode);

    /** What an id asks for: a new mode, a new value (set with asynchronous notification), both,
        or nothing. The random choice draws from the given generator, mode first. */
    struct Choice
    {
        std::optional<int> mode;
        std::optional<double> value;
    };

    Choice choiceFor (int id, juce::Random& random);
}
