#include "knobs/TextureProKnob.h"

TextureProKnob::TextureProKnob()
    : MacroSliderKnob (Look ("TexturePro", juce::Colour (0xffdd3355), juce::Colour (0xffff6688), juce::Colour (0xffdd3355))
                           .withDoubleClickReset())
{
}
