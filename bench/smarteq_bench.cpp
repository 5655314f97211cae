// Smart EQ alone at its worst-case settings: all six bands on, each with dynamics, saturation,
// width, motion synced to the tempo, drive and harmonics at full, alternating mid and side.
// Rows: steady settings, and settings that move every block (as the randomiser and the knobs do).

#include "BenchSupport.h"

#include "effects/smarteq/SmartEQ.h"

#include <cmath>
#include <cstdint>
#include <vector>

namespace
{
    constexpr double benchRate = 48000.0;
    constexpr double stimulusSeconds = 20.0;

    // A small fixed-seed generator so the stimulus is the same on every run.
    struct XorShift
    {
        std::uint32_t s;
        float next() noexcept
        {
            s ^= s << 13; s ^= s >> 17; s ^= s << 5;
            return (float) ((double) s / 4294967296.0 * 2.0 - 1.0);
        }
    };

    /** Program (pink noise with kick and snare) for 10 s, a loud 80 Hz + 3 kHz mix for 5 s,
        then 5 s of digital silence where decaying tails reach the denormal range. */
    struct Stimulus
    {
        std::vector<float> left, right;

        Stimulus()
        {
            const int total = (int) (stimulusSeconds * benchRate);
            const int programEnd = (int) (10.0 * benchRate), loudEnd = (int) (15.0 * benchRate);
            left.assign ((size_t) total, 0.0f);
            right.assign ((size_t) total, 0.0f);

            for (int ch = 0; ch < 2; ++ch)
            {
                auto& out = ch == 0 ? left : right;
                XorShift rng { 0x9e3779b9u + (std::uint32_t) ch * 7919u };
                float b0 = 0, b1 = 0, b2 = 0, b3 = 0, b4 = 0, b5 = 0, b6 = 0;
                double sumSq = 0.0;
                for (int i = 0; i < programEnd; ++i)
                {
                    const float w = rng.next();
                    b0 = 0.99886f * b0 + w * 0.0555179f; b1 = 0.99332f * b1 + w * 0.0750759f;
                    b2 = 0.96900f * b2 + w * 0.1538520f; b3 = 0.86650f * b3 + w * 0.3104856f;
                    b4 = 0.55000f * b4 + w * 0.5329522f; b5 = -0.7616f * b5 - w * 0.0168980f;
                    const float pink = b0 + b1 + b2 + b3 + b4 + b5 + b6 + w * 0.5362f;
                    b6 = w * 0.115926f;
                    out[(size_t) i] = pink;
                    sumSq += (double) pink * pink;
                }
                const float toMinus18 = (float) (std::pow (10.0, -18.0 / 20.0) / std::sqrt (sumSq / programEnd));

                XorShift snareNoise { 12345u };
                const int beat = (int) (0.5 * benchRate);
                for (int i = 0; i < programEnd; ++i)
                {
                    const int inBeat = i % beat, beatIndex = i / beat;
                    const double t = inBeat / benchRate;
                    float hit = (float) (std::sin (6.283185307 * 55.0 * t) * std::exp (-t / 0.08));
                    if (beatIndex % 2 == 1)
                        hit += 0.6f * snareNoise.next() * (float) std::exp (-t / 0.06);
                    out[(size_t) i] = out[(size_t) i] * toMinus18 + 0.55f * hit;
                }

                for (int i = programEnd; i < loudEnd; ++i)
                {
                    const double t = i / benchRate;
                    out[(size_t) i] = (float) (0.5 * std::sin (6.283185307 * 80.0 * t) + 0.5 * std::sin (6.283185307 * 3000.0 * t));
                }
            }

            float peak = 0.0f;
            for (int i = 0; i < programEnd; ++i)
                peak = std::max ({ peak, std::abs (left[(size_t) i]), std::abs (right[(size_t) i]) });
            const float toMinus1 = (float) std::pow (10.0, -1.0 / 20.0) / peak;
            for (int i = 0; i < programEnd; ++i)
            {
                left[(size_t) i] *= toMinus1;
                right[(size_t) i] *= toMinus1;
            }
        }
    };

