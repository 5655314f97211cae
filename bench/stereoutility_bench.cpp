// The Stereo Utility Max alone at its worst case, 48 kHz, 64- and 512-sample blocks: every stage
// on (widest bands and width, balance, mono bass, mid and side gains, level and time
// differences, fine delays, full phase rotation, side compression, Haas, full pitch spread, the
// fastest and deepest chorus, rotation, full centre extraction, a fully decorrelated cascade and
// the largest diffused room), both mixes at 100 and the spectrum display fed. The moving row
// also moves every continuous knob and the offsets.

#include "BenchSpectrumFeed.h"
#include "BenchSupport.h"

#include "effects/stereoutility/StereoUtilityMaxProcessor.h"

#include <utility>
#include <vector>

namespace
{
    using P = StereoUtilityMaxParameters;
    using Knob = P::Knob;

    void runStereoUtility (benchmark::State& state, bool moving)
    {
        const int blockSize = (int) state.range (0);

        StereoUtilityMaxProcessor fx;
        bench::SpectrumFeed feed;
        fx.setOutputTap (&feed);
        fx.prepare (bench::sampleRate, blockSize);

        auto& p = fx.parameters;
        const std::vector<std::pair<Knob, float>> worst {
            { Knob::width, 200 }, { Knob::balance, 50 }, { Knob::monoBelow, 120 }, { Knob::lowWidth, 0 },
            { Knob::highWidth, 200 }, { Knob::mid, 6 }, { Knob::side, 6 }, { Knob::levelDifference, 12 },
            { Knob::timeDifference, 500 }, { Knob::iacc, 0 }, { Knob::leftDelay, 500 }, { Knob::rightDelay, 500 },
            { Knob::phase, 180 }, { Knob::dynamicsRatio, 4 }, { Knob::haas, 20 }, { Knob::pitch, 50 },
            { Knob::modRate, 10 }, { Knob::modDepth, 100 }, { Knob::rotation, 45 }, { Knob::extraction, 100 },
            { Knob::room, 100 }, { Knob::diffusion, 100 }, { Knob::leftMix, 100 }, { Knob::rightMix, 100 }
        };
        for (const auto& [knob, value] : worst)
            p.setKnob (knob, value);

        juce::AudioBuffer<float> buffer (2, blockSize);

        auto processBlock = [&] (int block)
        {
            const int start = bench::blockStart (block, blockSize);

            if (moving)
            {
                const auto s = bench::motion (start);
                bench::moveKnobs (worst, s, [] (Knob knob) -> const auto& { return P::knobTable()[(size_t) knob]; },
                                  [&p] (Knob knob, float value) { p.setKnob (knob, value); });
                p.modWidthOffset = (float) (20.0 * s);
                p.modBalanceOffset = (float) (20.0 * s);
                p.modMixOffset = (float) (10.0 + 10.0 * s);
                p.randomWidthTarget = (float) (30.0 + 30.0 * s);
                p.randomBalanceTarget = (float) (15.0 * s);
                p.randomMixTarget = (float) (10.0 + 10.0 * s);
            }

            bench::copyBlock (buffer, start, blockSize);
            fx.process (buffer, 0, blockSize);
            benchmark::DoNotOptimize (buffer.getReadPointer (0));
        };

        bench::measureEffect (state, blockSize, processBlock);
        fx.setOutputTap (nullptr);
    }

    void BM_StereoUtility_Steady (benchmark::State& state) { runStereoUtility (state, false); }
    void BM_StereoUtility_Moving (benchmark::State& state) { runStereoUtility (state, true); }
}

BENCHMARK (BM_StereoUtility_Steady)->Apply (bench::audioCase);
BENCHMARK (BM_StereoUtility_Moving)->Apply (bench::audioCase);
