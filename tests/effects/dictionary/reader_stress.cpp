#include <gtest/gtest.h>

#include "effects/dictionary/DictionaryReader.h"
#include "support/EffectTestKit.h"
#include "support/StressDeadline.h"

#include <atomic>
#include <thread>

// The message thread replaces the text, reads, shoves and relaxes the engines while a second
// thread, the device, renders the reader and now and then prepares it again between blocks.
// The device side never touches the words: it sees only their count.
TEST (ReaderStress, TokenizingAndPreparingWhileRenderingStaysFinite)
{
    DictionaryReader reader (nullptr);
    reader.prepare (48000.0);
    reader.mixKnob.setValue (100.0, juce::sendNotificationSync);
    for (auto* b : { &reader.microPitchButton, &reader.granularButton, &reader.halfTimeButton, &reader.readButton })
        b->setToggleState (true, juce::sendNotificationSync);

    std::atomic<bool> stop { false };
    std::atomic<int> blocksRendered { 0 }, prepares { 0 }, badBlocks { 0 };

    std::thread device ([&]
    {
        juce::AudioBuffer<float> small (2, 64), large (2, 512);
        std::uint32_t seed = 1;
        while (! stop.load())
        {
            if (seed % 97 == 0)
            {
                reader.getProcessor().prepare (seed % 2 == 0 ? 44100.0 : 48000.0, 512);
                prepares.fetch_add (1);
            }

            auto& block = (seed % 2 == 0) ? small : large;
            effect_kit::fillInput (block, effect_kit::InputKind::noise, seed++);
            reader.process (block.getWritePointer (0), block.getWritePointer (1), block.getNumSamples());
            if (! (effect_kit::peakOrInfinity (block) <= 1.0f))
                badBlocks.fetch_add (1);
            blocksRendered.fetch_add (1);
        }
    });

    const char* texts[] = { "", "one", "the quick brown fox", "Unkindness overpaid singer, softly; replay!",
                            " ... ", "alpha beta gamma delta epsilon zeta eta theta" };
    const stress::Deadline deadline;
    for (int edit = 0; (edit < 1000 || prepares.load() < 100) && ! deadline.passed(); ++edit)
    {
        reader.tokenize (texts[edit % 6]);
        reader.timerCallback();
        if (edit % 3 == 0)
            reader.shove();
        if (edit % 11 == 0)
            reader.resetEngineState();
        reader.wordCountTotal = 1;
    }

    stop = true;
    device.join();

    EXPECT_GE (prepares.load(), 100);
    EXPECT_GT (blocksRendered.load(), 0);
    EXPECT_EQ (badBlocks.load(), 0);

    // The last prepare's request is taken by the next word applied.
    reader.tokenize ("last words");
    reader.wordCountTotal = 1;
    reader.timerCallback();
    reader.timerCallback();
    EXPECT_TRUE (reader.reading.load());
}
