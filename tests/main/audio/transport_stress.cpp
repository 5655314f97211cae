#include <gtest/gtest.h>

#include "main/audio/TransportEngine.h"
#include "support/AudioFixtures.h"
#include "support/StressDeadline.h"

#include <atomic>
#include <thread>

// Loads, mode switches and transport commands on this thread while another renders blocks, as
// the message thread and the audio thread do. The renderer must never read a copy while it is
// replaced (the sanitizer builds watch for that) and every sample it produces must be finite
// and within the files' own range.
TEST (TransportEngineStress, LoadsAndModeSwitchesWhileRendering)
{
    TransportEngine engine;
    engine.prepareToPlay (512, 44100.0);
    engine.setSource (audiofixtures::decoded (2, 3000, 48000.0, audiofixtures::sine (220.0, 48000.0)));
    engine.setLoopEnabled (true);
    engine.start();

    std::atomic<bool> controlDone { false };
    std::atomic<int> blocksRendered { 0 };
    std::atomic<bool> outOfRange { false };
    const stress::Deadline deadline;
    bool stalled = false;

    std::thread audio ([&]
    {
        juce::AudioBuffer<float> buffer (2, 512);
        juce::ScopedNoDenormals noDenormals;

        // Keep going until the controls are done, and at least long enough to overlap them.
        for (int block = 0; ! controlDone.load() || block < 20000; ++block)
        {
            const int n = (block % 3 == 0) ? 64 : 512;
            engine.renderBlock (juce::AudioSourceChannelInfo (&buffer, 0, n));
            engine.handleLoopAndEnd();

            for (int c = 0; c < 2; ++c)
                for (int i = 0; i < n; ++i)
                {
                    const auto x = buffer.getSample (c, i);

                    if (! std::isfinite (x) || std::abs (x) > 0.5001f)
                        outOfRange = true;
                }

            blocksRendered.fetch_add (1);
        }
    });

    stalled |= ! deadline.waitFor (blocksRendered, 1);

    for (int round = 0; round < 200; ++round)
    {
        const int frames = 500 + (round * 37) % 4000;
        const double rate = (round % 2 == 0) ? 44100.0 : 96000.0;
        const int channels = 1 + round % 2;
        engine.setSource (audiofixtures::decoded (channels, frames, rate, audiofixtures::sine (110.0 + round, rate)));

        engine.setReverseMode (round % 3 == 0);
        engine.setPlayRevMode (round % 4 == 1);
        engine.choosePlayRevOrder (1 + round % 2);
        engine.setPitchPlaybackRate (round % 5 == 0 ? 1.0f : 0.5f + 0.1f * (float) (round % 7));
        engine.setLoopEnabled (round % 6 != 0);
        engine.setLoopRange (round % 8 == 0, 0.001, 0.01);
        engine.setLoopSelectionShown (round % 2 == 0);

        engine.togglePlayPause();
        engine.seek (0.002 * (round % 5));

        if (round % 10 == 9)
            engine.stopAndRewind();
        else if (! engine.isPlaying())
            engine.togglePlayPause();

        engine.takeEndNotice();
        engine.finishPlayRevPass();
        juce::ignoreUnused (engine.getPlaybackPosition(), engine.getDisplayPosition());

        // Spread the rounds over the whole render run.
        stalled |= ! deadline.waitFor (blocksRendered, round * 100);
    }

    controlDone = true;
    audio.join();

    EXPECT_FALSE (stalled) << "the renderer stopped making progress";
    EXPECT_FALSE (outOfRange.load());
    EXPECT_GE (blocksRendered.load(), 20000);
}
