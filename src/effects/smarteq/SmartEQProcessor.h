#pragma once

#include "dsp/PodSnapshot.h"
#include "effects/EffectProcessor.h"
#include "effects/smarteq/SmartEQDsp.h"

#include <array>
#include <atomic>

/** The Smart EQ's sound: the six bands' filters, detectors and oscillators, the global mix,
    output gain, mono sum and the final soft limit.

    Parameters come in two ways, both read once at the start of each block: the six band
    records as one whole set (published under a spin lock the audio thread only try-locks, so
    a block never runs half of one set and half of the next), and the four global controls as
    relaxed atomics. The processor designs the band filters itself, at the rate it was
    prepared for, so a published set never carries coefficients of another rate. */
class SmartEQProcessor final : public EffectProcessor
{
public:
    static constexpr int numBands = smarteq::numBands;
    using Bands = std::array<smarteq::BandParams, numBands>;

    SmartEQProcessor();

    //==============================================================================
    void prepare (double sampleRate, int maximumBlockSize) override;
    void reset() override;
    void process (juce::AudioBuffer<float>& buffer, int startSample, int numSamples) noexcept override;
    bool isActive() const noexcept override;

    /** The same on two channel pointers; `right` may equal `left` (one channel). Audio thread;
        returns at once while bypassed. */
    void process (float* left, float* right, int numSamples) noexcept;

    //==============================================================================
    // Parameters (message thread)

    /** Designs every band's filter at the prepared rate and publishes the set. */
    void publishBands (const Bands& bands) noexcept;

    /** The global controls, for a panel whose knobs and toggle mirror straight into them. */
    struct GlobalParameters
    {
        std::atomic<float> outputGainDb { 0.0f };
        std::atomic<float> globalMixPct { 100.0f };
        std::atomic<bool> mono { false };
    };

    GlobalParameters globalParameters;

    void setOutputGainDb (float db) noexcept    { globalParameters.outputGainDb.store (db, std::memory_order_relaxed); }
    void setGlobalMixPct (float pct) noexcept   { globalParameters.globalMixPct.store (pct, std::memory_order_relaxed); }
    void setMono (bool on) noexcept             { globalParameters.mono.store (on, std::memory_order_relaxed); }
    void setBypassed (bool on) noexcept         { bypassed.store (on, std::memory_order_relaxed); }
    bool isBypassed() const noexcept            { return bypassed.load (std::memory_order_relaxed); }

    double getSampleRate() const noexcept { return sampleRate.load (std::memory_order_relaxed); }

    //==============================================================================
    // What the audio thread reports back (any thread)

    float getEnvelopeDb (int band) const noexcept;
    float getMotionPhase (int band) const noexcept;
    float getMotionRateHz (int band) const noexcept;

    /** A rate the user set is shown at once, before the next block takes it over. */
    void showMotionRate (int band, float hz) noexcept;

    /** The set the audio thread used for its last block. Call only from the thread that runs
        process (or while none runs). */
    const smarteq::Snapshot& getAudioSnapshot() const noexcept { return snapshot.current(); }

private:
    static int clampBand (int band) noexcept;

    std::atomic<double> sampleRate { 44100.0 };
    std::atomic<bool> bypassed { false };
    std::atomic<int> enabledMask { 0 };

    PodSnapshot<smarteq::Snapshot> snapshot;

    // Audio thread only.
    smarteq::Renderer renderer;

    std::array<std::atomic<float>, numBands> reportedEnvelopeDb {};
    std::array<std::atomic<float>, numBands> reportedMotionPhase {};
    std::array<std::atomic<float>, numBands> reportedMotionRateHz {};

    static_assert (std::atomic<float>::is_always_lock_free);
};
