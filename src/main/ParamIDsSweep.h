#pragma once

#include <juce_core/juce_core.h>

// Identifiers of the sweep oscillator's settings.
// Each constant holds its own name. Namespace-scope consts have internal linkage, so every
// source file that includes this header builds its own copies at start-up.
namespace ParamIDs
{
    const juce::String baseFrequency ("baseFrequency");
    const juce::String sweepRange ("sweepRange");
    const juce::String sweepRate ("sweepRate");
    const juce::String sweepShape ("sweepShape");
    const juce::String oscWaveform ("oscWaveform");
    const juce::String glideTime ("glideTime");
    const juce::String amplitude ("amplitude");
    const juce::String attackSec ("attackSec");
    const juce::String releaseSec ("releaseSec");
    const juce::String pulseWidth ("pulseWidth");
    const juce::String noiseMix ("noiseMix");
    const juce::String distortion ("distortion");
    const juce::String harmonicsAmount ("harmonicsAmount");
    const juce::String stereoWidth ("stereoWidth");
    const juce::String stereoPan ("stereoPan");
    const juce::String widthLfoDepth ("widthLfoDepth");
    const juce::String syncToTempo ("syncToTempo");
    const juce::String onOff ("onOff");
}
