#pragma once

#include "knobs/EngineAmountKnob.h"

/** The Korrupt engine's amount knob, 0..100 in steps of 10. The main window builds it but never shows it,
    so its value stays 0; the ToneMax callback reads it. */
class KorruptKnob : public EngineAmountKnob
{
public:
    KorruptKnob();

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (KorruptKnob)
};
