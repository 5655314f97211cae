#include <gtest/gtest.h>

#include "effects/timepro/HeightAndWeight.h"
#include "support/StressDeadline.h"

#include <atomic>
#include <chrono>
#include <memory>
#include <thread>

// TRIGGER pressed from the message thread at random moments while a second thread renders, as
// the audio device does: every press that turns the trigger on must restart the loop exactly
// once, at the frame the following block writes first, however the press falls against a block.
TEST (TimeProTriggerStress, EveryPressRestartsTheLoopOnceAtTheNextBlockStart)
{
    // On the heap: the panel with its processor is large for a test thread's stack.
    auto owner = std::make_unique<HeightAndWeight> (nullptr);
    auto& panel = *owner;
    panel.prepare (48000.0);
    panel.setMode (HeightAndWeight::repeatMode);
    panel.mixKnob.setValue (50.0);

    std::atomic<bool> pressesDone { false };
    std::atomic<int> blocks { 0 }, misplaced { 0 };
    std::atomic<int> onPresses { 0 };
    auto& processor = panel.getProcessor();

    std::thread audio ([&]
    {
        juce::AudioBuffer<float> buffer (2, 96);
        const stress::Deadline deadline;
        while (! deadline.passed())
        {
            const bool lastRound = pressesDone.load();
            const int writeIndexBefore = processor.getHistoryWriteIndex();
            const auto appliedBefore = processor.getAppliedTriggerRequests();

            buffer.clear();
            panel.process (buffer.getWritePointer (0), buffer.getWritePointer (1), buffer.getNumSamples());

            if (processor.getAppliedTriggerRequests() != appliedBefore && processor.getLoopStart() != writeIndexBefore)
                misplaced.fetch_add (1);
            blocks.fetch_add (1);

            // One block after the last press has been made, every request has been seen.
            if (lastRound && (int) processor.getAppliedTriggerRequests() == onPresses.load())
                break;
        }
    });

    juce::Random random (7);
    for (int press = 0; press < 1000; ++press)
    {
        panel.triggerButton.onClick();
        if (panel.triggered.load())
            onPresses.fetch_add (1);
        EXPECT_EQ (panel.triggerButton.getToggleState(), panel.triggered.load());

        if (press % 50 == 49)
            panel.resetToNeutral();   // REVERT turns it off through the same flag

        if (random.nextInt (4) == 0)
            std::this_thread::sleep_for (std::chrono::microseconds (random.nextInt (300)));
        else
            std::this_thread::yield();
    }
    pressesDone = true;
    audio.join();

    EXPECT_GT (onPresses.load(), 400);
    EXPECT_EQ ((int) processor.getAppliedTriggerRequests(), onPresses.load());
    EXPECT_EQ (panel.parameters.triggerRequests.load(), (std::uint32_t) onPresses.load());
    EXPECT_EQ (misplaced.load(), 0);
    EXPECT_GT (blocks.load(), 0);
}
