#include <gtest/gtest.h>

#include "engines/KorruptEngine.h"
#include "support/RealtimeTrap.h"
#include "support/StressDeadline.h"

#include <atomic>
#include <cmath>
#include <cstring>
#include <thread>
#include <vector>

// The tick runs on one thread while another renders blocks and pushes the modulation before
// each, as the message thread and the audio device do. Every set a block pushes must be one a
// tick finished, never a mix of two ticks; the push and the block allocate nothing.
TEST (KorruptControlStress, EveryPushedSetIsOneWholeTick)
{
    constexpr int maxTicks = 20000;

    KorruptEngine engine;
    engine.setClockSeed (17ull);
    engine.prepare (48000.0, 256);

    std::array<std::atomic<float>, 26> fields {};
    KorruptEngine::TargetFields wiring;
    size_t next = 0;
    for (auto& f : wiring.stereoUtility) f = &fields[next++];
    for (auto& f : wiring.delayVerb) f = &fields[next++];
    for (auto& f : wiring.distortion) f = &fields[next++];
    for (auto& f : wiring.atomizer) f = &fields[next++];
    for (auto& f : wiring.finalizer) f = &fields[next++];
    engine.setModulationTargets (wiring);

    engine.active = true;
    engine.timerTick();   // frees the gesture slots
    engine.amount = 1.0f;
    engine.lcgState = 3u;

    // What each tick published, recorded by the ticking thread before it announces the tick.
    std::vector<KorruptEngine::TargetSet> history ((size_t) maxTicks + 2);
    std::atomic<int> recorded { 0 };
    std::atomic<bool> stop { false };
    std::atomic<int> blocks { 0 }, torn { 0 }, dirty { 0 }, checked { 0 }, badSamples { 0 };
    const auto baseTick = (int) engine.lastPublishedTargets().tick;

    std::thread audio ([&]
    {
        std::vector<float> left (256), right (256);
        bool warm = false;
        while (! stop.load())
        {
            for (size_t i = 0; i < left.size(); ++i)
            {
                left[i] = 0.3f * std::sin (0.01f * (float) (i + (size_t) blocks.load()));
                right[i] = -left[i];
            }

            {
                testing_rt::RealtimeScope scope;
                engine.serviceRequests();
                engine.applyModulationTargets();
                engine.process (left.data(), right.data(), 256);
                if (warm && ! scope.counts().clean())
                    dirty.fetch_add (1);
            }
            warm = true;

            const auto& pushed = engine.lastPushedTargets();
            const int tick = (int) pushed.tick - baseTick;
            if (tick > 0 && tick <= recorded.load (std::memory_order_acquire))
            {
                if (std::memcmp (&pushed, &history[(size_t) tick], sizeof (pushed)) != 0)
                    torn.fetch_add (1);
                checked.fetch_add (1);
            }

            for (float v : left)
                if (! std::isfinite (v))
                {
                    badSamples.fetch_add (1);
                    break;
                }
            blocks.fetch_add (1);
        }
    });

    const stress::Deadline deadline;
    for (int t = 1; t <= maxTicks && ! deadline.passed(); ++t)
    {
        // The knob and the menu keep writing while the tick runs.
        if (t % 997 == 0)
            engine.setLevelFromKnob (t % 11);
        engine.amount = (t / 500) % 4 == 3 ? 0.3f : 1.0f;

        engine.timerTick();
        history[(size_t) ((int) engine.lastPublishedTargets().tick - baseTick)] = engine.lastPublishedTargets();
        recorded.store ((int) engine.lastPublishedTargets().tick - baseTick, std::memory_order_release);

        if (t % 64 == 0)
            std::this_thread::yield();
        if (t > maxTicks / 2 && checked.load() < 100)
            deadline.waitFor (blocks, blocks.load() + 1);
    }

    stop = true;
    audio.join();

    EXPECT_GT (checked.load(), 100);
    EXPECT_EQ (torn.load(), 0);
    EXPECT_EQ (dirty.load(), 0);
    EXPECT_EQ (badSamples.load(), 0);
    for (const auto& f : fields)
        EXPECT_TRUE (std::isfinite (f.load()));
}
