#include "RecordingWindowRig.h"

#include "support/PixelProbe.h"

#include <gtest/gtest.h>

// The record, stop and play states, the status and format lines, driven tick by tick.

TEST (RecordingStates, StartCountdownThenRecordingThenAStopCountdownThatResumesTheSameTake)
{
    RecordingWindowRig rig;
    auto& w = *rig.window;

    w.toggleRecording();
    EXPECT_EQ (rig.recordText(), "5...");

    const char* const counts[] = { "4...", "3...", "2...", "1..." };
    for (const auto* expected : counts)
    {
        rig.ticks (29);
        EXPECT_NE (rig.recordText(), expected);
        rig.ticks (1);
        EXPECT_EQ (rig.recordText(), expected);
    }

    rig.ticks (29);
    EXPECT_FALSE (w.isRecording.load()) << "149 ticks: still counting in";
    rig.pushFrames (1000);
    rig.ticks (1);
    EXPECT_TRUE (w.isRecording.load()) << "recording from tick 150";
    EXPECT_EQ (w.capture.takeLength(), 0u) << "nothing from the count-in";

    rig.ticks (1);
    EXPECT_EQ (rig.recordText(), "REC 00:00.00");

    rig.pushFrames (44100, 0.25f);
    rig.ticks (1);
    EXPECT_EQ (rig.recordText(), "REC 00:01.00");

    // Pressing during the stop countdown goes back to the same take; nothing came in meanwhile.
    w.toggleRecording();
    EXPECT_EQ (rig.recordText(), "STOPPING 5...");
    rig.ticks (60);
    EXPECT_EQ (rig.recordText(), "STOPPING 3...");
    rig.pushFrames (5000);
    w.toggleRecording();
    EXPECT_EQ (rig.recordText(), "STOP");
    EXPECT_TRUE (w.isRecording.load());
    EXPECT_EQ (w.capture.takeLength(), 44100u);
    rig.pushFrames (22050, 0.5f);
    EXPECT_EQ (w.capture.takeLength(), 66150u);

    // A full stop: the take is kept, the alert gives the duration with two decimals.
    w.toggleRecording();
    rig.ticks (150);
    EXPECT_FALSE (w.isRecording.load());
    EXPECT_EQ (rig.recordText(), "START RECORDING");
    ASSERT_EQ (rig.alerts.size(), 1u);
    EXPECT_EQ (rig.alerts[0].title, "Recording Complete");
    EXPECT_EQ (rig.alerts[0].message,
               "Recording complete!\n\nDuration: 1.50 seconds\nSample Rate: 44100 Hz\nChannels: Stereo\n\n"
               "Click 'PLAY' to preview or 'EXPORT WAV' to save.");
    EXPECT_TRUE (w.hasTake);
    EXPECT_TRUE (w.playButton.isEnabled());
    EXPECT_TRUE (w.exportButton.isEnabled());
    ASSERT_EQ (w.takeMono.size(), 66150u);
    EXPECT_FLOAT_EQ (w.takeMono[0], 0.25f);
    EXPECT_FLOAT_EQ (w.takeMono[66149], 0.5f);

    // Played to its end, the take puts "PLAY" back at the next tick.
    w.togglePlayback();
    EXPECT_EQ (w.playButton.getButtonText(), "STOP");
    EXPECT_EQ (rig.status(), "PLAYING RECORDING...");

    std::vector<float> left (8192, 0.0f), right (8192, 0.0f);
    for (int i = 0; i < 9 && w.isPlayingTake.load(); ++i)
        w.mixTakePlayback (left.data(), right.data(), 8192);

    EXPECT_FALSE (w.isPlayingTake.load());
    EXPECT_EQ (w.playButton.getButtonText(), "STOP") << "the audio thread leaves only a notice";
    rig.ticks (1);
    EXPECT_EQ (w.playButton.getButtonText(), "PLAY");
    EXPECT_FALSE (w.playButton.isColourSpecified (juce::TextButton::buttonColourId));
    EXPECT_EQ (rig.status(), "READY: Recording App Audio");
}

