#pragma once

#include "dsp/FixedRing.h"

#include <atomic>
#include <cstdint>
#include <optional>

/** One detected onset: where it fell in device samples, the same in seconds, and how far the
    level rose past the threshold (0..1). */
struct BeatOnset
{
    double samplePosition = 0.0;
    double timeSeconds = 0.0;
    float strength = 0.0f;
};

/** The last few onsets; the tracker fills it on the audio thread. */
using OnsetRing = FixedRing<BeatOnset, 64>;

/** Tap tempo: the mean of the last eight intervals between taps. Message thread only. */
class TapTempo
{
public:
    static constexpr int maxIntervals = 8;

    /** Registers a tap at nowMs on a millisecond clock. Returns the tapped tempo (already
        limited to the clock's range) when this tap was accepted and at least two intervals are
        stored; the first tap only starts the clock, so the third tap gives the first tempo. */
    std::optional<float> tap (double nowMs) noexcept;

    int numIntervals() const noexcept { return intervals.size(); }

private:
    FixedRing<double, maxIntervals> intervals;
    double lastTapMs = 0.0;
};

/** The tempo clock: a target tempo set from the message thread, a current tempo that glides
    toward it on the audio thread, the bar and beat of the play position, and an onset tracker
    that nudges the bar grid so that the latest onset sits on a beat.

    The message thread only writes the target (and, where a tempo must apply without a glide,
    posts a request that the audio side applies at its next block or prepare step). Everything
    the audio side computes is stored in atomics, so any thread may read it. */
class BeatClock
{
public:
    static constexpr float minTempo = 0.25f;
    static constexpr float maxTempo = 400.0f;
    static constexpr int beatsPerBar = 4;
    static constexpr int onsetWindow = 512;
    static constexpr int onsetHop = 128;
    static constexpr float onsetThreshold = 0.02f;

    BeatClock() noexcept;

    //==============================================================================
    // Message thread

    /** A tap now, on the high-resolution millisecond counter. */
    void tap();
    void tap (double nowMs) noexcept;

    /** A new target tempo (clamped; a non-number is ignored). While the clock glides only the
        target moves. */
    void setTargetTempo (float bpm) noexcept;

    /** A tempo that applies at once, without a glide: target, base and current tempo. */
    void setTempoImmediately (float bpm) noexcept;

    int numTapIntervals() const noexcept { return taps.numIntervals(); }

    //==============================================================================
    // Device thread, with no block in flight
    void prepare (double newSampleRate, int newBlockSize) noexcept;

    //==============================================================================
    // Audio thread

    /** Once per block: tempo glide, play position, bar and beat. */
    void advance (double blockStartSamples, int numSamples) noexcept;

    /** The onset tracker on a mono block. Blocks shorter than one window add nothing. */
    void processOnsets (const float* mono, int numSamples, double blockStartSamples) noexcept;

    /** The same on the mean of two channels, without building the mono copy. */
    void processOnsets (const float* left, const float* right, int numSamples, double blockStartSamples) noexcept;

    /** Moves the bar grid so that the newest onset falls on a beat, when it is off by more
        than a few samples and less than half a beat. */
    void correctPhase() noexcept;

    /** The stored onsets; audio thread (or a test with the audio side stopped). */
    const OnsetRing& getOnsets() const noexcept { return onsets; }

    //==============================================================================
    // Any thread
    float getTargetTempo() const noexcept       { return targetTempo.load (std::memory_order_relaxed); }
    float getBaseTempo() const noexcept         { return baseTempo.load (std::memory_order_relaxed); }
    float getCurrentTempo() const noexcept      { return currentTempo.load (std::memory_order_relaxed); }
    double getSampleRate() const noexcept       { return sampleRate.load (std::memory_order_relaxed); }
    double getSamplesPerBeat() const noexcept   { return samplesPerBeat.load (std::memory_order_relaxed); }
    double getSamplesPerBar() const noexcept    { return samplesPerBar.load (std::memory_order_relaxed); }
    double getPositionSamples() const noexcept  { return positionSamples.load (std::memory_order_relaxed); }
    std::uint64_t getTotalSamples() const noexcept { return totalSamples.load (std::memory_order_relaxed); }
    int getBarIndex() const noexcept            { return barIndex.load (std::memory_order_relaxed); }
    int getBeatInBar() const noexcept           { return beatInBar.load (std::memory_order_relaxed); }
    double getPositionOffset() const noexcept   { return positionOffset.load (std::memory_order_relaxed); }
    bool isGliding() const noexcept             { return smoothTempo.load (std::memory_order_relaxed); }
    float getSmoothingMs() const noexcept       { return smoothingMs.load (std::memory_order_relaxed); }

    static float clampTempo (float bpm) noexcept;

private:
    void requestJump (float bpm) noexcept;
    void applyPendingJump() noexcept;
    void setSampleCounts (float tempo) noexcept;

    // Written on the message thread.
    std::atomic<float> targetTempo { 120.0f };
    std::atomic<float> baseTempo { 120.0f };
    std::atomic<float> jumpTempo { 120.0f };
    std::atomic<std::uint32_t> jumpRequests { 0 };
    TapTempo taps;

    // Written on the device and audio threads.
    std::atomic<double> sampleRate { 44100.0 };
    std::atomic<int> blockSize { 512 };
    std::atomic<float> currentTempo { 120.0f };
    std::atomic<bool> smoothTempo { true };
    std::atomic<float> smoothingMs { 50.0f };
    std::atomic<double> samplesPerBeat { 22050.0 };
    std::atomic<double> samplesPerBar { 88200.0 };
    std::atomic<double> positionSamples { 0.0 };
    std::atomic<std::uint64_t> totalSamples { 0 };
    std::atomic<int> barIndex { 0 };
    std::atomic<int> beatInBar { 0 };
    std::atomic<double> positionOffset { 0.0 };
    std::uint32_t jumpsHandled = 0;
    OnsetRing onsets;

    static_assert (std::atomic<double>::is_always_lock_free && std::atomic<std::uint64_t>::is_always_lock_free);
};
