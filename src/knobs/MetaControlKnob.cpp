#include "knobs/MetaControlKnob.h"

MetaControlKnob::MetaControlKnob()
    : MacroSliderKnob (Look ("MetaControl", juce::Colour (0xff888888), juce::Colour (0xff00ccff), juce::Colour (0xff00ccff))
                           .withBoldValue()
                           .withSliderGestures()
                           .withOwnRightButton())
{
}
