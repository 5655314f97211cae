#include "main/SpectralProcessor.h"

SpectralProcessor::SpectralProcessor() = default;
SpectralProcessor::~SpectralProcessor() = default;

void SpectralProcessor::prepare (double newSampleRate, int newBlockSize)
{
    sampleRate = newSampleRate;
    blockSize = newBlockSize;
    prepared = true;
}

void SpectralProcessor::setTimeStretch (float factor)  { timeStretch = juce::jlimit (0.25f, 4.0f, factor); }
void SpectralProcessor::setPitchShift (float semitones) { pitchShift = juce::jlimit (-24.0f, 24.0f, semitones); }
void SpectralProcessor::setMix (float wetShare)         { mix = juce::jlimit (0.0f, 1.0f, wetShare); }

void SpectralProcessor::process (juce::AudioBuffer<float>&)
{
    juce::ScopedNoDenormals noDenormals;
}
