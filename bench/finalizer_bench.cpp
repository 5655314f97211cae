// The finalizer alone with every stage on, 48 kHz, 64- and 512-sample blocks. Each case runs
// steady (settings fixed) and moving (every continuous parameter follows a 2 s sine of +-10 %
// of its range, written once per block; tone moves also recompute the equaliser sets, which is
// message-thread work in the real road). The report takes the worse of the two rows.

#include "BenchSupport.h"

#include "effects/finalizer/TavroFinalizer.h"

#include <cmath>
#include <cstdint>
#include <vector>

namespace
{
    constexpr double rate = 48000.0;
    constexpr double seconds = 20.0;
    constexpr double twoPi = 6.283185307179586;

    /** 10 s of pink noise at about -18 dBFS RMS with kick and snare hits at 120 BPM, 5 s of a
        full-scale 80 Hz + 3 kHz mix, then 5 s of digital silence for the denormal check. */
    struct Stimulus
    {
        std::vector<float> left, right;

        Stimulus()
        {
            const int total = (int) (seconds * rate), programEnd = (int) (10.0 * rate), loudEnd = (int) (15.0 * rate);
            left.assign ((size_t) total, 0.0f);
            right.assign ((size_t) total, 0.0f);

            for (int ch = 0; ch < 2; ++ch)
            {
                auto& out = ch == 0 ? left : right;
                std::uint32_t state = 0x9e3779b9u + 7919u * (std::uint32_t) ch;
                float b0 = 0, b1 = 0, b2 = 0;
                const int beat = (int) (0.5 * rate);

                for (int i = 0; i < programEnd; ++i)
                {
                    state ^= state << 13; state ^= state >> 17; state ^= state << 5;
                    const float white = (float) ((double) state / 4294967296.0 * 2.0 - 1.0);
                    b0 = 0.99765f * b0 + white * 0.0990460f;
                    b1 = 0.96300f * b1 + white * 0.2965164f;
                    b2 = 0.57000f * b2 + white * 1.0526913f;
                    const float pink = (b0 + b1 + b2 + white * 0.1848f) * 0.03f;

                    const double t = (i % beat) / rate;
                    auto hit = (float) (std::sin (twoPi * 55.0 * t) * std::exp (-t / 0.08));
                    if ((i / beat) % 2 == 1)
                        hit += 0.6f * white * (float) std::exp (-t / 0.06);
                    out[(size_t) i] = pink + 0.5f * hit;
                }

                for (int i = programEnd; i < loudEnd; ++i)
                    out[(size_t) i] = (float) (0.5 * std::sin (twoPi * 80.0 * i / rate) + 0.5 * std::sin (twoPi * 3000.0 * i / rate));
            }
        }
    };

    const Stimulus& stimulus()
    {
        static const Stimulus s;
        return s;
    }

    struct Setting
    {
        std::atomic<float>* parameter;
        float value, min, max;
        bool tone;
    };

    void runFinalizer (benchmark::State& state, bool moving)
    {
        const int blockSize = (int) state.range (0);
        const auto& stim = stimulus();
        const int blocksInStimulus = (int) stim.left.size() / blockSize;

        TavroFinalizer fin (nullptr);
        fin.stopTimer();
        fin.prepare (rate, blockSize);

        std::vector<Setting> settings {
            { &fin.subDb, 6.0f, -6.0f, 6.0f, true },       { &fin.bodyDb, -6.0f, -6.0f, 6.0f, true },
            { &fin.presenceDb, 6.0f, -6.0f, 6.0f, true },  { &fin.airDb, -6.0f, -6.0f, 6.0f, true },
            { &fin.tameDb, -6.0f, -6.0f, 0.0f, true },     { &fin.tiltDb, 6.0f, -6.0f, 6.0f, true },
            { &fin.width, 1.8f, 0.0f, 3.0f, false },       { &fin.asymmetryDeg, 40.0f, -90.0f, 90.0f, false },
            { &fin.rotateDeg, 20.0f, -45.0f, 45.0f, false },
            { &fin.densityAmount, 1.0f, 0.0f, 1.0f, false }, { &fin.articAmount, 1.0f, 0.0f, 1.0f, false },
            { &fin.residueAmount, 1.0f, 0.0f, 1.0f, false }, { &fin.motionAmount, 0.2f, 0.0f, 0.2f, false },
            { &fin.aboveAmount, 1.0f, 0.0f, 1.0f, false },   { &fin.belowAmount, 1.0f, 0.0f, 1.0f, false },
        };
        for (size_t k = 0; k < 6; ++k)
        {
            fin.bandMode[k] = 3;
            settings.push_back ({ &fin.bandDrive[k], 2.0f, 0.0f, 2.0f, false });
            settings.push_back ({ &fin.bandWidth[k], k % 2 == 0 ? 0.5f : 1.6f, 0.0f, 2.0f, false });
        }

        for (auto& s : settings)
            s.parameter->store (s.value);
        fin.dcFilterButton.setToggleStateAndMirror (true, juce::dontSendNotification);
        fin.updateEqCoefficients();

        juce::AudioBuffer<float> buffer (2, blockSize);

        auto processBlock = [&] (int block)
        {
            const int start = (block % blocksInStimulus) * blockSize;
            if (moving)
            {
                const auto s = (float) std::sin (twoPi * (start / rate) / 2.0);
                for (auto& setting : settings)
                    setting.parameter->store (juce::jlimit (setting.min, setting.max,
                                                            setting.value + 0.1f * (setting.max - setting.min) * s));
                fin.updateEqCoefficients();
            }

            buffer.copyFrom (0, 0, stim.left.data() + start, blockSize);
            buffer.copyFrom (1, 0, stim.right.data() + start, blockSize);
            fin.process (buffer);
            benchmark::DoNotOptimize (buffer.getReadPointer (0));
        };

        // Untimed pass for the denormal check: silent section against programme section.
        double programUs = 0.0, silentUs = 0.0;
        int programBlocks = 0, silentBlocks = 0;
        for (int block = 0; block < blocksInStimulus; ++block)
        {
            const auto t0 = bench::threadCpuMicros();
            processBlock (block);
            const auto spent = bench::threadCpuMicros() - t0;
            const double at = (double) block * blockSize / rate;
            if (at >= 1.0 && at < 10.0) { programUs += spent; ++programBlocks; }
            else if (at >= 15.0)        { silentUs += spent; ++silentBlocks; }
        }

        bench::measureBlocks (state, rate, blockSize, seconds, processBlock);

        state.counters["silence_ratio"] = programBlocks > 0 && silentBlocks > 0 && programUs > 0.0
                                              ? (silentUs / silentBlocks) / (programUs / programBlocks) : 0.0;
    }

    void BM_Finalizer_EveryStage_Steady (benchmark::State& state) { runFinalizer (state, false); }
    void BM_Finalizer_EveryStage_Moving (benchmark::State& state) { runFinalizer (state, true); }
}

BENCHMARK (BM_Finalizer_EveryStage_Steady)->Arg (64)->Arg (512)->Iterations (5)->UseManualTime();
BENCHMARK (BM_Finalizer_EveryStage_Moving)->Arg (64)->Arg (512)->Iterations (5)->UseManualTime();
