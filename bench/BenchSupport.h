#pragma once

#include "Stimulus.h"

#include <benchmark/benchmark.h>

#include <juce_audio_basics/juce_audio_basics.h>
#include <juce_events/juce_events.h>

#include <algorithm>
#include <ctime>
#include <functional>
#include <sched.h>
#include <vector>

// Shared measurement for the audio benchmarks: per-block thread CPU time, reported as the
// real-time factor, the worst block and its share of the block period, and the silent
// section's cost against the program's.
namespace bench
{
    inline double threadCpuMicros()
    {
        timespec ts {};
        clock_gettime (CLOCK_THREAD_CPUTIME_ID, &ts);
        return (double) ts.tv_sec * 1.0e6 + (double) ts.tv_nsec * 1.0e-3;
    }

    inline void pinToOneCore()
    {
        cpu_set_t set;
        CPU_ZERO (&set);
        CPU_SET (0, &set);
        sched_setaffinity (0, sizeof (set), &set);
        // The move to the chosen core happens at the next scheduling point; take it now,
        // not inside the first timed block.
        sched_yield();
    }

    /** Runs `processBlock` for `seconds` of audio at `sampleRate` in blocks of `blockSize`,
        skipping the first second, and reports rtf, worst_us, worst_share and p999_us. */
    inline void measureBlocks (benchmark::State& state, double sampleRate, int blockSize, double seconds,
                               const std::function<void (int blockIndex)>& processBlock)
    {
        pinToOneCore();
        const int totalBlocks = (int) (seconds * sampleRate / blockSize);
        const int warmUpBlocks = (int) (sampleRate / blockSize);
        std::vector<double> times;
        times.reserve ((size_t) totalBlocks);
        double worst = 0.0, measuredSeconds = 0.0, spent = 0.0;

        for (auto _ : state)
        {
            times.clear();
            for (int block = 0; block < totalBlocks; ++block)
            {
                const auto start = threadCpuMicros();
                processBlock (block);
                const auto elapsed = threadCpuMicros() - start;

                if (block >= warmUpBlocks)
                {
                    times.push_back (elapsed);
                    spent += elapsed;
                    measuredSeconds += blockSize / sampleRate;
                    worst = std::max (worst, elapsed);
                }
            }
            state.SetIterationTime (spent * 1.0e-6);
        }

        std::sort (times.begin(), times.end());
        const double period = 1.0e6 * blockSize / sampleRate;
        state.counters["rtf"] = spent > 0.0 ? measuredSeconds / (spent * 1.0e-6) : 0.0;
        state.counters["worst_us"] = worst;
        state.counters["worst_share"] = worst / period;
        state.counters["p999_us"] = times.empty() ? 0.0 : times[(size_t) ((double) (times.size() - 1) * 0.999)];
    }

    /** One untimed pass over the stimulus: mean block time in the silent section over the mean
        in the program section (past the first second). Near 1 with FTZ/DAZ working; well above
        it, denormals are being computed. 0 when either section had no blocks or took no time. */
    inline double silenceRatio (int blockSize, const std::function<void (int blockIndex)>& processBlock)
    {
        // Move to the measuring core first: the first migration would otherwise land in a block.
        pinToOneCore();

        const int blocksInStimulus = stimulus().numSamples() / blockSize;
        double programUs = 0.0, silentUs = 0.0;
        int programBlocks = 0, silentBlocks = 0;

        for (int block = 0; block < blocksInStimulus; ++block)
        {
            const auto t0 = threadCpuMicros();
            processBlock (block);
            const auto spent = threadCpuMicros() - t0;
            const double at = (double) block * blockSize / sampleRate;

            if (at >= 1.0 && at < 10.0) { programUs += spent; ++programBlocks; }
            else if (at >= 15.0)        { silentUs += spent; ++silentBlocks; }
        }

        return programBlocks > 0 && silentBlocks > 0 && programUs > 0.0
                   ? (silentUs / silentBlocks) / (programUs / programBlocks) : 0.0;
    }

    /** A component alone over the stimulus: the denormal pass, then the timed runs. */
    inline void measureEffect (benchmark::State& state, int blockSize,
                               const std::function<void (int blockIndex)>& processBlock)
    {
        const auto ratio = silenceRatio (blockSize, processBlock);
        measureBlocks (state, sampleRate, blockSize, stimulusSeconds, processBlock);
        state.counters["silence_ratio"] = ratio;
    }

    /** Registration every audio case shares: 64- and 512-sample blocks, five runs, timed by
        measureBlocks. Use as BENCHMARK (fn)->Apply (bench::audioCase). */
    inline void audioCase (benchmark::internal::Benchmark* b)
    {
        b->Arg (64)->Arg (512)->Iterations (5)->UseManualTime();
    }
}
