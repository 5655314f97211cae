#include "main/MainComponent.h"

MainComponent::MainComponent()
{
    setSize (900, 500);
    setAudioChannels (2, 2);
    startTimer (33);
}

MainComponent::~MainComponent()
{
    stopTimer();
    shutdownAudio();
}

void MainComponent::prepareToPlay (int, double)
{
    prepared = true;
}

void MainComponent::getNextAudioBlock (const juce::AudioSourceChannelInfo& bufferToFill)
{
    juce::ScopedNoDenormals noDenormals;
    bufferToFill.clearActiveBufferRegion();
}

void MainComponent::releaseResources() {}

void MainComponent::paint (juce::Graphics& g)
{
    g.fillAll (juce::Colours::black);
}

void MainComponent::resized() {}

void MainComponent::timerCallback() {}
