// The recording panel's tick, its record / stop / play states and its status and format lines.

#include "recording/RecordingWindow.h"

#include <cmath>

namespace
{
    constexpr int ticksPerCount = 30;
    constexpr int countdownStart = 5;
    constexpr int longestDeviceName = 25;

    constexpr juce::uint32 recordingColour = 0xffff4444, readyColour = 0xff00ff00, playingColour = 0xff44ff44,
                           deviceReadyColour = 0xff66ff66, deviceWarningColour = 0xffffaa00,
                           deviceErrorColour = 0xffff6666;

    const char* const noDeviceMessage =
        "No audio device is selected.\n\n"
        "TO FIX:\n"
        "1. Click 'AUDIO SETTINGS...'\n"
        "2. Select an Audio device type (try 'Windows Audio (WASAPI)')\n"
        "3. Select your microphone from the Input dropdown\n\n"
        "If you get errors, click '?' for troubleshooting tips.";

    const char* const noInputMessage =
        "No input channels are enabled.\n\n"
        "TO FIX:\n"
        "1. Click 'AUDIO SETTINGS...'\n"
        "2. Under 'Input', select your microphone\n"
        "3. Check the input channel boxes (1, 2)\n\n"
        "If you see 'Generic error':\n"
        "- Check Windows Settings > Privacy > Microphone\n"
        "- Enable 'Let desktop apps access microphone'\n\n"
        "Click '?' for more troubleshooting tips.";
}

RecordingWindow::InputDeviceReport RecordingWindow::probeInputDevice() const
{
    if (inputDeviceProbe)
        return inputDeviceProbe();

    InputDeviceReport report;
    report.hasManager = deviceManager != nullptr;

    if (auto* device = report.hasManager ? deviceManager->getCurrentAudioDevice() : nullptr)
    {
        report.hasDevice = true;
        report.name = device->getName();
        report.activeInputs = device->getActiveInputChannels().countNumberOfSetBits();
        report.sampleRate = device->getCurrentSampleRate();
    }

    return report;
}

void RecordingWindow::setStatus (const juce::String& text, juce::uint32 colour)
{
    statusLabel.setColour (juce::Label::textColourId, juce::Colour (colour));
    statusLabel.setText (text, juce::dontSendNotification);
}

void RecordingWindow::showReadyStatus()
{
    setStatus (isAppAudioSource.load (std::memory_order_relaxed) ? "READY: Recording App Audio"
                                                                 : "READY: External Input",
               readyColour);
}

void RecordingWindow::showDeviceError (const juce::String& text)
{
    showAlert (juce::MessageBoxIconType::WarningIcon, "Audio Device Error", text);
}

//==============================================================================
void RecordingWindow::timerCallback()
{
    // The end of playback is taken even while hidden: it is the answer to an earlier PLAY.
    if (! isVisible())
        return takePlaybackEnd();

    if (countdownActive.load (std::memory_order_relaxed))
        stepCountdown();

    const int silent = silentTicks.fetch_add (1, std::memory_order_relaxed) + 1;

    if (silent > 10)
        inputLevelMeter.setLevels (inputLevelMeter.levelLeft.load (std::memory_order_relaxed) * 0.7f,
                                   inputLevelMeter.levelRight.load (std::memory_order_relaxed) * 0.7f);

    if (inputLevelMeter.takeDirty())
        inputLevelMeter.repaint();

    waveformDisplay.repaint();
    spectrumDisplay.repaint();

    inputGain.store (std::pow (10.0f, (float) inputGainSlider.getValue() / 20.0f), std::memory_order_relaxed);
    refreshInputStatus();
    updateFormatLine();

    if (isRecording.load (std::memory_order_relaxed) && ! countdownActive.load (std::memory_order_relaxed))
        updateRecordTime();

    // Last, so that its READY text stands until the next tick's input-status refresh.
    takePlaybackEnd();
}

void RecordingWindow::takePlaybackEnd()
{
    if (capture.takePlaybackEndedNotice())
        finishPlayback();
}

void RecordingWindow::updateFormatLine()
{
    juce::String text = "32-bit float | " + juce::String (sampleRate) + " Hz | Stereo";

    if (isRecording.load (std::memory_order_relaxed))
    {
        const auto n = (double) capture.takeLength();
        text << " | " << juce::String (n / sampleRate, 1) << "s | " << juce::String (n * 8.0 / 1048576.0, 1) << " MB";
    }

    infoLabel.setText (text, juce::dontSendNotification);
}

void RecordingWindow::updateRecordTime()
{
    const double seconds = (double) capture.takeLength() / sampleRate;
    const auto whole = (int) seconds;
    const auto hundredths = (int) ((seconds - whole) * 100.0);
    recordButton.setButtonText (juce::String::formatted ("REC %02d:%02d.%02d", whole / 60, whole % 60, hundredths));
}

