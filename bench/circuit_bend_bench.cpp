// The circuit bend on its own at its worst case: every corruption active (full bend) at full
// amount, 48 kHz, 64- and 512-sample blocks.

#include "BenchSupport.h"

#include "main/audio/CircuitBend.h"

namespace
{
    void BM_CircuitBend_FullBend (benchmark::State& state)
    {
        const int blockSize = (int) state.range (0);

        CircuitBend bend (1);
        bend.prepare (bench::sampleRate, blockSize);
        bend.mode = CircuitBend::fullBend;
        bend.amount = 100.0f;

        juce::AudioBuffer<float> buffer (2, blockSize);

        bench::measureEffect (state, blockSize, [&] (int block)
        {
            bench::copyBlock (buffer, bench::blockStart (block, blockSize), blockSize);
            bend.process (buffer, 0, blockSize);
            benchmark::DoNotOptimize (buffer.getReadPointer (0));
        });
    }
}

BENCHMARK (BM_CircuitBend_FullBend)->Apply (bench::audioCase);
