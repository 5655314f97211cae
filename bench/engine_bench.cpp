// The whole audio road without a window: AudioEngine with the stimulus playing as the loaded
// file (looped) and every effect of the chain active in Serial routing, the three with sound at
// heavy settings, 48 kHz, 64- and 512-sample blocks.

#include "BenchSupport.h"

#include "../tests/main/audio/AudioEngineRig.h"

#include <memory>

namespace
{
    void BM_Road_Engine_EveryEffect (benchmark::State& state)
    {
        const int blockSize = (int) state.range (0);

        auto rig = std::make_unique<AudioEngineRig>();
        rig->finalizer.stopTimer();
        rig->everyEffectOn();
        rig->engine.prepare (blockSize, bench::sampleRate, 0);

        const auto& stim = bench::stimulus();
        juce::AudioBuffer<float> file (2, stim.numSamples());
        file.copyFrom (0, 0, stim.left.data(), stim.numSamples());
        file.copyFrom (1, 0, stim.right.data(), stim.numSamples());
        rig->play (file, bench::sampleRate);

        juce::AudioBuffer<float> buffer (2, blockSize);
        const juce::AudioSourceChannelInfo info (&buffer, 0, blockSize);
        const auto renderBlock = [&] (int)
        {
            rig->engine.process (info);
            benchmark::DoNotOptimize (buffer.getReadPointer (0));
        };

        const auto silenceRatio = bench::silenceRatio (blockSize, renderBlock);

        // The timed runs start the file from its beginning again.
        rig->engine.transport.stopAndRewind();
        rig->engine.transport.start();
        bench::measureBlocks (state, bench::sampleRate, blockSize, bench::stimulusSeconds, renderBlock);

        state.counters["silence_ratio"] = silenceRatio;
    }
}

BENCHMARK (BM_Road_Engine_EveryEffect)->Apply (bench::audioCase);