TEST (RecordingStates, RecTimeAndFormatLineUpToTheCapAtEitherRate)
{
    RecordingWindowRig rig;
    auto& w = *rig.window;

    rig.ticks (1);
    EXPECT_EQ (w.infoLabel.getText(), "32-bit float | 44100 Hz | Stereo");

    w.beginRecording();
    rig.pushFrames (2'888'550);
    rig.ticks (1);
    EXPECT_EQ (rig.recordText(), "REC 01:05.50");
    EXPECT_EQ (w.infoLabel.getText(), "32-bit float | 44100 Hz | Stereo | 65.5s | 22.0 MB");

    // The device changes rate under a running take: the take keeps its own.
    rig.device.sampleRate = 48000.0;
    rig.pushFrames (TakeCapture::maxTakeFrames);   // past the cap
    rig.ticks (1);
    EXPECT_TRUE (w.isRecording.load());
    EXPECT_EQ (rig.recordText(), "REC 05:26.53");
    EXPECT_EQ (w.infoLabel.getText(), "32-bit float | 44100 Hz | Stereo | 326.5s | 109.9 MB");

    w.finishRecording();
    w.beginRecording();
    EXPECT_EQ (rig.status(), "RECORDING: App Audio (Play a WAV file!)");
    rig.pushFrames (TakeCapture::maxTakeFrames + 100);
    rig.ticks (1);
    EXPECT_EQ (rig.recordText(), "REC 05:00.00");
    EXPECT_EQ (w.infoLabel.getText(), "32-bit float | 48000 Hz | Stereo | 300.0s | 109.9 MB");
}

TEST (RecordingStates, StartingFromTheInputChecksTheDeviceFirst)
{
    struct Case
    {
        const char* name;
        bool hasManager, hasDevice;
        int inputs;
        bool throws;
        const char* alertTitle;   // nullptr: the countdown starts
        const char* alertStart;
    };

    const Case cases[] = {
        { "no inputs", true, true, 0, false, "Cannot Record - No Input", "No input channels are enabled.\n\nTO FIX:\n" },
        { "no device", true, false, 0, false, "Cannot Record - No Device", "No audio device is selected.\n\n" },
        { "no manager", false, false, 0, false, "Audio Device Error", "Audio device manager not initialized." },
        { "device throws", true, true, 2, true, "Audio Device Error",
          "Error accessing audio device - device may be in use by another application." },
        { "two inputs", true, true, 2, false, nullptr, nullptr },
    };

    for (const auto source : { 2, 3 })
    {
        for (const auto& c : cases)
        {
            SCOPED_TRACE (juce::String (c.name) + " / source " + juce::String (source));
            RecordingWindowRig rig;
            rig.window->sourceBox.setSelectedId (source, juce::sendNotificationSync);
            rig.device.hasManager = c.hasManager;
            rig.device.hasDevice = c.hasDevice;
            rig.device.activeInputs = c.inputs;
            rig.probeThrows = c.throws;

            rig.window->toggleRecording();

            if (c.alertTitle == nullptr)
            {
                EXPECT_TRUE (rig.alerts.empty());
                EXPECT_TRUE (rig.window->countdownActive.load());
                EXPECT_EQ (rig.recordText(), "5...");
                continue;
            }

            ASSERT_EQ (rig.alerts.size(), 1u);
            EXPECT_EQ (rig.alerts[0].icon, juce::MessageBoxIconType::WarningIcon);
            EXPECT_EQ (rig.alerts[0].title, c.alertTitle);
            EXPECT_TRUE (rig.alerts[0].message.startsWith (c.alertStart)) << rig.alerts[0].message;
            EXPECT_FALSE (rig.window->countdownActive.load());
            EXPECT_FALSE (rig.window->isRecording.load());
            EXPECT_EQ (rig.recordText(), "START RECORDING");
        }
    }
}

