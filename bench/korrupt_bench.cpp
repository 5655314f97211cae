// The Korrupt engine switched on at full amount with its frame only (block-rate sources and
// clocks, output safety stage, low-band match and dry blend), 48 kHz, 64- and 512-sample blocks.

#include "BenchSupport.h"

#include "engines/KorruptEngine.h"

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
        engine->setLevelFromKnob (10);
        engine->safeMode = false;

        juce::AudioBuffer<float> buffer (2, blockSize);
        const auto renderBlock = [&] (int block)
        {
            bench::copyBlock (buffer, bench::blockStart (block, blockSize), blockSize);
            engine->process (buffer.getWritePointer (0), buffer.getWritePointer (1), blockSize);
            benchmark::DoNotOptimize (buffer.getReadPointer (0));
        };

        const auto silenceRatio = bench::silenceRatio (blockSize, renderBlock);
        bench::measureBlocks (state, bench::sampleRate, blockSize, bench::stimulusSeconds, renderBlock);
        state.counters["silence_ratio"] = silenceRatio;
    }
}

BENCHMARK (BM_Korrupt_Frame_FullAmount)->Apply (bench::audioCase);
