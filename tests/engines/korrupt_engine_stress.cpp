#include <gtest/gtest.h>

#include "engines/KorruptEngine.h"
#include "support/RealtimeTrap.h"
#include "support/StressDeadline.h"

#include <atomic>
#include <cmath>
#include <thread>
#include <vector>

// The menu and the knob switch the engine, move its level and ask for resets while a second
// thread renders through it, as the audio device does. Every request is taken by the renderer;
// nothing it writes may leave non-finite or allocate.
TEST (KorruptEngineStress, TogglesAndReseedsWhileRendering)
{
    KorruptEngine engine;
    engine.setClockSeed (5ull);
    engine.prepare (48000.0, 512);

    std::atomic<bool> stop { false };
    std::atomic<int> blocksRendered { 0 }, badBlocks { 0 }, dirtyBlocks { 0 };

    std::thread audio ([&]
    {
        std::vector<float> left (512), right (512);
        std::uint32_t seed = 1;
        bool warm = false;
        while (! stop.load())
        {
            const int n = (seed % 2 == 0) ? 64 : 512;
            for (int i = 0; i < n; ++i)
            {
                seed = seed * 1664525u + 1013904223u;
                left[(size_t) i] = (float) (seed >> 8) / 8388608.0f - 1.0f;
                right[(size_t) i] = -left[(size_t) i];
            }

            {
                testing_rt::RealtimeScope scope;
                engine.serviceRequests();
                engine.process (left.data(), right.data(), n);
                if (warm && ! scope.counts().clean())
                    dirtyBlocks.fetch_add (1);
            }
            warm = true;

            for (int i = 0; i < n; ++i)
                if (! std::isfinite (left[(size_t) i]) || ! (std::abs (right[(size_t) i]) <= 1.25f))
                {
                    badBlocks.fetch_add (1);
                    break;
                }
            blocksRendered.fetch_add (1);
        }
    });

    const stress::Deadline deadline;
    for (int edit = 0; (edit < 10000 || blocksRendered.load() < 2000) && ! deadline.passed(); ++edit)
    {
        if (edit % 3 == 0)
        {
            const bool wasOn = engine.active.load();
            engine.active = ! wasOn;
            if (wasOn)
                engine.requestSoftReset();
        }
        engine.setLevelFromKnob (edit % 11);
        engine.requestReseed ((edit * 7) % 11);
        if (edit % 100 == 0)
            std::this_thread::yield();
    }

    stop = true;
    audio.join();

    EXPECT_GT (blocksRendered.load(), 0);
    EXPECT_EQ (badBlocks.load(), 0);
    EXPECT_EQ (dirtyBlocks.load(), 0);

    // With the engine off and a reset asked for, one block leaves it cleared.
    engine.active = false;
    engine.requestSoftReset();
    std::vector<float> l (64, 0.0f), r (64, 0.0f);
    engine.process (l.data(), r.data(), 64);
    EXPECT_EQ (engine.amount.load(), 0.0f);
    EXPECT_EQ (engine.level.load(), 0);
    for (const auto& visits : engine.levelVisits)
        EXPECT_EQ (visits.load(), 0);
}
