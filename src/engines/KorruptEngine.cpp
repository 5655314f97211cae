#include "engines/KorruptEngine.h"

#include <juce_audio_basics/juce_audio_basics.h>

KorruptEngine::KorruptEngine() = default;
KorruptEngine::~KorruptEngine() = default;

void KorruptEngine::prepare (double newSampleRate, int newBlockSize)
{
    sampleRate = newSampleRate;
    blockSize = newBlockSize;
}

void KorruptEngine::setModulationTargets (DistortionSuite* distortion, StereoUtilityMax* stereoUtility,
                                          DelayVerb* delayVerb, Atomizer* atomizer, TavroFinalizer* finalizer)
{
    distortionTarget = distortion;
    stereoUtilityTarget = stereoUtility;
    delayVerbTarget = delayVerb;
    atomizerTarget = atomizer;
    finalizerTarget = finalizer;
}

void KorruptEngine::applyModulationTargets()
{
    // No modulation sources exist yet, so there is nothing to push: the targets keep
    // their offsets at the 0 they were built with.
}

void KorruptEngine::process (float*, float*, int)
{
    juce::ScopedNoDenormals noDenormals;
}

void KorruptEngine::timerTick() {}

void KorruptEngine::reseedLevel (int)
{
    // The per-level character values only feed the corruption effects, which do not exist yet.
}
