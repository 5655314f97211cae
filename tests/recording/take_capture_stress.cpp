#include <gtest/gtest.h>

#include "recording/TakeCapture.h"
#include "support/StressDeadline.h"

#include <atomic>
#include <thread>
#include <vector>

// Takes begun and ended on this thread while another pushes blocks and mixes playback, as the
// message thread and the audio thread do. Every sample of block k is k, so a take shows where
// its samples came from: a take must hold only blocks pushed after it began, in order, and the
// two channels must always agree.
TEST (TakeCaptureStress, ThousandBeginFinishCyclesWhileRendering)
{
    TakeCapture capture (1 << 16);
    capture.reserveTake();

    std::atomic<bool> done { false };
    std::atomic<int> blocksStarted { 0 };
    const stress::Deadline deadline;

    std::thread audio ([&]
    {
        std::vector<float> left (512), right (512), outL (512), outR (512);

        for (int block = 1; ! done.load(); ++block)
        {
            const int n = (block % 3 == 0) ? 64 : 512;
            std::fill (left.begin(), left.begin() + n, (float) block);
            std::fill (right.begin(), right.begin() + n, -(float) block);

            blocksStarted.store (block);
            capture.pushSamples (left.data(), right.data(), n);
            capture.mixPlayback (outL.data(), outR.data(), n);
        }
    });

    int badOrigin = 0, badOrder = 0, badPair = 0, stalled = 0;

    for (int cycle = 0; cycle < 1000; ++cycle)
    {
        // Blocks before this one have finished; any later sample must come from here on.
        const int firstAllowed = blocksStarted.load();
        capture.beginTake();

        if (cycle % 4 == 0)
            capture.startPlayback();

        if (! deadline.waitFor (blocksStarted, firstAllowed + 3))
        {
            ++stalled;
            break;
        }

        capture.endTake();
        const auto length = capture.takeLength();
        const auto* left = capture.leftSamples();
        const auto* right = capture.rightSamples();

        for (size_t i = 0; i < length; ++i)
        {
            badOrigin += left[i] < (float) firstAllowed ? 1 : 0;
            badOrder += i > 0 && left[i] < left[i - 1] ? 1 : 0;
            badPair += right[i] != -left[i] ? 1 : 0;
        }

        if (cycle % 7 == 0)
            capture.stopPlayback();
        capture.takePlaybackEndedNotice();
    }

    done = true;
    audio.join();

    EXPECT_EQ (stalled, 0);
    EXPECT_EQ (badOrigin, 0) << "a sample from before its take began";
    EXPECT_EQ (badOrder, 0);
    EXPECT_EQ (badPair, 0) << "the channels disagree";
}
