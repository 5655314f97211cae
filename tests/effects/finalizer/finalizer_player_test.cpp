#include <gtest/gtest.h>

#include "FinalizerFixture.h"
#include "support/AudioFixtures.h"
#include "support/MessagePump.h"
#include "support/RealtimeTrap.h"

#include <cmath>
#include <string>

namespace
{
    void tick (TavroFinalizer& fin, int times)
    {
        for (int i = 0; i < times; ++i)
            fin.timerCallback();
    }

    juce::File writeTestWav (const juce::String& name, int frames, double rate, int channels = 2)
    {
        const auto file = juce::File::getSpecialLocation (juce::File::tempDirectory).getChildFile (name);
        EXPECT_TRUE (audiofixtures::writeWav (file, rate, channels, frames, [] (int ch, int i)
        {
            return (ch % 2 == 0 ? 0.25f : -0.25f) * (float) std::sin (i * 0.05);
        }));
        return file;
    }
}

TEST (FinalizerPlayer, MainFileRoadCapsTheLengthAndAFailedLoadChangesNothing)
{
    FinalizerRig rig;
    rig.fin.maxPlayerFrames = 1000;
    rig.fin.loadWavePlayerFile (writeTestWav ("long.wav", 5000, 44100.0));
    EXPECT_EQ (rig.fin.wavePlayerLength(), 1000);
    EXPECT_EQ (rig.fin.playerSampleRate.load(), 44100);

    auto notAudio = juce::File::getSpecialLocation (juce::File::tempDirectory).getChildFile ("notes.txt");
    notAudio.replaceWithText ("not audio");
    rig.fin.loadWavePlayerFile (notAudio);
    EXPECT_EQ (rig.fin.wavePlayerLength(), 1000);
    EXPECT_TRUE (rig.fin.wavePlayerHasSamples());
}

TEST (FinalizerPlayer, RenderFollowsTheRateRatioAndTheChannelLayout)
{
    struct Case { double fileRate, deviceRate, frames, tolerance; };
    for (const auto& c : { Case { 48000, 48000, 1000, 0 }, Case { 22050, 44100, 500, 0 },
                           Case { 96000, 44100, 2177, 1 }, Case { 44100, 48000, 919, 1 } })
    {
        SCOPED_TRACE (juce::String (c.fileRate) + " on " + juce::String (c.deviceRate));
        FinalizerRig rig;
        rig.fin.loadWavePlayerFile (writeTestWav ("rate.wav", 10000, c.fileRate));
        rig.fin.playing = true;
        std::vector<float> left (1000), right (1000);
        EXPECT_EQ (rig.fin.renderWavePlayer (left.data(), right.data(), 1000, c.deviceRate), 1000);
        EXPECT_NEAR (std::floor (rig.fin.playPosition.load()), c.frames, c.tolerance);
    }

    // Mono feeds both outputs; of six channels the first two play.
    for (int channels : { 1, 6 })
    {
        SCOPED_TRACE (channels);
        FinalizerRig rig;
        rig.fin.loadWavePlayerFile (writeTestWav ("layout.wav", 1000, 48000.0, channels));
        rig.fin.playing = true;
        std::vector<float> left (100), right (100);
        rig.fin.renderWavePlayer (left.data(), right.data(), 100, 48000.0);
        EXPECT_NE (left[50], 0.0f);
        EXPECT_NEAR (right[50], channels == 1 ? left[50] : -left[50], 1.0e-4f);   // 16-bit rounding
    }
}

TEST (FinalizerPlayer, LoopingWrapsInsideTheBlock)
{
    FinalizerRig rig;
    rig.fin.loadWavePlayerFile (writeTestWav ("loop.wav", 300, 48000.0));
    rig.fin.playing = true;
    rig.fin.looping = true;
    std::vector<float> left (512), right (512);
    EXPECT_EQ (rig.fin.renderWavePlayer (left.data(), right.data(), 512, 48000.0), 512);
    EXPECT_EQ (left[300], left[0]);
    EXPECT_TRUE (rig.fin.wavePlayerPlaying());
}

