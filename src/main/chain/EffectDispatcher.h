#pragma once

#include "main/chain/EffectChain.h"

class DistortionSuite;
class StereoUtilityMax;
class DelayVerb;
class Atomizer;
class MultiEffectImagerPro;
class HeightAndWeight;
class DictionaryReader;
class SmartEQ;
class TavroFinalizer;

/** The nine effects as the chain sees them: one activity test and one way to run each, by id.
    The effects have no common base: four take left and right pointers and work in place, the
    others take a whole buffer, which they get through a scratch copy starting at sample 0. */
class EffectDispatcher : public EffectHost
{
public:
    struct Effects
    {
        DistortionSuite& distortionSuite;
        StereoUtilityMax& stereoUtilityMax;
        DelayVerb& delayVerb;
        Atomizer& atomizer;
        MultiEffectImagerPro& imager;
        HeightAndWeight& timePro;
        DictionaryReader& dictionaryReader;
        SmartEQ& smartEq;
        TavroFinalizer& finalizer;
    };

    explicit EffectDispatcher (const Effects& effectsToRun) : effects (effectsToRun) {}

    /** Device thread, no block in flight: sizes the scratch buffer. */
    void prepare (int numChannels, int maxBlockSamples) { scratch.prepare (numChannels, maxBlockSamples); }

    /** Safe on both threads: every input is an atomic the panels mirror. */
    bool isEffectActive (int id) const noexcept override;

    void processEffect (int id, juce::AudioBuffer<float>& buffer, int startSample, int numSamples) noexcept override;

private:
    Effects effects;
    EffectScratch scratch;
};
