#include "main/chain/BeatClock.h"

#include "dsp/OnePole.h"

#include <juce_core/juce_core.h>

#include <algorithm>
#include <cmath>
#include <limits>

std::optional<float> TapTempo::tap (double nowMs) noexcept
{
    std::optional<float> tempo;

    if (lastTapMs > 0.0)
    {
        const double interval = nowMs - lastTapMs;

        // 150 ms and 240 s are the tap intervals of the tempo range 400 .. 0.25 BPM.
        if (interval > 150.0 && interval < 240000.0)
        {
            intervals.push (interval);

            const int count = intervals.size();

            if (count >= 2)
            {
                double sum = 0.0;
                for (int i = 0; i < count; ++i)
                    sum += intervals[i];

                tempo = BeatClock::clampTempo ((float) (60000.0 / (sum / count)));
            }
        }
        else if (interval >= 240000.0)
        {
            intervals.clear();
        }
    }

    lastTapMs = nowMs;
    return tempo;
}

//==============================================================================
BeatClock::BeatClock() noexcept = default;

float BeatClock::clampTempo (float bpm) noexcept
{
    if (! std::isfinite (bpm))
        return minTempo;

    return juce::jlimit (minTempo, maxTempo, bpm);
}

void BeatClock::tap()
{
    tap (juce::Time::getMillisecondCounterHiRes());
}

void BeatClock::tap (double nowMs) noexcept
{
    if (const auto tempo = taps.tap (nowMs))
        setTargetTempo (*tempo);
}

void BeatClock::setTargetTempo (float bpm) noexcept
{
    if (! std::isfinite (bpm))
        return;

    const auto tempo = clampTempo (bpm);
    targetTempo.store (tempo, std::memory_order_relaxed);

    if (! smoothTempo.load (std::memory_order_relaxed))
    {
        baseTempo.store (tempo, std::memory_order_relaxed);
        requestJump (tempo);
    }
}

void BeatClock::setTempoImmediately (float bpm) noexcept
{
    if (! std::isfinite (bpm))
        return;

    const auto tempo = clampTempo (bpm);
    baseTempo.store (tempo, std::memory_order_relaxed);
    targetTempo.store (tempo, std::memory_order_relaxed);
    requestJump (tempo);
}

void BeatClock::requestJump (float bpm) noexcept
{
    jumpTempo.store (bpm, std::memory_order_relaxed);
    jumpRequests.fetch_add (1, std::memory_order_release);
}

void BeatClock::applyPendingJump() noexcept
{
    const auto requests = jumpRequests.load (std::memory_order_acquire);

    if (requests == jumpsHandled)
        return;

    jumpsHandled = requests;

    const auto tempo = jumpTempo.load (std::memory_order_relaxed);
    currentTempo.store (tempo, std::memory_order_relaxed);

    if (getSampleRate() > 0.0)
        setSampleCounts (tempo);
}

void BeatClock::setSampleCounts (float tempo) noexcept
{
    const double beat = 60.0 / tempo * getSampleRate();
    samplesPerBeat.store (beat, std::memory_order_relaxed);
    samplesPerBar.store (beatsPerBar * beat, std::memory_order_relaxed);
}

//==============================================================================
void BeatClock::prepare (double newSampleRate, int newBlockSize) noexcept
{
    applyPendingJump();

    blockSize.store (newBlockSize, std::memory_order_relaxed);
    sampleRate.store (newSampleRate, std::memory_order_relaxed);

    samplesPerBeat.store (60.0 / getBaseTempo() * newSampleRate, std::memory_order_relaxed);

    const auto current = getCurrentTempo();

    if (newSampleRate > 0.0 && current > 0.0f)
        setSampleCounts (current);

    smoothTempo.store (true, std::memory_order_relaxed);
    smoothingMs.store (50.0f, std::memory_order_relaxed);
}

