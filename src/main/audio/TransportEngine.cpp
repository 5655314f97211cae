#include "main/audio/TransportEngine.h"

#include <cmath>

namespace
{
    // A pause fades out over this many samples instead of cutting the wave mid-cycle.
    constexpr int fadeOutSamples = 256;

    using Lock = juce::SpinLock::ScopedLockType;
    using TryLock = juce::SpinLock::ScopedTryLockType;
}

TransportEngine::TransportEngine() = default;

TransportEngine::~TransportEngine() = default;

//==============================================================================
void TransportEngine::setSource (SharedDecodedAudio audio)
{
    {
        const Lock sl (lock);
        std::swap (source, audio);
        playing = false;
        fadeOutPending = false;
        transportPosition = 0.0;
        playRev.forwardPosition = 0.0;
        playRev.reversePosition = 0.0;
        playRev.secondHalf = false;
        sourceLoaded.store (source != nullptr, std::memory_order_release);
        publishMirrors();
    }
}   // the old file goes here, on the message thread, unless another reader still holds it

//==============================================================================
double TransportEngine::transportStep() const noexcept
{
    const auto rate = fileRate();
    return deviceSampleRate > 0.0 && rate > 0.0 ? rate / deviceSampleRate : 1.0;
}

double TransportEngine::memoryStep() const noexcept
{
    const auto ratio = transportStep();
    const auto step = (double) pitchPlaybackRate * ratio;
    return std::isfinite (step) && step > 0.0 ? step : ratio;
}

bool TransportEngine::isVarispeed() const noexcept
{
    // Within a tenth of a percent of unity the file plays through the normal transport.
    return std::abs (pitchPlaybackRate - 1.0f) > 0.001f;
}

double TransportEngine::transportSecondsLocked() const noexcept
{
    const auto rate = fileRate();
    return rate > 0.0 ? transportPosition / rate : 0.0;
}

bool TransportEngine::finishedLocked() const noexcept
{
    return source == nullptr || transportPosition >= (double) source->getLength();
}

void TransportEngine::startLocked() noexcept
{
    if (source != nullptr)
    {
        playing = true;
        fadeOutPending = false;
    }
}

void TransportEngine::stopLocked() noexcept
{
    if (playing)
    {
        playing = false;
        fadeOutPending = true;
        fadeOutPosition = transportPosition;
    }
}

void TransportEngine::publishMirrors() noexcept
{
    mirror.playing.store (playing, std::memory_order_relaxed);
    mirror.secondHalf.store (playRev.secondHalf, std::memory_order_relaxed);
    mirror.transportPosition.store (transportPosition, std::memory_order_relaxed);
    mirror.forwardPosition.store (playRev.forwardPosition, std::memory_order_relaxed);
    mirror.reversePosition.store (playRev.reversePosition, std::memory_order_relaxed);
}

//==============================================================================
void TransportEngine::start()
{
    const Lock sl (lock);
    startLocked();
    publishMirrors();
}

void TransportEngine::stop()
{
    const Lock sl (lock);
    stopLocked();
    publishMirrors();
}

double TransportEngine::getCurrentPosition() const noexcept
{
    const auto rate = fileRate();
    return rate > 0.0 ? mirror.transportPosition.load (std::memory_order_relaxed) / rate : 0.0;
}

void TransportEngine::setPosition (double seconds)
{
    const Lock sl (lock);

    if (source != nullptr && std::isfinite (seconds))
        transportPosition = juce::jmax (0.0, seconds * source->sampleRate);

    publishMirrors();
}

bool TransportEngine::hasStreamFinished() const noexcept
{
    return source == nullptr
        || mirror.transportPosition.load (std::memory_order_relaxed) >= (double) source->getLength();
}

bool TransportEngine::togglePlayPause()
{
    const Lock sl (lock);

    if (playing)
    {
        stopLocked();
    }
    else
    {
        if (reverseMode && source != nullptr)
            playRev.reversePosition = 0.0;

        playRev.forwardPosition = 0.0;

        const auto seconds = source != nullptr ? source->getLengthSeconds() : 0.0;

        if (finishedLocked() || transportSecondsLocked() >= seconds - 0.01)
            transportPosition = 0.0;

        startLocked();
    }

    publishMirrors();
    return playing;
}

void TransportEngine::stopAndRewind()
{
    const Lock sl (lock);
    stopLocked();
    transportPosition = 0.0;
    playRev.forwardPosition = 0.0;
    playRev.reversePosition = 0.0;
    publishMirrors();
}