void RecordingWindow::refreshInputStatus()
{
    try
    {
        const auto device = probeInputDevice();

        if (! device.hasManager)
            return setStatus ("INPUT: Click AUDIO SETTINGS to configure", deviceWarningColour);

        if (! device.hasDevice)
            return setStatus ("INPUT: No Device - AUDIO SETTINGS or ? for help", deviceWarningColour);

        if (device.activeInputs == 0)
            return setStatus ("INPUT: Not enabled - AUDIO SETTINGS > select Input", deviceWarningColour);

        auto name = device.name;

        if (name.length() > longestDeviceName)
            name = name.substring (0, 22) + "...";

        setStatus ("INPUT: " + name + " (" + juce::String (device.activeInputs) + " ch) READY", deviceReadyColour);

        // A take keeps the rate it began with; the device's rate is for the next one.
        if (! isRecording.load (std::memory_order_relaxed) && ! hasTake && device.sampleRate >= 1.0)
            sampleRate = (int) device.sampleRate;
    }
    catch (...)
    {
        setStatus ("INPUT: Error - Click ? for troubleshooting", deviceErrorColour);
    }
}

//==============================================================================
void RecordingWindow::toggleRecording()
{
    const auto startCountdown = [this] (bool startsRecording)
    {
        countdownValue = countdownStart;
        countdownTicks = ticksPerCount;
        countdownStartsRecording = startsRecording;
        countdownActive.store (true, std::memory_order_release);
        recordButton.setButtonText (startsRecording ? "5..." : "STOPPING 5...");
        repaint();
    };

    if (countdownActive.load (std::memory_order_relaxed))
    {
        countdownActive.store (false, std::memory_order_release);
        recordButton.setButtonText (isRecording.load (std::memory_order_relaxed) ? "STOP" : "START RECORDING");
        recordButton.removeColour (juce::TextButton::buttonColourId);
        repaint();
        return;
    }

    if (isRecording.load (std::memory_order_relaxed))
        return startCountdown (false);

    if (isAppAudioSource.load (std::memory_order_relaxed))
        return startCountdown (true);

    try
    {
        const auto device = probeInputDevice();

        if (! device.hasManager)
            return showDeviceError ("Audio device manager not initialized.");

        if (! device.hasDevice)
            return showAlert (juce::MessageBoxIconType::WarningIcon, "Cannot Record - No Device", noDeviceMessage);

        if (device.activeInputs == 0)
            return showAlert (juce::MessageBoxIconType::WarningIcon, "Cannot Record - No Input", noInputMessage);
    }
    catch (...)
    {
        return showDeviceError ("Error accessing audio device - device may be in use by another application.");
    }

    startCountdown (true);
}

void RecordingWindow::stepCountdown()
{
    if (--countdownTicks > 0)
        return;

    countdownTicks = ticksPerCount;

    if (--countdownValue > 0)
    {
        recordButton.setButtonText (countdownStartsRecording ? juce::String (countdownValue) + "..."
                                                             : "STOPPING " + juce::String (countdownValue) + "...");
        return;
    }

    countdownActive.store (false, std::memory_order_release);

    if (countdownStartsRecording)
        beginRecording();
    else
        finishRecording();
}

void RecordingWindow::beginRecording()
{
    // The rate is the device's when the take begins and stays with the take.
    try
    {
        const auto device = probeInputDevice();

        if (device.hasManager && device.hasDevice && device.sampleRate >= 1.0)
            sampleRate = (int) device.sampleRate;
    }
    catch (...) {}

    hasTake = false;
    capture.beginTake();
    exportButton.setEnabled (false);
    recordButton.setButtonText ("STOP");
    recordButton.setColour (juce::TextButton::buttonColourId, juce::Colour (0xffcc4444));
    setStatus (isAppAudioSource.load (std::memory_order_relaxed) ? "RECORDING: App Audio (Play a WAV file!)"
                                                                 : "RECORDING: External Input",
               recordingColour);
}

void RecordingWindow::finishRecording()
{
    capture.endTake();
    recordButton.setButtonText ("START RECORDING");
    recordButton.removeColour (juce::TextButton::buttonColourId);
    showReadyStatus();

    const auto n = capture.takeLength();

    if (n > 0)
    {
        hasTake = true;
        takeMono.resize (n);
        const auto* left = capture.leftSamples();
        const auto* right = capture.rightSamples();

        for (size_t i = 0; i < n; ++i)
            takeMono[i] = (right[i] + left[i]) * 0.5f;

        exportButton.setEnabled (true);
        playButton.setEnabled (true);

        showAlert (juce::MessageBoxIconType::InfoIcon, "Recording Complete",
                   "Recording complete!\n\nDuration: " + juce::String ((double) n / sampleRate, 2) + " seconds\n"
                       + "Sample Rate: " + juce::String (sampleRate) + " Hz\n" + "Channels: Stereo\n\n"
                       + "Click 'PLAY' to preview or 'EXPORT WAV' to save.");
    }

    repaint();
}

//==============================================================================
void RecordingWindow::togglePlayback()
{
    if (takeMono.empty())
        return;

    // An end notice still on its way belongs to the playback being replaced here.
    capture.takePlaybackEndedNotice();

    if (! isPlayingTake.load (std::memory_order_acquire))
    {
        capture.startPlayback();
        playButton.setButtonText ("STOP");
        playButton.setColour (juce::TextButton::buttonColourId, juce::Colour (0xff44cc44));
        setStatus ("PLAYING RECORDING...", playingColour);
        return;
    }

    capture.stopPlayback();
    finishPlayback();
}

void RecordingWindow::finishPlayback()
{
    playButton.setButtonText ("PLAY");
    playButton.removeColour (juce::TextButton::buttonColourId);
    showReadyStatus();
}
