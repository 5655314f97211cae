// The main window's audio road with a file playing through getNextAudioBlock, 48 kHz, 64- and
// 512-sample blocks, for each way of playing it. The file is the 20 s benchmark stimulus
// written as a 48 kHz WAV and loaded through the window's own loader; LOOP is on so the memory
// passes keep running for the whole measurement.

#include "BenchSupport.h"

#include "../tests/main/road/MainComponentRoadAccess.h"

#include <memory>

namespace
{
    const juce::File& stimulusFile()
    {
        static const juce::File file = []
        {
            auto f = juce::File::getSpecialLocation (juce::File::tempDirectory)
                         .getNonexistentChildFile ("tavrofx-road-stimulus", ".wav", false);
            const auto& stim = bench::stimulus();
            const float* const channels[] = { stim.left.data(), stim.right.data() };
            juce::WavAudioFormat wav;

            if (auto stream = std::make_unique<juce::FileOutputStream> (f); stream->openedOk())
                if (std::unique_ptr<juce::AudioFormatWriter> writer (wav.createWriterFor (stream.get(), bench::sampleRate, 2, 32, {}, 0));
                    writer != nullptr)
                {
                    stream.release();
                    writer->writeFromFloatArrays (channels, 2, stim.numSamples());
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
        mc.prepareToPlay (blockSize, bench::sampleRate);
        MainComponentRoadAccess road (mc);
        road.load (stimulusFile());
        road.setLoop (true);

        if (mode == varispeed) road.pitch (0.5f);
        if (mode == reverse)   road.setRev (true);
        if (mode == playRev)   road.setPlayRev (true);

        road.click (road.playButton());

        juce::AudioBuffer<float> buffer (2, blockSize);
        juce::AudioSourceChannelInfo info (&buffer, 0, blockSize);
        const auto renderBlock = [&] (int) { mc.getNextAudioBlock (info); };

        const auto silenceRatio = bench::silenceRatio (blockSize, renderBlock);

        road.click (road.stopButton());
        road.click (road.playButton());

        // The timed runs start the file from its beginning again.
        bench::measureBlocks (state, bench::sampleRate, blockSize, bench::stimulusSeconds, renderBlock);

        state.counters["silence_ratio"] = silenceRatio;
        state.counters["playing"] = road.isPlaying() ? 1.0 : 0.0;
    }
}

BENCHMARK_CAPTURE (runRoad, Road_Transport, normal)->Apply (bench::audioCase);
BENCHMARK_CAPTURE (runRoad, Road_Varispeed, varispeed)->Apply (bench::audioCase);
BENCHMARK_CAPTURE (runRoad, Road_Reverse, reverse)->Apply (bench::audioCase);
BENCHMARK_CAPTURE (runRoad, Road_PlayRev, playRev)->Apply (bench::audioCase);
