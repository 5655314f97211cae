// The Korrupt engine switched on at full amount with its frame only (block-rate sources and
// clocks, output safety stage, low-band match and dry blend) and the modulation push the road
// makes before every block, with every target moving; 48 kHz, 64- and 512-sample blocks.

#include "BenchSupport.h"

#include "engines/KorruptEngine.h"

#include <array>
#include <atomic>
#include <memory>

namespace
{
    void BM_Korrupt_Frame_FullAmount (benchmark::State& state)
    {
        const int blockSize = (int) state.range (0);

        auto engine = std::make_unique<KorruptEngine>();
        engine->setClockSeed (1ull);
        engine->prepare (bench::sampleRate, blockSize);
        engine->active = true;
        engine->timerTick();   // the idle tick after switching on frees the gesture slots
        engine->setLevelFromKnob (10);
        engine->safeMode = false;

        std::array<std::atomic<float>, 26> fields {};
        KorruptEngine::TargetFields wiring;
        size_t next = 0;
        for (auto* group : { wiring.stereoUtility.data(), wiring.delayVerb.data() })
            for (size_t i = 0; i < 4; ++i)
                group[i] = &fields[next++];
        for (auto* group : { wiring.distortion.data(), wiring.atomizer.data() })
            for (size_t i = 0; i < 3; ++i)
                group[i] = &fields[next++];
        for (auto& f : wiring.finalizer)
            f = &fields[next++];
        engine->setModulationTargets (wiring);

        // Two seconds of ticks: every target at full intensity, events and gestures running.
        for (int t = 0; t < 60; ++t)
            engine->timerTick();

        juce::AudioBuffer<float> buffer (2, blockSize);
        const auto renderBlock = [&] (int block)
        {
            bench::copyBlock (buffer, bench::blockStart (block, blockSize), blockSize);
            engine->applyModulationTargets();
            engine->process (buffer.getWritePointer (0), buffer.getWritePointer (1), blockSize);
            benchmark::DoNotOptimize (buffer.getReadPointer (0));
        };

        const auto silenceRatio = bench::silenceRatio (blockSize, renderBlock);
        bench::measureBlocks (state, bench::sampleRate, blockSize, bench::stimulusSeconds, renderBlock);
        state.counters["silence_ratio"] = silenceRatio;
    }
}

BENCHMARK (BM_Korrupt_Frame_FullAmount)->Apply (bench::audioCase);
