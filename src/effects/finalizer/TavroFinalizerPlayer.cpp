#include "effects/finalizer/TavroFinalizer.h"

#include "platform/AudioFileGuard.h"
#include "platform/AudioFormats.h"

#include <cmath>

void TavroFinalizer::loadWavePlayerFile (const juce::File& file)
{
    juce::AudioFormatManager manager;
    platform::registerAudioFormats (manager);
    auto reader = platform::AudioFileGuard::openReader (manager, file);

    if (reader == nullptr)
        return;

    // Built aside and swapped in whole; a failed read leaves the player empty, as a load that
    // found nothing playable.
    std::unique_ptr<PlayerData> fresh;
    int rate = (int) reader->sampleRate;
    int channels = (int) reader->numChannels;

    try
    {
        const auto length = juce::jmin<std::int64_t> (reader->lengthInSamples, maxPlayerFrames);

        if (channels > 0 && length > 0)
        {
            auto data = std::make_unique<PlayerData>();
            data->channels = channels;
            data->length = length;
            data->samples.resize ((size_t) channels * (size_t) length);

            juce::AudioBuffer<float> temp (channels, (int) length);
            reader->read (&temp, 0, (int) length, 0, true, true);

            for (int ch = 0; ch < channels; ++ch)
            {
                const float* source = temp.getReadPointer (ch);
                for (std::int64_t f = 0; f < length; ++f)
                {
                    const float v = source[f];
                    data->samples[(size_t) (f * channels + ch)] = std::isfinite (v) ? v : 0.0f;
                }
            }
            fresh = std::move (data);
        }
    }
    catch (const std::exception&)
    {
        fresh.reset();
    }

    playing.store (false);
    playPosition.store (0.0);

    std::unique_ptr<PlayerData> old;
    {
        const juce::SpinLock::ScopedLockType sl (playerLock);
        old = std::exchange (playerData, std::move (fresh));
        const bool loaded = playerData != nullptr;
        playerSampleRate.store (rate);
        playerChannels.store (loaded ? channels : 2);
        playerLength.store (loaded ? playerData->length : 0);
        playerHasSamples.store (loaded);
    }
}   // the old samples are released here, on the message thread

int TavroFinalizer::renderWavePlayer (float* left, float* right, int numFrames, double deviceSampleRate)
{
    juce::ScopedNoDenormals noDenormals;
    renderCalls.fetch_add (1, std::memory_order_relaxed);

    if (! playing.load (std::memory_order_relaxed) || numFrames <= 0)
        return 0;

    const juce::SpinLock::ScopedTryLockType tl (playerLock);
    if (! tl.isLocked() || playerData == nullptr || playerData->samples.empty() || playerData->length <= 0)
        return 0;

    const auto& data = *playerData;
    const auto length = data.length;
    const int channels = data.channels;
    const double ratio = deviceSampleRate > 0.0 ? (double) playerSampleRate.load() / deviceSampleRate : 1.0;

    double position = playPosition.load (std::memory_order_relaxed);
    int written = 0;

    for (int i = 0; i < numFrames; ++i)
    {
        if (position >= (double) length || position < 0.0)
        {
            if (looping.load (std::memory_order_relaxed))
            {
                position = 0.0;
            }
            else
            {
                playing.store (false, std::memory_order_relaxed);
                playerEnded.store (true, std::memory_order_relaxed);
                break;
            }
        }

        const auto f0 = (std::int64_t) position;
        const auto f1 = juce::jmin (f0 + 1, length - 1);
        const float frac = (float) (position - (double) f0);

        auto sampleAt = [&] (std::int64_t frame, int channel)
        {
            return data.samples[(size_t) (frame * channels + juce::jmin (channel, channels - 1))];
        };

        const float l0 = sampleAt (f0, 0), l1 = sampleAt (f1, 0);
        const float r0 = sampleAt (f0, 1), r1 = sampleAt (f1, 1);
        left[i] = l0 + (l1 - l0) * frac;
        right[i] = r0 + (r1 - r0) * frac;

        position += ratio;
        ++written;
    }

    playPosition.store (position, std::memory_order_relaxed);
    return written;
}