TEST (FinalizerPlayer, TheTickMovesTheIdlePlayerAndStopsItAtTheEnd)
{
    FinalizerRig rig;
    rig.fin.loadWavePlayerFile (writeTestWav ("tick.wav", 1000, 44100.0));
    ASSERT_EQ (rig.fin.wavePlayerLength(), 1000);
    ASSERT_TRUE (rig.fin.wavePlayerHasSamples());

    rig.fin.playing = true;
    rig.fin.playButton.setToggleState (true, juce::dontSendNotification);
    rig.fin.timerCallback();
    EXPECT_EQ (rig.fin.playPosition.load(), 44.0);

    tick (rig.fin, 30);
    EXPECT_FALSE (rig.fin.playing.load());
    EXPECT_FALSE (rig.fin.playButton.getToggleState());
    EXPECT_EQ (rig.fin.playPosition.load(), 999.0);

    // Looping wraps to the start instead.
    rig.fin.playPosition = 980.0;
    rig.fin.looping = true;
    rig.fin.playing = true;
    rig.fin.timerCallback();
    EXPECT_EQ (rig.fin.playPosition.load(), 0.0);
    EXPECT_TRUE (rig.fin.playing.load());
}

TEST (FinalizerPlayer, WhileTheAudioRendersItTheTickDoesNotMoveThePosition)
{
    FinalizerRig rig;
    rig.fin.loadWavePlayerFile (writeTestWav ("render.wav", 96000, 48000.0));
    rig.fin.playing = true;

    std::vector<float> left (480), right (480);
    for (int block = 0; block < 100; ++block)   // one second in 10 ms blocks, ten ticks per block
    {
        rig.fin.renderWavePlayer (left.data(), right.data(), 480, 48000.0);
        tick (rig.fin, 10);
    }
    EXPECT_NEAR (rig.fin.playPosition.load(), 48000.0, 480.0);
}

TEST (FinalizerPlayer, TheEndOfTheFileReachesThePlayButtonWithoutAPost)
{
    FinalizerRig rig;
    rig.fin.loadWavePlayerFile (writeTestWav ("end.wav", 300, 48000.0));
    rig.fin.playing = true;
    rig.fin.playButton.setToggleState (true, juce::dontSendNotification);

    std::vector<float> left (512, 0.0f), right (512, 0.0f);
    int written = 0;
    {
        testing_rt::RealtimeScope scope;
        written = rig.fin.renderWavePlayer (left.data(), right.data(), 512, 48000.0);
        if (testing_rt::trapAvailable())
        {
            EXPECT_TRUE (scope.counts().clean());
        }
    }
    EXPECT_EQ (written, 300);
    EXPECT_EQ (left[300], 0.0f);
    EXPECT_FALSE (rig.fin.wavePlayerPlaying());
    EXPECT_TRUE (rig.fin.playButton.getToggleState());

    rig.fin.timerCallback();
    EXPECT_FALSE (rig.fin.playButton.getToggleState());
}

TEST (FinalizerPlayer, ChooserRoadLoadsOnlyWhatItCanPlay)
{
    audiofixtures::ScratchFolder scratch;
    FinalizerRig rig;
    auto& fin = rig.fin;
    int callbacks = 0;
    juce::File announced;
    fin.onFileLoaded = [&] (const juce::File& f) { ++callbacks; announced = f; };

    const auto first = scratch.file ("first.wav");
    ASSERT_TRUE (audiofixtures::writeWav (first, 44100.0, 2, 3000, audiofixtures::sine (440.0, 44100.0)));
    fin.issueMarkers.emplace_back().kind = 2;
    fin.mixAnalyser.baselineCount = 300;
    fin.playing = true;
    fin.playPosition = 1200.0;
    fin.playButton.setToggleState (true, juce::dontSendNotification);

    fin.loadChosenFile (first);
    EXPECT_EQ (fin.loadedFileName, "first.wav");
    EXPECT_EQ (fin.wavePlayerLength(), 3000);
    EXPECT_EQ (callbacks, 1);
    EXPECT_EQ (announced, first);
    EXPECT_FALSE (fin.wavePlayerPlaying());
    EXPECT_FALSE (fin.playButton.getToggleState());
    EXPECT_EQ (fin.playPosition.load(), 0.0);
    EXPECT_TRUE (fin.issueMarkers.empty());
    EXPECT_EQ (fin.mixAnalyser.baselineCount, 0);
    EXPECT_EQ (fin.waveOverview.size(), 4000u);

    // Whatever fails leaves name, audio and callback count as they were.
    const auto notAudio = scratch.file ("notes.txt");
    notAudio.replaceWithText ("not audio");
    const auto unreadable = scratch.file ("broken.wav");
    unreadable.replaceWithText ("RIFF....WAVEfmt but nothing a reader accepts");
    // A readable header whose rate is 0: a player would never advance through it.
    const auto zeroRate = scratch.file ("zero-rate.wav");
    {
        juce::MemoryBlock bytes;
        first.loadFileAsData (bytes);
        const auto fmt = (int) std::string (static_cast<const char*> (bytes.getData()), juce::jmin<size_t> (bytes.getSize(), 512)).find ("fmt ");
        ASSERT_GT (fmt, 0);
        for (int i = 0; i < 4; ++i)
            bytes[(size_t) (fmt + 12 + i)] = 0;
        zeroRate.replaceWithData (bytes.getData(), bytes.getSize());
    }
    const auto source = fin.getWavePlayer().getSource();

    for (const auto& file : { notAudio, unreadable, zeroRate, scratch.file ("missing.wav"), scratch.folder, juce::File() })
    {
        SCOPED_TRACE (file.getFullPathName());
        fin.loadChosenFile (file);
        EXPECT_EQ (fin.loadedFileName, "first.wav");
        EXPECT_EQ (fin.getWavePlayer().getSource(), source);
        EXPECT_EQ (callbacks, 1);
    }

    // A cancelled chooser hands back no file at all.
    juce::FileChooser cancelled ("Load Pre-Master Audio");
    fin.loadChosenFile (cancelled);
    EXPECT_EQ (callbacks, 1);

    // The chooser road keeps the player's cap too.
    fin.maxPlayerFrames = 1000;
    fin.loadChosenFile (writeTestWav ("capped.wav", 5000, 44100.0));
    EXPECT_EQ (fin.wavePlayerLength(), 1000);
    EXPECT_EQ (fin.loadedFileName, "capped.wav");
    EXPECT_EQ (callbacks, 2);
}

