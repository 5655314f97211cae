#include "main/audio/DecodedAudio.h"

#include "platform/AudioFileGuard.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <new>

namespace audiofile
{
    LoadResult decode (juce::AudioFormatManager& formats, const juce::File& file)
    {
        LoadResult result;

        if (file.getFullPathName().isEmpty() || ! file.existsAsFile())
        {
            result.failure = LoadFailure::notAFile;
            return result;
        }

        auto reader = platform::AudioFileGuard::openReader (formats, file);

        if (reader == nullptr)
        {
            result.failure = LoadFailure::noReader;
            return result;
        }

        const auto frames = reader->lengthInSamples;
        const auto rate = reader->sampleRate;

        if (frames <= 0 || reader->numChannels <= 0 || ! std::isfinite (rate) || rate <= 0.0)
        {
            result.failure = LoadFailure::noAudio;
            return result;
        }

        if (frames > std::numeric_limits<int>::max())
        {
            result.failure = LoadFailure::tooLong;
            return result;
        }

        try
        {
            auto audio = std::make_unique<DecodedAudio>();
            audio->sampleRate = rate;
            audio->fileChannels = (int) reader->numChannels;

            const int channels = std::min (2, (int) reader->numChannels);
            audio->samples.setSize (channels, (int) frames);
            reader->read (&audio->samples, 0, (int) frames, 0, true, channels > 1);

            // A damaged stream can decode to garbage; the road downstream expects finite samples.
            for (int c = 0; c < channels; ++c)
            {
                auto* data = audio->samples.getWritePointer (c);

                for (int i = 0; i < (int) frames; ++i)
                    if (! std::isfinite (data[i]))
                        data[i] = 0.0f;
            }

            result.audio = std::move (audio);
        }
        catch (const std::bad_alloc&)
        {
            result.failure = LoadFailure::outOfMemory;
        }
        catch (const std::length_error&)
        {
            result.failure = LoadFailure::outOfMemory;
        }

        return result;
    }
}
