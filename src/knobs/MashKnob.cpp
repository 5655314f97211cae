#include "knobs/MashKnob.h"

MashKnob::MashKnob()
    : EngineAmountKnob ("MASH", juce::Colour (0xff9944cc))
{
}
