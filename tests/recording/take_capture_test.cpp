#include "recording/TakeCapture.h"

#include "support/RealtimeTrap.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

namespace
{
    /** A constant block whose RMS is `level` on both sides. */
    std::vector<float> constantBlock (int n, float level) { return std::vector<float> ((size_t) n, level); }

    /** A ramp that says where each sample came from: the k-th sample pushed is k. */
    struct Counter
    {
        int next = 0;

        void push (TakeCapture& capture, int n)
        {
            std::vector<float> left ((size_t) n), right ((size_t) n);

            for (int i = 0; i < n; ++i)
            {
                left[(size_t) i] = (float) (next + i);
                right[(size_t) i] = -(float) (next + i);
            }

            next += n;
            capture.pushSamples (left.data(), right.data(), n);
        }
    };

    struct CaptureWithMeter
    {
        CaptureWithMeter() { capture->meter = meter.get(); }

        std::unique_ptr<CaptureMeterState> meter = std::make_unique<CaptureMeterState>();
        std::unique_ptr<TakeCapture> capture = std::make_unique<TakeCapture>();
    };
}

TEST (CaptureMeter, PeakDecaysPerCallAndTheLampHoldsForSixtyCalls)
{
    CaptureMeterState meter;
    meter.setLevels (1.0f, 0.0f);
    meter.setLevels (0.0f, 0.0f);

    EXPECT_FLOAT_EQ (meter.peakLeft.load(), 0.95f);
    EXPECT_TRUE (meter.clipLeft.load());
    EXPECT_EQ (meter.clipHoldLeft.load(), 59);
    EXPECT_FALSE (meter.clipRight.load());

    for (int i = 0; i < 58; ++i)
        meter.setLevels (0.0f, 0.0f);

    EXPECT_TRUE (meter.clipLeft.load()) << "still lit after 59 quiet calls";
    meter.setLevels (0.0f, 0.0f);
    EXPECT_FALSE (meter.clipLeft.load()) << "out on the 60th";
    EXPECT_EQ (meter.clipHoldLeft.load(), 0);
}

TEST (TakeCapture, ClipLampsFollowTheBlockRmsOrAnyFullScaleSample)
{
    struct Case
    {
        const char* name;
        float leftLevel, rightLevel;
        int spikeIndex;   // -1: none; else a sample at -1.0 in the left channel
        bool leftLit, rightLit;
    };

    const Case cases[] = {
        { "RMS 0.99 left only lights the left lamp", 0.99f, 0.0f, -1, true, false },
        { "RMS 0.98 with one sample at -1.0 lights both", 0.98f, 0.0f, 7, true, true },
        { "one sample at full scale in silence lights both", 0.0f, 0.0f, 100, true, true },
        { "RMS 0.98 alone lights nothing", 0.98f, 0.98f, -1, false, false },
    };

    for (const auto& c : cases)
    {
        CaptureWithMeter rig;
        auto left = constantBlock (512, c.leftLevel);
        auto right = constantBlock (512, c.rightLevel);

        if (c.spikeIndex >= 0)
            left[(size_t) c.spikeIndex] = -1.0f;

        rig.capture->pushSamples (left.data(), right.data(), 512);

        EXPECT_EQ (rig.meter->clipLeft.load(), c.leftLit) << c.name;
        EXPECT_EQ (rig.meter->clipRight.load(), c.rightLit) << c.name;
        EXPECT_TRUE (rig.meter->dirty.load()) << c.name;

        if (c.rightLit && c.spikeIndex >= 0)
        {
            EXPECT_EQ (rig.meter->clipHoldRight.load(), 60) << c.name;
        }
    }
}

TEST (TakeCapture, OnlyABlockAboveMinusSixtyDbResetsTheSilenceCount)
{
    struct Case { float level; bool resets; };
    const Case cases[] = { { 0.0009f, false }, { 0.0011f, true }, { 0.0f, false }, { 0.5f, true } };

    for (const auto& c : cases)
    {
        TakeCapture capture;
        capture.silentTicks = 42;
        const auto quiet = constantBlock (256, 0.0f);
        const auto block = constantBlock (256, c.level);
        capture.pushSamples (quiet.data(), block.data(), 256);   // the louder side decides

        EXPECT_EQ (capture.silentTicks.load() == 0, c.resets) << c.level;
    }
}

