#pragma once

#include <juce_audio_formats/juce_audio_formats.h>

#include <memory>

/** The loaded file, decoded whole into memory on the message thread. Once published to the
    audio thread it never changes: a new file means a new object, so a block can never see a
    half-written copy. */
struct DecodedAudio
{
    juce::AudioBuffer<float> samples;   // the file's first two channels, every frame
    double sampleRate = 44100.0;
    int fileChannels = 0;               // the file's own channel count (may exceed 2)

    int getLength() const noexcept      { return samples.getNumSamples(); }
    int getNumChannels() const noexcept { return samples.getNumChannels(); }
    double getLengthSeconds() const noexcept { return sampleRate > 0.0 ? getLength() / sampleRate : 0.0; }

    /** The memory players read at most this many frames; the transport plays the whole file. */
    static constexpr int maxMemoryFrames = 14400000;

    /** Frames of the forward and reversed memory copies. */
    int getMemoryFrames() const noexcept { return juce::jmin (getLength(), maxMemoryFrames); }
};

/** The memory frames in reverse order: reversed[c][i] = forward[c][frames - 1 - i]. */
struct ReversedCopy
{
    juce::AudioBuffer<float> samples;

    int getLength() const noexcept      { return samples.getNumSamples(); }
    int getNumChannels() const noexcept { return samples.getNumChannels(); }
};

namespace audiofile
{
    enum class LoadFailure
    {
        none,
        notAFile,       // empty path, missing, or a directory: the caller leaves everything as it was
        noReader,       // no registered format accepts it (not audio, wrong extension, header cut short)
        noAudio,        // a reader, but no frames, no channels or no usable sample rate
        tooLong,        // more frames than one buffer can index
        outOfMemory
    };

    struct LoadResult
    {
        std::unique_ptr<DecodedAudio> audio;
        LoadFailure failure = LoadFailure::none;
    };

    /** Decodes the file through the manager's readers, opened through AudioFileGuard. Message
        thread; may take a while for long files. A file whose header promises more data than the
        file holds is cut to the frames it can hold, so a truncated download or a lying header
        neither allocates for nor plays absent audio. */
    LoadResult decode (juce::AudioFormatManager& formats, const juce::File& file);

    /** Builds the reversed memory copy; null when memory runs out. */
    std::unique_ptr<ReversedCopy> buildReversed (const DecodedAudio& audio);
}
