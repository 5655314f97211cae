#include "engines/MashEngine.h"

#include <juce_audio_basics/juce_audio_basics.h>

MashEngine::MashEngine() = default;
MashEngine::~MashEngine() = default;

void MashEngine::prepare (double newSampleRate, int newBlockSize)
{
    sampleRate = newSampleRate;
    blockSize = newBlockSize;
}

void MashEngine::process (float*, float*, int)
{
    juce::ScopedNoDenormals noDenormals;
}
