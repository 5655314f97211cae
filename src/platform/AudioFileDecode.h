#pragma once

#include "dsp/DecodedAudio.h"

#include <juce_audio_formats/juce_audio_formats.h>

#include <cstdint>
#include <limits>
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
        outOfMemory,
        unreadable      // the reader gave up while decoding
    };

    struct LoadResult
    {
        std::unique_ptr<DecodedAudio> audio;
        LoadFailure failure = LoadFailure::none;

        /** The reader's rate once a reader accepted the file, even when it held no audio; 0
            when there was no reader or its rate was unusable. */
        double sampleRate = 0.0;

        bool foundReader() const noexcept
        {
            return failure != LoadFailure::notAFile && failure != LoadFailure::noReader;
        }
    };

    /** Decodes the file through the manager's readers, opened through AudioFileGuard. Message
        thread; may take a while for long files. A file whose header promises more data than the
        file holds is cut to the frames it can hold, so a truncated download or a lying header
        neither allocates for nor plays absent audio. Players that hold a limited length pass
        `maxFrames`: only that many frames are decoded, and the rest of the file is not read. */
    LoadResult decode (juce::AudioFormatManager& formats, const juce::File& file,
                       std::int64_t maxFrames = std::numeric_limits<std::int64_t>::max());
}
