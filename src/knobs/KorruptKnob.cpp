#include "knobs/KorruptKnob.h"

KorruptKnob::KorruptKnob()
    : EngineAmountKnob ("KORRUPT", juce::Colour (0xffcc2244))
{
}
