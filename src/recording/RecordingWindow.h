#pragma once

#include "recording/RecordingInputMeter.h"
#include "recording/RecordingWindowParts.h"
#include "recording/TakeCapture.h"

#include <juce_audio_devices/juce_audio_devices.h>
#include <juce_gui_basics/juce_gui_basics.h>

#include <atomic>
#include <functional>
#include <vector>

/** The floating "SIGNAL CAPTURE" panel inside the main window: records the application's
    output or the device's input into an in-memory stereo take, shows its level, and plays the
    take back through the main output. The waveform and spectrum displays and the export and
    bounce come later; their places in the layout are kept.

    Threads: everything here runs on the message thread except `pushSamples` and
    `mixTakePlayback`, which the main audio block calls; they go straight to `capture`, whose
    notes say what crosses between the threads. */
class RecordingWindow : public juce::Component,
                        public juce::Timer
{
public:
    using TitleBar = RecordingTitleBar;
    using CloseButton = RecordingCloseButton;
    using InputLevelMeter = RecordingInputMeter;

    /** What the input-status line and the device checks need to know of the audio device. */
    struct InputDeviceReport
    {
        bool hasManager = false, hasDevice = false;
        juce::String name;
        int activeInputs = 0;
        double sampleRate = 0.0;
    };

    RecordingWindow();
    ~RecordingWindow() override;

    //==============================================================================
    // What the main window calls.

    void setButtonLookAndFeel (juce::LookAndFeel* lookAndFeel);
    void setKnobLookAndFeel (juce::LookAndFeel* lookAndFeel);

    /** The six buttons back to no look-and-feel; the knobs keep theirs. */
    void clearLookAndFeels();

    /** Stops take playback, drops a pending chooser, hides the panel, then calls onClose.
        A recording, a countdown and the take are kept. */
    void close();

    /** Device start, no block in flight. */
    void prepareCapture (double sampleRate, int blockSize);

    /** Puts the displays' analysis back to rest; the take and the meter are kept. */
    void resetDisplays();

    /** Audio thread: one block of the chosen source into the panel. */
    void pushSamples (const float* left, const float* right, int numSamples) noexcept { capture.pushSamples (left, right, numSamples); }

    /** Audio thread: the take added to the finished output while it plays. */
    void mixTakePlayback (float* left, float* right, int numSamples) noexcept { capture.mixPlayback (left, right, numSamples); }

    std::function<void()> onClose;
    std::function<void (const juce::File&)> onFileBounced;
    juce::AudioDeviceManager* deviceManager = nullptr;   // not owned

    //==============================================================================
    // Controls and states.

    void toggleRecording();
    void togglePlayback();
    void refreshInputStatus();
    void stepCountdown();
    void beginRecording();
    void finishRecording();
    void sourceChanged();
    void zoomIn();
    void zoomOut();
    void fitZoom();
    void showDeviceError (const juce::String& text);

    void timerCallback() override;
    bool keyPressed (const juce::KeyPress& key) override;
    void paint (juce::Graphics& g) override;
    void resized() override;

    /** Asks the audio device; tests replace it. May throw. */
    std::function<InputDeviceReport()> inputDeviceProbe;

    /** Shows an alert (icon, title, message); tests replace it. */
    std::function<void (juce::MessageBoxIconType, const juce::String&, const juce::String&)> showAlert;

    //==============================================================================
    TakeCapture capture;

    // The capture's shared values under the names the rest of the program knows.
    std::atomic<bool>& isRecording = capture.isRecording;
    std::atomic<bool>& countdownActive = capture.countdownActive;
    std::atomic<float>& inputGain = capture.inputGain;
    std::atomic<float>& smartGainAmount = capture.smartGainAmount;
    std::atomic<int>& silentTicks = capture.silentTicks;
    std::atomic<bool>& isPlayingTake = capture.isPlayingTake;
    std::atomic<std::uint64_t>& playbackPosition = capture.playbackPosition;

    // The source, read by the main audio block: both false is "External Input (Mic/Line)".
    std::atomic<bool> isAppAudioSource { true }, isExInFxSource { false };

    std::vector<float> takeMono;   // (left + right) / 2 of the finished take
    bool hasTake = false;
    int sampleRate = 44100;        // of the take; a running take keeps the rate it began with
    int exportFormat = 1;
    int countdownValue = 0, countdownTicks = 0;
    bool countdownStartsRecording = true;
    bool monitorEnabled = false;
    float stereoMaxLow = 0.0f, stereoMaxMid = 0.0f, stereoMaxHigh = 0.0f;
    float waveformZoom = 1.0f, waveformScroll = 0.0f;

    TitleBar titleBar;
    CloseButton closeButton;
    juce::Component waveformDisplay, spectrumDisplay;
    juce::TextButton displayButton { "DISPLAY" }, recordButton { "START RECORDING" }, playButton { "PLAY" },
                     exportButton { "EXPORT WAV" }, monitorButton { "MONITOR" },
                     zoomOutButton { "-" }, fitButton { "FIT" }, zoomInButton { "+" },
                     settingsButton { "SETTINGS..." }, helpButton { "?" };
    juce::Label zoomLabel, statusLabel, inputLabel, channelsLabel, infoLabel, inputGainLabel,
                smartGainLabel, stereoMaxLabel, lowLabel, midLabel, highLabel;
    juce::ComboBox sourceBox, channelBox;
    juce::Slider inputGainSlider;
    InputLevelMeter inputLevelMeter;
    juce::Slider smartGainKnob, stereoMaxLowKnob, stereoMaxMidKnob, stereoMaxHighKnob;

private:
    void buildButtons();
    void buildSourceRow();
    void buildGainRow();
    void buildKnobs();
    void setStatus (const juce::String& text, juce::uint32 colour);
    void showReadyStatus();
    void finishPlayback();
    void takePlaybackEnd();
    void updateFormatLine();
    void updateRecordTime();
    InputDeviceReport probeInputDevice() const;

    std::unique_ptr<juce::FileChooser> fileChooser;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (RecordingWindow)
};
