// The core effects alone at their worst-case settings, 48 kHz, 64- and 512-sample blocks.
// Each case runs steady (settings fixed) and moving (every continuous knob of the case follows
// a 2 s sine of +-10 % of its range, written once per block, and the offsets other subsystems
// write move likewise); the report takes the worse of the two rows.

#include "BenchSupport.h"

#include "effects/core/DistortionSuite.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <utility>
#include <vector>

namespace
{
    constexpr double benchRate = 48000.0;
    constexpr double stimulusSeconds = 20.0;
    constexpr double twoPi = 6.283185307179586;

    struct XorShift
    {
        std::uint32_t s;
        float next() noexcept
        {
            s ^= s << 13; s ^= s >> 17; s ^= s << 5;
            return (float) ((double) s / 4294967296.0 * 2.0 - 1.0);
        }
    };

    /** Program (pink noise at -18 dBFS RMS, decorrelated, with kick and snare at 120 BPM peaking
        at -1 dBFS) for 10 s, a full-scale 80 Hz + 3 kHz mix for 5 s, then 5 s of silence. */
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
                XorShift white { 0x2545f491u + (std::uint32_t) ch * 104729u };
                float b0 = 0, b1 = 0, b2 = 0, b3 = 0, b4 = 0, b5 = 0, b6 = 0;
                double sumSq = 0.0;
                for (int i = 0; i < programEnd; ++i)
                {
                    const float w = white.next();
                    b0 = 0.99886f * b0 + w * 0.0555179f; b1 = 0.99332f * b1 + w * 0.0750759f;
                    b2 = 0.96900f * b2 + w * 0.1538520f; b3 = 0.86650f * b3 + w * 0.3104856f;
                    b4 = 0.55000f * b4 + w * 0.5329522f; b5 = -0.7616f * b5 - w * 0.0168980f;
                    const float pink = b0 + b1 + b2 + b3 + b4 + b5 + b6 + w * 0.5362f;
                    b6 = w * 0.115926f;
                    out[(size_t) i] = pink;
                    sumSq += (double) pink * pink;
                }

                const auto toMinus18 = (float) (std::pow (10.0, -18.0 / 20.0) / std::sqrt (sumSq / programEnd));
                XorShift snare { 777u };
                const int beat = (int) (0.5 * benchRate);
                for (int i = 0; i < programEnd; ++i)
                {
                    const double t = (i % beat) / benchRate;
                    auto hit = (float) (std::sin (twoPi * 55.0 * t) * std::exp (-t / 0.08));
                    if ((i / beat) % 2 == 1)
                        hit += 0.6f * snare.next() * (float) std::exp (-t / 0.06);
                    out[(size_t) i] = out[(size_t) i] * toMinus18 + 0.55f * hit;
                }

