#pragma once

#include <juce_core/juce_core.h>

// Identifiers of the engine, modulation, delay, reverb, shaper and time-stretch settings.
// Each constant holds its own name. Namespace-scope consts have internal linkage, so every
// source file that includes this header builds its own copies at start-up.
namespace ParamIDs
{
    const juce::String fmfGenre ("fmfGenre");
    const juce::String fmfBehaviorMode ("fmfBehaviorMode");
    const juce::String korrupt ("korrupt");
    const juce::String korruptVolatility ("korruptVolatility");
    const juce::String korruptSpectralViolence ("korruptSpectralViolence");
    const juce::String korruptRandomBreadth ("korruptRandomBreadth");
    const juce::String mash ("mash");
    const juce::String mashEpisodeLengthBars ("mashEpisodeLengthBars");
    const juce::String mashGridAuthority ("mashGridAuthority");
    const juce::String mashLoopObsession ("mashLoopObsession");
    const juce::String mashEventBudgetPerBar ("mashEventBudgetPerBar");
    const juce::String pandora ("pandora");
    const juce::String pandoraFloorDb ("pandoraFloorDb");
    const juce::String pandoraSlewRateLimit ("pandoraSlewRateLimit");
    const juce::String pandoraJerkLimit ("pandoraJerkLimit");
    const juce::String pandoraLimiterAwareness ("pandoraLimiterAwareness");
    const juce::String pandoraQuietProtectThreshDb ("pandoraQuietProtectThreshDb");
    const juce::String oblivion ("oblivion");
    const juce::String oblivionKorruptMashCoupling ("oblivionKorruptMashCoupling");
    const juce::String oblivionCooldownBars ("oblivionCooldownBars");
    const juce::String oblivionClusterProbability ("oblivionClusterProbability");
    const juce::String confidenceHighThresh ("confidenceHighThresh");
    const juce::String confidenceLowThresh ("confidenceLowThresh");
    const juce::String weightTransient ("weightTransient");
    const juce::String weightBeat ("weightBeat");
    const juce::String weightLoop ("weightLoop");
    const juce::String weightStability ("weightStability");
    const juce::String transientThreshOn ("transientThreshOn");
    const juce::String transientThreshOff ("transientThreshOff");
    const juce::String transientRefractoryMs ("transientRefractoryMs");
    const juce::String beatSnapStrength ("beatSnapStrength");
    const juce::String beatGridDivision ("beatGridDivision");
    const juce::String fmfEnvelopeAttackMs ("fmfEnvelopeAttackMs");
    const juce::String fmfEnvelopeHoldMs ("fmfEnvelopeHoldMs");
    const juce::String fmfEnvelopeDecayMs ("fmfEnvelopeDecayMs");
    const juce::String gestureTheta ("gestureTheta");
    const juce::String gestureSigma ("gestureSigma");
    const juce::String gestureMu ("gestureMu");
    const juce::String textureNoiseFloor ("textureNoiseFloor");
    const juce::String textureSaturationBias ("textureSaturationBias");
    const juce::String textureLfoRateHz ("textureLfoRateHz");
    const juce::String gestureTextureBeta ("gestureTextureBeta");
    const juce::String fmfEnable ("fmfEnable");
    const juce::String delayTimeMs ("delayTimeMs");
    const juce::String tempoSyncEnable ("tempoSyncEnable");
    const juce::String delayTimeBeats ("delayTimeBeats");
    const juce::String tapCount ("tapCount");
    const juce::String feedbackPct ("feedbackPct");
    const juce::String crossFeedbackPct ("crossFeedbackPct");
    const juce::String reverbType ("reverbType");
    const juce::String preDelayMs ("preDelayMs");
    const juce::String decayTimeRT60Sec ("decayTimeRT60Sec");
    const juce::String diffusionPct ("diffusionPct");
    const juce::String densityPct ("densityPct");
    const juce::String wetLevelDb ("wetLevelDb");
    const juce::String dryLevelDb ("dryLevelDb");
    const juce::String mixPct ("mixPct");
    const juce::String inputGainDb ("inputGainDb");
    const juce::String phaseInvert ("phaseInvert");
    const juce::String drive ("drive");
    const juce::String shaperAlgorithm ("shaperAlgorithm");
    const juce::String symmetry ("symmetry");
    const juce::String offset ("offset");
    const juce::String edgeTension ("edgeTension");
    const juce::String evenHarmonics ("evenHarmonics");
    const juce::String oddHarmonics ("oddHarmonics");
    const juce::String outputGainDb ("outputGainDb");
    const juce::String distortionDryWetMixPct ("distortionDryWetMixPct");
    const juce::String stretchRatio ("stretchRatio");
    const juce::String transposeSemitones ("transposeSemitones");
    const juce::String fineTuneCents ("fineTuneCents");
    const juce::String formantPreserveEnable ("formantPreserveEnable");
    const juce::String algorithmType ("algorithmType");
    const juce::String processingQualityMode ("processingQualityMode");
    const juce::String transientPreserveAmt ("transientPreserveAmt");
    const juce::String timeStretchDryWetMixPct ("timeStretchDryWetMixPct");
    const juce::String outputLevelDb ("outputLevelDb");
}