TEST (TakeCapture, TheTakeGrowsOnlyWhileRecordingWithoutCountdownAndCarriesTheGain)
{
    TakeCapture capture;
    Counter counter;

    counter.push (capture, 64);
    EXPECT_EQ (capture.takeLength(), 0u) << "nothing before a take begins";

    capture.inputGain = 2.0f;
    capture.beginTake();
    EXPECT_EQ (capture.takeLength(), 0u);
    counter.push (capture, 100);
    EXPECT_EQ (capture.takeLength(), 100u);

    // A stop countdown holds the take at the moment of the press; cancelling it resumes it.
    capture.countdownActive = true;
    counter.push (capture, 50);
    EXPECT_EQ (capture.takeLength(), 100u);
    capture.countdownActive = false;
    counter.push (capture, 10);
    ASSERT_EQ (capture.takeLength(), 110u);

    EXPECT_FLOAT_EQ (capture.leftSamples()[0], 2.0f * 64.0f);
    EXPECT_FLOAT_EQ (capture.rightSamples()[0], -2.0f * 64.0f);
    EXPECT_FLOAT_EQ (capture.leftSamples()[100], 2.0f * 214.0f) << "resumes with the block after the countdown";

    capture.endTake();
    counter.push (capture, 10);
    EXPECT_EQ (capture.takeLength(), 110u);

    // A new take starts empty and holds only what came after it began.
    capture.beginTake();
    EXPECT_EQ (capture.takeLength(), 0u);
    counter.push (capture, 5);
    ASSERT_EQ (capture.takeLength(), 5u);
    EXPECT_FLOAT_EQ (capture.leftSamples()[0], 2.0f * 234.0f);
}

TEST (TakeCapture, AFullTakeDropsFurtherSamplesAndKeepsRecording)
{
    TakeCapture capture;
    capture.beginTake();

    const auto block = constantBlock (8192, 0.25f);
    const auto blocks = TakeCapture::maxTakeFrames / 8192 + 2;

    for (size_t i = 0; i < blocks; ++i)
        capture.pushSamples (block.data(), block.data(), 8192);

    EXPECT_EQ (capture.takeLength(), TakeCapture::maxTakeFrames);
    EXPECT_TRUE (capture.isRecording.load());
    EXPECT_FLOAT_EQ (capture.leftSamples()[TakeCapture::maxTakeFrames - 1], 0.25f);
}

TEST (TakeCapture, ALongBlockIsTakenInChunksWithoutAllocatingOrLocking)
{
    CaptureWithMeter rig;
    rig.capture->prepare (512);
    rig.capture->beginTake();

    // A 16384-sample block, twice the work buffers: RMS and peak are of the whole block.
    std::vector<float> left (16384, 0.0f), right (16384, 0.0f);
    for (size_t i = 8192; i < left.size(); ++i)
        left[i] = 0.5f;
    right[16000] = 1.0f;

    rig.capture->pushSamples (left.data(), right.data(), 512);   // warm-up
    {
        testing_rt::RealtimeScope scope;
        rig.capture->pushSamples (left.data(), right.data(), 16384);
        EXPECT_TRUE (scope.counts().clean());
    }

    EXPECT_EQ (rig.capture->takeLength(), 512u + 16384u);
    EXPECT_FLOAT_EQ (rig.capture->leftSamples()[512 + 16383], 0.5f);
    EXPECT_NEAR (rig.meter->levelLeft.load(), std::sqrt (0.125f), 1e-6f);
    EXPECT_TRUE (rig.meter->clipRight.load()) << "the full-scale sample in the second chunk";
}

TEST (TakeCapture, PlaybackAddsTheTakeThenEndsWithOneNotice)
{
    TakeCapture capture;
    capture.beginTake();
    Counter counter;
    counter.push (capture, 300);
    capture.endTake();

    capture.startPlayback();
    std::vector<float> left (256, 1.0f), right (256, 0.0f);

    testing_rt::RealtimeScope scope;
    capture.mixPlayback (left.data(), right.data(), 256);
    EXPECT_FLOAT_EQ (left[0], 1.0f);
    EXPECT_FLOAT_EQ (left[255], 256.0f);
    EXPECT_FLOAT_EQ (right[255], -255.0f);
    EXPECT_TRUE (capture.isPlayingTake.load());
    EXPECT_FALSE (capture.takePlaybackEndedNotice());

    std::fill (left.begin(), left.end(), 0.0f);
    capture.mixPlayback (left.data(), right.data(), 256);
    EXPECT_FLOAT_EQ (left[43], 299.0f);
    EXPECT_FLOAT_EQ (left[44], 0.0f) << "nothing past the end of the take";
    EXPECT_FALSE (capture.isPlayingTake.load());
    EXPECT_EQ (capture.playbackPosition.load(), 300u);
    EXPECT_TRUE (scope.counts().clean());

    EXPECT_TRUE (capture.takePlaybackEndedNotice());
    EXPECT_FALSE (capture.takePlaybackEndedNotice()) << "taken once";

    // PLAY again starts from the first sample, even if the audio thread had moved on.
    capture.startPlayback();
    std::fill (left.begin(), left.end(), 0.0f);
    capture.mixPlayback (left.data(), right.data(), 4);
    EXPECT_FLOAT_EQ (left[3], 3.0f);
}

TEST (TakeCapture, PlaybackOfAnEmptyTakeDoesNothing)
{
    TakeCapture capture;
    capture.startPlayback();
    std::vector<float> left (64, 0.0f), right (64, 0.0f);
    capture.mixPlayback (left.data(), right.data(), 64);

    EXPECT_FLOAT_EQ (left[0], 0.0f);
    EXPECT_FALSE (capture.takePlaybackEndedNotice());
}
