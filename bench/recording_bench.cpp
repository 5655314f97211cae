// The recording panel's capture path on the audio thread: "App Audio" recording at 48 kHz, the
// take growing from the first block (it reaches its cap after 300 s, beyond every run here),
// with the meter fed; 64- and 512-sample blocks.

#include "BenchSupport.h"

#include "recording/TakeCapture.h"

#include <memory>

namespace
{
    void BM_Recording_Capture_Recording (benchmark::State& state)
    {
        const int blockSize = (int) state.range (0);

        auto meter = std::make_unique<CaptureMeterState>();
        auto capture = std::make_unique<TakeCapture>();
        capture->meter = meter.get();
        capture->prepare (blockSize);
        capture->inputGain = 1.5f;
        capture->beginTake();

        const auto& stimulus = bench::stimulus();
        const auto pushBlock = [&] (int block)
        {
            const int start = bench::blockStart (block, blockSize);
            capture->pushSamples (stimulus.left.data() + start, stimulus.right.data() + start, blockSize);
            benchmark::DoNotOptimize (meter->levelLeft.load (std::memory_order_relaxed));
        };

        const auto silenceRatio = bench::silenceRatio (blockSize, pushBlock);
        bench::measureBlocks (state, bench::sampleRate, blockSize, bench::stimulusSeconds, pushBlock);
        state.counters["silence_ratio"] = silenceRatio;
    }
}

BENCHMARK (BM_Recording_Capture_Recording)->Apply (bench::audioCase);
