#pragma once

// Small generated audio files for the waveform view's tests.
#include <juce_audio_formats/juce_audio_formats.h>

#include <functional>

namespace waveformtest
{
    /** Writes a 16-bit WAV into the test's temporary folder; gen gives sample i of channel ch. */
    inline juce::File writeWav (const juce::String& name, double seconds, double sampleRate, int channels,
                                const std::function<float (juce::int64, int)>& gen)
    {
        auto file = juce::File::getSpecialLocation (juce::File::tempDirectory).getChildFile (name);
        file.deleteFile();

        juce::WavAudioFormat wav;
        auto* stream = new juce::FileOutputStream (file);
        std::unique_ptr<juce::AudioFormatWriter> writer (wav.createWriterFor (stream, sampleRate, (unsigned int) channels,
                                                                              16, {}, 0));
        if (writer == nullptr)
        {
            delete stream;
            return {};
        }

        const auto total = (juce::int64) std::llround (seconds * sampleRate);
        juce::AudioBuffer<float> block (channels, 4096);

        for (juce::int64 pos = 0; pos < total; pos += block.getNumSamples())
        {
            const auto n = (int) std::min<juce::int64> (block.getNumSamples(), total - pos);

            for (int ch = 0; ch < channels; ++ch)
                for (int i = 0; i < n; ++i)
                    block.setSample (ch, i, gen (pos + i, ch));

            writer->writeFromAudioSampleBuffer (block, 0, n);
        }

        return file;
    }

    inline juce::File sineWav (const juce::String& name, double seconds, double sampleRate = 44100.0, int channels = 1)
    {
        return writeWav (name, seconds, sampleRate, channels, [sampleRate] (juce::int64 i, int)
        {
            return 0.5f * (float) std::sin (juce::MathConstants<double>::twoPi * 440.0 * (double) i / sampleRate);
        });
    }

    /** Lets posted messages run until the condition holds (or the time is up). */
    inline bool pumpUntil (const std::function<bool()>& condition, int timeoutMs = 10000)
    {
        const auto end = juce::Time::getMillisecondCounter() + (juce::uint32) timeoutMs;

        while (! condition())
        {
            if (juce::Time::getMillisecondCounter() > end)
                return false;

            juce::MessageManager::getInstance()->runDispatchLoopUntil (5);
        }

        return true;
    }
}