TEST (FinalizerPlayer, OverviewHoldsThePeakOfEachWholeSegment)
{
    audiofixtures::ScratchFolder scratch;

    // One spike per file; with 40,000 frames segment 1 covers frames 10 to 19.
    struct Case { int frames, spikeFrame, channel; float spike; int point; };
    for (const auto& c : { Case { 3999, 15, 0, -0.5f, -1 }, Case { 40000, 15, 1, -0.5f, 1 },
                           Case { 40000, 39999, 0, 0.75f, 3999 }, Case { 40005, 40002, 0, 0.75f, -1 } })
    {
        SCOPED_TRACE (juce::String (c.frames) + " frames, spike at " + juce::String (c.spikeFrame));
        FinalizerRig rig;
        const auto file = scratch.file ("overview" + juce::String (c.frames) + "_" + juce::String (c.spikeFrame) + ".wav");
        ASSERT_TRUE (audiofixtures::writeWav (file, 48000.0, 2, c.frames, [&] (int ch, int i)
        {
            return ch == c.channel && i == c.spikeFrame ? c.spike : 0.0f;
        }, 32));

        rig.fin.loadChosenFile (file);
        ASSERT_EQ (rig.fin.waveOverview.size(), 4000u);
        for (int k = 0; k < 4000; ++k)
            ASSERT_EQ (rig.fin.waveOverview[(size_t) k], k == c.point ? std::abs (c.spike) : 0.0f) << k;
    }
}

TEST (FinalizerPlayer, PlayOffAndStopReturnToTheStart)
{
    FinalizerRig rig;
    auto& fin = rig.fin;
    fin.loadWavePlayerFile (writeTestWav ("transport.wav", 48000 * 13, 48000.0, 1));

    fin.playButton.setToggleState (true, juce::sendNotificationSync);
    EXPECT_TRUE (fin.wavePlayerPlaying());
    fin.playPosition = 12.0 * 48000.0;

    fin.playButton.setToggleState (false, juce::sendNotificationSync);
    EXPECT_FALSE (fin.wavePlayerPlaying());
    EXPECT_EQ (fin.playPosition.load(), 0.0);

    fin.playButton.setToggleState (true, juce::sendNotificationSync);
    fin.playPosition = 1000.0;
    fin.stopButton.triggerClick();
    test_support::pumpFor (50);
    EXPECT_FALSE (fin.wavePlayerPlaying());
    EXPECT_FALSE (fin.playButton.getToggleState());
    EXPECT_EQ (fin.playPosition.load(), 0.0);

    fin.loopButton.setToggleState (true, juce::sendNotificationSync);
    EXPECT_TRUE (fin.looping.load());
}
