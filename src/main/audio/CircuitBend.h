#pragma once

#include "effects/EffectProcessor.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <random>

/** The circuit-bend stage on the output: a per-sample corruption driven by the MathControl
    knob. Its amount (0..100) sets how hard each corruption bites and which of them pass their
    threshold; its mode picks one corruption (0..6) or all of them in a fixed order (7).

    The message thread writes `amount` and `mode`; each block reads both once. The rings, the
    held pair and the feedback memories outlive files, stops and mode changes, as a bent circuit
    would; only reset() clears them. The generator is seeded here, on the constructing thread,
    because seeding reads the operating system's entropy source, which the audio thread must
    never call. */
class CircuitBend : public EffectProcessor
{
public:
    enum Mode
    {
        bitCrush = 0,
        sampleRateReduce,
        overflowWrap,
        bufferGlitch,
        feedbackChaos,
        phaseDestroy,
        bitFlip,
        fullBend,
        numModes
    };

    static constexpr int historySize = 4096;

    /** Seeds the generator from the system's entropy source. */
    CircuitBend();

    /** A fixed seed, for tests and benchmarks that want one stream of random draws. */
    explicit CircuitBend (std::uint32_t seed);

    /** 0..100; 0 (or anything not above 0) leaves every block and the rings untouched. */
    std::atomic<float> amount { 0.0f };

    /** 0..7; other values bend nothing but still write the rings. */
    std::atomic<int> mode { fullBend };

    /** Bends the pair of channels in place; every output sample is finite and within -1..1. */
    void process (float* left, float* right, int numSamples) noexcept;

    // EffectProcessor: channels 0 and 1 of the buffer, nothing with fewer than two.
    void prepare (double sampleRate, int maximumBlockSize) override;
    void reset() override;
    void process (juce::AudioBuffer<float>& buffer, int startSample, int numSamples) noexcept override;
    bool isActive() const noexcept override;

    /** The per-block constants the amount fixes: quantisation steps and hold period. */
    static float quantisationSteps (float a) noexcept;
    static int holdPeriod (float a) noexcept;

    // The stage's memory; public so tests can look at it.
    int bendHoldCounter = 0;
    float bendHeldLeft = 0.0f, bendHeldRight = 0.0f;
    float bendFeedbackLeft = 0.0f, bendFeedbackRight = 0.0f;
    std::array<float, historySize> bendHistoryLeft {}, bendHistoryRight {};
    int bendHistoryWritePos = 0;

private:
    float nextUniform() noexcept;
    int nextRingIndex() noexcept;

    std::mt19937 generator;
};
