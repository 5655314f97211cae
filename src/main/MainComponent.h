#pragma once

#include <juce_audio_utils/juce_audio_utils.h>

/** The main window's content: owns every panel, engine and window of the application. */
class MainComponent : public juce::AudioAppComponent,
                      private juce::Timer
{
public:
    MainComponent();
    ~MainComponent() override;

    void prepareToPlay (int samplesPerBlockExpected, double sampleRate) override;
    void getNextAudioBlock (const juce::AudioSourceChannelInfo& bufferToFill) override;
    void releaseResources() override;

    void paint (juce::Graphics& g) override;
    void resized() override;

    /** True once the device has called the prepare step (smoke test and harness). */
    bool hasBeenPrepared() const noexcept { return prepared.load(); }

private:
    void timerCallback() override;

    std::atomic<bool> prepared { false };

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (MainComponent)
};
