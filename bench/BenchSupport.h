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

    /** The cores the process was allowed to run on when it started. */
    inline const cpu_set_t& startingCores()
    {
        static const cpu_set_t cores = []
        {
            cpu_set_t set;
            CPU_ZERO (&set);
            if (sched_getaffinity (0, sizeof (set), &set) != 0)
                for (int cpu = 0; cpu < CPU_SETSIZE; ++cpu)
                    CPU_SET (cpu, &set);
            return set;
        }();

        return cores;
    }

    /** The core every case is measured on: chosen once, at the first call, from where the
        process runs. A mask of one core (taskset -c N) is honoured as given; otherwise the core
        the process happens to be on is kept, so parallel runs on a shared machine do not all
        crowd onto the same fixed core. -1 when no allowed core is known. */
    inline int measuringCore()
    {
        static const int core = []
        {
            const auto& allowed = startingCores();
            const int current = sched_getcpu();

            if (current >= 0 && CPU_ISSET (current, &allowed))
                return current;

            for (int cpu = 0; cpu < CPU_SETSIZE; ++cpu)
                if (CPU_ISSET (cpu, &allowed))
                    return cpu;

            return -1;
        }();

        return core;
    }

    /** Gives the calling thread back every core it started with: for cases that measure work
        spread over threads (the threads it starts inherit its mask). */
    inline void unpin()
    {
        sched_setaffinity (0, sizeof (cpu_set_t), &startingCores());
    }

    inline void pinToOneCore()
    {
        const int core = measuringCore();
        if (core < 0)
            return;

        cpu_set_t set;
        CPU_ZERO (&set);
        CPU_SET (core, &set);
        sched_setaffinity (0, sizeof (set), &set);
        // The move to the chosen core happens at the next scheduling point; take it now,
        // not inside the first timed block.
        sched_yield();
    }

    /** Runs `processBlock` for `seconds` of audio at `sampleRate` in blocks of `blockSize` once
        per benchmark iteration, skipping each run's first second. Reports rtf (the median run's
        audio seconds per CPU second), worst_us and worst_share (the worst block of all runs),
        p999_us (over the blocks of all runs) and first_block_us (the very first block, cold). */
    inline void measureBlocks (benchmark::State& state, double sampleRate, int blockSize, double seconds,
                               const std::function<void (int blockIndex)>& processBlock)
    {
        pinToOneCore();
        const int totalBlocks = (int) (seconds * sampleRate / blockSize);
        const int warmUpBlocks = (int) (sampleRate / blockSize);
        const double measuredSeconds = (totalBlocks - warmUpBlocks) * blockSize / sampleRate;
        std::vector<double> times, runFactors;
        times.reserve ((size_t) std::max (0, totalBlocks - warmUpBlocks) * (size_t) std::max<benchmark::IterationCount> (1, state.max_iterations));
        double worst = 0.0, firstBlock = -1.0;

        for (auto _ : state)
        {
            double spentThisRun = 0.0;
            for (int block = 0; block < totalBlocks; ++block)
            {
                const auto start = threadCpuMicros();
                processBlock (block);
                const auto elapsed = threadCpuMicros() - start;

                if (firstBlock < 0.0)
                    firstBlock = elapsed;

                if (block >= warmUpBlocks)
                {
                    times.push_back (elapsed);
                    spentThisRun += elapsed;
                    worst = std::max (worst, elapsed);
                }
            }

            // Google Benchmark adds the iterations up itself: each run reports only its own time.
            state.SetIterationTime (spentThisRun * 1.0e-6);
            runFactors.push_back (spentThisRun > 0.0 ? measuredSeconds / (spentThisRun * 1.0e-6) : 0.0);
        }

        std::sort (times.begin(), times.end());
        std::sort (runFactors.begin(), runFactors.end());
        const double period = 1.0e6 * blockSize / sampleRate;
        state.counters["rtf"] = runFactors.empty() ? 0.0 : runFactors[runFactors.size() / 2];
        state.counters["worst_us"] = worst;
        state.counters["worst_share"] = worst / period;
        state.counters["p999_us"] = times.empty() ? 0.0 : times[(size_t) ((double) (times.size() - 1) * 0.999)];
        state.counters["first_block_us"] = std::max (0.0, firstBlock);
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

    /** The moving rows' knob writes for one block at motion `s`: each (knob, setting) pair of
        `settings` moves by +-10 % of its range around its setting. `rangeOf (knob)` returns
        the knob's table entry (with `minimum` and `maximum`), `write (knob, value)` sets it. */
    template <typename Settings, typename RangeOf, typename Write>
    void moveKnobs (const Settings& settings, double s, RangeOf&& rangeOf, Write&& write)
    {
        for (const auto& [knob, value] : settings)
        {
            const auto& range = rangeOf (knob);
            write (knob, (float) moved ((double) value, range.minimum, range.maximum, s));
        }
    }

    /** Registration every audio case shares: 64- and 512-sample blocks, five runs, timed by
        measureBlocks. Use as BENCHMARK (fn)->Apply (bench::audioCase). */
    inline void audioCase (benchmark::internal::Benchmark* b)
    {
        b->Arg (64)->Arg (512)->Iterations (5)->UseManualTime();
    }
}
