#pragma once

#include <array>
#include <cstddef>

/** A fixed-capacity first-in-first-out list of floats. The feature histories live on the
    audio thread, so they must never allocate; the oldest value is dropped when a new one
    arrives at capacity. Plain data, so a whole record can be copied between threads. */
template <std::size_t Capacity>
struct FloatRing
{
    std::array<float, Capacity> data {};
    std::size_t start = 0;
    std::size_t count = 0;

    static constexpr std::size_t capacity() noexcept { return Capacity; }
    std::size_t size() const noexcept { return count; }
    bool empty() const noexcept { return count == 0; }

    /** Element i counted from the oldest. */
    float operator[] (std::size_t i) const noexcept { return data[(start + i) % Capacity]; }

    void push (float value) noexcept
    {
        if (count < Capacity)
        {
            data[(start + count) % Capacity] = value;
            ++count;
        }
        else
        {
            data[start] = value;
            start = (start + 1) % Capacity;
        }
    }

    void clear() noexcept { start = 0; count = 0; }
};

/** The per-block description of the finalizer's processed output. */
struct FinalizerFeatures
{
    float rmsLeft = 0.0f, rmsRight = 0.0f;
    float peakHoldLeft = 0.0f, peakHoldRight = 0.0f;
    float correlation = 1.0f;
    float sideToMidRatio = 1.0f;
    float crestDb = 12.0f;
    float dcLeft = 0.0f, dcRight = 0.0f;
    float integratedLevelDb = -60.0f;
    float narrowFraction = 0.0f, mediumFraction = 0.0f, wideFraction = 0.0f;
    float narrowDb = -60.0f, mediumDb = -60.0f, wideDb = -60.0f;
    float leftPanPercent = 0.0f, centrePercent = 100.0f, rightPanPercent = 0.0f;
    float levelDb = -70.0f;
    float widthTrend = 0.0f, levelTrend = 0.0f;

    bool clipping = false, overCompressed = false, phaseProblem = false;
    bool dcOffset = false, mostlyMono = false, noisyWide = false;

    static constexpr std::size_t historyCapacity = 100;
    FloatRing<historyCapacity> levelHistory, widthHistory;

    double levelSum = 0.0;
    int levelCount = 0;

    static constexpr float rmsSmoothing = 0.1f;
};

/** What the audio thread publishes once per processed block for the message thread. */
struct FinalizerMeters
{
    float midRms = 0.0f;
    float sideRms = 0.0f;
    FinalizerFeatures features;
};
