#include <gtest/gtest.h>

#include "main/audio/AudioEngineRig.h"
#include "support/RealtimeTrap.h"

#include <cmath>
#include <memory>
#include <vector>

// The panel on the main audio road: "App Audio" records the finished output, and the take
// plays back on top of it, with nothing allocated or locked in the blocks.
TEST (RecordingRoad, TheOutputIsRecordedAndTheTakePlaysBackOnTopOfIt)
{
    auto rig = std::make_unique<AudioEngineRig>();
    auto& window = rig->recordingWindow;
    rig->engine.prepare (512, 48000.0, 0);

    juce::AudioBuffer<float> file (2, 48000);
    for (int i = 0; i < file.getNumSamples(); ++i)
        for (int c = 0; c < 2; ++c)
            file.setSample (c, i, 0.25f * std::sin (0.02f * (float) i + (float) c));
    rig->play (file, 48000.0);

    rig->engine.recordingWindowShown = true;
    window.capture.beginTake();

    juce::AudioBuffer<float> block (2, 512);
    const juce::AudioSourceChannelInfo info (&block, 0, 512);
    rig->engine.process (info);   // warm-up

    std::vector<float> heard;
    {
        testing_rt::RealtimeScope scope;
        for (int i = 0; i < 3; ++i)
            rig->engine.process (info);
        EXPECT_TRUE (scope.counts().clean());
    }
    heard.assign (block.getReadPointer (0), block.getReadPointer (0) + 512);

    window.capture.endTake();
    ASSERT_EQ (window.capture.takeLength(), 4u * 512u);
    EXPECT_FLOAT_EQ (window.capture.leftSamples()[3 * 512 + 100], heard[100]) << "the take is what was heard";

    // Played back: the next block carries the take's first samples added to the output.
    rig->engine.recordingWindowShown = false;   // the take is heard but no longer captured
    juce::AudioBuffer<float> withoutTake (2, 512);
    {
        auto copy = std::make_unique<AudioEngineRig>();   // the same road without playback
        copy->engine.prepare (512, 48000.0, 0);
        copy->play (file, 48000.0);
        const juce::AudioSourceChannelInfo copyInfo (&withoutTake, 0, 512);
        for (int i = 0; i < 5; ++i)
            copy->engine.process (copyInfo);
    }

    window.capture.startPlayback();
    {
        testing_rt::RealtimeScope scope;
        rig->engine.process (info);
        EXPECT_TRUE (scope.counts().clean());
    }

    for (const int s : { 0, 1, 257, 511 })
        EXPECT_NEAR (block.getSample (0, s), withoutTake.getSample (0, s) + window.capture.leftSamples()[s], 1e-5f) << s;
    EXPECT_EQ (window.playbackPosition.load(), 512u);
}
