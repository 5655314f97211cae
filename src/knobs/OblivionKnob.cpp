#include "knobs/OblivionKnob.h"

OblivionKnob::OblivionKnob()
    : MacroSliderKnob (Look ("ToneMax", juce::Colour (0xff4488ff), juce::Colour (0xff88bbff), juce::Colour (0xff4488ff))
                           .withAnyLeftDrag())
{
}