    const Stimulus& stimulus()
    {
        static const Stimulus s;
        return s;
    }

    struct Knobs { float dyn, sat, wid, lfo, drv, hrm; };

    /** Writes the worst-case knob values into every band the way the knobs themselves do. */
    void applyKnobs (SmartEQ& eq, const Knobs& k)
    {
        eq.modifyAllBands ([&] (SmartEQ::Band& b, int index)
        {
            b.dynamicOn = k.dyn > 0.0f;
            b.thresholdDb = -10.0f - 0.4f * k.dyn;
            b.ratio = 1.0f + 0.05f * k.dyn;
            b.saturationPct = k.sat;
            b.widthPct = k.wid;
            b.motionOn = k.lfo > 0.0f;
            b.motionDepthPct = k.lfo;
            b.motionRateHz = 0.5f + 0.05f * k.lfo;
            b.driveAmountPct = k.drv;
            b.harmonicsPct = k.hrm;
            b.driveOn = true;
            b.syncBpm = true;
            b.midMode = index % 2 == 0;
            b.sideMode = index % 2 == 1;
        });
    }

    const Knobs worstCase { 100.0f, 100.0f, 200.0f, 100.0f, 100.0f, 100.0f };

    void runSmartEq (benchmark::State& state, bool moving)
    {
        const int blockSize = (int) state.range (0);
        const auto& stim = stimulus();
        const int total = (int) stim.left.size();
        const int blocksInStimulus = total / blockSize;

        SmartEQ eq;
        eq.prepare (benchRate);
        applyKnobs (eq, worstCase);

        std::vector<float> l ((size_t) blockSize), r ((size_t) blockSize);

        // Each continuous knob follows a 2 s sine of 10 % of its range around the worst case,
        // written once per block; this is message-thread work that the row includes.
        auto processBlock = [&] (int block)
        {
            const int start = (block % blocksInStimulus) * blockSize;
            if (moving)
            {
                const float s = (float) std::sin (6.283185307 * (start / benchRate) / 2.0);
                applyKnobs (eq, { 90.0f + 10.0f * s, 90.0f + 10.0f * s, 180.0f + 20.0f * s,
                                  90.0f + 10.0f * s, 90.0f + 10.0f * s, 80.0f + 20.0f * s });
            }
            std::copy_n (stim.left.data() + start, blockSize, l.data());
            std::copy_n (stim.right.data() + start, blockSize, r.data());
            eq.process (l.data(), r.data(), blockSize);
            benchmark::DoNotOptimize (l.data());
        };

        // Move to the measuring core before anything is timed: the first migration otherwise
        // lands in one measured block.
        bench::pinToOneCore();

        // One untimed pass for the denormal check: silent section against program section.
        double programUs = 0.0, silentUs = 0.0;
        int programBlocks = 0, silentBlocks = 0;
        for (int block = 0; block < blocksInStimulus; ++block)
        {
            const auto t0 = bench::threadCpuMicros();
            processBlock (block);
            const auto spent = bench::threadCpuMicros() - t0;
            const double at = (double) block * blockSize / benchRate;
            if (at >= 1.0 && at < 10.0) { programUs += spent; ++programBlocks; }
            else if (at >= 15.0)        { silentUs += spent; ++silentBlocks; }
        }

        bench::measureBlocks (state, benchRate, blockSize, stimulusSeconds, processBlock);

        state.counters["silence_ratio"] = programBlocks > 0 && silentBlocks > 0 && programUs > 0.0
                                              ? (silentUs / silentBlocks) / (programUs / programBlocks) : 0.0;
    }

    void BM_SmartEQ_Steady (benchmark::State& state) { runSmartEq (state, false); }
    void BM_SmartEQ_Moving (benchmark::State& state) { runSmartEq (state, true); }
}

BENCHMARK (BM_SmartEQ_Steady)->Arg (64)->Arg (512)->Iterations (5)->UseManualTime();
BENCHMARK (BM_SmartEQ_Moving)->Arg (64)->Arg (512)->Iterations (5)->UseManualTime();
