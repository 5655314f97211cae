// The finalizer's message-thread work, reported as times: handing it the main window's decoded
// copy of a long file (14.4M stereo frames, the player's cap), one classifier step over the
// largest window the playback analysis reads (2048 frames), and the 1000 Hz tick with that file
// loaded, which analyses a window on every tick and runs the classifier on every 30th.

#include "BenchSupport.h"

#include "effects/finalizer/TavroFinalizer.h"

#include <algorithm>
#include <functional>
#include <memory>

namespace
{
    constexpr int longFileFrames = 14400000;

    // Built per row and released with it, so the rows that measure the process's memory
    // afterwards do not find it still resident.
    SharedDecodedAudio longFile()
    {
        auto decoded = std::make_shared<DecodedAudio>();
        decoded->sampleRate = 44100.0;
        decoded->fileChannels = 2;
        decoded->samples.setSize (2, longFileFrames);
        const auto& stim = bench::stimulus();
        for (int ch = 0; ch < 2; ++ch)
        {
            const auto& from = ch == 0 ? stim.left : stim.right;
            float* to = decoded->samples.getWritePointer (ch);
            for (int i = 0; i < longFileFrames; ++i)
                to[i] = from[(size_t) (i % stim.numSamples())];
        }
        return decoded;
    }

    /** Times `work` once per iteration on this thread's clock; reports mean and worst, and the
        mean's share of `periodMicros` when one is given. */
    void timeEach (benchmark::State& state, const std::function<void()>& work, double periodMicros = 0.0)
    {
        double worst = 0.0, total = 0.0;
        int runs = 0;

        for (auto _ : state)
        {
            const auto begin = bench::threadCpuMicros();
            work();
            const auto elapsed = bench::threadCpuMicros() - begin;
            state.SetIterationTime (elapsed * 1.0e-6);
            worst = std::max (worst, elapsed);
            total += elapsed;
            ++runs;
        }

        const double mean = runs > 0 ? total / runs : 0.0;
        state.counters["mean_us"] = mean;
        state.counters["worst_us"] = worst;
        if (periodMicros > 0.0)
            state.counters["period_share"] = mean / periodMicros;
    }

    void BM_Finalizer_MainFileHandOff (benchmark::State& state)
    {
        const auto audio = longFile();
        TavroFinalizerHUD hud;
        TavroFinalizer fin (&hud);
        fin.stopTimer();
        timeEach (state, [&] { fin.loadWavePlayerFile (juce::File(), audio); });
        state.counters["frames"] = (double) fin.wavePlayerLength();
        fin.getWavePlayer().setSource (nullptr, 0);
    }

    void BM_Finalizer_Tick (benchmark::State& state)
    {
        TavroFinalizerHUD hud;
        TavroFinalizer fin (&hud);
        fin.stopTimer();
        fin.loadWavePlayerFile (juce::File(), longFile());
        fin.playing = true;   // the tick moves the position, so each window is new audio
        timeEach (state, [&] { fin.timerCallback(); }, 1000.0);
        fin.getWavePlayer().setSource (nullptr, 0);
    }

    void BM_Finalizer_ClassifierStep (benchmark::State& state)
    {
        MixAnalyser analyser;
        const auto& stim = bench::stimulus();
        int block = 0;
        timeEach (state, [&]
        {
            const int start = bench::blockStart (block++, 2048);
            analyser.classify (stim.left.data() + start, stim.right.data() + start, 2048);
            analyser.learningEnabled = true;
            analyser.learn ({ analyser.featureExtractor.featureVector.begin(), analyser.featureExtractor.featureVector.end() },
                            analyser.classIndex);
            analyser.learningEnabled = false;
        });
    }
}

BENCHMARK (BM_Finalizer_Tick)->Iterations (3000)->UseManualTime();
BENCHMARK (BM_Finalizer_ClassifierStep)->Iterations (1000)->UseManualTime();
BENCHMARK (BM_Finalizer_MainFileHandOff)->Iterations (50)->UseManualTime();
