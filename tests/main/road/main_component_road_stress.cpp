#include <gtest/gtest.h>

#include "main/MainComponentChainAccess.h"
#include "main/road/MainComponentRoadAccess.h"
#include "support/AudioFixtures.h"
#include "support/StressDeadline.h"

#include <atomic>
#include <thread>

// File loads, REV and PlayRev toggles and transport buttons on the message thread while a
// second thread pulls blocks through the window's audio callback, as the device does. A block
// must never read a copy that a load is replacing, and every sample that leaves is finite and
// within the files' range.
TEST (MainComponentRoadStress, LoadsAndModeTogglesWhileTheDeviceRenders)
{
    audiofixtures::ScratchFolder scratch;
    const juce::File files[] = { scratch.file ("a.wav"), scratch.file ("b.wav"), scratch.file ("c.wav") };
    ASSERT_TRUE (audiofixtures::writeWav (files[0], 48000.0, 2, 6000, audiofixtures::sine (220.0, 48000.0), 32));
    ASSERT_TRUE (audiofixtures::writeWav (files[1], 44100.0, 1, 3000, audiofixtures::sine (330.0, 44100.0), 32));
    ASSERT_TRUE (audiofixtures::writeWav (files[2], 96000.0, 2, 9000, audiofixtures::sine (440.0, 96000.0), 32));

    MainComponent mc;
    mc.shutdownAudio();
    mc.prepareToPlay (512, 48000.0);
    MainComponentChainAccess (mc).keepChainOut();   // the level bound below is the files' own
    MainComponentRoadAccess a (mc);
    a.load (files[0]);
    a.setLoop (true);
    a.click (a.playButton());

    std::atomic<bool> controlDone { false };
    std::atomic<int> blocksRendered { 0 };
    std::atomic<bool> outOfRange { false };
    const stress::Deadline deadline;
    bool stalled = false;

    std::thread device ([&]
    {
        juce::AudioBuffer<float> buffer (2, 512);

        for (int block = 0; ! controlDone.load() || block < 20000; ++block)
        {
            const int n = (block % 3 == 0) ? 64 : 512;
            buffer.clear();
            mc.getNextAudioBlock (juce::AudioSourceChannelInfo (&buffer, 0, n));

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

    for (int round = 0; round < 200; ++round)
    {
        if (round % 4 == 0)
            a.load (files[(round / 4) % 3]);

        a.setRev (round % 3 == 0);
        a.setPlayRev (round % 5 == 1);
        a.playRevMenu (1 + round % 2);
        a.pitch (round % 7 == 0 ? -0.5f : 0.0f);

        if (! a.isPlaying())
            a.click (a.playButton());

        if (round % 9 == 8)
            a.click (a.stopButton());

        a.poll();

        stalled |= ! deadline.waitFor (blocksRendered, round * 100);
    }

    controlDone = true;
    device.join();

    EXPECT_FALSE (stalled) << "the device thread stopped making progress";
    EXPECT_FALSE (outOfRange.load());
    EXPECT_GE (blocksRendered.load(), 20000);
}
