// The DelayVerb alone at its worst case, 48 kHz, 64- and 512-sample blocks: both mixes of the
// delay and of the reverb at 100, FDBK 95, the deepest and fastest wobble, the largest and
// longest room with full damping, SYNC on at 120 BPM, the spectrum display fed, and the XY pad
// at full ping-pong sweeping sideways every block. The moving row also moves every continuous
// knob and the offsets.

#include "BenchSpectrumFeed.h"
#include "BenchSupport.h"

#include "effects/delayverb/DelayVerbProcessor.h"

#include <utility>
#include <vector>

namespace
{
    using P = DelayVerbParameters;

    void runDelayVerb (benchmark::State& state, bool moving)
    {
        const int blockSize = (int) state.range (0);

        DelayVerbProcessor fx;
        bench::SpectrumFeed feed;
        fx.setOutputTap (&feed);
        fx.prepare (bench::sampleRate, blockSize);

        auto& p = fx.parameters;
        const std::vector<std::pair<P::Knob, float>> worst {
            { P::delayLeft, 100.0f }, { P::delayRight, 100.0f }, { P::reverbLeft, 100.0f }, { P::reverbRight, 100.0f },
            { P::feedback, 95.0f }, { P::delayMod, 20.0f }, { P::delayRate, 10.0f }, { P::size, 100.0f },
            { P::decay, 20.0f }, { P::damp, 100.0f }, { P::late, 100.0f }
        };
        for (const auto& [knob, value] : worst)
            p.setKnob (knob, value);
        p.syncEnabled = true;
        p.bpm = 120.0f;
        p.pingPong = 1.0f;

        juce::AudioBuffer<float> buffer (2, blockSize);

        auto processBlock = [&] (int block)
        {
            const int start = bench::blockStart (block, blockSize);
            p.delayPan = (float) std::sin (0.1 * block);   // a new pan every block

            if (moving)
            {
                const auto s = bench::motion (start);
                bench::moveKnobs (worst, s, [] (auto knob) -> const auto& { return P::knobTable()[(size_t) knob]; },
                                  [&p] (auto knob, float value) { p.setKnob (knob, value); });
                p.korruptOffsets[1] = (float) (10.0 * s);
                p.korruptOffsets[2] = (float) (10.0 + 10.0 * s);
                p.korruptOffsets[3] = (float) (10.0 + 10.0 * s);
                p.randomiserOffsetTargets[1] = (float) (20.0 + 20.0 * s);
                p.randomiserOffsetTargets[2] = (float) (12.0 + 12.0 * s);
                p.randomiserOffsetTargets[3] = (float) (17.0 + 17.0 * s);
            }

            bench::copyBlock (buffer, start, blockSize);
            fx.process (buffer, 0, blockSize);
            benchmark::DoNotOptimize (buffer.getReadPointer (0));
        };

        bench::measureEffect (state, blockSize, processBlock);
        fx.setOutputTap (nullptr);
    }

    void BM_DelayVerb_Steady (benchmark::State& state) { runDelayVerb (state, false); }
    void BM_DelayVerb_Moving (benchmark::State& state) { runDelayVerb (state, true); }
}

BENCHMARK (BM_DelayVerb_Steady)->Apply (bench::audioCase);
BENCHMARK (BM_DelayVerb_Moving)->Apply (bench::audioCase);
