#pragma once

#include <juce_core/juce_core.h>

/** The six macro knobs that presets, automation and MIDI mappings name by number. */
enum MacroKnobIndex : int
{
    ToneMax = 0,
    SpatialMax = 1,
    MasterPro = 2,
    TexturePro = 3,
    MetaControl = 4,
    MathControl = 5
};

inline constexpr int numMacroKnobs = 6;

/** The knob's name; numbers outside 0..5 are "Unknown". */
inline juce::String macroKnobName (int index)
{
    switch (index)
    {
        case ToneMax:     return "ToneMax";
        case SpatialMax:  return "SpatialMax";
        case MasterPro:   return "MasterPro";
        case TexturePro:  return "TexturePro";
        case MetaControl: return "MetaControl";
        case MathControl: return "MathControl";
        default:          return "Unknown";
    }
}
