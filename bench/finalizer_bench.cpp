// The finalizer alone with every stage on (six band drives in M/S, the costliest mode, both
// ATOMIZE dips, every character stage, DC filter), 48 kHz, 64- and 512-sample blocks. Each case runs
// steady (settings fixed) and moving (every continuous parameter follows a 2 s sine of +-10 %
// of its range, written once per block; tone moves also recompute the equaliser sets, which is
// message-thread work in the real road). The report takes the worse of the two rows.

#include "BenchSupport.h"

#include "effects/finalizer/FinalizerProcessor.h"

#include <atomic>
#include <vector>

namespace
{
    struct Setting
    {
        std::atomic<float>* parameter;
        float value, min, max;
        bool tone;
    };

    void runFinalizer (benchmark::State& state, bool moving)
    {
        const int blockSize = (int) state.range (0);

        FinalizerSettings fin;
        FinalizerProcessor processor (fin);
        processor.prepare (bench::sampleRate, blockSize);

        std::vector<Setting> settings {
            { &fin.subDb, 6.0f, -6.0f, 6.0f, true },       { &fin.bodyDb, -6.0f, -6.0f, 6.0f, true },
            { &fin.presenceDb, 6.0f, -6.0f, 6.0f, true },  { &fin.airDb, -6.0f, -6.0f, 6.0f, true },
            { &fin.tameDb, -6.0f, -6.0f, 0.0f, true },     { &fin.tiltDb, 6.0f, -6.0f, 6.0f, true },
            { &fin.width, 1.8f, 0.0f, 3.0f, false },       { &fin.asymmetryDeg, 40.0f, -90.0f, 90.0f, false },
            { &fin.rotateDeg, 20.0f, -45.0f, 45.0f, false },
            { &fin.densityAmount, 1.0f, 0.0f, 1.0f, false }, { &fin.articAmount, 1.0f, 0.0f, 1.0f, false },
            { &fin.residueAmount, 1.0f, 0.0f, 1.0f, false }, { &fin.motionAmount, 0.2f, 0.0f, 0.2f, false },
            { &fin.aboveAmount, 1.0f, 0.0f, 1.0f, false },   { &fin.belowAmount, 1.0f, 0.0f, 1.0f, false },
            { &fin.inputGainDb, 3.0f, -18.0f, 18.0f, false }, { &fin.ceilingDb, -1.0f, -6.0f, 0.0f, false },
            { &fin.outputGainDb, -2.0f, -18.0f, 18.0f, false },
            { &fin.leftMix, 1.0f, 0.0f, 1.0f, false },       { &fin.rightMix, 0.8f, 0.0f, 1.0f, false },
        };
        for (size_t k = 0; k < 6; ++k)
        {
            fin.bandMode[k] = 3;
            settings.push_back ({ &fin.bandDrive[k], 2.0f, 0.0f, 2.0f, false });
            settings.push_back ({ &fin.bandWidth[k], k % 2 == 0 ? 0.5f : 1.6f, 0.0f, 2.0f, false });
        }

        for (auto& s : settings)
            s.parameter->store (s.value);
        fin.dcFilter = true;
        processor.updateEqCoefficients();

        juce::AudioBuffer<float> buffer (2, blockSize);

        auto processBlock = [&] (int block)
        {
            const int start = bench::blockStart (block, blockSize);
            if (moving)
            {
                const auto s = (float) bench::motion (start);
                for (auto& setting : settings)
                    setting.parameter->store (bench::moved (setting.value, setting.min, setting.max, s));
                processor.updateEqCoefficients();
            }

            bench::copyBlock (buffer, start, blockSize);
            processor.process (buffer, 0, blockSize);
            benchmark::DoNotOptimize (buffer.getReadPointer (0));
        };

        bench::measureEffect (state, blockSize, processBlock);
    }

    void BM_Finalizer_EveryStage_Steady (benchmark::State& state) { runFinalizer (state, false); }
    void BM_Finalizer_EveryStage_Moving (benchmark::State& state) { runFinalizer (state, true); }
}

BENCHMARK (BM_Finalizer_EveryStage_Steady)->Apply (bench::audioCase);
BENCHMARK (BM_Finalizer_EveryStage_Moving)->Apply (bench::audioCase);
