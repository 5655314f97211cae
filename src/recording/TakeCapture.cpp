#include "recording/TakeCapture.h"

#include <juce_audio_basics/juce_audio_basics.h>

#include <algorithm>
#include <cmath>

TakeCapture::TakeCapture (std::size_t capacityFrames)
    : capacity (std::min (capacityFrames, maxTakeFrames))
{
    prepare (minimumWorkFrames);
}

void TakeCapture::prepare (int blockSize)
{
    const auto frames = (std::size_t) std::max (blockSize, minimumWorkFrames);

    if (workLeft.size() != frames)
    {
        workLeft.assign (frames, 0.0f);
        workRight.assign (frames, 0.0f);
    }
}

//==============================================================================
void TakeCapture::reserveTake()
{
    if (reserved.load (std::memory_order_relaxed))
        return;

    takeLeft.assign (capacity, 0.0f);
    takeRight.assign (capacity, 0.0f);
    reserved.store (true, std::memory_order_release);
}

void TakeCapture::beginTake()
{
    reserveTake();
    requestedTake.fetch_add (1, std::memory_order_release);
    isRecording.store (true, std::memory_order_release);
}

void TakeCapture::endTake() noexcept
{
    isRecording.store (false, std::memory_order_release);
}

std::size_t TakeCapture::takeLength() const noexcept
{
    const auto published = publishedLength.load (std::memory_order_acquire);

    if ((std::uint32_t) (published >> 32) != requestedTake.load (std::memory_order_relaxed))
        return 0;

    return (std::size_t) (published & 0xffffffffu);
}

void TakeCapture::startPlayback() noexcept
{
    playbackEnded.store (false, std::memory_order_relaxed);
    playbackRestart.store (true, std::memory_order_relaxed);
    isPlayingTake.store (true, std::memory_order_release);
}

void TakeCapture::stopPlayback() noexcept
{
    isPlayingTake.store (false, std::memory_order_release);
}

//==============================================================================
void TakeCapture::takeTakeRequest() noexcept
{
    const auto wanted = requestedTake.load (std::memory_order_acquire);

    if (wanted != audioTake)
    {
        audioTake = wanted;
        audioFrames = 0;
        publishedLength.store (pack (audioTake, 0), std::memory_order_release);
    }
}

void TakeCapture::pushSamples (const float* left, const float* right, int numSamples) noexcept
{
    juce::ScopedNoDenormals noDenormals;

    if (numSamples <= 0 || left == nullptr || right == nullptr)
        return;

    takeTakeRequest();

    float peakL = 0.0f, peakR = 0.0f;
    double sumL = 0.0, sumR = 0.0;
    const int chunk = (int) workLeft.size();

    for (int done = 0; done < numSamples; done += chunk)
        captureChunk (left + done, right + done, std::min (chunk, numSamples - done), peakL, peakR, sumL, sumR);

    publishedLength.store (pack (audioTake, audioFrames), std::memory_order_release);

    const auto rmsL = (float) std::sqrt (sumL / numSamples);
    const auto rmsR = (float) std::sqrt (sumR / numSamples);
    const auto louder = std::max (rmsL, rmsR);

    if (louder > 0.0001f && 20.0f * std::log10 (louder) > -60.0f)
        silentTicks.store (0, std::memory_order_relaxed);

    if (meter != nullptr)
    {
        meter->setLevels (rmsL, rmsR);

        if (peakL >= 1.0f || peakR >= 1.0f)
            meter->lightBothClipLamps();
    }
}

void TakeCapture::captureChunk (const float* left, const float* right, int count, float& peakL, float& peakR,
                                double& sumL, double& sumR) noexcept
{
    const float gain = inputGain.load (std::memory_order_relaxed);
    auto* wl = workLeft.data();
    auto* wr = workRight.data();

    juce::FloatVectorOperations::multiply (wl, left, gain, count);
    juce::FloatVectorOperations::multiply (wr, right, gain, count);

    // The take only grows while recording with no countdown running, and stops at its cap.
    const bool appending = isRecording.load (std::memory_order_acquire)
                           && ! countdownActive.load (std::memory_order_relaxed)
                           && reserved.load (std::memory_order_acquire);

    if (appending && audioFrames < capacity)
    {
        const auto room = std::min ((std::size_t) count, capacity - audioFrames);
        std::copy (wl, wl + room, takeLeft.data() + audioFrames);
        std::copy (wr, wr + room, takeRight.data() + audioFrames);
        audioFrames += room;
    }

    for (int i = 0; i < count; ++i)
    {
        const float l = wl[i], r = wr[i];
        peakL = std::max (peakL, std::abs (l));
        peakR = std::max (peakR, std::abs (r));
        sumL += (double) l * l;
        sumR += (double) r * r;
    }
}

void TakeCapture::mixPlayback (float* left, float* right, int numSamples) noexcept
{
    juce::ScopedNoDenormals noDenormals;

    if (! isPlayingTake.load (std::memory_order_acquire) || numSamples <= 0)
        return;

    takeTakeRequest();

    if (playbackRestart.exchange (false, std::memory_order_acq_rel))
        playbackPosition.store (0, std::memory_order_relaxed);

    const auto length = (std::uint64_t) audioFrames;

    if (length == 0)
        return;

    auto position = playbackPosition.load (std::memory_order_relaxed);

    for (int j = 0; j < numSamples; ++j)
    {
        if (position >= length)
        {
            isPlayingTake.store (false, std::memory_order_release);
            playbackEnded.store (true, std::memory_order_release);
            break;
        }

        left[j] += takeLeft[(std::size_t) position];
        right[j] += takeRight[(std::size_t) position];
        ++position;
    }

    playbackPosition.store (position, std::memory_order_relaxed);
}
