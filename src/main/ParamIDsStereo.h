#pragma once

#include <juce_core/juce_core.h>

// Identifiers of the three-band stereo stage.
// Each constant holds its own name. Namespace-scope consts have internal linkage, so every
// source file that includes this header builds its own copies at start-up.
namespace ParamIDs
{
    const juce::String globalWidthPct ("globalWidthPct");
    const juce::String stereoBalancePct ("stereoBalancePct");
    const juce::String monoBelowHz ("monoBelowHz");
    const juce::String outputTrimDb ("outputTrimDb");
    const juce::String lowXoverHz ("lowXoverHz");
    const juce::String highXoverHz ("highXoverHz");
    const juce::String lowBandWidthPct ("lowBandWidthPct");
    const juce::String midBandWidthPct ("midBandWidthPct");
    const juce::String highBandWidthPct ("highBandWidthPct");
    const juce::String msModeEnable ("msModeEnable");
    const juce::String midGainDb ("midGainDb");
    const juce::String sideGainDb ("sideGainDb");
    const juce::String ildAmountDb ("ildAmountDb");
    const juce::String itdAmountUs ("itdAmountUs");
    const juce::String ipdAmountDeg ("ipdAmountDeg");
    const juce::String leftDelayUs ("leftDelayUs");
    const juce::String rightDelayUs ("rightDelayUs");
    const juce::String phaseInvertL ("phaseInvertL");
    const juce::String phaseInvertR ("phaseInvertR");
}
