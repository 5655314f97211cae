#pragma once

#include "effects/EffectProcessor.h"

#include <array>
#include <atomic>

/** One value per knob of the Distortion Suite, in the panel's knob order (IN to WIDE, then THRS
    to SHPE). The processor copies the whole set once at the start of each block. */
struct DistortionSuiteParameters
{
    enum Id
    {
        in, drive, mix, out, sym, offs, edge, knee, even, odd, hpf, pres,
        bits, rate, jitr, dthr, filt, res, drft, wide,
        thrs, rat, atk, rel, mkup, sat, schp, sclp, link, lim, shpe,
        count
    };

    std::array<float, count> values {};

    float operator[] (Id id) const noexcept { return values[(size_t) id]; }
    float& operator[] (Id id) noexcept { return values[(size_t) id]; }
};

/** The sound of the Distortion Suite: three alternative kernels (Distorter, Bitcrush,
    Kompressor) that share input gain, drive, mix and output level.

    Parameters: each has an atomic source that the audio thread loads once per block. By default
    that is the processor's own field (setParameter writes it); a panel binds its knobs' atomic
    mirrors instead, so a knob write reaches the next block with no copy in between.

    Threads: setParameter, the mode, bypass, sample rate and offset fields are atomics any thread
    may write. bindParameter runs before the first block. process() runs on the audio thread;
    everything it smooths or filters is its own. */
class DistortionSuiteProcessor final : public EffectProcessor
{
public:
    using Parameters = DistortionSuiteParameters;
    using ParameterId = Parameters::Id;

    enum Mode { distorterMode = 0, bitcrushMode = 1, kompressorMode = 2 };

    struct ParameterInfo
    {
        const char* name;
        double minimum, maximum, defaultValue;
    };

    /** Name, range and default of every parameter, in Id order. */
    static const std::array<ParameterInfo, Parameters::count>& parameterInfo() noexcept;

    /** Every parameter at its default, the Distorter selected, not bypassed, at 44.1 kHz. */
    DistortionSuiteProcessor();

    //==============================================================================
    /** Sets the rate and clears the sound state; the block size needs no storage. */
    void prepare (double sampleRate, int maximumBlockSize) override;
    void reset() override;
    void process (juce::AudioBuffer<float>& buffer, int startSample, int numSamples) noexcept override;

    /** Not bypassed and the MIX parameter itself above 0.01 (offsets do not count). */
    bool isActive() const noexcept override;

    //==============================================================================
    /** Stores the rate the processing uses; leaves every filter and envelope as it is. */
    void setSampleRate (double newSampleRate) noexcept { sampleRate.store (newSampleRate, std::memory_order_relaxed); }
    double getSampleRate() const noexcept { return sampleRate.load (std::memory_order_relaxed); }

    /** Writes the processor's own field; a bound parameter keeps reading its source. */
    void setParameter (ParameterId id, float value) noexcept;

    /** The value the next block will read. */
    float getParameter (ParameterId id) const noexcept;

    /** Reads this parameter from `source` from now on. Call before the first block; the source
        must outlive the processor. */
    void bindParameter (ParameterId id, const std::atomic<float>& source) noexcept;

    /** The whole set as the next block will see it. */
    Parameters loadParameters() const noexcept;

    /** 0 Distorter, 1 Bitcrush, 2 Kompressor; any other value runs no kernel. */
    void setMode (int newMode) noexcept { mode.store (newMode, std::memory_order_relaxed); }
    int getMode() const noexcept { return mode.load (std::memory_order_relaxed); }

    /** The smoothed randomiser offsets; owned by the audio thread (read them only while no
        block is being processed). */
    float getRandomiserOffset (int index) const noexcept { return randomiserOffsets[(size_t) index]; }

    //==============================================================================
    /** Written by the Korrupt engine (tick and audio push) and the ToneMax coupling; the last
        writer wins. [0] drive offset, [1] bit-depth offset (nothing reads it), [2] mix floor in %. */
    std::array<std::atomic<float>, 3> korruptOffsets {};

    /** Targets of the parameter randomiser's crush group, approached by 0.001 of the remaining
        distance per processed block. [0] drive, [1] second offset (feeds nothing), [2] mix floor %. */
    std::array<std::atomic<float>, 3> randomiserOffsetTargets {};

    /** process() returns at once while set. */
    std::atomic<bool> bypassed { false };

private:
    struct BlockParams;
    struct ChannelState
    {
        float distHighpassIn = 0.0f, distHighpassOut = 0.0f, distPresencePrev = 0.0f;

        float crushHeldSample = 0.0f, crushHoldPhase = 0.0f, crushDriftHeld = 0.0f;
        float crushLowpassX1 = 0.0f, crushLowpassX2 = 0.0f, crushLowpassY1 = 0.0f, crushLowpassY2 = 0.0f;

        float kompSidechainHighpassIn = 0.0f, kompSidechainHighpassOut = 0.0f;
        float kompSidechainLowpass = 0.0f, kompEnvelope = 0.0f, kompGain = 1.0f;
    };

    static constexpr int stateChannels = 2;

    static BlockParams blockParams (const Parameters&, double sampleRate) noexcept;
    static float processDistorterSample (float x, float drive, const BlockParams&, ChannelState&) noexcept;
    static float processBitcrushSample (float x, const BlockParams&, ChannelState&) noexcept;
    float processKompressorSample (float x, int channel, const BlockParams&) noexcept;

    std::array<std::atomic<float>, Parameters::count> ownValues;
    std::array<const std::atomic<float>*, Parameters::count> sources {};

    std::atomic<double> sampleRate { 44100.0 };
    std::atomic<int> mode { distorterMode };

    // Audio-thread state.
    std::array<float, 3> randomiserOffsets {};
    std::array<ChannelState, stateChannels> channelState {};

    static_assert (std::atomic<float>::is_always_lock_free);
    static_assert (std::atomic<double>::is_always_lock_free);

    JUCE_DECLARE_NON_COPYABLE (DistortionSuiteProcessor)
};
