#include "effects/finalizer/FinalizerWavePlayer.h"

#include <cmath>

void FinalizerWavePlayer::setSource (SharedDecodedAudio newSource, std::int64_t maxFrames)
{
    playing.store (false);
    playPosition.store (0.0);

    const bool loaded = newSource != nullptr && newSource->getNumChannels() > 0
                     && newSource->getLength() > 0 && maxFrames > 0;
    if (! loaded)
        newSource.reset();

    const int rate = loaded ? (int) newSource->sampleRate : sampleRate.load();
    const int numChannels = loaded ? juce::jmax (newSource->fileChannels, newSource->getNumChannels()) : 2;
    const std::int64_t numFrames = loaded ? juce::jmin<std::int64_t> (newSource->getLength(), maxFrames) : 0;

    SharedDecodedAudio old;
    {
        const juce::SpinLock::ScopedLockType sl (lock);
        old = std::exchange (source, std::move (newSource));
        sourceFrames = numFrames;
        sampleRate.store (rate);
        channels.store (numChannels);
        length.store (numFrames);
        hasSamples.store (loaded);
    }
}   // the player's old reference is dropped here, on the message thread

int FinalizerWavePlayer::render (float* left, float* right, int numFrames, double deviceSampleRate) noexcept
{
    juce::ScopedNoDenormals noDenormals;
    renderCalls.fetch_add (1, std::memory_order_relaxed);

    if (! playing.load (std::memory_order_relaxed) || numFrames <= 0)
        return 0;

    const juce::SpinLock::ScopedTryLockType tl (lock);
    if (! tl.isLocked() || source == nullptr)
        return 0;

    const auto& audio = source->samples;
    const std::int64_t frames = sourceFrames;
    const int lastChannel = audio.getNumChannels() - 1;
    const float* const sourceLeft = audio.getReadPointer (0);
    const float* const sourceRight = audio.getReadPointer (juce::jmin (1, lastChannel));
    const double ratio = deviceSampleRate > 0.0 ? (double) sampleRate.load() / deviceSampleRate : 1.0;

    double position = playPosition.load (std::memory_order_relaxed);
    int written = 0;

    for (int i = 0; i < numFrames; ++i)
    {
        if (position >= (double) frames || position < 0.0)
        {
            if (looping.load (std::memory_order_relaxed))
            {
                position = 0.0;
            }
            else
            {
                playing.store (false, std::memory_order_relaxed);
                ended.store (true, std::memory_order_relaxed);
                break;
            }
        }

        const auto f0 = (std::int64_t) position;
        const auto f1 = juce::jmin (f0 + 1, frames - 1);
        const float frac = (float) (position - (double) f0);

        const float l0 = sourceLeft[f0], l1 = sourceLeft[f1];
        const float r0 = sourceRight[f0], r1 = sourceRight[f1];
        left[i] = l0 + (l1 - l0) * frac;
        right[i] = r0 + (r1 - r0) * frac;

        position += ratio;
        ++written;
    }

    playPosition.store (position, std::memory_order_relaxed);
    return written;
}

bool FinalizerWavePlayer::advanceWithoutRender (double frames) noexcept
{
    const auto total = length.load();
    double position = std::floor (playPosition.load()) + frames;
    bool stillPlaying = true;

    if (position >= (double) total)
    {
        if (looping.load())
        {
            position = 0.0;
        }
        else
        {
            position = (double) (total - 1);
            playing.store (false);
            stillPlaying = false;
        }
    }
    playPosition.store (position);
    return stillPlaying;
}
