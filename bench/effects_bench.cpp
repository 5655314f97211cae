// The core effects alone at their worst-case settings, 48 kHz, 64- and 512-sample blocks.
// Each case runs steady (settings fixed) and moving (every continuous knob of the case follows
// a 2 s sine of +-10 % of its range, written once per block, and the offsets other subsystems
// write move likewise); the report takes the worse of the two rows.

#include "BenchSupport.h"

#include "effects/core/DistortionSuite.h"

#include <utility>
#include <vector>

namespace
{
    //==============================================================================
    // Distortion Suite

    using KnobSetting = std::pair<DistortionSuite::Knob*, double>;

    std::vector<KnobSetting> distortionWorstCase (DistortionSuite& s, int mode)
    {
        std::vector<KnobSetting> knobs { { &s.inKnob, 12.0 }, { &s.driveKnob, 16.0 }, { &s.mixKnob, 100.0 }, { &s.outKnob, 0.0 } };

        if (mode == DistortionSuite::distorterMode)
            knobs.insert (knobs.end(), { { &s.symKnob, 1.0 }, { &s.offsKnob, 0.5 }, { &s.edgeKnob, 10.0 }, { &s.kneeKnob, 2.0 },
                                         { &s.evenKnob, 2.0 }, { &s.oddKnob, 2.0 }, { &s.hpfKnob, 200.0 }, { &s.presKnob, 4.0 } });
        else if (mode == DistortionSuite::bitcrushMode)
            knobs.insert (knobs.end(), { { &s.bitsKnob, 3.5 }, { &s.rateKnob, 4000.0 }, { &s.jitrKnob, 1.0 }, { &s.dthrKnob, 2.0 },
                                         { &s.filtKnob, 2000.0 }, { &s.resKnob, 10.0 }, { &s.drftKnob, 1.0 } });
        else
            knobs.insert (knobs.end(), { { &s.thrsKnob, -60.0 }, { &s.ratKnob, 20.0 }, { &s.atkKnob, 0.01 }, { &s.relKnob, 50.0 },
                                         { &s.mkupKnob, 12.0 }, { &s.satKnob, 4.0 }, { &s.schpKnob, 200.0 }, { &s.sclpKnob, 5000.0 },
                                         { &s.limKnob, -6.0 }, { &s.shpeKnob, 2.0 } });
        return knobs;
    }

    void runDistortionSuite (benchmark::State& state, int mode, bool moving)
    {
        const int blockSize = (int) state.range (0);

        DistortionSuite suite (nullptr);
        suite.prepare (bench::sampleRate);
        suite.setMode (mode);

        const auto knobs = distortionWorstCase (suite, mode);
        for (const auto& [knob, value] : knobs)
            knob->setValueSilently (value);

        juce::AudioBuffer<float> buffer (2, blockSize);

        // The moving rows include writing the knobs (message-thread work in the real road).
        auto processBlock = [&] (int block)
        {
            const int start = bench::blockStart (block, blockSize);
            if (moving)
            {
                const auto s = bench::motion (start);
                for (const auto& [knob, value] : knobs)
                    knob->setValueSilently (bench::moved (value, knob->getMinimum(), knob->getMaximum(), s));

                suite.korruptOffsets[0] = (float) (2.0 * s);
                suite.korruptOffsets[2] = (float) (10.0 + 10.0 * s);
                suite.randomiserOffsetTargets[0] = (float) (4.0 + 4.0 * s);
                suite.randomiserOffsetTargets[2] = (float) (15.0 + 15.0 * s);
            }

            bench::copyBlock (buffer, start, blockSize);
            suite.process (buffer);
            benchmark::DoNotOptimize (buffer.getReadPointer (0));
        };

        bench::measureEffect (state, blockSize, processBlock);
        // One row in the report for the three modes: the worst of them.
        state.SetLabel ("DistortionSuite");
    }

    void BM_DistortionSuite_Distorter_Steady (benchmark::State& state)  { runDistortionSuite (state, 0, false); }
    void BM_DistortionSuite_Distorter_Moving (benchmark::State& state)  { runDistortionSuite (state, 0, true); }
    void BM_DistortionSuite_Bitcrush_Steady (benchmark::State& state)   { runDistortionSuite (state, 1, false); }
    void BM_DistortionSuite_Bitcrush_Moving (benchmark::State& state)   { runDistortionSuite (state, 1, true); }
    void BM_DistortionSuite_Kompressor_Steady (benchmark::State& state) { runDistortionSuite (state, 2, false); }
    void BM_DistortionSuite_Kompressor_Moving (benchmark::State& state) { runDistortionSuite (state, 2, true); }
}

BENCHMARK (BM_DistortionSuite_Distorter_Steady)->Apply (bench::audioCase);
BENCHMARK (BM_DistortionSuite_Distorter_Moving)->Apply (bench::audioCase);
BENCHMARK (BM_DistortionSuite_Bitcrush_Steady)->Apply (bench::audioCase);
BENCHMARK (BM_DistortionSuite_Bitcrush_Moving)->Apply (bench::audioCase);
BENCHMARK (BM_DistortionSuite_Kompressor_Steady)->Apply (bench::audioCase);
BENCHMARK (BM_DistortionSuite_Kompressor_Moving)->Apply (bench::audioCase);
