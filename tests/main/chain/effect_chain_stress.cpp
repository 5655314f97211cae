#include <gtest/gtest.h>

#include "main/chain/BeatClock.h"
#include "main/chain/EffectChain.h"
#include "main/chain/FakeEffects.h"
#include "main/chain/RoutingMenus.h"
#include "support/StressDeadline.h"

#include <atomic>
#include <cmath>
#include <thread>
#include <vector>

namespace
{
    // The edits the routing menus make, in a fixed random sequence: shuffles, random groups,
    // splits, group moves and mode switches. Index 0 is the routing before any edit.
    std::vector<RoutingState> makeEditSequence (int count)
    {
        juce::Random random (20240611);
        std::vector<RoutingState> states { RoutingState {} };
        RoutingState s;

        while ((int) states.size() < count)
        {
            switch (random.nextInt (6))
            {
                case 0: RoutingMenus::applyRoutingMenuResult (s, 30, random); break;
                case 1: RoutingMenus::applyRoutingMenuResult (s, 32, random); break;
                case 2: RoutingMenus::applyRoutingMenuResult (s, 1 + random.nextInt (3), random); break;
                case 3: RoutingMenus::applyGroupEditorResult (s, 1000 * random.nextInt (s.groups.size()) + 400); break;
                case 4: RoutingMenus::applyGroupEditorResult (s, 1000 * random.nextInt (s.groups.size()) + 100 + random.nextInt (9)); break;
                default: RoutingMenus::applySerialOrderResult (s, 100 * random.nextInt (9) + 1 + random.nextInt (4)); break;
            }

            states.push_back (s);
        }

        return states;
    }
}

TEST (EffectChainStress, RoutingEditsWhileRendering)
{
    const auto published = makeEditSequence (30000);

    chain_test::FakeHost host;
    for (int id = 0; id < numEffects; ++id)
        host[id] = { id != 4, 1.0f + 0.125f * (float) id, 0.0625f * (float) (id % 3), id == 6 };

    EffectChain chain;
    chain.prepare (2, 512);

    std::atomic<int> blocksRendered { 0 };
    std::atomic<bool> publisherDone { false };
    int wrongOutputs = 0, unknownStates = 0, nonFinite = 0;
    const stress::Deadline deadline;
    bool stalled = false;

    std::thread renderer ([&]
    {
        juce::AudioBuffer<float> block (2, 512);
        size_t matched = 0;

        // Runs until the publisher is done (and one block more): the publisher waits for blocks,
        // so a block budget that ran out first would leave it waiting for ever.
        for (int b = 0;; ++b)
        {
            const bool last = publisherDone.load();
            const int n = (b % 2 == 0) ? 64 : 512;

            for (int c = 0; c < 2; ++c)
                for (int i = 0; i < n; ++i)
                    block.setSample (c, i, (float) (i % 17) * 0.0625f - 0.5f + (float) c);

            chain.process (host, block, 0, n);

            // The routing this block ran with must be a whole published state, never a mix.
            const auto& used = chain.routingInUse();
            while (matched < published.size() && ! (published[matched] == used))
                ++matched;

            if (matched == published.size())
            {
                ++unknownStates;
                matched = 0;
            }

            for (int c = 0; c < 2; ++c)
                for (int i = 0; i < n; ++i)
                {
                    const float y = block.getSample (c, i);
                    const float x = (float) (i % 17) * 0.0625f - 0.5f + (float) c;
                    nonFinite += std::isfinite (y) ? 0 : 1;
                    wrongOutputs += (y == chain_test::routeSample (used, host, x)) ? 0 : 1;
                }

            blocksRendered.fetch_add (1);

            if (last)
                break;
        }
    });

    stalled |= ! deadline.waitFor (blocksRendered, 1);

    for (size_t i = 1; i < published.size(); ++i)
    {
        chain.publishRouting (published[i]);

        // Let the renderer through now and then, so edits and blocks really interleave.
        if (i % 10 == 0)
            stalled |= ! deadline.waitFor (blocksRendered, blocksRendered.load() + 1);
    }

    publisherDone.store (true);
    renderer.join();

    EXPECT_FALSE (stalled) << "the renderer stopped making progress";
    EXPECT_EQ (unknownStates, 0);
    EXPECT_EQ (wrongOutputs, 0);
    EXPECT_EQ (nonFinite, 0);

    // Once nobody publishes, the next block takes the newest routing.
    EXPECT_TRUE (chain.routingInUse() == published.back());
}

TEST (BeatClockStress, TempoWritesWhileTheClockRuns)
{
    BeatClock clock;
    clock.prepare (44100.0, 512);

    std::atomic<int> blocks { 0 };
    std::atomic<bool> done { false };
    int outOfRange = 0;
    const stress::Deadline deadline;
    bool stalled = false;

    std::thread audio ([&]
    {
        std::vector<float> left (512), right (512);
        // Runs until the writer is done: the writer waits for blocks, so a block budget that
        // ran out first would leave it waiting for ever.
        for (int b = 0; ! done.load(); ++b)
        {
            const int n = (b % 2 == 0) ? 64 : 512;
            for (int i = 0; i < n; ++i)
                left[(size_t) i] = right[(size_t) i] = (b % 8 == 0 && i < 300) ? 0.5f : 0.0f;

            clock.advance (b * 512.0, n);
            clock.processOnsets (left.data(), right.data(), n, b * 512.0);

            const auto tempo = clock.getCurrentTempo();
            const auto beat = clock.getSamplesPerBeat();
            if (! (tempo >= BeatClock::minTempo && tempo <= BeatClock::maxTempo) || ! (beat > 0.0 && std::isfinite (beat)))
                ++outOfRange;

            blocks.fetch_add (1);
        }
    });

    double now = 1000.0;
    for (int i = 0; i < 20000; ++i)
    {
        switch (i % 4)
        {
            case 0: clock.setTargetTempo ((float) (60 + i % 200)); break;
            case 1: clock.setTempoImmediately ((float) (30 + i % 300)); break;
            default: clock.tap (now += 200.0 + (i % 7) * 50.0); break;
        }

        if (i % 100 == 0)
            stalled |= ! deadline.waitFor (blocks, blocks.load() + 1);
    }

    done.store (true);
    audio.join();

    EXPECT_FALSE (stalled) << "the clock thread stopped making progress";
    EXPECT_EQ (outOfRange, 0);
}
