#pragma once

#include "platform/AudioFileDecode.h"
#include "platform/AudioFormats.h"

#include <juce_audio_formats/juce_audio_formats.h>

#include <cmath>
#include <functional>
#include <memory>

// Small generated audio for tests: files written with the framework's own writers into a
// scratch folder, and decoded files built straight in memory.
namespace audiofixtures
{
    /** A folder under the test's TMPDIR that is removed again with the object. */
    struct ScratchFolder
    {
        ScratchFolder()
            : folder (juce::File::getSpecialLocation (juce::File::tempDirectory)
                          .getNonexistentChildFile ("scratch-audio", "", false))
        {
            folder.createDirectory();
        }

        ~ScratchFolder() { folder.deleteRecursively(); }

        juce::File file (const juce::String& name) const { return folder.getChildFile (name); }

        juce::File folder;
    };

    /** One format manager with every format the application reads, for the whole test binary. */
    inline juce::AudioFormatManager& formats()
    {
        static juce::AudioFormatManager manager;
        [[maybe_unused]] static const bool registered = (platform::registerAudioFormats (manager), true);
        return manager;
    }

    using SampleFunction = std::function<float (int channel, int frame)>;

    inline bool writeFile (juce::AudioFormat& format, const juce::File& file, double sampleRate, int channels,
                           int frames, int bits, const SampleFunction& sample, int quality = 0)
    {
        file.deleteFile();
        auto stream = std::make_unique<juce::FileOutputStream> (file);

        if (! stream->openedOk())
            return false;

        std::unique_ptr<juce::AudioFormatWriter> writer (format.createWriterFor (stream.get(), sampleRate,
                                                                                 (unsigned int) channels, bits,
                                                                                 {}, quality));
        if (writer == nullptr)
            return false;

        stream.release();   // the writer owns it now

        juce::AudioBuffer<float> block (channels, 4096);

        for (int done = 0; done < frames; done += block.getNumSamples())
        {
            const int count = juce::jmin (block.getNumSamples(), frames - done);

            for (int c = 0; c < channels; ++c)
                for (int i = 0; i < count; ++i)
                    block.setSample (c, i, sample (c, done + i));

            if (! writer->writeFromAudioSampleBuffer (block, 0, count))
                return false;
        }

        return true;
    }

    inline bool writeWav (const juce::File& file, double sampleRate, int channels, int frames,
                          const SampleFunction& sample, int bits = 16)
    {
        juce::WavAudioFormat wav;
        return writeFile (wav, file, sampleRate, channels, frames, bits, sample);
    }

    /** A sine whose channels differ in phase, so a swapped or duplicated channel shows. */
    inline SampleFunction sine (double frequency, double sampleRate, float amplitude = 0.5f)
    {
        return [=] (int channel, int frame)
        {
            return amplitude * (float) std::sin (2.0 * juce::MathConstants<double>::pi * frequency * frame / sampleRate
                                                 + channel * 0.5);
        };
    }

    /** A decoded file built in memory: sample (c, i) for every channel and frame. */
    inline std::unique_ptr<DecodedAudio> decoded (int channels, int frames, double sampleRate, const SampleFunction& sample)
    {
        auto audio = std::make_unique<DecodedAudio>();
        audio->samples.setSize (channels, frames);
        audio->sampleRate = sampleRate;
        audio->fileChannels = channels;

        for (int c = 0; c < channels; ++c)
            for (int i = 0; i < frames; ++i)
                audio->samples.setSample (c, i, sample (c, i));

        return audio;
    }

    /** Frame index as the sample value, so positions can be read back from the output;
        channel c is offset by c x channelOffset. */
    inline SampleFunction ramp (float scale = 1.0f, float channelOffset = 0.0f)
    {
        return [=] (int channel, int frame) { return (float) frame * scale + (float) channel * channelOffset; };
    }

    inline bool allFinite (const juce::AudioBuffer<float>& buffer)
    {
        for (int c = 0; c < buffer.getNumChannels(); ++c)
            for (int i = 0; i < buffer.getNumSamples(); ++i)
                if (! std::isfinite (buffer.getSample (c, i)))
                    return false;

        return true;
    }

    /** Frequency from rising zero crossings, interpolated between samples. */
    inline double measureFrequency (const float* data, int count, double sampleRate)
    {
        double first = -1.0, last = -1.0;
        int crossings = 0;

        for (int i = 1; i < count; ++i)
        {
            if (data[i - 1] < 0.0f && data[i] >= 0.0f)
            {
                const double t = (i - 1) + data[i - 1] / (double) (data[i - 1] - data[i]);

                if (first < 0.0)
                    first = t;
                else
                    ++crossings;

                last = t;
            }
        }

        return crossings > 0 ? crossings * sampleRate / (last - first) : 0.0;
    }
}
