#pragma once

#include <juce_graphics/juce_graphics.h>

// The application's palette. The palette entries are compile-time ARGB values; the two accent
// colours are Colour objects copied from the palette when each including file starts up.
namespace TavroColours
{
    constexpr juce::uint32 background       = 0xff1a1a1a;
    constexpr juce::uint32 panelBackground  = 0xff2a2a2a;
    constexpr juce::uint32 frame            = 0xff404040;
    constexpr juce::uint32 secondaryText    = 0xffb0b0b0;
    constexpr juce::uint32 titleText        = 0xffffffff;
    constexpr juce::uint32 accent           = 0xff00a8ff;
    constexpr juce::uint32 meterGreen       = 0xff51cf66;
    constexpr juce::uint32 meterYellow      = 0xffffd93d;
    constexpr juce::uint32 meterRed         = 0xffff6b6b;
}

const juce::Colour accentColour  { TavroColours::accent };
const juce::Colour accentColour2 { TavroColours::accent };
