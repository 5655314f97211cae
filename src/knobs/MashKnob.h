#pragma once

#include "knobs/EngineAmountKnob.h"

/** The Mash engine's amount knob, 0..100 in steps of 10. The main window builds it but never shows it,
    so its value stays 0; the ToneMax callback reads it. */
class MashKnob : public EngineAmountKnob
{
public:
    MashKnob();

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (MashKnob)
};
