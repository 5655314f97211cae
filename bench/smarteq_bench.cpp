// Smart EQ alone at its worst-case settings: all six bands on, each with dynamics, saturation,
// width, motion synced to the tempo, drive with soft clip and harmonics at full, alternating mid
// and side, a vocal, drum or bass boost, and different left and right gains (so each channel
// needs its own gain per sample). Rows: steady settings, and settings that move every block
// (as the randomiser and the knobs do), which also redesigns every band's filter each block.

#include "BenchSupport.h"

#include "effects/smarteq/SmartEQProcessor.h"

#include <algorithm>
#include <vector>

namespace
{
    struct Knobs { float dyn, sat, wid, lfo, drv, hrm; };

    const float bandFrequencies[smarteq::numBands] = { 48.0f, 120.0f, 450.0f, 1400.0f, 4000.0f, 10000.0f };
    const std::int32_t bandTypes[smarteq::numBands] = { smarteq::lowCut, smarteq::bell, smarteq::bell,
                                                        smarteq::bell, smarteq::bell, smarteq::highShelf };

    /** The band set the panel's knobs publish at these values; `s` in [-1, 1] moves the gains,
        frequencies and Q by 10 % of their ranges. */
    SmartEQProcessor::Bands bandsFor (const Knobs& k, float s)
    {
        SmartEQProcessor::Bands bands;
        for (int index = 0; index < smarteq::numBands; ++index)
        {
            auto& b = bands[(size_t) index];
            b.filterType = bandTypes[index];
            b.frequencyHz = bandFrequencies[index] * (1.0f + 0.1f * s);
            b.q = 1.0f + 1.8f * s * s;
            b.gainLeftDb = 6.0f + 3.0f * s;
            b.gainRightDb = -4.0f - 3.0f * s;
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
            b.softClip = true;
            b.syncBpm = true;
            b.midMode = index % 2 == 0;
            b.sideMode = index % 2 == 1;
            b.vocalMode = index % 3 == 0;
            b.drumMode = index % 3 == 1;
            b.bassMode = index % 3 == 2;
        }
        return bands;
    }

    const Knobs worstCase { 100.0f, 100.0f, 200.0f, 100.0f, 100.0f, 100.0f };

    void runSmartEq (benchmark::State& state, bool moving)
    {
        const int blockSize = (int) state.range (0);
        const auto& stim = bench::stimulus();

        SmartEQProcessor eq;
        eq.prepare (bench::sampleRate, blockSize);
        eq.publishBands (bandsFor (worstCase, 0.0f));

        juce::AudioBuffer<float> buffer (2, blockSize);

        // Each continuous knob follows the 2 s motion sine by 10 % of its range around the worst
        // case, written once per block; publishing (and so the filter design) is in the row.
        auto processBlock = [&] (int block)
        {
            const int start = bench::blockStart (block, blockSize);
            if (moving)
            {
                const auto s = (float) bench::motion (start);
                eq.publishBands (bandsFor ({ 90.0f + 10.0f * s, 90.0f + 10.0f * s, 180.0f + 20.0f * s,
                                             90.0f + 10.0f * s, 90.0f + 10.0f * s, 80.0f + 20.0f * s }, s));
                eq.setGlobalMixPct (90.0f + 10.0f * s);
                eq.setOutputGainDb (3.6f * s);
            }
            buffer.copyFrom (0, 0, stim.left.data() + start, blockSize);
            buffer.copyFrom (1, 0, stim.right.data() + start, blockSize);
            eq.process (buffer, 0, blockSize);
            benchmark::DoNotOptimize (buffer.getReadPointer (0));
        };

        bench::measureEffect (state, blockSize, processBlock);
    }

    void BM_SmartEQ_Steady (benchmark::State& state) { runSmartEq (state, false); }
    void BM_SmartEQ_Moving (benchmark::State& state) { runSmartEq (state, true); }
}

BENCHMARK (BM_SmartEQ_Steady)->Apply (bench::audioCase);
BENCHMARK (BM_SmartEQ_Moving)->Apply (bench::audioCase);