void TransportEngine::seek (double seconds)
{
    if (! std::isfinite (seconds))
        return;

    const Lock sl (lock);

    if (source != nullptr)
    {
        const auto frames = juce::jmax (0.0, seconds * source->sampleRate);
        transportPosition = frames;
        playRev.forwardPosition = frames;
        playRev.reversePosition = frames;
    }

    publishMirrors();
}

//==============================================================================
void TransportEngine::setReverseMode (bool shouldBeOn)
{
    const Lock sl (lock);
    const bool wasPlaying = playing;
    reverseMode = shouldBeOn;

    if (shouldBeOn)
    {
        playRev.reversePosition = 0.0;
    }
    else
    {
        playRev.forwardPosition = 0.0;

        if (source != nullptr)
            transportPosition = 0.0;
    }

    if (wasPlaying && ! playing)
        startLocked();

    publishMirrors();
}

void TransportEngine::setPlayRevMode (bool shouldBeOn)
{
    const Lock sl (lock);
    playRevMode = shouldBeOn;
    playRev.secondHalf = false;
    playRev.forwardPosition = 0.0;
    playRev.reversePosition = 0.0;

    if (! shouldBeOn && source != nullptr)
        transportPosition = 0.0;

    publishMirrors();
}

void TransportEngine::choosePlayRevOrder (int menuId)
{
    const Lock sl (lock);

    if (menuId == 1)
        playRev.order = 0;
    else if (menuId == 2)
        playRev.order = 1;

    if (playRevMode)
    {
        playRev.secondHalf = false;
        playRev.forwardPosition = 0.0;
        playRev.reversePosition = 0.0;
    }

    publishMirrors();
}

void TransportEngine::setPitchPlaybackRate (float rate)
{
    const Lock sl (lock);
    pitchPlaybackRate = rate;
}

void TransportEngine::setLoopEnabled (bool shouldLoop)
{
    const Lock sl (lock);
    loopEnabled = shouldLoop;
}

void TransportEngine::setLoopRange (bool active, double startSeconds, double endSeconds)
{
    const Lock sl (lock);
    loopRangeActive = active;
    loopStart = startSeconds;
    loopEnd = endSeconds;
}

void TransportEngine::setLoopSelectionShown (bool shown)
{
    const Lock sl (lock);
    loopSelectionShown = shown;
}

void TransportEngine::finishPlayRevPass()
{
    const Lock sl (lock);

    // A pass the user restarted since the end keeps its state.
    if (! playing)
        playRev.secondHalf = false;

    publishMirrors();
}

//==============================================================================
double TransportEngine::getPlaybackPosition() const noexcept
{
    const auto seconds = getLengthInSeconds();
    const auto forwardLength = getForwardLength();
    const auto reversedLength = getReversedLength();

    if (playRevMode && forwardLength > 0 && reversedLength > 0)
    {
        const bool secondHalf = isInSecondHalf();
        const bool onForward = (playRev.order == 1) == secondHalf;
        const auto p = onForward ? getForwardPosition() : getReversePosition();
        return p / forwardLength * seconds + (secondHalf ? seconds : 0.0);
    }

    if (reverseMode && reversedLength > 0)
        return getReversePosition() / reversedLength * seconds;

    if (isVarispeed() && forwardLength > 0)
        return getForwardPosition() / forwardLength * seconds;

    return getCurrentPosition();
}

double TransportEngine::getDisplayPosition() const noexcept
{
    const auto seconds = getLengthInSeconds();
    const auto forwardLength = getForwardLength();
    const auto reversedLength = getReversedLength();

    if (playRevMode && forwardLength > 0 && reversedLength > 0)
    {
        const bool onForward = (playRev.order == 1) == isInSecondHalf();

        if (onForward)
            return getForwardPosition() / forwardLength * seconds;

        return (1.0 - getReversePosition() / reversedLength) * seconds;
    }

    if (reverseMode && reversedLength > 0)
        return (1.0 - getReversePosition() / reversedLength) * seconds;

    if (isVarispeed() && forwardLength > 0)
        return getForwardPosition() / forwardLength * seconds;

    return getCurrentPosition();
}

//==============================================================================
void TransportEngine::prepareToPlay (int, double sampleRate)
{
    const Lock sl (lock);

    if (std::isfinite (sampleRate) && sampleRate > 0.0)
        deviceSampleRate = sampleRate;
}

void TransportEngine::releaseResources() {}

