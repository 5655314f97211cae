// The core effects alone at their worst-case settings, 48 kHz, 64- and 512-sample blocks.
// Each case runs steady (settings fixed) and moving (every continuous knob of the case follows
// a 2 s sine of +-10 % of its range, written once per block, and the offsets other subsystems
// write move likewise); the report takes the worse of the two rows.

#include "BenchSupport.h"

#include "effects/distortion/DistortionSuiteProcessor.h"

#include <utility>
#include <vector>

namespace
{
    //==============================================================================
    // Distortion Suite, its processor alone

    using DistortionId = DistortionSuiteProcessor::ParameterId;
    using ParameterSetting = std::pair<DistortionId, double>;

    std::vector<ParameterSetting> distortionWorstCase (int mode)
    {
        using P = DistortionSuiteParameters;
        std::vector<ParameterSetting> settings { { P::in, 12.0 }, { P::drive, 16.0 }, { P::mix, 100.0 }, { P::out, 0.0 } };

        if (mode == DistortionSuiteProcessor::distorterMode)
            settings.insert (settings.end(), { { P::sym, 1.0 }, { P::offs, 0.5 }, { P::edge, 10.0 }, { P::knee, 2.0 },
                                               { P::even, 2.0 }, { P::odd, 2.0 }, { P::hpf, 200.0 }, { P::pres, 4.0 } });
        else if (mode == DistortionSuiteProcessor::bitcrushMode)
            settings.insert (settings.end(), { { P::bits, 3.5 }, { P::rate, 4000.0 }, { P::jitr, 1.0 }, { P::dthr, 2.0 },
                                               { P::filt, 2000.0 }, { P::res, 10.0 }, { P::drft, 1.0 } });
        else
            settings.insert (settings.end(), { { P::thrs, -60.0 }, { P::rat, 20.0 }, { P::atk, 0.01 }, { P::rel, 50.0 },
                                               { P::mkup, 12.0 }, { P::sat, 4.0 }, { P::schp, 200.0 }, { P::sclp, 5000.0 },
                                               { P::lim, -6.0 }, { P::shpe, 2.0 } });
        return settings;
    }

    void runDistortionSuite (benchmark::State& state, int mode, bool moving)
    {
        const int blockSize = (int) state.range (0);

        DistortionSuiteProcessor processor;
        processor.prepare (bench::sampleRate, blockSize);
        processor.setMode (mode);

        const auto settings = distortionWorstCase (mode);
        for (const auto& [id, value] : settings)
            processor.setParameter (id, (float) value);

        juce::AudioBuffer<float> buffer (2, blockSize);

        // The moving rows include writing the parameters (message-thread work in the real road).
        auto processBlock = [&] (int block)
        {
            const int start = bench::blockStart (block, blockSize);
            if (moving)
            {
                const auto s = bench::motion (start);
                bench::moveKnobs (settings, s,
                                  [] (DistortionId id) -> const auto& { return DistortionSuiteProcessor::parameterInfo()[(size_t) id]; },
                                  [&processor] (DistortionId id, float value) { processor.setParameter (id, value); });

                processor.parameters.korruptOffsets[0] = (float) (2.0 * s);
                processor.parameters.korruptOffsets[2] = (float) (10.0 + 10.0 * s);
                processor.parameters.randomiserOffsetTargets[0] = (float) (4.0 + 4.0 * s);
                processor.parameters.randomiserOffsetTargets[2] = (float) (15.0 + 15.0 * s);
            }

            bench::copyBlock (buffer, start, blockSize);
            processor.process (buffer, 0, blockSize);
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
