// TimePro alone at its worst case, 48 kHz, 64- and 512-sample blocks, in each mode that
// processes so far, fully wet: Micro-Pitch with the widest detune, longest delay, full width
// and the fastest, deepest drift; Granular with the densest, longest grains played two
// octaves down (about 40 grains in flight). The moving rows also move every continuous knob.

#include "BenchSupport.h"

#include "effects/timepro/HeightAndWeightProcessor.h"
#include "platform/CrtRand.h"

#include <utility>
#include <vector>

namespace
{
    using P = HeightAndWeightParameters;

    std::vector<std::pair<P::Knob, float>> timeProWorstCase (int mode)
    {
        std::vector<std::pair<P::Knob, float>> settings { { P::globalMix, 100.0f }, { P::outputLevel, 0.0f } };
        if (mode == 0)
            settings.insert (settings.end(), { { P::microDetune, 20.0f }, { P::microDelay, 30.0f }, { P::microWidth, 150.0f },
                                               { P::microChar, 100.0f }, { P::microMix, 100.0f } });
        else
            settings.insert (settings.end(), { { P::grainDensity, 80.0f }, { P::grainSize, 120.0f }, { P::grainPitch, -24.0f },
                                               { P::grainMotion, 100.0f }, { P::grainMix, 100.0f } });
        return settings;
    }

    void runTimePro (benchmark::State& state, int mode, bool moving)
    {
        const int blockSize = (int) state.range (0);
        platform::crtSrand (1);

        HeightAndWeightProcessor fx;
        fx.prepare (bench::sampleRate, blockSize);
        auto& p = fx.parameters;
        p.mode = mode;
        const auto worst = timeProWorstCase (mode);
        for (const auto& [knob, value] : worst)
            p.setKnob (knob, value);

        juce::AudioBuffer<float> buffer (2, blockSize);
        auto processBlock = [&] (int block)
        {
            const int start = bench::blockStart (block, blockSize);
            if (moving)
            {
                const auto s = bench::motion (start);
                bench::moveKnobs (worst, s, [] (P::Knob knob) -> const auto& { return P::knobTable()[(size_t) knob].spec; },
                                  [&p] (P::Knob knob, float value) { p.setKnob (knob, value); });
            }

            bench::copyBlock (buffer, start, blockSize);
            fx.process (buffer, 0, blockSize);
            benchmark::DoNotOptimize (buffer.getReadPointer (0));
        };

        bench::measureEffect (state, blockSize, processBlock);
    }

    void BM_TimePro_MicroPitch_Steady (benchmark::State& state) { runTimePro (state, 0, false); }
    void BM_TimePro_MicroPitch_Moving (benchmark::State& state) { runTimePro (state, 0, true); }
    void BM_TimePro_Granular_Steady (benchmark::State& state)   { runTimePro (state, 1, false); }
    void BM_TimePro_Granular_Moving (benchmark::State& state)   { runTimePro (state, 1, true); }
}

BENCHMARK (BM_TimePro_MicroPitch_Steady)->Apply (bench::audioCase);
BENCHMARK (BM_TimePro_MicroPitch_Moving)->Apply (bench::audioCase);
BENCHMARK (BM_TimePro_Granular_Steady)->Apply (bench::audioCase);
BENCHMARK (BM_TimePro_Granular_Moving)->Apply (bench::audioCase);
