#include "main/MainComponent.h"

// The audio road. The prepare step brings every processor to the device's rate; the block
// is cleared while no file or input reaches it, which until the transport lands is always.

void MainComponent::prepareToPlay (int samplesPerBlockExpected, double sampleRate)
{
    audioReady.exchange (false);

    transportSource.prepareToPlay (samplesPerBlockExpected, sampleRate);
    beatClock.prepare (sampleRate, samplesPerBlockExpected);
    deviceSampleRate = sampleRate;

    distortionSuite.setSampleRate (sampleRate);
    stereoUtilityMax.prepare (sampleRate);
    delayVerb.prepare (sampleRate);
    atomizer.prepare (sampleRate);
    imager.prepare (sampleRate);
    timePro.prepare (sampleRate);
    dictionaryReader.prepare (sampleRate);
    smartEq.prepare (sampleRate);
    finalizer.prepare (sampleRate, samplesPerBlockExpected);

    korruptEngine.prepare (sampleRate, samplesPerBlockExpected);
    mashEngine.prepare (sampleRate, samplesPerBlockExpected);
    mashEngine.tempoBpm = juce::jlimit (20.0f, 400.0f, bpm);

    currentSampleRate = sampleRate;
    currentBlockSize = samplesPerBlockExpected;
    chainTempo = bpm;

    const auto stutterLength = (int) (2.0 * sampleRate);
    if (stutterBuffer.getNumChannels() != 2 || stutterBuffer.getNumSamples() != stutterLength)
        stutterBuffer.setSize (2, stutterLength);
    stutterBuffer.clear();

    korruptEngine.setModulationTargets (&distortionSuite, &stereoUtilityMax, &delayVerb, &atomizer, &finalizer);
    randomiser.setTempo (bpm);
    randomiser.enabled = false;

    stutterKnob.tempoBpm = bpm;
    stutterWritePos = 0;
    stutterCounter = 0;

    for (auto* processor : { &pitchSpectralProcessor, &samplerSpectralProcessor })
    {
        processor->prepare (sampleRate, samplesPerBlockExpected);
        processor->setTimeStretch (1.0f);
        processor->setMix (1.0f);
    }

    recordingWindow.prepareCapture (sampleRate, samplesPerBlockExpected);

    audioReady.exchange (true);
}

void MainComponent::releaseResources()
{
    transportSource.releaseResources();
}

void MainComponent::getNextAudioBlock (const juce::AudioSourceChannelInfo& bufferToFill)
{
    juce::ScopedNoDenormals noDenormals;

    if (readerSource == nullptr)
    {
        if (bufferToFill.buffer != nullptr && bufferToFill.numSamples > 0)
            bufferToFill.clearActiveBufferRegion();
        return;
    }

    transportSource.getNextAudioBlock (bufferToFill);
}
