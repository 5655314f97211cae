#include "effects/finalizer/TavroFinalizer.h"

#include "platform/AudioFileGuard.h"
#include "platform/AudioFormats.h"

#include <cmath>

TavroFinalizer::PlayerDecode TavroFinalizer::decodeForPlayer (const juce::File& file) const
{
    PlayerDecode result;
    juce::AudioFormatManager manager;
    platform::registerAudioFormats (manager);
    auto reader = platform::AudioFileGuard::openReader (manager, file);

    if (reader == nullptr)
        return result;

    result.readerFound = true;
    result.sampleRate = (int) reader->sampleRate;

    // The player plays the first two channels, so only those are kept; a failed read leaves no
    // audio, as a load that found nothing playable.
    try
    {
        const auto length = juce::jmin<std::int64_t> (reader->lengthInSamples, maxPlayerFrames);
        const int channels = juce::jmin (2, (int) reader->numChannels);

        if (channels > 0 && length > 0)
        {
            auto decoded = std::make_shared<DecodedAudio>();
            decoded->sampleRate = reader->sampleRate;
            decoded->fileChannels = (int) reader->numChannels;
            decoded->samples.setSize (channels, (int) length);
            reader->read (&decoded->samples, 0, (int) length, 0, true, channels > 1);

            for (int ch = 0; ch < channels; ++ch)
            {
                float* samples = decoded->samples.getWritePointer (ch);
                for (int f = 0; f < (int) length; ++f)
                    if (! std::isfinite (samples[f]))
                        samples[f] = 0.0f;
            }
            result.audio = std::move (decoded);
        }
    }
    catch (const std::exception&)
    {
        result.audio.reset();
    }

    return result;
}

void TavroFinalizer::loadWavePlayerFile (const juce::File& file)
{
    auto decoded = decodeForPlayer (file);

    if (! decoded.readerFound)
        return;

    wavePlayer.setSource (std::move (decoded.audio), maxPlayerFrames);
    playerSampleRate.store (decoded.sampleRate);
}

void TavroFinalizer::loadWavePlayerFile (const juce::File& file, SharedDecodedAudio decoded)
{
    if (decoded == nullptr)
    {
        loadWavePlayerFile (file);
        return;
    }

    // The main window's copy is read in place: nothing is decoded or copied a second time.
    wavePlayer.setSource (std::move (decoded), maxPlayerFrames);
}
