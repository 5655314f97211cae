#include "effects/finalizer/TavroFinalizer.h"

#include "platform/AudioFormats.h"

#include <cmath>

void TavroFinalizer::loadWavePlayerFile (const juce::File& file)
{
    juce::AudioFormatManager manager;
    platform::registerAudioFormats (manager);
    std::unique_ptr<juce::AudioFormatReader> reader (manager.createReaderFor (file));

    if (reader == nullptr)
        return;

    // Decoded aside and handed over whole; a failed read leaves the player empty, as a load
    // that found nothing playable.
    std::shared_ptr<FinalizerWavePlayer::Source> fresh;
    const int channels = (int) reader->numChannels;

    try
    {
        const auto length = juce::jmin<std::int64_t> (reader->lengthInSamples, maxPlayerFrames);

        if (channels > 0 && length > 0)
        {
            auto decoded = std::make_shared<FinalizerWavePlayer::Source>();
            decoded->sampleRate = reader->sampleRate;
            decoded->audio.setSize (channels, (int) length);
            reader->read (&decoded->audio, 0, (int) length, 0, true, true);

            for (int ch = 0; ch < channels; ++ch)
            {
                float* samples = decoded->audio.getWritePointer (ch);
                for (int f = 0; f < (int) length; ++f)
                    if (! std::isfinite (samples[f]))
                        samples[f] = 0.0f;
            }
            fresh = std::move (decoded);
        }
    }
    catch (const std::exception&)
    {
        fresh.reset();
    }

    wavePlayer.setSource (std::move (fresh));
    playerSampleRate.store ((int) reader->sampleRate);
}
