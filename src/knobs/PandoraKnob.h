#pragma once

#include "knobs/EngineAmountKnob.h"

/** The Pandora knob, 0..100 shown in steps of 10. The main window builds it but never shows it,
    so its value stays 0; the ToneMax callback reads it. */
class PandoraKnob : public EngineAmountKnob
{
public:
    PandoraKnob();

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (PandoraKnob)
};
