#pragma once

#include "knobs/MacroSliderKnob.h"

/** The TexturePro macro knob: its value (0..100) drives the randomiser's TimePro group. It
    draws a plain dial until its animated face is added. */
class TextureProKnob : public MacroSliderKnob
{
public:
    TextureProKnob();

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (TextureProKnob)
};
