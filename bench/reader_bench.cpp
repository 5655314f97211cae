// The dictionary reader alone at its worst case, 48 kHz, 64- and 512-sample blocks: a generated
// 1000-word text read at the fastest clock (AGGRO, SYNC at 240 BPM), micro-pitch, granular and
// half-time on, MIX 100. The reading clock ticks every 33 ms of audio, outside the timed block,
// as the message thread does. The moving row also pushes the engines' targets every block,
// with a pitch that puts the grains between frames and the fastest grain clock.

#include "BenchSupport.h"

#include "effects/dictionary/DictionaryReader.h"

namespace
{
    juce::String generatedText (int words)
    {
        static const char* const stems[] = { "un", "over", "re", "trans", "in", "" };
        static const char* const roots[] = { "kind", "play", "port", "sing", "walk", "bright", "cat", "rhythm" };
        static const char* const ends[] = { "ness", "ly", "ing", "ed", "er", "ful", "", "tion" };

        juce::String text;
        for (int w = 0; w < words; ++w)
            text << stems[w % 6] << roots[(w / 6) % 8] << ends[(w / 48) % 8] << (w % 17 == 0 ? ".\n" : " ");
        return text;
    }

    void runReader (benchmark::State& state, bool moving)
    {
        const int blockSize = (int) state.range (0);

        DictionaryReader reader (nullptr);
        reader.prepare (bench::sampleRate);
        reader.tokenize (generatedText (1000));
        reader.moodButton.onClick();   // NEUTRAL -> AGGRO
        reader.bpm = 240.0f;
        reader.mixKnob.setValue (100.0, juce::sendNotificationSync);
        for (auto* b : std::initializer_list<juce::Button*> { &reader.syncButton, &reader.microPitchButton, &reader.granularButton,
                         &reader.halfTimeButton, &reader.readButton })
            b->setToggleState (true, juce::sendNotificationSync);

        juce::AudioBuffer<float> buffer (2, blockSize);
        const int samplesPerTick = (int) (bench::sampleRate * 0.033);
        int nextTick = 0;

        auto processBlock = [&] (int block)
        {
            const int start = bench::blockStart (block, blockSize);
            if (block == 0)
                nextTick = 0;   // every pass starts the block count again
            if (block * blockSize >= nextTick)
            {
                nextTick = block * blockSize + samplesPerTick;
                if (moving)
                {
                    const auto s = bench::motion (start);
                    auto& t = reader.engineTargets;
                    t.mpMix = (float) bench::moved (0.9, 0.0, 1.0, s);
                    t.grMix = (float) bench::moved (0.5, 0.0, 0.5, s);
                    t.htMix = (float) bench::moved (0.9, 0.0, 1.0, s);
                    t.mpDetune = (float) bench::moved (15.0, -20.0, 20.0, s);
                    t.grPitch = (float) bench::moved (-13.7, -24.0, 24.0, s);
                    t.htTime = (float) bench::moved (3.0, 0.5, 4.0, s);
                    reader.verbDrive = 1.0f;
                }
                reader.timerCallback();
            }

            bench::copyBlock (buffer, start, blockSize);
            reader.process (buffer.getWritePointer (0), buffer.getWritePointer (1), blockSize);
            benchmark::DoNotOptimize (buffer.getReadPointer (0));
        };

        bench::measureEffect (state, blockSize, processBlock);
    }

    void BM_Reader_Steady (benchmark::State& state) { runReader (state, false); }
    void BM_Reader_Moving (benchmark::State& state) { runReader (state, true); }
}

BENCHMARK (BM_Reader_Steady)->Apply (bench::audioCase);
BENCHMARK (BM_Reader_Moving)->Apply (bench::audioCase);
