// Smart EQ alone at its worst-case settings: all six bands on, each with dynamics, saturation,
// width, motion synced to the tempo, drive and harmonics at full, alternating mid and side.
// Rows: steady settings, and settings that move every block (as the randomiser and the knobs do).

#include "BenchSupport.h"

#include "effects/smarteq/SmartEQ.h"

#include <algorithm>
#include <vector>

namespace
{
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
        const auto& stim = bench::stimulus();

        SmartEQ eq;
        eq.prepare (bench::sampleRate);
        applyKnobs (eq, worstCase);

        std::vector<float> l ((size_t) blockSize), r ((size_t) blockSize);

        // Each continuous knob follows the 2 s motion sine by 10 % of its range around the worst case,
        // written once per block; this is message-thread work that the row includes.
        auto processBlock = [&] (int block)
        {
            const int start = bench::blockStart (block, blockSize);
            if (moving)
            {
                const auto s = (float) bench::motion (start);
                applyKnobs (eq, { 90.0f + 10.0f * s, 90.0f + 10.0f * s, 180.0f + 20.0f * s,
                                  90.0f + 10.0f * s, 90.0f + 10.0f * s, 80.0f + 20.0f * s });
            }
            std::copy_n (stim.left.data() + start, blockSize, l.data());
            std::copy_n (stim.right.data() + start, blockSize, r.data());
            eq.process (l.data(), r.data(), blockSize);
            benchmark::DoNotOptimize (l.data());
        };

        bench::measureEffect (state, blockSize, processBlock);
    }

    void BM_SmartEQ_Steady (benchmark::State& state) { runSmartEq (state, false); }
    void BM_SmartEQ_Moving (benchmark::State& state) { runSmartEq (state, true); }
}

BENCHMARK (BM_SmartEQ_Steady)->Apply (bench::audioCase);
BENCHMARK (BM_SmartEQ_Moving)->Apply (bench::audioCase);
