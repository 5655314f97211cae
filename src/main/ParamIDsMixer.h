#pragma once

#include <juce_core/juce_core.h>

#include "main/ParamIDsStereo.h"

// Identifiers of the section mixer; always used together with the stereo stage's.
// Each constant holds its own name. Namespace-scope consts have internal linkage, so every
// source file that includes this header builds its own copies at start-up.
namespace ParamIDs
{
    const juce::String timeStretchMixPct ("timeStretchMixPct");
    const juce::String distortionMixPct ("distortionMixPct");
    const juce::String stereoMixPct ("stereoMixPct");
    const juce::String delayMixPct ("delayMixPct");
    const juce::String reverbMixPct ("reverbMixPct");
    const juce::String dryMixPct ("dryMixPct");
    const juce::String timeStretchSolo ("timeStretchSolo");
    const juce::String distortionSolo ("distortionSolo");
    const juce::String stereoSolo ("stereoSolo");
    const juce::String delaySolo ("delaySolo");
    const juce::String reverbSolo ("reverbSolo");
    const juce::String timeStretchMute ("timeStretchMute");
    const juce::String distortionMute ("distortionMute");
    const juce::String stereoMute ("stereoMute");
    const juce::String delayMute ("delayMute");
    const juce::String reverbMute ("reverbMute");
    const juce::String eqBypass ("eqBypass");
}
