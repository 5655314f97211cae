#include "knobs/PandoraKnob.h"

PandoraKnob::PandoraKnob()
    : EngineAmountKnob ("PANDORA", juce::Colour (0xffccaa44))
{
}
