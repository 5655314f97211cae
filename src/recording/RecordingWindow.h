#pragma once

#include <juce_audio_devices/juce_audio_devices.h>
#include <juce_gui_basics/juce_gui_basics.h>

#include <atomic>
#include <functional>
#include <vector>

/** The floating "SIGNAL CAPTURE" panel inside the main window: records the application's
    output or the device's input, shows it, and exports or bounces the take. Recording, the
    displays and the exports are later additions: for now the panel opens and closes, holds its
    controls and the fields the main window drives, and captures nothing. */
class RecordingWindow : public juce::Component,
                        private juce::Timer
{
public:
    RecordingWindow();
    ~RecordingWindow() override;

    /** Sets the look-and-feel of the panel's six text buttons. */
    void setButtonLookAndFeel (juce::LookAndFeel* lookAndFeel);

    /** Sets the look-and-feel of its four knobs. */
    void setKnobLookAndFeel (juce::LookAndFeel* lookAndFeel);

    /** The six buttons back to no look-and-feel; the knobs keep theirs. */
    void clearLookAndFeels();

    /** Stops take playback, drops a pending chooser, hides the panel, then calls onClose. */
    void close();

    std::function<void()> onClose;

    /** Called with the bounce file after "Bounce to WaveDisplay" has written it. */
    std::function<void (const juce::File&)> onFileReady;

    /** The main window's device manager, for the panel's device settings; not owned. */
    juce::AudioDeviceManager* deviceManager = nullptr;

    /** Device start: sizes the capture buffers for the rate and block size. */
    void prepareCapture (double sampleRate, int blockSize);

    /** Clears the capture buffers and puts the spectra and meters back to -80 dB. */
    void resetDisplays();

    /** Audio thread: one block of the chosen source into the panel; the samples are not changed. */
    void pushSamples (const float* left, const float* right, int numSamples) noexcept;

    /** Message thread, once the take has played to its end. */
    void onTakePlaybackFinished();

    //==============================================================================
    /** Set by the capture when the input exceeds -60 dB; the CAPTURE button clears it. */
    std::atomic<int> signalDetected { 0 };

    /** Source 1 "App Audio", or source 3 "Ex-In w/ Fx"; both false is source 2
        "External Input (Mic/Line)". */
    std::atomic<bool> sourceIsAppAudio { true };
    std::atomic<bool> sourceIsInputThroughChain { false };

    /** Take playback: the panel's PLAY starts it, the main window's audio block mixes the take
        into the output, advances the cursor and clears the flag at the end. */
    std::atomic<bool> takePlaying { false };
    std::vector<float> takeLeft, takeRight;
    std::atomic<size_t> takeLength { 0 };
    std::atomic<size_t> takePlaybackPosition { 0 };

    double getCaptureSampleRate() const noexcept { return captureSampleRate; }

    juce::TextButton displayButton { "DISPLAY" }, recordButton { "START RECORDING" }, playButton { "PLAY" },
                     exportButton { "EXPORT WAV" }, monitorButton { "MONITOR" }, settingsButton { "SETTINGS..." },
                     helpButton { "?" };
    juce::Slider smartGainKnob, stereoMaxLowKnob, stereoMaxMidKnob, stereoMaxHighKnob;
    juce::Label statusLabel;

    void paint (juce::Graphics& g) override;
    void resized() override;
    void timerCallback() override;

private:
    std::unique_ptr<juce::FileChooser> fileChooser;

    double captureSampleRate = 44100.0;
    std::vector<float> scopeLeft, scopeRight, workLeft, workRight;
    std::vector<float> meterHistory;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (RecordingWindow)
};