TEST (RecordingStates, InputStatusLineNamesTheDeviceOrWhatIsMissing)
{
    struct Case
    {
        bool hasManager, hasDevice;
        const char* name;
        int inputs;
        bool throws;
        const char* text;
        juce::uint32 colour;
    };

    const Case cases[] = {
        { true, true, "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123", 2, false, "INPUT: ABCDEFGHIJKLMNOPQRSTUV... (2 ch) READY", 0xff66ff66 },
        { true, true, "ABCDEFGHIJKLMNOPQRSTUVWXY", 1, false, "INPUT: ABCDEFGHIJKLMNOPQRSTUVWXY (1 ch) READY", 0xff66ff66 },
        { true, true, "Dev", 0, false, "INPUT: Not enabled - AUDIO SETTINGS > select Input", 0xffffaa00 },
        { true, false, "", 0, false, "INPUT: No Device - AUDIO SETTINGS or ? for help", 0xffffaa00 },
        { false, false, "", 0, false, "INPUT: Click AUDIO SETTINGS to configure", 0xffffaa00 },
        { true, true, "Dev", 2, true, "INPUT: Error - Click ? for troubleshooting", 0xffff6666 },
    };

    for (const auto& c : cases)
    {
        RecordingWindowRig rig;
        rig.device = { c.hasManager, c.hasDevice, c.name, c.inputs, 48000.0 };
        rig.probeThrows = c.throws;
        rig.ticks (1);

        EXPECT_EQ (rig.status(), c.text);
        EXPECT_EQ (rig.window->statusLabel.findColour (juce::Label::textColourId), juce::Colour (c.colour)) << c.text;
    }

    // With no take, the idle format line follows the device's rate.
    RecordingWindowRig rig;
    rig.device.sampleRate = 48000.0;
    rig.ticks (1);
    EXPECT_EQ (rig.window->infoLabel.getText(), "32-bit float | 48000 Hz | Stereo");

    // A device that reports no rate leaves the last one: the REC time divides by it.
    rig.device.sampleRate = 0.0;
    rig.ticks (1);
    rig.window->beginRecording();
    rig.ticks (1);
    EXPECT_EQ (rig.window->infoLabel.getText(), "32-bit float | 48000 Hz | Stereo | 0.0s | 0.0 MB");
    EXPECT_EQ (rig.recordText(), "REC 00:00.00");
}

TEST (RecordingStates, PlayStopsAndStartsOnlyWithATakeAndCancellingTheStartCountdownIsIdle)
{
    RecordingWindowRig rig;
    auto& w = *rig.window;

    w.togglePlayback();
    EXPECT_FALSE (w.isPlayingTake.load()) << "no take: PLAY does nothing";

    w.toggleRecording();
    rig.ticks (40);
    w.toggleRecording();
    EXPECT_FALSE (w.countdownActive.load());
    EXPECT_FALSE (w.isRecording.load());
    EXPECT_EQ (rig.recordText(), "START RECORDING");
    rig.ticks (200);
    EXPECT_FALSE (w.isRecording.load());

    // A stop with an empty take: no alert, PLAY stays off.
    w.beginRecording();
    w.finishRecording();
    EXPECT_TRUE (rig.alerts.empty());
    EXPECT_FALSE (w.playButton.isEnabled());
    EXPECT_FALSE (w.hasTake);

    w.takeMono.assign (10, 0.0f);
    w.togglePlayback();
    EXPECT_TRUE (w.isPlayingTake.load());
    w.togglePlayback();
    EXPECT_FALSE (w.isPlayingTake.load());
    EXPECT_EQ (w.playButton.getButtonText(), "PLAY");
    EXPECT_EQ (rig.status(), "READY: Recording App Audio");
}

TEST (RecordingStates, AHiddenPanelFreezesItsCountdownAndTheMeterRepaintsFromTheTick)
{
    RecordingWindowRig rig;
    auto& w = *rig.window;

    w.toggleRecording();
    w.setVisible (false);
    rig.ticks (300);
    EXPECT_EQ (rig.recordText(), "5...");
    EXPECT_TRUE (w.countdownActive.load());

    // A clipping block from the audio thread only marks the meter; the tick repaints it.
    w.setVisible (true);
    const std::vector<float> loud (64, 1.0f);
    w.pushSamples (loud.data(), loud.data(), 64);
    EXPECT_TRUE (w.inputLevelMeter.dirty.load());
    rig.ticks (1);
    EXPECT_FALSE (w.inputLevelMeter.dirty.load());
    EXPECT_TRUE (w.inputLevelMeter.clipLeft.load());
    const auto meter = pixel_probe::render (w.inputLevelMeter);
    EXPECT_TRUE (pixel_probe::nearRgb (meter.getPixelAt (w.inputLevelMeter.getWidth() - 24, 9), juce::Colour (0xffff0000), 3))
        << "the left lamp is lit";

    // Past ten silent ticks the meter falls by 0.7 a tick.
    rig.ticks (9);
    const float before = w.inputLevelMeter.levelLeft.load();
    rig.ticks (1);
    EXPECT_FLOAT_EQ (w.inputLevelMeter.levelLeft.load(), before * 0.7f);
}
