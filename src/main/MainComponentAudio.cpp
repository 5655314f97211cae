#include "main/MainComponent.h"

// The audio-source callbacks: the road itself lives in AudioEngine.

void MainComponent::prepareToPlay (int samplesPerBlockExpected, double sampleRate)
{
    // Whether the device delivers input decides the capture and the input-through-chain road;
    // the audio thread must not ask the device itself.
    int inputs = 0;
    if (auto* device = deviceManager.getCurrentAudioDevice())
        inputs = device->getActiveInputChannels().countNumberOfSetBits();

    audioEngine.prepare (samplesPerBlockExpected, sampleRate, inputs);
}

void MainComponent::releaseResources()
{
    audioEngine.release();
}

void MainComponent::getNextAudioBlock (const juce::AudioSourceChannelInfo& bufferToFill)
{
    audioEngine.process (bufferToFill);
}
