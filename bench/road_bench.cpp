// The main window's audio road with a file playing through getNextAudioBlock, 48 kHz, 64- and
// 512-sample blocks, for each way of playing it. The file is the 20 s benchmark stimulus
// written as a 48 kHz WAV and loaded through the window's own loader; LOOP is on so the memory
// passes keep running for the whole measurement.

#include "BenchSupport.h"

#include "../tests/main/road/MainComponentRoadAccess.h"

#include <cmath>
#include <cstdint>
#include <memory>

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

    /** Program (pink noise at -18 dBFS RMS, decorrelated, kick and snare at 120 BPM near
        -1 dBFS) for 10 s, a full-scale 80 Hz + 3 kHz mix for 5 s, then 5 s of silence. */
    juce::AudioBuffer<float> makeStimulus()
    {
        const int total = (int) (stimulusSeconds * benchRate);
        const int programEnd = (int) (10.0 * benchRate), loudEnd = (int) (15.0 * benchRate);
        juce::AudioBuffer<float> out (2, total);
        out.clear();

        for (int ch = 0; ch < 2; ++ch)
        {
            auto* data = out.getWritePointer (ch);
            XorShift white { 0x2545f491u + (std::uint32_t) ch * 104729u };
            XorShift snare { 777u };
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
                data[i] = pink;
                sumSq += (double) pink * pink;
            }

            const auto toMinus18 = (float) (std::pow (10.0, -18.0 / 20.0) / std::sqrt (sumSq / programEnd));
            const int beat = (int) (0.5 * benchRate);

            for (int i = 0; i < programEnd; ++i)
            {
                const double t = (i % beat) / benchRate;
                auto hit = (float) (std::sin (twoPi * 55.0 * t) * std::exp (-t / 0.08));

                if ((i / beat) % 2 == 1)
                    hit += 0.6f * snare.next() * (float) std::exp (-t / 0.06);

                data[i] = juce::jlimit (-0.89f, 0.89f, data[i] * toMinus18 + 0.55f * hit);
            }

            for (int i = programEnd; i < loudEnd; ++i)
            {
                const double t = i / benchRate;
                data[i] = (float) (0.5 * std::sin (twoPi * 80.0 * t) + 0.5 * std::sin (twoPi * 3000.0 * t));
            }
        }

        return out;
    }

    const juce::File& stimulusFile()
    {
        static const juce::File file = []
        {
            auto f = juce::File::getSpecialLocation (juce::File::tempDirectory)
                         .getNonexistentChildFile ("tavrofx-road-stimulus", ".wav", false);
            const auto audio = makeStimulus();
            juce::WavAudioFormat wav;

            if (auto stream = std::make_unique<juce::FileOutputStream> (f); stream->openedOk())
                if (std::unique_ptr<juce::AudioFormatWriter> writer (wav.createWriterFor (stream.get(), benchRate, 2, 32, {}, 0));
                    writer != nullptr)
                {
                    stream.release();
                    writer->writeFromAudioSampleBuffer (audio, 0, audio.getNumSamples());
                }

            return f;
        }();

        return file;
    }

    enum Mode { normal, varispeed, reverse, playRev };

    void runRoad (benchmark::State& state, Mode mode)
    {
        const int blockSize = (int) state.range (0);

        MainComponent mc;
        mc.shutdownAudio();
        mc.prepareToPlay (blockSize, benchRate);
        MainComponentRoadAccess road (mc);
        road.load (stimulusFile());
        road.setLoop (true);

        if (mode == varispeed) road.pitch (0.5f);
        if (mode == reverse)   road.setRev (true);
        if (mode == playRev)   road.setPlayRev (true);

        road.click (road.playButton());

        juce::AudioBuffer<float> buffer (2, blockSize);
        juce::AudioSourceChannelInfo info (&buffer, 0, blockSize);
        const int blocksInFile = (int) (stimulusSeconds * benchRate) / blockSize;

        // Untimed pass for the denormal check: silent section against program section.
        double programUs = 0.0, silentUs = 0.0;
        int programBlocks = 0, silentBlocks = 0;

        for (int block = 0; block < blocksInFile; ++block)
        {
            const auto t0 = bench::threadCpuMicros();
            mc.getNextAudioBlock (info);
            const auto spent = bench::threadCpuMicros() - t0;
            const double at = (double) block * blockSize / benchRate;

            if (at >= 1.0 && at < 10.0) { programUs += spent; ++programBlocks; }
            else if (at >= 15.0)        { silentUs += spent; ++silentBlocks; }
        }

        road.click (road.stopButton());
        road.click (road.playButton());

        bench::measureBlocks (state, benchRate, blockSize, stimulusSeconds,
                              [&] (int) { mc.getNextAudioBlock (info); });

        state.counters["silence_ratio"] = programBlocks > 0 && silentBlocks > 0 && programUs > 0.0
                                              ? (silentUs / silentBlocks) / (programUs / programBlocks) : 0.0;
        state.counters["playing"] = road.isPlaying() ? 1.0 : 0.0;
    }
}

BENCHMARK_CAPTURE (runRoad, Road_Transport, normal)->Arg (64)->Arg (512)->Iterations (5)->UseManualTime();
BENCHMARK_CAPTURE (runRoad, Road_Varispeed, varispeed)->Arg (64)->Arg (512)->Iterations (5)->UseManualTime();
BENCHMARK_CAPTURE (runRoad, Road_Reverse, reverse)->Arg (64)->Arg (512)->Iterations (5)->UseManualTime();
BENCHMARK_CAPTURE (runRoad, Road_PlayRev, playRev)->Arg (64)->Arg (512)->Iterations (5)->UseManualTime();
