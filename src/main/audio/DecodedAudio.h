#pragma once

#include "dsp/DecodedAudio.h"

#include <juce_audio_formats/juce_audio_formats.h>

#include <memory>

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
}