//==============================================================================
void TransportEngine::renderTransport (juce::AudioBuffer<float>& out, int startSample, int numSamples) noexcept
{
    if (source == nullptr || (! playing && ! fadeOutPending))
    {
        out.clear (startSample, numSamples);
        return;
    }

    const bool fading = ! playing;
    double& position = fading ? fadeOutPosition : transportPosition;
    const auto& samples = source->samples;
    const int length = source->getLength();
    const int channels = samples.getNumChannels();
    const double step = transportStep();

    for (int i = startSample; i < startSample + numSamples; ++i)
    {
        const int j = (int) position;
        const auto frac = (float) (position - j);

        for (int k = 0; k < out.getNumChannels(); ++k)
        {
            const auto* s = samples.getReadPointer (juce::jmin (k, channels - 1));
            float value = 0.0f;

            // Past the last frame the stream reads as silence, which the last frame fades into.
            if (j < length - 1)
                value = (s[j + 1] - s[j]) * frac + s[j];
            else if (j == length - 1)
                value = s[j] * (1.0f - frac);

            out.setSample (k, i, value);
        }

        position += step;
    }

    if (fading)
    {
        const int fade = juce::jmin (fadeOutSamples, numSamples);

        for (int k = 0; k < out.getNumChannels(); ++k)
        {
            out.applyGainRamp (k, startSample, fade, 1.0f, 0.0f);

            if (numSamples > fade)
                out.clear (k, startSample + fade, numSamples - fade);
        }

        fadeOutPending = false;
    }
    else if (finishedLocked())
    {
        playing = false;
    }
}

TransportEngine::Stage TransportEngine::renderBlock (const juce::AudioSourceChannelInfo& info) noexcept
{
    if (info.buffer == nullptr || info.numSamples <= 0)
        return Stage::none;

    auto& out = *info.buffer;
    const TryLock tl (lock);

    if (! tl.isLocked())
    {
        info.clearActiveBufferRegion();
        return Stage::none;
    }

    const auto* samples = source != nullptr ? &source->samples : nullptr;
    const memoryplayer::Copy forward { samples, getForwardLength(), false };
    const memoryplayer::Copy backward { samples, getReversedLength(), true };

    Stage stage = Stage::transport;

    if (playRevMode && forward.isUsable() && backward.isUsable())
        stage = Stage::playRev;
    else if (reverseMode && backward.isUsable())
        stage = Stage::reverse;
    else if (isVarispeed() && forward.isUsable())
        stage = Stage::varispeed;

    if (stage == Stage::transport)
    {
        renderTransport (out, info.startSample, info.numSamples);
    }
    else
    {
        fadeOutPending = false;

        if (! playing)
        {
            info.clearActiveBufferRegion();
        }
        else
        {
            const auto step = memoryStep();
            auto outcome = memoryplayer::Outcome::playing;

            if (stage == Stage::playRev)
                outcome = memoryplayer::renderPlayRev (forward, backward, playRev, step, loopEnabled,
                                                       out, info.startSample, info.numSamples);
            else if (stage == Stage::reverse)
                outcome = memoryplayer::renderSingle (backward, playRev.reversePosition, step, loopEnabled,
                                                      out, info.startSample, info.numSamples);
            else
                outcome = memoryplayer::renderSingle (forward, playRev.forwardPosition, step, loopEnabled,
                                                      out, info.startSample, info.numSamples);

            if (outcome == memoryplayer::Outcome::ended)
            {
                // Stopping here rather than on the message thread means the end is reported
                // once, and a PLAY pressed before the timer sees the notice is not undone.
                playing = false;
                endNotice.store ((int) (stage == Stage::playRev ? EndNotice::playRev : EndNotice::memoryPlayback),
                                 std::memory_order_release);
            }
        }
    }

    audioTransportSeconds = transportSecondsLocked();
    publishMirrors();
    return stage;
}

void TransportEngine::handleLoopAndEnd() noexcept
{
    const TryLock tl (lock);

    if (! tl.isLocked())
        return;   // the next block looks again; a finished transport stays finished

    if (loopRangeActive && loopSelectionShown)
    {
        if (transportSecondsLocked() >= loopEnd && deviceSampleRate > 0.0 && source != nullptr)
        {
            // The jump lands on a whole device sample, as a seek by sample index would.
            const auto deviceSamples = (juce::int64) (deviceSampleRate * loopStart);
            transportPosition = juce::jmax (0.0, (double) deviceSamples / deviceSampleRate * source->sampleRate);
        }
    }
    else if (finishedLocked() && loopEnabled)
    {
        transportPosition = 0.0;
        startLocked();
    }

    audioTransportSeconds = transportSecondsLocked();
    publishMirrors();
}
