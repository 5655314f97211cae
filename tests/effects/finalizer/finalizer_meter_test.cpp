#include <gtest/gtest.h>

#include "FinalizerFixture.h"
#include "support/RealtimeTrap.h"

#include <juce_audio_formats/juce_audio_formats.h>

#include <cmath>

namespace
{
    void tick (TavroFinalizer& fin, int times)
    {
        for (int i = 0; i < times; ++i)
            fin.timerCallback();
    }

    juce::File writeTestWav (const juce::String& name, int frames, double rate)
    {
        auto file = juce::File::getSpecialLocation (juce::File::tempDirectory).getChildFile (name);
        file.deleteFile();
        juce::WavAudioFormat wav;
        std::unique_ptr<juce::AudioFormatWriter> writer (
            wav.createWriterFor (new juce::FileOutputStream (file), rate, 2, 16, {}, 0));
        juce::AudioBuffer<float> data (2, frames);
        for (int i = 0; i < frames; ++i)
        {
            data.setSample (0, i, 0.25f * (float) std::sin (i * 0.05));
            data.setSample (1, i, -0.25f * (float) std::sin (i * 0.05));
        }
        writer->writeFromAudioSampleBuffer (data, 0, frames);
        return file;
    }
}

TEST (FinalizerMeters, PeaksFallByTheTickAndTheReadoutFloorsAtMinus100)
{
    FinalizerRig rig;
    rig.makeNeutral();
    rig.hud.setVisible (true);

    rig.run (64, [] (int i) { return i == 10 ? std::pair (1.0f, 0.5f) : std::pair (0.0f, 0.0f); });
    rig.run (512, [] (int) { return std::pair (0.0f, 0.0f); });
    ASSERT_NEAR (rig.fin.peakLeft.load(), 1.0f, 1.0e-6f);

    float expected = rig.fin.peakLeft.load();
    for (int i = 0; i < 1000; ++i)
    {
        rig.fin.timerCallback();
        expected *= 0.9995f;
        ASSERT_EQ (rig.fin.peakLeft.load(), expected) << "tick " << i;
    }
    // About -4.3 dB per second of ticks.
    EXPECT_NEAR (rig.hud.truePeakDb, 20.0f * std::log10 (std::pow (0.9995f, 1000.0f)), 0.01f);
    EXPECT_NEAR (rig.hud.truePeakDb, -4.34f, 0.01f);

    // The right channel started lower, so the readout follows the left until both are gone.
    while (rig.fin.peakLeft.load() >= 1.0e-5f)
        rig.fin.timerCallback();
    EXPECT_GT (rig.fin.peakLeft.load(), 0.0f);
    EXPECT_EQ (rig.hud.truePeakDb, -100.0f);

    rig.fin.peakLeft = 0.0f;
    rig.fin.peakRight = 0.0f;
    rig.fin.timerCallback();
    EXPECT_EQ (rig.hud.truePeakDb, -100.0f);
}

TEST (FinalizerMeters, AHiddenOrMissingDisplayIsLeftAlone)
{
    {
        FinalizerRig rig;
        rig.hud.setVisible (false);
        rig.hud.truePeakDb = 5.0f;
        rig.hud.setHoverText ("x", "y", "z");
        rig.fin.peakLeft = 0.5f;
        tick (rig.fin, 3);
        EXPECT_EQ (rig.hud.truePeakDb, 5.0f);
        EXPECT_TRUE (rig.hud.hoverActive);
        EXPECT_LT (rig.fin.peakLeft.load(), 0.5f);   // the peaks fall all the same
    }
    {
        TavroFinalizer alone (nullptr);
        alone.peakLeft = 0.5f;
        alone.hudButton.triggerClick();
        tick (alone, 3);
        EXPECT_NEAR (alone.peakLeft.load(), 0.5f * std::pow (0.9995f, 3.0f), 1.0e-7f);
    }
}

TEST (FinalizerMeters, AVisibleDisplayGetsTheFixedLoudnessAndNoHover)
{
    FinalizerRig rig;
    rig.hud.setVisible (true);
    rig.hud.setHoverText ("INPUT", "-18..18", "gain");
    rig.hud.integratedLufs = 0.0f;
    rig.fin.peakLeft = 0.5f;

    rig.fin.timerCallback();

    EXPECT_FALSE (rig.hud.hoverActive);
    EXPECT_EQ (rig.hud.integratedLufs, -14.0f);
    EXPECT_EQ (rig.hud.shortTermLufs, -12.0f);
    EXPECT_EQ (rig.hud.momentaryLufs, -10.0f);
    EXPECT_EQ (rig.hud.loudnessRange, 8.0f);
    EXPECT_NEAR (rig.hud.truePeakDb, 20.0f * std::log10 (0.5f * 0.9995f), 1.0e-4f);
}

TEST (FinalizerMeters, MarkersAgeAndExpireInOrder)
{
    FinalizerRig rig;
    auto marker = [] (int kind, float life) { IssueMarker m; m.kind = kind; m.life = life; return m; };

    // Two entries expiring in the same tick, next to each other and apart.
    rig.fin.issueMarkers = { marker (0, 0.0015f), marker (1, 0.0005f), marker (2, 0.0008f), marker (3, 0.5f), marker (4, 0.0009f) };
    rig.fin.timerCallback();
    ASSERT_EQ (rig.fin.issueMarkers.size(), 2u);
    EXPECT_EQ (rig.fin.issueMarkers[0].kind, 0);
    EXPECT_EQ (rig.fin.issueMarkers[1].kind, 3);
    EXPECT_FLOAT_EQ (rig.fin.issueMarkers[1].rise, 0.008f);

    rig.fin.issueMarkers = { marker (7, 3.0f) };
    tick (rig.fin, 2990);
    EXPECT_EQ (rig.fin.issueMarkers.size(), 1u);
    tick (rig.fin, 20);
    EXPECT_TRUE (rig.fin.issueMarkers.empty());
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