                for (int i = programEnd; i < loudEnd; ++i)
                {
                    const double t = i / benchRate;
                    out[(size_t) i] = (float) (0.5 * std::sin (twoPi * 80.0 * t) + 0.5 * std::sin (twoPi * 3000.0 * t));
                }
            }

            float peak = 0.0f;
            for (int i = 0; i < programEnd; ++i)
                peak = std::max ({ peak, std::abs (left[(size_t) i]), std::abs (right[(size_t) i]) });

            const auto toMinus1 = (float) std::pow (10.0, -1.0 / 20.0) / peak;
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

    /** Runs one effect over the stimulus; the denormal check is an untimed pass before. */
    template <typename ProcessBlock>
    void measureEffect (benchmark::State& state, int blockSize, ProcessBlock&& processBlock)
    {
        const int blocksInStimulus = (int) stimulus().left.size() / blockSize;

        double programUs = 0.0, silentUs = 0.0;
        int programBlocks = 0, silentBlocks = 0;
        for (int block = 0; block < blocksInStimulus; ++block)
        {
            const auto t0 = bench::threadCpuMicros();
            processBlock (block);
            const auto spent = bench::threadCpuMicros() - t0;
            const double at = (double) block * blockSize / benchRate;
            if (at >= 1.0 && at < 10.0)  { programUs += spent; ++programBlocks; }
            else if (at >= 15.0)         { silentUs += spent; ++silentBlocks; }
        }

        bench::measureBlocks (state, benchRate, blockSize, stimulusSeconds, processBlock);

        state.counters["silence_ratio"] = programBlocks > 0 && silentBlocks > 0 && programUs > 0.0
                                              ? (silentUs / silentBlocks) / (programUs / programBlocks) : 0.0;
    }

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
        const auto& stim = stimulus();
        const int blocksInStimulus = (int) stim.left.size() / blockSize;

        DistortionSuite suite (nullptr);
        suite.prepare (benchRate);
        suite.setMode (mode);

        const auto knobs = distortionWorstCase (suite, mode);
        for (const auto& [knob, value] : knobs)
            knob->setValueSilently (value);

        juce::AudioBuffer<float> buffer (2, blockSize);

        // The moving rows include writing the knobs (message-thread work in the real road).
        auto processBlock = [&] (int block)
        {
            const int start = (block % blocksInStimulus) * blockSize;
            if (moving)
            {
                const auto s = std::sin (twoPi * (start / benchRate) / 2.0);
                for (const auto& [knob, value] : knobs)
                {
                    const auto range = knob->getMaximum() - knob->getMinimum();
                    knob->setValueSilently (juce::jlimit (knob->getMinimum(), knob->getMaximum(), value + 0.1 * range * s));
                }

                suite.korruptOffsets[0] = (float) (2.0 * s);
                suite.korruptOffsets[2] = (float) (10.0 + 10.0 * s);
                suite.randomiserOffsetTargets[0] = (float) (4.0 + 4.0 * s);
                suite.randomiserOffsetTargets[2] = (float) (15.0 + 15.0 * s);
            }

            buffer.copyFrom (0, 0, stim.left.data() + start, blockSize);
            buffer.copyFrom (1, 0, stim.right.data() + start, blockSize);
            suite.process (buffer);
            benchmark::DoNotOptimize (buffer.getReadPointer (0));
        };

        measureEffect (state, blockSize, processBlock);
    }

    void BM_DistortionSuite_Distorter_Steady (benchmark::State& state)  { runDistortionSuite (state, 0, false); }
    void BM_DistortionSuite_Distorter_Moving (benchmark::State& state)  { runDistortionSuite (state, 0, true); }
    void BM_DistortionSuite_Bitcrush_Steady (benchmark::State& state)   { runDistortionSuite (state, 1, false); }
    void BM_DistortionSuite_Bitcrush_Moving (benchmark::State& state)   { runDistortionSuite (state, 1, true); }
    void BM_DistortionSuite_Kompressor_Steady (benchmark::State& state) { runDistortionSuite (state, 2, false); }
    void BM_DistortionSuite_Kompressor_Moving (benchmark::State& state) { runDistortionSuite (state, 2, true); }
}

BENCHMARK (BM_DistortionSuite_Distorter_Steady)->Arg (64)->Arg (512)->Iterations (5)->UseManualTime();
BENCHMARK (BM_DistortionSuite_Distorter_Moving)->Arg (64)->Arg (512)->Iterations (5)->UseManualTime();
BENCHMARK (BM_DistortionSuite_Bitcrush_Steady)->Arg (64)->Arg (512)->Iterations (5)->UseManualTime();
BENCHMARK (BM_DistortionSuite_Bitcrush_Moving)->Arg (64)->Arg (512)->Iterations (5)->UseManualTime();
BENCHMARK (BM_DistortionSuite_Kompressor_Steady)->Arg (64)->Arg (512)->Iterations (5)->UseManualTime();
BENCHMARK (BM_DistortionSuite_Kompressor_Moving)->Arg (64)->Arg (512)->Iterations (5)->UseManualTime();