void BeatClock::advance (double blockStartSamples, int numSamples) noexcept
{
    applyPendingJump();

    const auto target = getTargetTempo();
    auto current = getCurrentTempo();
    const auto rate = getSampleRate();

    if (smoothTempo.load (std::memory_order_relaxed))
    {
        if (std::abs (current - target) < 0.01f)
        {
            current = target;
        }
        else
        {
            const float timeConstant = getSmoothingMs() / 1000.0f * (float) rate;
            const float fraction = numSamples <= 0 ? 0.0f
                                 : timeConstant > 0.0f ? 1.0f - std::exp (-(float) numSamples / timeConstant)
                                                       : 1.0f;

            dsp::smoothTowards (current, target, fraction);

            if (std::abs (current - target) <= 0.1f)
                current = target;

            if (rate > 0.0 && current > 0.0f)
                setSampleCounts (current);
        }
    }
    else
    {
        current = target;
    }

    currentTempo.store (current, std::memory_order_relaxed);

    const double end = blockStartSamples + juce::jmax (0, numSamples);
    positionSamples.store (end, std::memory_order_relaxed);
    totalSamples.fetch_add ((std::uint64_t) juce::jmax (0, numSamples), std::memory_order_relaxed);

    const double beat = getSamplesPerBeat();
    const double bar = getSamplesPerBar();

    if (beat > 0.0 && bar > 0.0)
    {
        const double p = juce::jmax (0.0, end + getPositionOffset());

        if (std::isfinite (p))
        {
            barIndex.store ((int) juce::jmin (p / bar, (double) std::numeric_limits<int>::max()), std::memory_order_relaxed);
            beatInBar.store ((int) (std::fmod (p, bar) / beat), std::memory_order_relaxed);
        }
    }
}

//==============================================================================
namespace
{
    inline float finiteOrZero (float x) noexcept { return std::isfinite (x) ? x : 0.0f; }

    template <typename SampleAt>
    void findOnsets (SampleAt&& sampleAt, int numSamples, double blockStart, double sampleRate, OnsetRing& onsets) noexcept
    {
        constexpr int window = BeatClock::onsetWindow;

        float previous = 0.0f;

        for (int offset = 0; offset + window < numSamples; offset += BeatClock::onsetHop)
        {
            double sum = 0.0;

            for (int i = 0; i < window; ++i)
            {
                const double x = sampleAt (offset + i);
                sum += x * x;
            }

            const auto rms = (float) std::sqrt (sum / window);
            const auto rise = rms - previous;

            if (rise > BeatClock::onsetThreshold && rms > 0.01f)
            {
                const double position = blockStart + offset;
                onsets.push ({ position,
                               sampleRate > 0.0 ? position / sampleRate : 0.0,
                               juce::jmin (rise / BeatClock::onsetThreshold, 1.0f) });
            }

            previous = rms;
        }
    }
}

void BeatClock::processOnsets (const float* mono, int numSamples, double blockStartSamples) noexcept
{
    if (mono == nullptr || numSamples < onsetWindow)
        return;

    findOnsets ([mono] (int i) { return finiteOrZero (mono[i]); },
                numSamples, blockStartSamples, getSampleRate(), onsets);

    if (onsets.size() >= 4)
        correctPhase();
}

void BeatClock::processOnsets (const float* left, const float* right, int numSamples, double blockStartSamples) noexcept
{
    if (left == nullptr || numSamples < onsetWindow)
        return;

    if (right == nullptr)
        right = left;

    findOnsets ([left, right] (int i) { return finiteOrZero ((left[i] + right[i]) * 0.5f); },
                numSamples, blockStartSamples, getSampleRate(), onsets);

    if (onsets.size() >= 4)
        correctPhase();
}

void BeatClock::correctPhase() noexcept
{
    const int count = onsets.size();

    if (count < 4)
        return;

    const double rate = getSampleRate();
    std::array<double, OnsetRing::capacity> differences {};
    int numDifferences = 0;

    for (int i = 1; i < count; ++i)
    {
        const double d = onsets[i].samplePosition - onsets[i - 1].samplePosition;

        if (d > 0.0 && d < 2.0 * rate)
            differences[(std::size_t) numDifferences++] = d;
    }

    if (numDifferences == 0)
        return;

    std::sort (differences.begin(), differences.begin() + numDifferences);

    if (differences[(std::size_t) (numDifferences / 2)] <= 0.0)
        return;

    const double beat = getSamplesPerBeat();

    if (! (beat > 0.0))
        return;

    const double last = onsets.newest().samplePosition;
    const double error = last - std::round (last / beat) * beat;

    if (std::abs (error) > 10.0 && std::abs (error) < 0.5 * beat)
        positionOffset.store (-error, std::memory_order_relaxed);
}
